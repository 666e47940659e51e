#include "songsettingsstore.h"

#include "chordboxes.h"

ui::SongSettingsStore::SongSettingsStore(QSettings *settings, MemoPath memoPath)
    : m_settings(settings)
    , m_memoPath(std::move(memoPath))
{
}

song::SongSettings ui::SongSettingsStore::load() const
{
    if (m_boxes && m_boxes->holdsSong())
        return m_boxes->songSettings();
    return m_settings ? song::loadSongSettings(*m_settings, m_memoPath()) : song::SongSettings {};
}

void ui::SongSettingsStore::save(const song::SongSettings &song)
{
    if (m_boxes && m_boxes->holdsSong()) {
        m_boxes->setSongSettings(song);
        return;
    }
    if (m_settings)
        song::saveSongSettings(*m_settings, m_memoPath(), song);
}

void ui::SongSettingsStore::moveFrom(const QString &oldPath)
{
    if (m_settings)
        song::copySongSettings(*m_settings, oldPath, m_memoPath());
}

int ui::SongSettingsStore::program() const
{
    return m_settings ? song::chosenProgram(*m_settings) : 0;
}

std::function<void(bool done)> ui::SongSettingsStore::alongside(
    const song::SongSettings &before, const song::SongSettings &after) const
{
    return [settings = m_settings, path = m_memoPath(), before, after](
               bool done) { song::saveSongSettings(*settings, path, done ? after : before); };
}

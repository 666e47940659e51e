#pragma once

#include "songsettings.h"

#include <functional>

class QSettings;

namespace ui
{
class ChordBoxes;

// The tempo and beats of the memo in use, kept in the program's settings by
// the memo's path, and the instrument chosen. Without settings (some tests)
// nothing is kept and the defaults hold. An open song keeps its own in its
// file: they are its, changed as a step of its history.
class SongSettingsStore
{
public:
    using MemoPath = std::function<QString()>;
    SongSettingsStore(QSettings *settings, MemoPath memoPath);

    bool keeps() const { return m_settings != nullptr; }
    // The boxes whose open song has its own; they outlive this.
    void followSongOf(ChordBoxes *boxes) { m_boxes = boxes; }
    song::SongSettings load() const;
    void save(const song::SongSettings &song);
    // The memo was saved as another file: what was kept goes with it.
    void moveFrom(const QString &oldPath);
    int program() const;
    // For a step of the history that brings its own tempo: saves after (done)
    // or before (undone) for the memo in use now, whatever it is later.
    std::function<void(bool done)> alongside(
        const song::SongSettings &before, const song::SongSettings &after) const;

private:
    QSettings *m_settings;
    MemoPath m_memoPath;
    ChordBoxes *m_boxes = nullptr;
};

} // namespace ui

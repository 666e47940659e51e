#include "songsettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace song
{

namespace
{
// The key is kept by its name, as a song file writes it ("Bb", "F#m").
const QString KeyEntry = QStringLiteral("/key");
const QString CapoEntry = QStringLiteral("/capo");

// One group per memo: its absolute path, escaped so that its slashes make no
// groups of their own.
QString groupOf(const QString &memoPath)
{
    const QString path = QFileInfo(memoPath).absoluteFilePath();
    return QStringLiteral("songs/") + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

int within(const QVariant &value, int lowest, int highest, int otherwise)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok && n >= lowest && n <= highest ? n : otherwise;
}
} // namespace

SongSettings loadSongSettings(const QSettings &settings, const QString &memoPath)
{
    const QString group = groupOf(memoPath);
    return {
        within(settings.value(group + QStringLiteral("/tempo")), MinTempo, MaxTempo, DefaultTempo),
        within(settings.value(group + QStringLiteral("/beats")), MinBeats, MaxBeats, DefaultBeats),
        chord::parseKey(settings.value(group + KeyEntry).toString().toStdString()),
        within(settings.value(group + CapoEntry), 0, chord::MaxCapo, 0)};
}

void saveSongSettings(QSettings &settings, const QString &memoPath, const SongSettings &song)
{
    const QString group = groupOf(memoPath);
    settings.setValue(group + QStringLiteral("/tempo"), song.tempo);
    settings.setValue(group + QStringLiteral("/beats"), song.beatsPerBar);
    if (song.key)
        settings.setValue(group + KeyEntry, QString::fromStdString(chord::keyName(*song.key)));
    else
        settings.remove(group + KeyEntry);
    settings.setValue(group + CapoEntry, song.capo);
}

void copySongSettings(QSettings &settings, const QString &from, const QString &to)
{
    const QString fromGroup = groupOf(from);
    const QString toGroup = groupOf(to);
    if (fromGroup == toGroup)
        return;
    settings.remove(toGroup);
    settings.beginGroup(fromGroup);
    const QStringList keys = settings.allKeys();
    settings.endGroup();
    for (const QString &key : keys)
        settings.setValue(toGroup + u'/' + key, settings.value(fromGroup + u'/' + key));
}

int chosenProgram(const QSettings &settings)
{
    return within(settings.value(QLatin1String(ProgramKey)), 0, Programs - 1, 0);
}

} // namespace song

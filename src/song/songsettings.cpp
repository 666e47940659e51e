#include "songsettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace song
{

namespace
{
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
        within(settings.value(group + QStringLiteral("/beats")), MinBeats, MaxBeats, DefaultBeats)};
}

void saveSongSettings(QSettings &settings, const QString &memoPath, const SongSettings &song)
{
    const QString group = groupOf(memoPath);
    settings.setValue(group + QStringLiteral("/tempo"), song.tempo);
    settings.setValue(group + QStringLiteral("/beats"), song.beatsPerBar);
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

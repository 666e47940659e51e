#include "memolocation.h"

#include "chordmemo.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>

namespace memofile
{

namespace
{
const QString AppFolder = QStringLiteral("soramina");
}

QString defaultMemoPath()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + u'/' + AppFolder + u'/' + memo::SlotFileName);
}

bool makeDefaultMemoFolder()
{
    return QDir().mkpath(QFileInfo(defaultMemoPath()).absolutePath());
}

QString rescuePath(const QDateTime &when)
{
    return rescuePath(memo::SlotFileName, when, QString());
}

QString rescuePath(const QString &baseName, const QDateTime &when, const QString &suffix)
{
    return QFileInfo(defaultMemoPath()).absolutePath() + u'/' + baseName
        + QStringLiteral(".rescued-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + suffix;
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace memofile

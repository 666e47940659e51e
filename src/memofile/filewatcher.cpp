#include "filewatcher.h"

#include "safefile.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace memofile
{

FileWatcher::FileWatcher(QObject *parent)
    : MemoWatcher(parent)
    , m_watcher(new QFileSystemWatcher(this))
{
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatcher::rewatch);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatcher::rewatch);
}

void FileWatcher::watch(const QString &memoPath)
{
    const QStringList old = m_watcher->files() + m_watcher->directories();
    if (!old.isEmpty())
        m_watcher->removePaths(old);
    m_target = saveTarget(memoPath);
    m_watcher->addPath(QFileInfo(m_target).absolutePath());
    rewatch();
}

void FileWatcher::rewatch()
{
    // A replaced file drops out of the watch; the new one takes its place.
    if (!m_watcher->files().contains(m_target) && QFileInfo::exists(m_target))
        m_watcher->addPath(m_target);
    emit changed();
}

} // namespace memofile

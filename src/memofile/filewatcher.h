#pragma once

#include "memowatcher.h"

class QFileSystemWatcher;

namespace memofile
{

// Watches the file and its folder: a save by another window replaces the
// file with a new one, which only the folder's watch sees.
class FileWatcher final : public MemoWatcher
{
    Q_OBJECT
public:
    explicit FileWatcher(QObject *parent = nullptr);

    void watch(const QString &memoPath) override;

private:
    void rewatch();

    QFileSystemWatcher *m_watcher = nullptr;
    QString m_target;
};

} // namespace memofile

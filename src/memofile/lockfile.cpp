#include "lockfile.h"

#include "safefile.h"

#include <QLockFile>

namespace memofile
{

namespace
{
// A save holds the lock for milliseconds; a window that waits longer than
// this reports the memo as busy and tries again later.
constexpr int LockWaitMs = 2000;
} // namespace

LockFile::LockFile() = default;
LockFile::~LockFile() = default;

std::optional<QString> LockFile::lock(const QString &memoPath)
{
    m_lock = std::make_unique<QLockFile>(saveTarget(memoPath) + QStringLiteral(".lock"));
    if (m_lock->tryLock(LockWaitMs))
        return std::nullopt;
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    switch (error) {
    case QLockFile::LockFailedError:
        return QStringLiteral("ほかのウィンドウが保存中のまま応答しません");
    case QLockFile::PermissionError:
        return QStringLiteral("フォルダーに書き込めません（ロックファイルを作れません）");
    default: return QStringLiteral("ロックファイルを作れません");
    }
}

void LockFile::unlock()
{
    m_lock.reset(); // removes the lock file
}

} // namespace memofile

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
// A lock whose window is gone from this computer is taken over at once; one
// written from another computer (a shared folder) once it is this old.
constexpr int StaleLockMs = 30000;
} // namespace

LockFile::LockFile() = default;
LockFile::~LockFile() = default;

std::optional<QString> LockFile::lock(const QString &memoPath)
{
    const QString lockPath = saveTarget(memoPath) + QStringLiteral(".lock");
    m_lock = std::make_unique<QLockFile>(lockPath);
    m_lock->setStaleLockTime(StaleLockMs);
    if (m_lock->tryLock(LockWaitMs))
        return std::nullopt;
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    switch (error) {
    case QLockFile::LockFailedError:
        return QStringLiteral(
            "ほかのウィンドウがこのメモを保存中のまま、ロックファイル「%1」を %2 "
            "秒たっても放しません。そのウィンドウを閉じてください。落ちたウィンドウが"
            "残したロックは自動で引き継ぎます（このコンピューターのものはすぐに、"
            "ほかのコンピューターのものは %3 秒で）")
            .arg(lockPath)
            .arg(LockWaitMs / 1000)
            .arg(StaleLockMs / 1000);
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

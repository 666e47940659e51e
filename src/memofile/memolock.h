#pragma once

#include <QString>

#include <optional>

namespace memofile
{

// Keeps two windows (or two programs) from reading and rewriting one memo
// file at the same time. A lock left by a process that died is taken over.
class MemoLock
{
public:
    virtual ~MemoLock() = default;

    // Waits a moment for another holder; gives the reason when the lock
    // cannot be had (held too long, folder not writable...).
    [[nodiscard]] virtual std::optional<QString> lock(const QString &memoPath) = 0;
    virtual void unlock() = 0;
};

} // namespace memofile

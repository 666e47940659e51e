#pragma once

#include "memolock.h"

#include <memory>

class QLockFile;

namespace memofile
{

// A lock file beside the file a save replaces: "code.dat.lock".
class LockFile final : public MemoLock
{
public:
    LockFile();
    ~LockFile() override;

    std::optional<QString> lock(const QString &memoPath) override;
    void unlock() override;

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace memofile

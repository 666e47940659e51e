#pragma once

#include "memofiles.h"
#include "safefile.h"

namespace memofile
{

// The memo's files on the disk, through the safe reads and atomic saves.
class DiskFiles final : public MemoFiles
{
public:
    services::ReadResult read(const QString &path) override { return readMemoFile(path); }
    std::optional<services::FileError> replace(const QString &path, QByteArrayView bytes) override
    {
        return replaceFile(path, bytes);
    }
    std::optional<services::FileError> replaceRefusal(const QString &path) override
    {
        return memofile::replaceRefusal(path);
    }
    void removeStrayTemporaries(const QString &path) override
    {
        memofile::removeStrayTemporaries(path);
    }
};

} // namespace memofile

#pragma once

#include "textfile.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace memofile
{

// The file operations a memo needs (safefile.h describes them), so that
// tests can put a slow or failing disk in their place. The keeper calls them
// on its worker thread, and read() once on its own thread before that.
class MemoFiles
{
public:
    virtual ~MemoFiles() = default;

    virtual services::ReadResult read(const QString &path) = 0;
    [[nodiscard]] virtual std::optional<services::FileError> replace(
        const QString &path, QByteArrayView bytes)
        = 0;
    virtual std::optional<services::FileError> replaceRefusal(const QString &path) = 0;
    virtual void removeStrayTemporaries(const QString &path) = 0;
};

} // namespace memofile

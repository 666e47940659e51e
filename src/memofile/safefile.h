#pragma once

#include "textfile.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// Reading and replacing a memo file so that no kind of file can hang, crash
// or fool the program, and no failed or killed save can cost the old file.
namespace memofile
{

// A memo is 60 short lines; anything much larger is not one.
inline constexpr qint64 MaxMemoFileSize = 1024 * 1024;

// Reads a memo file without ever blocking. Only a regular file of at most
// MaxMemoFileSize bytes is read (a symbolic link to one is fine); a FIFO,
// socket, device, directory, symlink loop, oversized file or any open error
// but "does not exist" fails with a reason and is left untouched.
services::ReadResult readMemoFile(const QString &path);

// Replaces the file with the bytes: one write to a temporary sibling, fsync,
// rename over the old file, fsync of the folder. A symbolic link stays a link
// and its target is replaced. The old file's permissions are kept, and its
// owner and group where the system allows. A file without any write
// permission is read-only to us, even to root, and is never replaced.
[[nodiscard]] std::optional<services::FileError> replaceFile(
    const QString &path, QByteArrayView bytes);

// Why replaceFile() would refuse the file as it stands (not a regular file,
// read-only), without writing anything.
std::optional<services::FileError> replaceRefusal(const QString &path);

// Removes the temporary siblings of path that a killed save left behind.
// Only while holding the memo's lock: another window may be saving.
void removeStrayTemporaries(const QString &path);

// The file that a save of path actually replaces: path itself, or the file
// its symbolic links lead to.
QString saveTarget(const QString &path);

} // namespace memofile

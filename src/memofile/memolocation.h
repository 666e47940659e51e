#pragma once

#include "textfile.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <variant>

namespace memofile
{

// The memo a plain start uses: $XDG_DATA_HOME/soramina/code.dat, or
// ~/.local/share/soramina/code.dat when XDG_DATA_HOME is unset or relative.
QString defaultMemoPath();

// Creates the folder of the default memo when it is missing.
bool makeDefaultMemoFolder();

// "code.dat.rescued-YYYYMMDD-HHMMSS" beside the default memo.
QString rescuePath(const QDateTime &when);

// Writes a memo that could not be saved where it belongs into a rescue file
// beside the default memo; gives its path, or why that failed too.
std::variant<QString, services::FileError> writeRescueFile(
    QByteArrayView bytes, const QDateTime &when);

// A file-size limit then makes a write fail with EFBIG, which is reported
// like any failed save, instead of killing the process.
void ignoreFileSizeSignal();

} // namespace memofile

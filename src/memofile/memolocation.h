#pragma once

#include <QDateTime>
#include <QString>

namespace memofile
{

// The memo a plain start uses: $XDG_DATA_HOME/soramina/code.dat, or
// ~/.local/share/soramina/code.dat when XDG_DATA_HOME is unset or relative.
QString defaultMemoPath();

// Creates the folder of the default memo when it is missing.
bool makeDefaultMemoFolder();

// "code.dat.rescued-YYYYMMDD-HHMMSS" beside the default memo.
QString rescuePath(const QDateTime &when);

// "<baseName>.rescued-YYYYMMDD-HHMMSS<suffix>" beside the default memo.
QString rescuePath(const QString &baseName, const QDateTime &when, const QString &suffix);

// A file-size limit then makes a write fail with EFBIG, which is reported
// like any failed save, instead of killing the process.
void ignoreFileSizeSignal();

} // namespace memofile

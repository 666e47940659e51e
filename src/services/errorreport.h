#pragma once

#include "textfile.h"

namespace services
{

// Reports a failed file operation in a modal critical message box (when a
// QApplication exists) and on stderr, naming the file and the reason. The
// heading, when given, says what went wrong in place of "could not read or
// write the file".
void reportFileError(const FileError &error, const QString &heading = {});

} // namespace services

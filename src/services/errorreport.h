#pragma once

#include "textfile.h"

namespace services
{

// Reports a failed file operation in a modal critical message box (when a
// QApplication exists) and on stderr, naming the file and the reason.
void reportFileError(const FileError &error);

} // namespace services

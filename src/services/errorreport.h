#pragma once

#include "textfile.h"

namespace services
{

// Reports a failed file operation in a modal critical message box (when a
// QApplication exists) and on stderr, naming the file and the reason, then
// ends the process with EXIT_FAILURE. The program has no recovery from a
// failed read or write of its files.
[[noreturn]] void reportFileErrorAndExit(const FileError &error);

} // namespace services

#pragma once

#include <QString>

namespace ui
{

// Where a file dialog opens: the folder of the file in use, else the user's
// documents (their home when there is none), never the program's hidden
// data folder, where the default memo lives out of the user's sight.
QString startFolder(const QString &fileInUse);

} // namespace ui

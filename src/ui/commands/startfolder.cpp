#include "startfolder.h"

#include "memolocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ui
{

QString startFolder(const QString &fileInUse)
{
    const QString hidden = QFileInfo(memofile::defaultMemoPath()).absolutePath();
    const QString folder = QFileInfo(fileInUse).absolutePath();
    const bool inHidden = folder == hidden || folder.startsWith(hidden + u'/');
    if (!fileInUse.isEmpty() && !inHidden && QFileInfo(folder).isDir())
        return folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace ui

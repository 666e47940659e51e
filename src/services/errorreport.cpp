#include "errorreport.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace services
{

void reportFileError(const FileError &error, const QString &heading)
{
    const QString title = QStringLiteral("ソラミナ");
    const QString first = heading.isEmpty()
        ? QStringLiteral("ファイル「%1」を読み書きできませんでした。").arg(error.fileName)
        : heading;
    const QString text = first + QStringLiteral("\n理由: %1").arg(error.reason);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    std::fflush(stderr);
    // A message box needs a widget application; without one stderr is all.
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QMessageBox::critical(nullptr, title, text);
    }
}

} // namespace services

#include "errorreport.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace services
{

void reportFileError(const FileError &error)
{
    const QString title = QStringLiteral("ソラミナ");
    const QString text = QStringLiteral("ファイル「%1」を読み書きできませんでした。\n理由: %2")
                             .arg(error.fileName, error.reason);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    std::fflush(stderr);
    // A message box needs a widget application; without one stderr is all.
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QMessageBox::critical(nullptr, title, text);
    }
}

} // namespace services

#include "errorreport.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace services
{

void reportFileErrorAndExit(const FileError &error)
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
    std::exit(EXIT_FAILURE);
}

} // namespace services

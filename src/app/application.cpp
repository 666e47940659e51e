#include "application.h"
#include "firstpaint.h"
#include "quickstyle.h"
#include "windowicon.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace app
{

void prepareApplication()
{
    QGuiApplication::setDesktopFileName(QStringLiteral(SORAMINA_APP_ID));
    QApplication::setStyle(new widgets::QuickStyle(QApplication::style()));
    installQtTranslation(qApp);
}

QTranslator *installQtTranslation(QObject *owner)
{
    auto *translator = new QTranslator(owner);
    if (!translator->load(
            QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

void setIconAfterFirstPaint(QWidget *window)
{
    new services::AfterFirstPaint(window, [] { QApplication::setWindowIcon(windowIcon()); });
}

} // namespace app

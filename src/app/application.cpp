#include "application.h"
#include "firstpaint.h"
#include "quickstyle.h"
#include "windowicon.h"

#include <QApplication>

namespace app
{

void prepareApplication()
{
    QGuiApplication::setDesktopFileName(QStringLiteral(SORAMINA_APP_ID));
    QApplication::setStyle(new widgets::QuickStyle(QApplication::style()));
}

void setIconAfterFirstPaint(QWidget *window)
{
    new services::AfterFirstPaint(window, [] { QApplication::setWindowIcon(windowIcon()); });
}

} // namespace app

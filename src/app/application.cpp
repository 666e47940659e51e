#include "application.h"
#include "quickstyle.h"
#include "windowicon.h"

#include <QApplication>

namespace app
{

void prepareApplication()
{
    QGuiApplication::setDesktopFileName(QStringLiteral(SORAMINA_APP_ID));
    QApplication::setWindowIcon(windowIcon());
    QApplication::setStyle(new platform::QuickStyle(QApplication::style()));
}

} // namespace app

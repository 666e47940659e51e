#include "form1.h"
#include "termination.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(SORAMINA_APP_ID));
    Form1 window;
    // A termination request or the end of the session closes the window as
    // the exit command does, so the memo is saved.
    platform::TerminationWatcher termination;
    QObject::connect(&termination, &platform::TerminationWatcher::terminationRequested, &window,
        &QWidget::close);
    window.show();
    return app.exec();
}

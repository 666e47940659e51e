#include "form1.h"
#include "memolocation.h"
#include "termination.h"

#include <QApplication>

namespace
{
// soramina [FILE]: a memo per song, or the default memo.
QString memoPathFrom(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (!argument.startsWith(u'-'))
            return argument;
    }
    memofile::makeDefaultMemoFolder();
    return memofile::defaultMemoPath();
}
} // namespace

int main(int argc, char *argv[])
{
    memofile::ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(SORAMINA_APP_ID));
    Form1 window(memoPathFrom(QCoreApplication::arguments()));
    // A termination request or the end of the session closes the window with
    // nobody there to answer a question: the memo is saved or rescued.
    platform::TerminationWatcher termination;
    QObject::connect(&termination, &platform::TerminationWatcher::terminationRequested, &window,
        &Form1::closeUnattended);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, &Form1::closeUnattended);
    window.show();
    const int status = app.exec();
    return status != 0 ? status : window.exitStatus();
}

#include "windowsystem.h"

#include <QList>

#include <cstdio>
#include <cstdlib>

namespace app
{

namespace
{

constexpr int NoDisplayStatus = 1;

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QByteArray file;
    QByteArray function;
    int line;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
QByteArray programName;
QList<HeldMessage> held;

QByteArray displayNote()
{
    const QByteArray display = qgetenv("DISPLAY");
    return display.isEmpty() ? QByteArrayLiteral("DISPLAY is not set")
                             : QByteArrayLiteral("DISPLAY=") + display;
}

// Qt's warnings before the fatal one explain the same failure at length.
void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s: cannot open a window: no window system could be reached (%s)\n",
            programName.constData(), displayNote().constData());
        std::fflush(stderr);
        std::_Exit(NoDisplayStatus);
    }
    held.append({type, context.category, context.file, context.function, context.line, text});
}

} // namespace

WindowSystemGuard::WindowSystemGuard(const QString &program)
{
    programName = program.toLocal8Bit();
    previousHandler = qInstallMessageHandler(holdMessage);
}

WindowSystemGuard::~WindowSystemGuard()
{
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage &m : std::as_const(held)) {
        const QMessageLogContext context(
            m.file.constData(), m.line, m.function.constData(), m.category.constData());
        previousHandler(m.type, context, m.text);
    }
    held.clear();
}

} // namespace app

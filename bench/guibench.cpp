#include "guibench.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace bench
{

namespace
{
constexpr int FirstPaintTimeoutMs = 5000;

QtMessageHandler nextHandler = nullptr;

void dropSizeHintWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    nextHandler(type, context, message);
}
} // namespace

PaintCounter::PaintCounter(const QWidget *window)
    : m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

PaintCounter::~PaintCounter()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool PaintCounter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == m_window)
        ++m_count;
    return false;
}

void quietSizeHintWarnings()
{
    if (!nextHandler)
        nextHandler = qInstallMessageHandler(dropSizeHintWarnings);
}

bool showAndWaitForFirstPaint(QWidget &window)
{
    const PaintCounter paints(&window);
    window.show();
    const QDeadlineTimer deadline(FirstPaintTimeoutMs);
    // The expose event paints every widget of the window before it returns.
    while (paints.count() == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents();
    return paints.count() > 0;
}

namespace
{
template<typename App> int runBenchmarks(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    App app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
} // namespace

int runGuiBenchmarks(int argc, char **argv)
{
    quietSizeHintWarnings();
    return runBenchmarks<QApplication>(argc, argv);
}

int runCoreBenchmarks(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}

} // namespace bench

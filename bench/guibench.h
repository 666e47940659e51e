#pragma once

#include <QObject>

class QWidget;

namespace bench
{

// Counts the paint events that reach the widgets of one window, wherever in
// the event loop they are sent from.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(const QWidget *window);
    ~PaintCounter() override;

    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const QWidget *m_window;
    int m_count = 0;
};

// The offscreen platform warns at every window it sizes; benchmarks that
// make thousands of windows would drown their figures in it.
void quietSizeHintWarnings();

// Shows a top-level window and returns once it has been painted for the
// first time: the whole window is painted in that one pass. False when no
// paint came within a few seconds.
bool showAndWaitForFirstPaint(QWidget &window);

// The main of a benchmark that needs widgets: the flags of Google Benchmark
// and of Qt are both taken from the command line.
int runGuiBenchmarks(int argc, char **argv);
// The same with an event loop but no widgets, for what answers through it
// (the memo keeper, its timers).
int runCoreBenchmarks(int argc, char **argv);

} // namespace bench

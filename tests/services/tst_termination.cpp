#include "termination.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace
{
extern "C" void ownHandler(int) { }

using Handler = void (*)(int);
Handler currentHandler(int signal)
{
    struct sigaction action = {};
    ::sigaction(signal, nullptr, &action);
    return action.sa_handler;
}
} // namespace

class tst_Termination : public QObject
{
    Q_OBJECT
private slots:
    void signalArrivesOnTheEventLoop_data();
    void signalArrivesOnTheEventLoop();
    void previousHandlerComesBack_data() { signalArrivesOnTheEventLoop_data(); }
    void previousHandlerComesBack();
};

void tst_Termination::signalArrivesOnTheEventLoop_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void tst_Termination::signalArrivesOnTheEventLoop()
{
    QFETCH(int, signal);
    services::TerminationWatcher watcher;
    QSignalSpy spy(&watcher, &services::TerminationWatcher::terminationRequested);

    QCOMPARE(std::raise(signal), 0);
    // The handler only writes a byte: the Qt signal waits for the event loop.
    QCOMPARE(spy.count(), 0);
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.count(), 1);

    // Two signals before the loop runs ask once; the watcher keeps working.
    std::raise(signal);
    std::raise(signal);
    QTRY_COMPARE(spy.count(), 2);
    QTest::qWait(50);
    QCOMPARE(spy.count(), 2);
}

void tst_Termination::previousHandlerComesBack()
{
    QFETCH(int, signal);
    const Handler before = std::signal(signal, ownHandler);
    {
        services::TerminationWatcher watcher;
        QVERIFY(currentHandler(signal) != ownHandler);
    }
    QVERIFY(currentHandler(signal) == ownHandler);
    std::signal(signal, before);
}

QTEST_GUILESS_MAIN(tst_Termination)
#include "tst_termination.moc"

#include "offthread.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <memory>

// Jobs asked for while another runs wait their turn off the GUI thread: the
// GUI thread answers every event within a frame, and the sequels come in order.
class tst_OffThread : public QObject
{
    Q_OBJECT
private slots:
    void guiThreadNeverWaits_data();
    void guiThreadNeverWaits();
};

namespace
{
constexpr qint64 FrameMs = 16;
constexpr int SlowMs = 300;
} // namespace

void tst_OffThread::guiThreadNeverWaits_data()
{
    QTest::addColumn<int>("jobs"); // asked for at once, named a, b, c ...; a is slow
    QTest::addColumn<int>("chained"); // the job whose sequel asks for one more, named x; -1 none
    QTest::addColumn<int>("gone"); // the job whose context goes before its turn; -1 none
    QTest::addColumn<QString>("order"); // the sequels, as they came

    QTest::newRow("a job asked for while a slow one runs") << 2 << -1 << -1 << "a b";
    QTest::newRow("a sequel's next job comes after those asked for before it")
        << 2 << 0 << -1 << "a b x";
    QTest::newRow("a job whose context is gone is dropped") << 3 << -1 << 1 << "a c";
}

void tst_OffThread::guiThreadNeverWaits()
{
    QFETCH(int, jobs);
    QFETCH(int, chained);
    QFETCH(int, gone);
    QFETCH(QString, order);

    services::OffThread worker;
    QStringList sequels;
    QStringList worked; // touched only by the workers, one at a time
    qint64 longest = 0;
    // How long the GUI thread spends in one of the test's events.
    const auto timed = [&longest](const std::function<void()> &event) {
        QElapsedTimer clock;
        clock.start();
        event();
        longest = std::max(longest, clock.elapsed());
    };
    const auto ask = [&](const QString &name, int sleepMs, const QObject *context,
                         const std::function<void()> &more) {
        worker.run(
            [&worked, name, sleepMs] {
                if (QThread::currentThread() != QCoreApplication::instance()->thread())
                    worked << name;
                QThread::msleep(sleepMs);
            },
            context,
            [&, name, more] {
                timed([&] {
                    sequels << name;
                    if (more)
                        more();
                });
            });
    };

    std::unique_ptr<QObject> goneContext = std::make_unique<QObject>();
    QTimer::singleShot(0, this, [&] {
        timed([&] {
            for (int i = 0; i < jobs; ++i) {
                const QString name(QChar(u'a' + i));
                const std::function<void()> more = i != chained ? std::function<void()>() : [&] {
                    ask(QStringLiteral("x"), 0, this, {});
                };
                ask(name, i == 0 ? SlowMs : 0, i == gone ? goneContext.get() : this, more);
            }
            goneContext.reset();
        });
    });
    QTRY_COMPARE_WITH_TIMEOUT(sequels.join(u' '), order, 5 * SlowMs);
    QTest::qWait(50); // nothing more comes
    QCOMPARE(sequels.join(u' '), order);
    QCOMPARE(worked.join(u' '), order);
    QVERIFY2(longest < FrameMs, qPrintable(QStringLiteral("%1 ms in one event").arg(longest)));
}

QTEST_MAIN(tst_OffThread)
#include "tst_offthread.moc"

#include "diskmemo.h"
#include "form1.h"
#include "guibench.h"
#include "onsets.h"
#include "placement.h"
#include "songfile.h"
#include "startupreport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace
{

// Records every widget that receives a paint event.
class PaintedWidgets : public QObject
{
public:
    PaintedWidgets() { QCoreApplication::instance()->installEventFilter(this); }
    QSet<const QObject *> widgets;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            widgets.insert(watched);
        return false;
    }
};

} // namespace

class tst_BenchSupport : public QObject
{
    Q_OBJECT
private slots:
    void songIsSixtyLinesOfKnownChords();
    void songWorkingDirHoldsTheSongWhileItLives();
    void childLineRoundTrip();
    void childLineRejected_data();
    void childLineRejected();
    void peakMemoryIsTheHighWaterMark();
    void onsetStandsOutOfWhatCameBefore_data();
    void onsetStandsOutOfWhatCameBefore();
    void firstPaintCoversTheWholeWindow();
    void paintCounterCountsOnlyItsWindow();
};

void tst_BenchSupport::songIsSixtyLinesOfKnownChords()
{
    const QList<QByteArray> lines = bench::songSlotFile().split('\n');
    QCOMPARE(lines.size(), 61); // the last CR LF leaves an empty tail
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i + 1 < lines.size(); i += 2) {
        QVERIFY2(lines[i].endsWith('\r') && lines[i + 1].endsWith('\r'), "lines end in CR LF");
        const QByteArray root = lines[i].chopped(1);
        const QByteArray kind = lines[i + 1].chopped(1);
        const chord::ChordPlacement p = chord::placeChord(
            {root.constData(), size_t(root.size())}, {kind.constData(), size_t(kind.size())});
        QVERIFY2(p.rootRecognised && p.kindRecognised, (root + kind).constData());
    }
}

void tst_BenchSupport::songWorkingDirHoldsTheSongWhileItLives()
{
    const QString before = QDir::currentPath();
    QString path;
    {
        const bench::SongWorkingDir dir;
        QVERIFY(dir.isValid());
        path = dir.path();
        QCOMPARE(QDir::currentPath(), QDir(path).canonicalPath());
        QFile file(QStringLiteral("code.dat"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bench::songSlotFile());
    }
    QCOMPARE(QDir::currentPath(), before);
    QVERIFY(!QDir(path).exists());
}

void tst_BenchSupport::childLineRoundTrip()
{
    const long long start = 1'000'000'000;
    const bench::ChildMoments moments {
        start + 30'000'000, start + 42'500'000, start + 51'000'000, 30'720, 612};
    const auto report = bench::parseChildLine(bench::formatChildLine(moments), start);
    QVERIFY(report);
    QCOMPARE(report->appUpMs, 30.0);
    QCOMPARE(report->buildMs, 12.5);
    QCOMPARE(report->paintMs, 8.5);
    QCOMPARE(report->startupMs, 51.0);
    QCOMPARE(report->peakResidentKb, 30'720L);
    QCOMPARE(report->windowPageFaults, 612L);
}

void tst_BenchSupport::childLineRejected_data()
{
    QTest::addColumn<QByteArray>("line");
    // The parent started the child at 100.
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("four fields") << QByteArray("200 300 400 500\n");
    QTest::newRow("six fields") << QByteArray("200 300 400 500 600 700\n");
    QTest::newRow("not a number") << QByteArray("200 3x0 400 500 600\n");
    QTest::newRow("two spaces") << QByteArray("200  300 400 500 600\n");
    QTest::newRow("Qt up before the start") << QByteArray("50 300 400 500 600\n");
    QTest::newRow("built before Qt up") << QByteArray("300 200 400 500 600\n");
    QTest::newRow("painted before built") << QByteArray("200 400 300 500 600\n");
    QTest::newRow("no peak memory") << QByteArray("200 300 400 -1 600\n");
    QTest::newRow("no fault count") << QByteArray("200 300 400 500 -1\n");
    QTest::newRow("a warning instead") << QByteArray("QStandardPaths: XDG_RUNTIME_DIR not set\n");
}

void tst_BenchSupport::childLineRejected()
{
    QFETCH(QByteArray, line);
    QVERIFY(!bench::parseChildLine(line, 100));
}

// VmHWM keeps the peak after the memory is given back; VmRSS would not.
void tst_BenchSupport::peakMemoryIsTheHighWaterMark()
{
    constexpr long BlockKb = 64 * 1024;
    const long before = bench::peakResidentKb();
    const long residentBefore = bench::residentKb();
    QVERIFY(before > 0 && residentBefore > 0);
    {
        auto block = std::make_unique<char[]>(size_t(BlockKb) * 1024);
        std::memset(block.get(), 1, size_t(BlockKb) * 1024);
        QVERIFY(block[size_t(BlockKb) * 1024 - 1] == 1);
        QVERIFY(bench::residentKb() >= residentBefore + BlockKb * 9 / 10);
    }
    QVERIFY2(bench::peakResidentKb() >= before + BlockKb * 9 / 10,
        qPrintable(QStringLiteral("%1 kB, then %2 kB").arg(before).arg(bench::peakResidentKb())));
}

// The timing figures are distances between onsets and where notes were put.
void tst_BenchSupport::onsetStandsOutOfWhatCameBefore_data()
{
    QTest::addColumn<float>("before"); // the level up to the note
    QTest::addColumn<float>("note"); // from the note on
    QTest::addColumn<bool>("found");
    QTest::newRow("out of silence") << 0.0f << 0.01f << true;
    QTest::newRow("over a ringing tail") << 0.01f << 0.1f << true;
    QTest::newRow("a tail going on") << 0.01f << 0.01f << false;
    QTest::newRow("a tail louder than it was") << 0.01f << 0.02f << false;
    QTest::newRow("under the floor") << 0.0f << 1e-7f << false;
}

void tst_BenchSupport::onsetStandsOutOfWhatCameBefore()
{
    QFETCH(float, before);
    QFETCH(float, note);
    QFETCH(bool, found);
    constexpr int Rate = 44100;
    constexpr std::int64_t Note = 1000, SearchFrom = 900; // 5 ms of tail before the search
    std::vector<float> sound(2000, before);
    std::fill(sound.begin() + Note, sound.end(), note);
    const std::optional<std::int64_t> onset
        = bench::onsetAfter(sound, SearchFrom, std::int64_t(sound.size()), Rate);
    QCOMPARE(onset, found ? std::optional<std::int64_t>(Note) : std::nullopt);
}

// The start-up figures stop the clock at the first paint: by then every
// widget in view must have been painted, and nothing may follow.
void tst_BenchSupport::firstPaintCoversTheWholeWindow()
{
    const bench::SongWorkingDir dir;
    QVERIFY(dir.isValid());
    PaintedWidgets painted;
    memofile::DiskMemo memo;
    Form1 form(dir.memoPath(), {.keeper = &memo.keeper()});
    QVERIFY(bench::showAndWaitForFirstPaint(form));
    const QSet<const QObject *> first = painted.widgets;
    int inView = 0;
    for (const QWidget *w : form.findChildren<QWidget *>()) {
        if (!w->isVisible() || w->visibleRegion().isEmpty())
            continue;
        ++inView;
        QVERIFY2(first.contains(w), qPrintable(w->objectName() + QLatin1String(" not painted")));
    }
    QVERIFY(inView > 100);
    QTest::qWait(200);
    QCOMPARE(painted.widgets.size(), first.size());
}

void tst_BenchSupport::paintCounterCountsOnlyItsWindow()
{
    QLabel watched(QStringLiteral("watched"));
    QLabel other(QStringLiteral("other"));
    const bench::PaintCounter counter(&watched);
    QVERIFY(bench::showAndWaitForFirstPaint(other));
    QCOMPARE(counter.count(), 0);
    QVERIFY(bench::showAndWaitForFirstPaint(watched));
    QVERIFY(counter.count() > 0);
}

QTEST_MAIN(tst_BenchSupport)
#include "tst_benchsupport.moc"

#include "keptmemo.h"

#include "memomerge.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <limits>

namespace
{
// One frame at 60 Hz: the longest the keeper's thread may be kept from its events.
constexpr qint64 FrameMs = 16;

// What the keeper is asked to do on a slow disk.
enum class Work {
    Changed,
    Save,
    SaveAs,
    Open,
    AnotherWindowsSave,
    TidyUp,
    Rescue,
};

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the event loop until done() (ten seconds at most) with a probe due
// every millisecond; gives the longest wait between two runs of the probe.
qint64 longestGapUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QElapsedTimer sinceLast;
    qint64 longest = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longest = qMax(longest, sinceLast.restart());
        if (done())
            loop.quit();
    });
    QTimer::singleShot(10 * 1000, &loop, &QEventLoop::quit);
    sinceLast.start();
    probe.start(1);
    loop.exec();
    return longest;
}
} // namespace

class tst_MemoKeeper : public QObject
{
    Q_OBJECT
private slots:
    void saveErrorStaysUntilSaved_data();
    void saveErrorStaysUntilSaved();
    void threadAnswersWhileTheDiskIsSlow_data();
    void threadAnswersWhileTheDiskIsSlow();
    void changesDuringASaveStay_data();
    void changesDuringASaveStay();
    void changesDuringTheLastSaveReachTheFile_data();
    void changesDuringTheLastSaveReachTheFile();
    void failedSaveIsTriedAgain_data();
    void failedSaveIsTriedAgain();

private:
    // Gives the work to a keeper on a slow disk; lowers longest to the
    // longest wait of the probe while it ran.
    void slowWork(Work work, qint64 *longest);
};

void tst_MemoKeeper::saveErrorStaysUntilSaved_data()
{
    QTest::addColumn<bool>("writable"); // made writable after the open
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("saves");
    QTest::addColumn<bool>("errorStays");

    QTest::newRow("nothing to save: the file is still read-only") << false << false << true << true;
    QTest::newRow("a change that cannot be saved") << false << true << false << true;
    QTest::newRow("nothing to save, though writable now") << true << false << true << true;
    QTest::newRow("a change that reaches the file") << true << true << true << false;
}

// A read-only memo is said at once; only a save that writes the file takes that back.
void tst_MemoKeeper::saveErrorStaysUntilSaved()
{
    QFETCH(bool, writable);
    QFETCH(bool, change);
    QFETCH(bool, saves);
    QFETCH(bool, errorStays);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.dat"));
    QVERIFY(writeFile(path, Song));
    QFile::setPermissions(path, QFile::ReadOwner);
    KeptMemo kept;
    QVERIFY(!kept.keeper.load(path, {}));
    kept.keeper.tidyUp();
    QTRY_VERIFY(kept.keeper.saveError());
    if (writable)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (change) {
        kept.memo.curslot = 0;
        kept.memo.store(QStringLiteral("D"), QString());
    }
    QCOMPARE(!saveAndWait(kept.keeper).has_value(), saves);
    QCOMPARE(kept.keeper.saveError().has_value(), errorStays);
}

void tst_MemoKeeper::threadAnswersWhileTheDiskIsSlow_data()
{
    QTest::addColumn<Work>("work");
    QTest::newRow("a change saved as you go") << Work::Changed;
    QTest::newRow("a save asked for") << Work::Save;
    QTest::newRow("save as") << Work::SaveAs;
    QTest::newRow("open another file") << Work::Open;
    QTest::newRow("another window's save read") << Work::AnotherWindowsSave;
    QTest::newRow("the lock and the tidying") << Work::TidyUp;
    QTest::newRow("a rescue file") << Work::Rescue;
}

// However slow the disk, the keeper's thread goes on with its events: a probe
// that the event loop runs every millisecond never waits a frame. A busy
// machine may hold the thread back now and then: the best of three tries
// counts, which a freeze would spoil all three of.
void tst_MemoKeeper::threadAnswersWhileTheDiskIsSlow()
{
    QFETCH(Work, work);
    qint64 longest = std::numeric_limits<qint64>::max();
    for (int attempt = 0; attempt < 3 && longest >= FrameMs; ++attempt) {
        slowWork(work, &longest);
        if (QTest::currentTestFailed())
            return;
    }
    QVERIFY2(longest < FrameMs, qPrintable(QStringLiteral("%1 ms").arg(longest)));
}

void tst_MemoKeeper::slowWork(Work work, qint64 *longest)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.dat"));
    QVERIFY(writeFile(path, Song));
    const QString other = dir.filePath(QStringLiteral("song.dat"));
    QVERIFY(writeFile(other, "G\r\n7\r\n"));
    qputenv("XDG_DATA_HOME", dir.path().toUtf8()); // where a rescue file goes
    KeptMemo kept(true);
    QVERIFY(!kept.keeper.load(path, {}));
    // Changed as an edit would change it, with no slot receiving chords.
    kept.memo.code1[0].setText(QStringLiteral("D"));

    bool finished = false;
    const auto finish = [&finished](const auto &) { finished = true; };
    std::function<bool()> done = [&finished] { return finished; };
    QObject::connect(&kept.keeper, &memofile::MemoKeeper::slotChanged, [&] { finished = true; });
    switch (work) {
    case Work::Changed:
        kept.keeper.memoChanged();
        done = [&] { return bytesOf(path).startsWith("D\r\n"); };
        break;
    case Work::Save: kept.keeper.save(finish); break;
    case Work::SaveAs: kept.keeper.saveAs(other, finish); break;
    case Work::Open: kept.keeper.open(other, {}, finish); break;
    case Work::AnotherWindowsSave:
        QVERIFY(writeFile(path, "C\r\n\r\nE\r\n\r\n"));
        emit kept.watcher->changed();
        break;
    case Work::TidyUp: {
        const QString stray = path + QStringLiteral(".saving-x1Y2z3");
        QVERIFY(writeFile(stray, Song));
        kept.keeper.tidyUp();
        done = [stray] { return !QFile::exists(stray); };
        break;
    }
    case Work::Rescue: kept.keeper.rescue(finish); break;
    }
    *longest = qMin(*longest, longestGapUntil(done));
    QVERIFY(done());
}

void tst_MemoKeeper::changesDuringASaveStay_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QByteArray>("file"); // how the file begins in the end

    QTest::newRow("a chord in another slot") << 1 << "F" << QByteArray("D\r\n\r\nF\r\n\r\nE\r\n");
    QTest::newRow("the same slot again") << 0 << "G" << QByteArray("G\r\n\r\nA\r\nm\r\nE\r\n");
    QTest::newRow("back to what the file held before (an undo)")
        << 0 << "C" << QByteArray("C\r\n\r\nA\r\nm\r\nE\r\n");
}

// A chord stored while a save is on its way stays, though the save brings
// back another window's chord (E in slot 2), and reaches the file next.
void tst_MemoKeeper::changesDuringASaveStay()
{
    QFETCH(int, slot);
    QFETCH(QString, root);
    QFETCH(QByteArray, file);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.dat"));
    QVERIFY(writeFile(path, Song));
    KeptMemo kept(true);
    QVERIFY(!kept.keeper.load(path, {}));
    QVERIFY(writeFile(path, Song + "E\r\n\r\n"));
    kept.memo.curslot = 0;
    kept.memo.store(QStringLiteral("D"), QString());
    bool saved = false;
    kept.keeper.save([&saved](const auto &) { saved = true; });
    QTest::qWait(SlowMs / 2);
    QVERIFY(!saved);
    kept.memo.curslot = slot;
    kept.memo.store(root, QString());
    kept.keeper.memoChanged();
    QTRY_VERIFY(saved);
    QCOMPARE(kept.memo.fetch(slot).root, root);
    QCOMPARE(kept.memo.fetch(2).root, QStringLiteral("E"));
    QTRY_VERIFY_WITH_TIMEOUT(bytesOf(path).startsWith(file), 5000);
}

void tst_MemoKeeper::changesDuringTheLastSaveReachTheFile_data()
{
    QTest::addColumn<bool>("opening"); // 開く another file, else a close
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("afterMs"); // when the chord comes: while the memo is saved

    QTest::newRow("close: a chord in another slot") << false << 1 << SlowMs * 3 / 2;
    QTest::newRow("close: the same slot again") << false << 0 << SlowMs * 3 / 2;
    QTest::newRow("開く: a chord in the memo being left") << true << 1 << SlowMs * 5 / 2;
}

// A close and 開く wait for the save of the memo; a chord stored while that
// save is on its way (from a MIDI keyboard, say) is in the file by the time
// they hear that it went through.
void tst_MemoKeeper::changesDuringTheLastSaveReachTheFile()
{
    QFETCH(bool, opening);
    QFETCH(int, slot);
    QFETCH(int, afterMs);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.dat"));
    QVERIFY(writeFile(path, Song));
    const QString other = dir.filePath(QStringLiteral("song.dat"));
    QVERIFY(writeFile(other, "G\r\n7\r\n"));
    KeptMemo kept(true);
    QVERIFY(!kept.keeper.load(path, {}));
    kept.memo.curslot = 0;
    kept.memo.store(QStringLiteral("D"), QString());

    bool heard = false;
    QByteArray fileWhenHeard;
    const auto hear = [&](const std::optional<services::FileError> &error) {
        heard = !error;
        fileWhenHeard = bytesOf(path);
    };
    if (opening)
        kept.keeper.open(other, {}, hear);
    else
        kept.keeper.save(hear);
    QTest::qWait(afterMs);
    QVERIFY(!heard);
    kept.memo.curslot = slot;
    kept.memo.store(QStringLiteral("F"), QStringLiteral("m"));
    kept.keeper.memoChanged();
    const QByteArray memoNow = memo::memoFileBytes(kept.memo.lines());
    QTRY_VERIFY_WITH_TIMEOUT(heard, 5000);
    QCOMPARE(fileWhenHeard, memoNow);
}

void tst_MemoKeeper::failedSaveIsTriedAgain_data()
{
    QTest::addColumn<bool>("locked"); // else the file is read-only
    QTest::newRow("a lock that another window lets go") << true;
    QTest::newRow("a read-only file made writable") << false;
}

// A save that failed goes through by itself once it can, with no other
// change to start it; saveError() stays until then.
void tst_MemoKeeper::failedSaveIsTriedAgain()
{
    QFETCH(bool, locked);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.dat"));
    QVERIFY(writeFile(path, Song));
    KeptMemo kept;
    QVERIFY(!kept.keeper.load(path, {}));
    if (locked)
        kept.lock->heldElsewhere = true;
    else
        QFile::setPermissions(path, QFile::ReadOwner);
    kept.memo.curslot = 0;
    kept.memo.store(QStringLiteral("D"), QString());
    QVERIFY(saveAndWait(kept.keeper));
    QVERIFY(kept.keeper.saveError());

    kept.lock->heldElsewhere = false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QTest::qWait(memofile::MemoKeeper::RetryFirstMs / 2);
    QVERIFY(kept.keeper.saveError());
    QTRY_VERIFY_WITH_TIMEOUT(!kept.keeper.saveError(), memofile::MemoKeeper::RetryFirstMs * 2);
    QVERIFY(bytesOf(path).startsWith("D\r\n\r\nA\r\nm\r\n"));
}

QTEST_GUILESS_MAIN(tst_MemoKeeper)
#include "tst_memokeeper.moc"

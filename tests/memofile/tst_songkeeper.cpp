#include "keptmemo.h"
#include "memolocation.h"
#include "songkeeper.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace
{
QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A song as the window edits it, and its keeper.
struct KeptSong {
    KeptSong()
        : files(new SlowFiles)
        , keeper(std::unique_ptr<memofile::MemoFiles>(files), [this] { return song; })
    {
    }

    QByteArray song = "{title: v1}\r\n";
    SlowFiles *files; // the keeper's
    memofile::SongKeeper keeper;
};

std::optional<services::FileError> saveAndWait(memofile::SongKeeper &keeper, QByteArray *onDisk)
{
    std::optional<std::optional<services::FileError>> outcome;
    keeper.save([&](const std::optional<services::FileError> &error) {
        outcome = error;
        *onDisk = bytesOf(keeper.path());
    });
    if (!QTest::qWaitFor([&] { return outcome.has_value(); }))
        return services::FileError {keeper.path(), QStringLiteral("no answer")};
    return *outcome;
}
} // namespace

class tst_SongKeeper : public QObject
{
    Q_OBJECT
private slots:
    void changesReachTheFile_data();
    void changesReachTheFile();
    void saveWaitsForTheFile_data();
    void saveWaitsForTheFile();
    void secondWindowReadsOnly_data();
    void secondWindowReadsOnly();
    void saveAsMovesTheLock_data();
    void saveAsMovesTheLock();
    void rescueWritesTheSong_data();
    void rescueWritesTheSong();
};

void tst_SongKeeper::changesReachTheFile_data()
{
    QTest::addColumn<int>("changes");
    QTest::addColumn<bool>("diskFails"); // until the keeper said so

    QTest::newRow("a change") << 1 << false;
    QTest::newRow("many changes, one save") << 5 << false;
    QTest::newRow("a failing disk, said until a save works") << 1 << true;
}

void tst_SongKeeper::changesReachTheFile()
{
    QFETCH(int, changes);
    QFETCH(bool, diskFails);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.cho"));
    KeptSong kept;
    QVERIFY(!kept.keeper.create(path));
    QCOMPARE(bytesOf(path), kept.song);
    const QSignalSpy errorChanged(&kept.keeper, &memofile::FileKeeper::saveErrorChanged);
    kept.files->writes = 0;
    kept.files->failing = diskFails;
    kept.song = "{title: v2}\r\n";
    for (int i = 0; i < changes; ++i)
        kept.keeper.changed();
    if (diskFails) {
        QTRY_VERIFY(kept.keeper.saveError());
        QCOMPARE(errorChanged.count(), 1);
        kept.files->failing = false;
        // Tried again by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!kept.keeper.saveError(), 2 * memofile::FileKeeper::RetryFirstMs);
        QCOMPARE(errorChanged.count(), 2);
    }
    QTRY_COMPARE(bytesOf(path), kept.song);
    QTest::qWait(2 * memofile::FileKeeper::SaveDelayMs);
    QCOMPARE(kept.files->writes.load(), diskFails ? 2 : 1);
}

void tst_SongKeeper::saveWaitsForTheFile_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("changeWhileSaving");
    QTest::addColumn<int>("writes");

    QTest::newRow("nothing changed: answered at once") << false << false << 0;
    QTest::newRow("a change") << true << false << 1;
    QTest::newRow("a change made while saving goes in too") << true << true << 2;
}

void tst_SongKeeper::saveWaitsForTheFile()
{
    QFETCH(bool, change);
    QFETCH(bool, changeWhileSaving);
    QFETCH(int, writes);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.cho"));
    KeptSong kept;
    QVERIFY(!kept.keeper.create(path));
    kept.files->writes = 0;
    if (change) {
        kept.song = "{title: v2}\r\n";
        kept.keeper.changed();
    }
    if (changeWhileSaving) {
        QTimer::singleShot(SlowMs / 2, [&] {
            kept.song = "{title: v3}\r\n";
            kept.keeper.changed();
        });
    }
    QByteArray onDisk;
    QCOMPARE(saveAndWait(kept.keeper, &onDisk), std::nullopt);
    QCOMPARE(onDisk, kept.song);
    QCOMPARE(kept.files->writes.load(), writes);
}

void tst_SongKeeper::secondWindowReadsOnly_data()
{
    QTest::addColumn<bool>("firstCloses");
    QTest::addColumn<QByteArray>("leftLock"); // a lock file left after the close
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("while the first window has the song") << false << QByteArray() << true;
    QTest::newRow("once the first window closed it") << true << QByteArray() << false;
    QTest::newRow("a lock left by a process that died")
        << true << QByteArray("999999\nsoramina\n\n") << false;
}

// The lock is the keeper's, not the process's: even in one process, a
// second keeper finds the song taken and writes nothing to it.
void tst_SongKeeper::secondWindowReadsOnly()
{
    QFETCH(bool, firstCloses);
    QFETCH(QByteArray, leftLock);
    QFETCH(bool, readOnly);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.cho"));
    KeptSong first;
    QVERIFY(!first.keeper.create(path));
    if (firstCloses)
        first.keeper.close();
    if (!leftLock.isEmpty())
        QVERIFY(writeFile(path + QStringLiteral(".lock"), leftLock));
    KeptSong second;
    second.song = "{title: the second window's}\r\n";
    QByteArray read;
    QVERIFY(!second.keeper.open(path + QStringLiteral("/../song.cho"), &read));
    QCOMPARE(second.keeper.path(), path);
    QCOMPARE(read, first.song);
    QCOMPARE(second.keeper.readOnly(), readOnly);
    QCOMPARE(second.keeper.readOnlyReason().isEmpty(), !readOnly);
    second.keeper.changed();
    QByteArray onDisk;
    QCOMPARE(saveAndWait(second.keeper, &onDisk), std::nullopt);
    QTest::qWait(2 * memofile::FileKeeper::SaveDelayMs);
    QCOMPARE(second.files->writes.load(), readOnly ? 0 : 1);
}

void tst_SongKeeper::saveAsMovesTheLock_data()
{
    QTest::addColumn<bool>("targetTaken"); // another window has the new file

    QTest::newRow("to a free file") << false;
    QTest::newRow("to a file another window has") << true;
}

void tst_SongKeeper::saveAsMovesTheLock()
{
    QFETCH(bool, targetTaken);
    const QTemporaryDir dir;
    const QString from = dir.filePath(QStringLiteral("song.cho"));
    const QString to = dir.filePath(QStringLiteral("copy.cho"));
    KeptSong kept;
    QVERIFY(!kept.keeper.create(from));
    KeptSong other;
    other.song = "{title: other}\r\n";
    if (targetTaken)
        QVERIFY(!other.keeper.create(to));
    kept.song = "{title: v2}\r\n";
    std::optional<std::optional<services::FileError>> outcome;
    kept.keeper.saveAs(to, [&](const auto &error) { outcome = error; });
    QTRY_VERIFY(outcome);
    QCOMPARE(outcome->has_value(), targetTaken);
    QCOMPARE(kept.keeper.path(), targetTaken ? from : to);
    QCOMPARE(bytesOf(to), targetTaken ? other.song : kept.song);
    // Whichever file the keeper left is free again; the one it has is not.
    KeptSong third;
    QByteArray read;
    QVERIFY(!third.keeper.open(from, &read));
    QCOMPARE(third.keeper.readOnly(), targetTaken);
    QVERIFY(!third.keeper.open(to, &read));
    QVERIFY(third.keeper.readOnly());
}

void tst_SongKeeper::rescueWritesTheSong_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("rescued"); // the rescue file's name, the time left out

    QTest::newRow("a song") << "song.cho"
                            << "song.rescued-*.cho";
    QTest::newRow("dots in the name") << "live.2024.cho"
                                      << "live.2024.rescued-*.cho";
}

void tst_SongKeeper::rescueWritesTheSong()
{
    QFETCH(QString, fileName);
    QFETCH(QString, rescued);
    const QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    KeptSong kept;
    QVERIFY(!kept.keeper.create(dir.filePath(fileName)));
    kept.song = "{title: v2}\r\n";
    std::optional<memofile::RescueOutcome> outcome;
    kept.keeper.rescue([&](const memofile::RescueOutcome &rescue) { outcome = rescue; });
    QTRY_VERIFY(outcome);
    const auto *path = std::get_if<QString>(&*outcome);
    QVERIFY(path);
    const QString name = QStringLiteral("^%1/soramina/%2$")
                             .arg(QRegularExpression::escape(dir.path()),
                                 QRegularExpression::escape(rescued).replace(
                                     QStringLiteral("\\*"), QStringLiteral("\\d{8}-\\d{6}")));
    QVERIFY2(QRegularExpression(name).match(*path).hasMatch(), qPrintable(*path));
    QCOMPARE(bytesOf(*path), kept.song);
    // The memo's rescue file keeps its name.
    QCOMPARE(memofile::rescuePath(QDateTime({2024, 1, 2}, {3, 4, 5})),
        dir.path() + QStringLiteral("/soramina/code.dat.rescued-20240102-030405"));
}

QTEST_GUILESS_MAIN(tst_SongKeeper)
#include "tst_songkeeper.moc"

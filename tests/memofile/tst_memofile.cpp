#include "keptmemo.h"
#include "lockfile.h"
#include "memolocation.h"
#include "safefile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
enum class Kind {
    Regular,
    LinkToRegular,
    Missing,
    MissingFolder,
    UnderARegularFile,
    Fifo,
    Socket,
    Folder,
    LinkToDevZero,
    LinkLoop,
    LargestMemo,
    TooLarge,
    ReadOnly,
    FileSizeLimit,
};

// Builds the thing the memo path names; gives the memo path.
QString make(Kind kind, const QDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("code.dat"));
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Kind::Regular:
    case Kind::FileSizeLimit: writeFile(path, Song); break;
    case Kind::LinkToRegular:
        writeFile(dir.filePath(QStringLiteral("song.dat")), Song);
        QFile::link(QStringLiteral("song.dat"), path);
        break;
    case Kind::Missing: break;
    case Kind::MissingFolder: return dir.filePath(QStringLiteral("gone/code.dat"));
    case Kind::UnderARegularFile:
        writeFile(dir.filePath(QStringLiteral("plain")), Song);
        return dir.filePath(QStringLiteral("plain/code.dat"));
    case Kind::Fifo: ::mkfifo(native.constData(), 0644); break;
    case Kind::Socket: {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, native.constData(), sizeof address.sun_path);
        [[maybe_unused]] const int bound
            = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::close(fd);
        break;
    }
    case Kind::Folder: dir.mkdir(QStringLiteral("code.dat")); break;
    case Kind::LinkToDevZero: QFile::link(QStringLiteral("/dev/zero"), path); break;
    case Kind::LinkLoop: QFile::link(QStringLiteral("code.dat"), path); break;
    case Kind::LargestMemo:
        writeFile(path, Song + QByteArray(memofile::MaxMemoFileSize - Song.size(), 'x'));
        break;
    case Kind::TooLarge: writeFile(path, QByteArray(memofile::MaxMemoFileSize + 1, 'x')); break;
    case Kind::ReadOnly:
        writeFile(path, Song);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        break;
    }
    return path;
}

// What a refused file must keep: its kind, its link target, its bytes, its mode.
QString snapshot(const QString &path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("missing");
    QString text = QString::number(status.st_mode, 8);
    if (S_ISLNK(status.st_mode))
        return text + QFileInfo(path).symLinkTarget();
    if (S_ISREG(status.st_mode)) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        text += QString::number(qHash(file.readAll()));
    }
    return text;
}

QStringList folderEntries(const QString &path)
{
    return QFileInfo(path).absoluteDir().entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}
} // namespace

class tst_MemoFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fileKinds_data();
    void fileKinds();
    void strayTemporariesGoAtStart_data();
    void strayTemporariesGoAtStart();
    void anotherUsersFileStaysTheirs();
    void lockHeldElsewhere_data();
    void lockHeldElsewhere();
};

void tst_MemoFile::initTestCase()
{
    memofile::ignoreFileSizeSignal();
}

void tst_MemoFile::fileKinds_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("saves");
    QTest::addColumn<QString>("reason"); // part of the reason given, if ours

    QTest::newRow("regular file") << Kind::Regular << true << true << "";
    QTest::newRow("link to a regular file") << Kind::LinkToRegular << true << true << "";
    QTest::newRow("missing file") << Kind::Missing << true << true << "";
    QTest::newRow("missing folder") << Kind::MissingFolder << true << false << "";
    QTest::newRow("folder that is a regular file")
        << Kind::UnderARegularFile << false << false << "";
    QTest::newRow("FIFO") << Kind::Fifo << false << false << "FIFO";
    QTest::newRow("socket") << Kind::Socket << false << false << "";
    QTest::newRow("folder") << Kind::Folder << false << false << "フォルダー";
    QTest::newRow("link to /dev/zero") << Kind::LinkToDevZero << false << false << "デバイス";
    QTest::newRow("link loop") << Kind::LinkLoop << false << false << "";
    QTest::newRow("1 MiB") << Kind::LargestMemo << true << true << "";
    QTest::newRow("1 MiB and a byte") << Kind::TooLarge << false << false << "大きすぎます";
    QTest::newRow("read-only, even for root") << Kind::ReadOnly << true << false << "読み取り専用";
    QTest::newRow("file-size limit") << Kind::FileSizeLimit << true << false << "";
}

// Whatever the memo path names, opening takes well under a second, and a
// file that is refused, or whose save fails, is left exactly as it was.
void tst_MemoFile::fileKinds()
{
    QFETCH(Kind, kind);
    QFETCH(bool, opens);
    QFETCH(bool, saves);
    QFETCH(QString, reason);
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = make(kind, QDir(dir.path()));
    const QString before = snapshot(path);
    const QStringList entriesBefore = folderEntries(path);

    KeptMemo kept;
    QElapsedTimer clock;
    clock.start();
    auto error = kept.keeper.load(path, {});
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(!error.has_value(), opens);
    if (opens) {
        kept.memo.curslot = 0;
        kept.memo.store(QStringLiteral("D"), QStringLiteral("m7"));
        rlimit unlimited = {};
        ::getrlimit(RLIMIT_FSIZE, &unlimited);
        const auto restore = qScopeGuard([&] { ::setrlimit(RLIMIT_FSIZE, &unlimited); });
        if (kind == Kind::FileSizeLimit) {
            const rlimit small {64, unlimited.rlim_max};
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        error = saveAndWait(kept.keeper);
        QCOMPARE(!error.has_value(), saves);
    }
    if (error) {
        QVERIFY2(error->reason.contains(reason), qPrintable(error->reason));
        QCOMPARE(error->fileName, QFileInfo(path).absoluteFilePath());
        QCOMPARE(snapshot(path), before);
        QCOMPARE(folderEntries(path), entriesBefore);
        return;
    }
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith("D\r\nm7\r\n"));
    QCOMPARE(QFileInfo(path).isSymLink(), kind == Kind::LinkToRegular);
}

void tst_MemoFile::strayTemporariesGoAtStart_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QStringList>("kept"); // the memo's file first
    QTest::addColumn<QString>("stray");

    QTest::newRow("a killed save's temporary")
        << "code.dat"
        << QStringList {"code.dat", "code.dat.backup", "code.dat.rescued-20260101-120000"}
        << "code.dat.saving-x1Y2z3";
    // Read as a wildcard, "[live]" would take "l" for one of its letters.
    QTest::newRow("brackets: another memo's save in progress stays")
        << "Song [live].dat" << QStringList {"Song [live].dat", "Song l.dat.saving-a1B2c3"}
        << "Song [live].dat.saving-a1B2c3";
    QTest::newRow("a star and a question mark in the name")
        << "*?.dat" << QStringList {"*?.dat", "ab.dat.saving-a1B2c3"} << "*?.dat.saving-a1B2c3";
}

void tst_MemoFile::strayTemporariesGoAtStart()
{
    QFETCH(QString, memo);
    QFETCH(QStringList, kept);
    QFETCH(QString, stray);
    const QTemporaryDir dir;
    const QDir folder(dir.path());
    for (const QString &name : kept + QStringList {stray})
        QVERIFY(writeFile(folder.filePath(name), Song));
    KeptMemo keeping;
    QVERIFY(!keeping.keeper.load(folder.filePath(memo), {}));
    keeping.keeper.tidyUp();
    kept.sort();
    QTRY_COMPARE(folder.entryList(QDir::Files, QDir::Name), kept);
}

// Saving as root keeps a memo that belongs to someone else theirs.
void tst_MemoFile::anotherUsersFileStaysTheirs()
{
    if (::geteuid() != 0)
        QSKIP("only root can hand a file to another user");
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.dat"));
    QVERIFY(writeFile(path, Song));
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(::chown(native.constData(), 4321, 4322), 0);
    QCOMPARE(::chmod(native.constData(), 0640), 0);
    KeptMemo kept;
    QVERIFY(!kept.keeper.load(path, {}));
    kept.memo.curslot = 0;
    kept.memo.store(QStringLiteral("E"), QString());
    QVERIFY(!saveAndWait(kept.keeper));
    struct stat status = {};
    QCOMPARE(::stat(native.constData(), &status), 0);
    QCOMPARE(status.st_uid, uid_t(4321));
    QCOMPARE(status.st_gid, gid_t(4322));
    QCOMPARE(status.st_mode & 07777, mode_t(0640));
}

void tst_MemoFile::lockHeldElsewhere_data()
{
    // The lock file's lines, as a window writes them: its process, program
    // and computer; "<held>": a window here holds it now.
    QTest::addColumn<QByteArray>("lockFile");
    QTest::addColumn<int>("ageS");
    QTest::addColumn<bool>("taken");

    QTest::newRow("a window holds it") << QByteArray("<held>") << 0 << false;
    QTest::newRow("a window that crashed here") << QByteArray("%pid\nsoramina\n\n") << 0 << true;
    QTest::newRow("another computer, 31 s ago")
        << QByteArray("4321\nsoramina\nelsewhere\n") << 31 << true;
}

// The lock of a window that is gone is taken over, as a refusal says;
// a refusal names the lock file.
void tst_MemoFile::lockHeldElsewhere()
{
    QFETCH(QByteArray, lockFile);
    QFETCH(int, ageS);
    QFETCH(bool, taken);
    const QTemporaryDir dir;
    const QString memoPath = dir.filePath(QStringLiteral("code.dat"));
    const QString lockPath = memoPath + QStringLiteral(".lock");
    QLockFile holder(lockPath);
    if (lockFile == "<held>") {
        QVERIFY(holder.tryLock());
    } else {
        QProcess gone; // a process id that nothing has any more
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QVERIFY(writeFile(lockPath, lockFile.replace("%pid", QByteArray::number(pid))));
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(
            QDateTime::currentDateTime().addSecs(-ageS), QFileDevice::FileModificationTime));
    }
    memofile::LockFile lock;
    const std::optional<QString> refusal = lock.lock(memoPath);
    QCOMPARE(!refusal.has_value(), taken);
    if (refusal)
        QVERIFY2(refusal->contains(lockPath), qPrintable(*refusal));
    else
        lock.unlock();
}

QTEST_GUILESS_MAIN(tst_MemoFile)
#include "tst_memofile.moc"

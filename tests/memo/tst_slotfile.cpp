#include "chordmemo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using Lines = QList<QByteArray>;

namespace
{
const QString FileName = memo::SlotFileName;

// The file a save writes for these lines: padded to 60, each ended by CR LF.
QByteArray savedFile(Lines lines)
{
    lines.resize(memo::SlotFileLineCount);
    return lines.join("\r\n") + "\r\n";
}

const QStringList Roots = {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};

QByteArray majorChords()
{
    QByteArray out;
    for (int k = 0; k < memo::MemoSlotCount; ++k) {
        out += Roots[k % Roots.size()].toLatin1() + "\r\n\r\n";
    }
    return out;
}

QByteArray numberedLines(int count, const char *terminator)
{
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        out += "L" + QByteArray::number(i) + terminator;
    }
    return out;
}

QByteArray contents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Everything under the current directory, to see that nothing was left behind.
QStringList tree()
{
    QStringList entries;
    QDirIterator it(QStringLiteral("."), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        entries << it.next();
    }
    entries.sort();
    return entries;
}

struct Shown {
    int slot;
    QString caption;
};

enum class SaveTrouble { TargetIsDirectory, ParentIsFile, ParentMissing, SizeLimit, ReadOnlyDir };
} // namespace

// Every test runs in a fresh temporary directory, as the slot file is found
// in the current working directory.
class tst_SlotFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void load_data();
    void load();
    void captionsArriveSlotBySlot();
    void save_data();
    void save();
    void missingFileLoadsEmptySlots();
    void unreadableFileIsAnErrorAndStaysUntouched();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
};

void tst_SlotFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void tst_SlotFile::cleanup()
{
    QDir::setCurrent(m_previousDir);
    // A read-only directory left by a test would stop the removal.
    QFile::setPermissions(m_dir->filePath("ro"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_dir.reset();
}

void tst_SlotFile::load_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("roots"); // of the first slots; the rest are empty
    QTest::addColumn<QStringList>("kinds");

    QStringList majorRoots, numberedRoots, numberedKinds;
    for (int k = 0; k < memo::MemoSlotCount; ++k) {
        majorRoots << Roots[k % Roots.size()];
        numberedRoots << QStringLiteral("L%1").arg(2 * k);
        numberedKinds << QStringLiteral("L%1").arg(2 * k + 1);
    }
    QTest::newRow("all kind lines empty: 30 major chords")
        << majorChords() << majorRoots << QStringList();
    QTest::newRow("empty slot between chords")
        << QByteArray("C\r\n\r\n\r\n\r\nA\r\nm\r\n") << QStringList {"C", "", "A"}
        << QStringList {"", "", "m"};
    QTest::newRow("unknown chords kept") << QByteArray("H\r\n\r\nC\r\nmaj7\r\n")
                                         << QStringList {"H", "C"} << QStringList {"", "maj7"};
    QTest::newRow("more than 60 lines")
        << numberedLines(75, "\r\n") << numberedRoots << numberedKinds;
    QTest::newRow("short file") << QByteArray("C\r\nm\r\nD") << QStringList {"C", "D"}
                                << QStringList {"m", ""};
    QTest::newRow("empty file") << QByteArray() << QStringList() << QStringList();
    QTest::newRow("LF only") << QByteArray("C\nm\nD\n\nE\n7\n") << QStringList {"C", "D", "E"}
                             << QStringList {"m", "", "7"};
    QTest::newRow("lone CR") << QByteArray("C\rm\rD\r\rE\r7") << QStringList {"C", "D", "E"}
                             << QStringList {"m", "", "7"};
    QTest::newRow("mixed line ends")
        << QByteArray("C\r\nm\nD\r\rE\n\r7\r\n") << QStringList {"C", "D", "E", "7"}
        << QStringList {"m", "", "", ""};
}

void tst_SlotFile::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, roots);
    QFETCH(QStringList, kinds);
    roots.resize(memo::MemoSlotCount);
    kinds.resize(memo::MemoSlotCount);

    memo::ChordMemo memo;
    memo.curslot = 4;
    QList<Shown> shown;
    memo.loadBytes(bytes, [&shown](int slot, const QString &caption) {
        shown.append({slot, caption});
    });

    QCOMPARE(memo.curslot, memo::ScratchSlot);
    QCOMPARE(shown.size(), memo::MemoSlotCount);
    for (int k = 0; k < memo::MemoSlotCount; ++k) {
        QCOMPARE(shown[k].slot, k);
        QCOMPARE(shown[k].caption, roots[k] + kinds[k]);
        QCOMPARE(memo.fetch(k).root, roots[k]);
        QCOMPARE(memo.fetch(k).kind, kinds[k]);
    }
}

void tst_SlotFile::captionsArriveSlotBySlot()
{
    memo::ChordMemo memo;
    for (int k = 0; k < memo::MemoSlotCount; ++k) {
        memo.curslot = k;
        memo.store(QStringLiteral("old"), QStringLiteral("old"));
    }
    QByteArray bytes;
    for (int k = 0; k < memo::MemoSlotCount; ++k) {
        bytes += "R" + QByteArray::number(k) + "\r\nK" + QByteArray::number(k) + "\r\n";
    }

    int calls = 0;
    memo.loadBytes(bytes, [&](int slot, const QString &caption) {
        ++calls;
        QCOMPARE(caption, QStringLiteral("R%1K%1").arg(slot));
        // The label of slot k is set before slot k + 1 is read.
        if (slot + 1 < memo::MemoSlotCount) {
            QCOMPARE(memo.fetch(slot + 1).root, QStringLiteral("old"));
        }
    });
    QCOMPARE(calls, memo::MemoSlotCount);
}

void tst_SlotFile::save_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");

    Lines sixty;
    for (int i = 0; i < memo::SlotFileLineCount; ++i) {
        sixty << (i % 3 == 0 ? QByteArray() : "Bb" + QByteArray::number(i));
    }
    const QByteArray shiftJis("\x83\x52\x81\x5b\x83\x68");
    const QByteArray nul("C\0m\0", 4);
    const QByteArray longLine(100 * 1024, 'x');

    QTest::newRow("unchanged memo saves back byte for byte")
        << savedFile(sixty) << savedFile(sixty);
    QTest::newRow("all kind lines empty") << majorChords() << majorChords();
    QTest::newRow("empty slot saves as two empty lines")
        << QByteArray("C\r\n\r\n\r\n\r\nA\r\nm\r\n") << savedFile({"C", "", "", "", "A", "m"});
    QTest::newRow("unknown chords kept")
        << QByteArray("H\r\n\r\nCmaj7\r\n") << savedFile({"H", "", "Cmaj7"});
    QTest::newRow("more than 60 lines: the first 60 are saved")
        << numberedLines(75, "\r\n") << numberedLines(60, "\r\n");
    QTest::newRow("60th line without line end") << savedFile(sixty).chopped(2) << savedFile(sixty);
    QTest::newRow("short file padded to 60 lines") << QByteArray("C\r\nm") << savedFile({"C", "m"});
    QTest::newRow("empty file: 60 empty lines") << QByteArray() << savedFile({});
    QTest::newRow("LF only saved with CR LF")
        << numberedLines(60, "\n") << numberedLines(60, "\r\n");
    QTest::newRow("lone CR saved with CR LF")
        << numberedLines(61, "\r") << numberedLines(60, "\r\n");
    QTest::newRow("Shift-JIS bytes kept") << shiftJis + "\r\nm\r\n" << savedFile({shiftJis, "m"});
    QTest::newRow("invalid UTF-8 kept")
        << QByteArray("\xff\xfe\r\nC\xe3\x81") << savedFile({"\xff\xfe", "C\xe3\x81"});
    QTest::newRow("NUL bytes kept") << nul + "\r\n" + nul << savedFile({nul, nul});
    QTest::newRow("byte order mark kept") << QByteArray("\xef\xbb\xbf"
                                                        "C\r\nm")
                                          << savedFile({"\xef\xbb\xbf"
                                                        "C",
                                                 "m"});
    QTest::newRow("100 kB line") << "C\r\n" + longLine + "\r\nD" << savedFile({"C", longLine, "D"});
}

void tst_SlotFile::save()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    QVERIFY(writeFile(FileName, bytes));

    memo::ChordMemo memo;
    const auto loadError = memo.load(FileName, {});
    QVERIFY2(!loadError, loadError ? qPrintable(loadError->reason) : "");
    QCOMPARE(memo.saveBytes(), saved);

    const auto saveError = memo.save(FileName);
    QVERIFY2(!saveError, saveError ? qPrintable(saveError->reason) : "");
    QCOMPARE(contents(FileName), saved);
    QCOMPARE(tree(), QStringList {"./" + FileName});
}

void tst_SlotFile::missingFileLoadsEmptySlots()
{
    memo::ChordMemo memo;
    memo.curslot = 3;
    QList<Shown> shown;
    const auto loadError = memo.load(FileName, [&shown](int slot, const QString &caption) {
        shown.append({slot, caption});
    });
    QVERIFY(!loadError);
    QCOMPARE(shown.size(), memo::MemoSlotCount);
    for (int k = 0; k < memo::MemoSlotCount; ++k) {
        QCOMPARE(shown[k].slot, k);
        QCOMPARE(shown[k].caption, QString());
    }
    QCOMPARE(memo.curslot, memo::ScratchSlot);
    QVERIFY(!QFile::exists(FileName));

    QVERIFY(!memo.save(FileName));
    QCOMPARE(contents(FileName), savedFile({}));
}

void tst_SlotFile::unreadableFileIsAnErrorAndStaysUntouched()
{
    QVERIFY(QDir().mkdir(FileName));
    QVERIFY(writeFile(FileName + "/inside", "x"));
    const QStringList before = tree();

    memo::ChordMemo memo;
    memo.curslot = 0;
    memo.store(QStringLiteral("G"), QStringLiteral("7"));
    int calls = 0;
    const auto error = memo.load(FileName, [&calls](int, const QString &) { ++calls; });
    QVERIFY(error);
    QCOMPARE(error->fileName, FileName);
    QVERIFY(!error->reason.isEmpty());
    QCOMPARE(calls, 0);
    QCOMPARE(memo.fetch(0).root, QStringLiteral("G"));
    QCOMPARE(tree(), before);
}

void tst_SlotFile::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<SaveTrouble>("trouble");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("old"); // the file's bytes before the save, if it exists
    QTest::addColumn<int>("osError"); // the reason the system gives, 0 for Qt's own

    const QByteArray old("C\r\nm\r\n");
    QTest::newRow("code.dat is a directory")
        << SaveTrouble::TargetIsDirectory << FileName << QByteArray() << 0;
    QTest::newRow("parent is a file")
        << SaveTrouble::ParentIsFile << "sub/" + FileName << QByteArray() << ENOTDIR;
    QTest::newRow("parent missing")
        << SaveTrouble::ParentMissing << "missing/" + FileName << QByteArray() << ENOENT;
    // Fails for root too: the write stops at the file size limit.
    QTest::newRow("write fails midway") << SaveTrouble::SizeLimit << FileName << old << EFBIG;
    if (::geteuid() != 0) {
        QTest::newRow("read-only directory")
            << SaveTrouble::ReadOnlyDir << "ro/" + FileName << old << EACCES;
    }
}

void tst_SlotFile::failedSaveKeepsTheOldFile()
{
    QFETCH(SaveTrouble, trouble);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, old);
    QFETCH(int, osError);

    switch (trouble) {
    case SaveTrouble::TargetIsDirectory: QVERIFY(QDir().mkdir(fileName)); break;
    case SaveTrouble::ParentIsFile: QVERIFY(writeFile("sub", "not a directory")); break;
    case SaveTrouble::ReadOnlyDir: QVERIFY(QDir().mkdir("ro")); break;
    case SaveTrouble::ParentMissing:
    case SaveTrouble::SizeLimit: break;
    }
    if (!old.isNull()) {
        QVERIFY(writeFile(fileName, old));
    }
    if (trouble == SaveTrouble::ReadOnlyDir) {
        QVERIFY(QFile::setPermissions("ro", QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const QStringList before = tree();

    memo::ChordMemo memo;
    memo.curslot = 0;
    memo.store(QStringLiteral("Am"), QStringLiteral("7"));

    std::optional<platform::FileError> error;
    {
        rlimit previousLimit = {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &previousLimit) == 0);
        const auto previousXfsz = std::signal(SIGXFSZ, SIG_IGN);
        const auto restore = qScopeGuard([&] {
            ::setrlimit(RLIMIT_FSIZE, &previousLimit);
            std::signal(SIGXFSZ, previousXfsz);
        });
        if (trouble == SaveTrouble::SizeLimit) {
            rlimit small = previousLimit;
            small.rlim_cur = 16; // far below the 60 line ends a save writes
            QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        }
        error = memo.save(fileName);
    }

    QVERIFY(error);
    QCOMPARE(error->fileName, fileName);
    QVERIFY(!error->reason.isEmpty());
    if (osError != 0) {
        QVERIFY2(error->reason.contains(QString::fromLocal8Bit(std::strerror(osError))),
            qPrintable(error->reason));
    }
    if (!old.isNull()) {
        QCOMPARE(contents(fileName), old);
    }
    QCOMPARE(tree(), before);
}

QTEST_GUILESS_MAIN(tst_SlotFile)
#include "tst_slotfile.moc"

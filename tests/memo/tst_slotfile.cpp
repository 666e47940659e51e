#include "chordmemo.h"
#include "memomerge.h"

#include <QTest>

using Lines = QList<QByteArray>;

namespace
{
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

struct Shown {
    int slot;
    QString caption;
};
} // namespace

// The slot file's bytes as the memo reads them and writes them back.
class tst_SlotFile : public QObject
{
    Q_OBJECT
private slots:
    void load_data();
    void load();
    void captionsArriveSlotBySlot();
    void save_data();
    void save();
};

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

    memo::ChordMemo memo;
    memo.loadBytes(bytes, {});
    QCOMPARE(memo::memoFileBytes(memo.lines()), saved);
}

QTEST_GUILESS_MAIN(tst_SlotFile)
#include "tst_slotfile.moc"

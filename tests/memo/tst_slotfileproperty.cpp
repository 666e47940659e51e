#include "chordmemo.h"
#include "memomerge.h"

#include <QTest>

#include <random>

using Lines = QList<QByteArray>;

namespace
{
constexpr unsigned Seed = 20240607;
constexpr int FileCount = 3000;
constexpr int MaxLines = 200;
constexpr qsizetype LongLine = 100 * 1024;

// The lines a load must read, found another way than the program's reader:
// CR LF becomes LF, the remaining CRs become LF, then split at LF.
Lines referenceLines(QByteArray bytes)
{
    bytes.replace("\r\n", "\n").replace('\r', '\n');
    Lines lines = bytes.split('\n');
    lines.resize(memo::SlotFileLineCount);
    return lines;
}

class FileGenerator
{
public:
    QByteArray next()
    {
        QByteArray file;
        const int lines = pick(0, MaxLines);
        for (int i = 0; i < lines; ++i) {
            file += line();
            if (i + 1 < lines || pick(0, 1) == 1) {
                static const char *const ends[] = {"\r\n", "\r", "\n"};
                file += ends[pick(0, 2)];
            }
        }
        return file;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    QByteArray line()
    {
        switch (pick(0, 9)) {
        case 0: return {};
        case 1: return "C#m7-5";
        case 2: return QByteArray("\x83\x52\x81\x5b\x83\x68"); // Shift-JIS
        case 3: return QByteArray("\xc3\x28\xe3\x81\xff", 5); // invalid UTF-8
        case 4: return QByteArray(pick(1, 4), '\0');
        case 5: return pick(0, 150) == 0 ? QByteArray(LongLine, 'z') : QByteArray("H");
        default: break;
        }
        // Any bytes at all, CR and LF included, so line ends fall anywhere.
        QByteArray bytes(pick(1, 12), Qt::Uninitialized);
        for (char &c : bytes) {
            c = static_cast<char>(pick(0, 255));
        }
        return bytes;
    }

    std::mt19937 m_random {Seed};
};
} // namespace

class tst_SlotFileProperty : public QObject
{
    Q_OBJECT
private slots:
    void loadThenSaveKeepsTheFirstSixtyLines();
};

void tst_SlotFileProperty::loadThenSaveKeepsTheFirstSixtyLines()
{
    FileGenerator generator;
    for (int n = 0; n < FileCount; ++n) {
        const QByteArray file = generator.next();
        memo::ChordMemo memo;
        int expectedSlot = 0;
        bool inOrder = true;
        memo.loadBytes(file, [&](int slot, const QString &) { inOrder &= slot == expectedSlot++; });
        QVERIFY2(inOrder && expectedSlot == memo::MemoSlotCount, qPrintable(QString::number(n)));

        // The reference lines hold no CR or LF, so this is exactly 60 lines
        // ended by CR LF whose texts are the lines read, byte for byte.
        const QByteArray saved = memo::memoFileBytes(memo.lines());
        const QByteArray expected = referenceLines(file).join("\r\n") + "\r\n";
        if (saved != expected) {
            QFAIL(qPrintable(
                QStringLiteral("file %1: saved lines differ from the lines read").arg(n)));
        }

        // What a save writes loads back to the same memo.
        memo::ChordMemo reloaded;
        reloaded.loadBytes(saved, {});
        QVERIFY2(memo::memoFileBytes(reloaded.lines()) == saved, qPrintable(QString::number(n)));
    }
}

QTEST_APPLESS_MAIN(tst_SlotFileProperty)
#include "tst_slotfileproperty.moc"

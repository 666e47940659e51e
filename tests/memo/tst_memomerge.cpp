#include "memomerge.h"

#include <QTest>

using memo::MemoLines;

namespace
{
// A memo from "root|kind" texts for its first slots; the rest stay empty.
MemoLines memoOf(const QStringList &chords)
{
    MemoLines lines;
    for (int k = 0; k < chords.size(); ++k) {
        const QStringList parts = chords[k].split(u'|');
        lines[2 * k] = parts.value(0).toUtf8();
        lines[2 * k + 1] = parts.value(1).toUtf8();
    }
    return lines;
}
} // namespace

class tst_MemoMerge : public QObject
{
    Q_OBJECT
private slots:
    void mergeChanges_data();
    void mergeChanges();
};

// base: the file as this window last read or wrote it; mine: this window's
// memo now; theirs: the file now, after another window saved.
void tst_MemoMerge::mergeChanges_data()
{
    QTest::addColumn<QStringList>("base");
    QTest::addColumn<QStringList>("mine");
    QTest::addColumn<QStringList>("theirs");
    QTest::addColumn<QStringList>("merged");

    const QStringList song {"C|", "A|m", "F|", "G|7"};
    QTest::newRow("nobody changed anything") << song << song << song << song;
    QTest::newRow("only the other window changed a slot")
        << song << song << QStringList {"C|", "A|m", "D|m7", "G|7"}
        << QStringList {"C|", "A|m", "D|m7", "G|7"};
    QTest::newRow("only this window changed a slot")
        << song << QStringList {"C|", "E|m", "F|", "G|7"} << song
        << QStringList {"C|", "E|m", "F|", "G|7"};
    QTest::newRow("each changed a different slot")
        << song << QStringList {"Bb|", "A|m", "F|", "G|7"}
        << QStringList {"C|", "A|m", "F|", "G|sus4"} << QStringList {"Bb|", "A|m", "F|", "G|sus4"};
    QTest::newRow("both changed one slot: this later save wins")
        << song << QStringList {"C|", "D|m", "F|", "G|7"} << QStringList {"C|", "E|7", "F|", "G|7"}
        << QStringList {"C|", "D|m", "F|", "G|7"};
    QTest::newRow("a changed kind brings its root along")
        << song << QStringList {"C|", "A|m7", "F|", "G|7"}
        << QStringList {"C|", "F#|m", "F|", "G|7"} << QStringList {"C|", "A|m7", "F|", "G|7"};
    QTest::newRow("this window emptied a slot the other kept")
        << song << QStringList {"C|", "|", "F|", "G|7"} << song
        << QStringList {"C|", "|", "F|", "G|7"};
    QTest::newRow("the other window emptied a slot this one kept")
        << song << song << QStringList {"|", "A|m", "F|", "G|7"}
        << QStringList {"|", "A|m", "F|", "G|7"};
    QTest::newRow("a new file from an editor keeps this window's changes only")
        << QStringList {} << QStringList {"", "", "", "", "", "", "", "", "", "D|m"} << song
        << QStringList {"C|", "A|m", "F|", "G|7", "", "", "", "", "", "D|m"};
}

void tst_MemoMerge::mergeChanges()
{
    QFETCH(QStringList, base);
    QFETCH(QStringList, mine);
    QFETCH(QStringList, theirs);
    QFETCH(QStringList, merged);
    QCOMPARE(memo::mergeChanges(memoOf(base), memoOf(mine), memoOf(theirs)), memoOf(merged));
}

QTEST_APPLESS_MAIN(tst_MemoMerge)
#include "tst_memomerge.moc"

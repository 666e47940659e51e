#include "memoboxes.h"
#include "memohistory.h"

#include <QTest>

namespace
{
enum class Edit { Empty, CloseUp, Open, Move, Copy, Fill, Transpose };
}
Q_DECLARE_METATYPE(Edit)

class tst_MemoEdit : public QObject
{
    Q_OBJECT
private slots:
    void edits_data();
    void edits();
    void bytesTravel();
    void history_data();
    void history();
};

void tst_MemoEdit::edits_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("to"); // Move, Copy; the chords' count for Fill
    QTest::addColumn<QString>("after"); // "refused": nothing changes

    const QString song = "C/ A/m7 F/ G/7";
    QTest::newRow("delete empties, later chords stay")
        << song << Edit::Empty << 1 << 0 << "C/ _ F/ G/7";
    QTest::newRow("close up moves later chords back")
        << song << Edit::CloseUp << 1 << 0 << "C/ F/ G/7";
    QTest::newRow("close up the last box")
        << QString(29, u' ').replace(u' ', "_ ") + "B/" << Edit::CloseUp << 29 << 0 << "";
    QTest::newRow("open moves later chords on")
        << song << Edit::Open << 1 << 0 << "C/ _ A/m7 F/ G/7";
    QTest::newRow("open refused when box 30 holds a chord")
        << QString(29, u' ').replace(u' ', "_ ") + "B/" << Edit::Open << 0 << 0 << "refused";
    QTest::newRow("open refused when box 30 holds a kind alone")
        << QString(29, u' ').replace(u' ', "_ ") + "/m" << Edit::Open << 3 << 0 << "refused";
    QTest::newRow("move forward shifts the boxes between back")
        << song << Edit::Move << 0 << 2 << "A/m7 F/ C/ G/7";
    QTest::newRow("move back shifts the boxes between on")
        << song << Edit::Move << 3 << 1 << "C/ G/7 A/m7 F/";
    QTest::newRow("move onto an empty box past the end")
        << song << Edit::Move << 0 << 5 << "A/m7 F/ G/7 _ _ C/";
    QTest::newRow("copy overwrites the target")
        << song << Edit::Copy << 3 << 0 << "G/7 A/m7 F/ G/7";
    QTest::newRow("fill from a box") << song << Edit::Fill << 2 << 2 << "C/ A/m7 D/ E/m";
    QTest::newRow("fill up to box 30")
        << song << Edit::Fill << 28 << 2 << song + QString(" _").repeated(24) + " D/ E/m";
    // C, A and Bb are F major's: down one is E major, with G#.
    QTest::newRow("transpose moves known roots only, kinds stay")
        << "C/ A/m7 H/ _ Bb/7 bb/ /m" << Edit::Transpose << 0 << -1 << "B/ G#/m7 H/ _ A/7 bb/ /m";
    QTest::newRow("fill refused past box 30") << song << Edit::Fill << 29 << 2 << "refused";
}

void tst_MemoEdit::edits()
{
    QFETCH(QString, before);
    QFETCH(Edit, edit);
    QFETCH(int, box);
    QFETCH(int, to);
    QFETCH(QString, after);
    const memo::Boxes boxes = boxesFrom(before);
    std::optional<memo::Boxes> result;
    switch (edit) {
    case Edit::Empty: result = memo::emptied(boxes, box); break;
    case Edit::CloseUp: result = memo::closedUp(boxes, box); break;
    case Edit::Open: result = memo::opened(boxes, box); break;
    case Edit::Move: result = memo::moved(boxes, box, to); break;
    case Edit::Copy: result = memo::copied(boxes, box, to); break;
    case Edit::Transpose: result = memo::transposed(boxes, to, chord::Spelling::Auto); break;
    case Edit::Fill: {
        const memo::Boxes chords = boxesFrom("D/ E/m");
        result = memo::filled(boxes, box, {chords.begin(), chords.begin() + to});
        break;
    }
    }
    QCOMPARE(result ? textOf(*result) : QStringLiteral("refused"), after);
}

// A chord that moves keeps the bytes it was read as, even ones that are no
// text in the system's encoding.
void tst_MemoEdit::bytesTravel()
{
    memo::Boxes boxes;
    boxes[0].root = memo::SlotText::fromBytes("\x83\x52");
    const memo::Boxes moved = memo::moved(boxes, 0, 4);
    QCOMPARE(moved[4].root.bytes(), QByteArray("\x83\x52"));
    QCOMPARE(memo::opened(moved, 0)->at(5).root.bytes(), QByteArray("\x83\x52"));
    QCOMPARE(
        memo::transposed(moved, 3, chord::Spelling::Auto)[4].root.bytes(), QByteArray("\x83\x52"));
}

void tst_MemoEdit::history_data()
{
    // Each action: "store BOX TEXT", "type BOX TEXT" (typed into that box),
    // "select" (another box chosen), "undo", "redo"; TEXT is root/kind.
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("steps"); // on the history
    QTest::addColumn<int>("undoable");

    QTest::newRow("a step per stored chord")
        << QStringList {"store 0 C/", "store 0 C/m", "store 1 G/"} << "C/m G/" << 3 << 3;
    QTest::newRow("undo restores both lines")
        << QStringList {"store 0 A/m7", "store 0 C/", "undo"} << "A/m7" << 2 << 1;
    QTest::newRow("undo and redo")
        << QStringList {"store 0 A/m7", "undo", "undo", "redo"} << "A/m7" << 1 << 1;
    QTest::newRow("the same chord again is no step")
        << QStringList {"store 0 C/", "store 0 C/"} << "C/" << 1 << 1;
    QTest::newRow("typing into one box is one step")
        << QStringList {"type 2 A/", "type 2 A/m", "type 2 A/m7", "undo"} << "" << 1 << 0;
    QTest::newRow("typing merges until another box is chosen")
        << QStringList {"type 2 A/", "type 2 A/m", "select", "type 2 A/m7", "undo"} << "_ _ A/m"
        << 2 << 1;
    QTest::newRow("typing into another box is its own step")
        << QStringList {"type 0 C/", "type 1 D/", "undo"} << "C/" << 2 << 1;
    QTest::newRow("typed back to what the box held leaves no step")
        << QStringList {"store 0 C/", "type 0 C/m", "type 0 C/"} << "C/" << 1 << 1;
    QTest::newRow("a new step after an undo drops the redo")
        << QStringList {"store 0 C/", "store 0 D/", "undo", "store 1 E/", "redo"} << "C/ E/" << 2
        << 2;
}

void tst_MemoEdit::history()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, memo);
    QFETCH(int, steps);
    QFETCH(int, undoable);

    memo::ChordMemo chords;
    memo::MemoHistory history(chords);
    for (const QString &action : std::as_const(actions)) {
        const QStringList word = action.split(u' ');
        if (word[0] == QLatin1String("undo"))
            history.undoStack()->undo();
        else if (word[0] == QLatin1String("redo"))
            history.undoStack()->redo();
        else if (word[0] == QLatin1String("select"))
            history.endMerging();
        else {
            const int box = word[1].toInt();
            const memo::Box chord = boxesFrom(word[2])[0];
            history.change(action,
                memo::stored(memo::boxesOf(chords), box, chord.root.text(), chord.kind.text()),
                word[0] == QLatin1String("type") ? box : -1);
        }
    }
    QCOMPARE(textOf(memo::boxesOf(chords)), memo);
    QCOMPARE(history.undoStack()->count(), steps);
    QCOMPARE(history.undoStack()->index(), undoable);
}

QTEST_GUILESS_MAIN(tst_MemoEdit)
#include "tst_memoedit.moc"

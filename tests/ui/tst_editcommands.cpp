#include "editcommands.h"
#include "fakewindow.h"
#include "form1fixture.h"
#include "memohistory.h"
#include "noticeline.h"

#include <QUndoStack>

// The edit menu's controller against a fake window: which of the memo's
// changes become steps, and which of them the window is asked to show.
class tst_EditCommands : public QObject
{
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
};

void tst_EditCommands::steps_data()
{
    QTest::addColumn<QByteArray>("file");
    // "select N", "store N ROOT|KIND" (chosen), "type N ROOT|KIND", "undo",
    // "drop A B", "dropcopy A B", "insert": the window's events and the menu's items.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("asked"); // of the window
    QTest::addColumn<QString>("undo"); // the undo item's text
    QTest::addColumn<bool>("refused"); // the notice line is up

    const QByteArray song = slotFile({{0, "C", ""}, {1, "A", "m"}});
    QList<SlotChord> all;
    for (int k = 0; k < 30; ++k)
        all << SlotChord {k, "C", ""};
    const QString plain = QStringLiteral("元に戻す(&U)");

    QTest::newRow("the window's own chord is a step, not shown back to it")
        << song << QStringList {"select 1", "store 1 D|7"} << QStringList {"caption 1 D7"}
        << QStringLiteral("元に戻す(&U): メモ 2 に D7") << false;
    QTest::newRow("typed chords in one box merge, an undo shows what was there")
        << song << QStringList {"select 1", "type 1 D|", "type 1 D|7", "undo"}
        << QStringList {"caption 1 D", "caption 1 D7", "caption 1 Am", "stored A|m"} << plain
        << false;
    QTest::newRow("another box chosen: typing is a step of its own")
        << song << QStringList {"select 1", "type 1 D|", "select 1", "type 1 D|7", "undo"}
        << QStringList {"caption 1 D", "caption 1 D7", "caption 1 D", "stored D|"}
        << QStringLiteral("元に戻す(&U): メモ 2 に D") << false;
    QTest::newRow("the hidden box tries a chord, no step")
        << song << QStringList {"store 30 E|"} << QStringList {} << plain << false;
    QTest::newRow("a step elsewhere leaves the chord on show")
        << song << QStringList {"select 1", "dropcopy 0 2"} << QStringList {"caption 2 C"}
        << QStringLiteral("元に戻す(&U): コピー（メモ 1 → 3）") << false;
    QTest::newRow("dropped outside the boxes or on itself: nothing")
        << song << QStringList {"drop 0 -1", "drop 0 0"} << QStringList {} << plain << false;
    // "click N": box N chosen as the window chooses it, its own chord shown;
    // "step": ステップ入力 on.
    QTest::newRow("step entry: a chord stored moves the box on, in the same step")
        << song << QStringList {"step", "click 0", "store 0 D|7"}
        << QStringList {"caption 0 D7", "receiving 1"}
        << QStringLiteral("元に戻す(&U): メモ 1 に D7") << false;
    QTest::newRow("step entry: undo moves the box back first, then shows its chord")
        << song << QStringList {"step", "click 0", "store 0 D|7", "undo"}
        << QStringList {"caption 0 D7", "receiving 1", "receiving 0", "caption 0 C", "stored C|"}
        << plain << false;
    QTest::newRow("step entry: typed chords move on, each a step of its own")
        << song << QStringList {"step", "click 1", "type 1 D|", "type 2 E|"}
        << QStringList {"caption 1 D", "receiving 2", "caption 2 E", "receiving 3"}
        << QStringLiteral("元に戻す(&U): メモ 3 に E") << false;
    QTest::newRow("step entry: the last box stays")
        << song << QStringList {"step", "click 29", "store 29 G|"} << QStringList {"caption 29 G"}
        << QStringLiteral("元に戻す(&U): メモ 30 に G") << false;
    QTest::newRow("a full memo refuses an opened box, on the notice line")
        << slotFile(all) << QStringList {"select 2", "insert"} << QStringList {} << plain << true;
}

void tst_EditCommands::steps()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, asked);
    QFETCH(QString, undo);
    QFETCH(bool, refused);

    memo::ChordMemo memo;
    memo.loadBytes(file, {});
    FakeWindow window;
    memo::MemoHistory history(memo);
    ui::NoticeLine notice(&window);
    ui::EditCommands edit(&window, memo, &history, &notice);
    const auto item = [&window](const char *name) { return window.findChild<QAction *>(name); };
    for (const QString &step : std::as_const(steps)) {
        const QStringList w = step.split(u' ');
        const QStringList chord = w.value(2).split(u'|');
        if (w[0] == "select" || w[0] == "click") {
            memo.curslot = w[1].toInt();
            emit window.boxChosen(memo.curslot);
            if (w[0] == "click")
                window.store(
                    memo.curslot, memo.fetch(memo.curslot).root, memo.fetch(memo.curslot).kind);
        } else if (w[0] == "step") {
            edit.setStepEntry(true);
        } else if (w[0] == "store" || w[0] == "type") {
            window.store(w[1].toInt(), chord.value(0), chord.value(1), w[0] == "type");
        } else if (w[0] == "drop" || w[0] == "dropcopy") {
            emit window.boxDropped(w[1].toInt(), w[2].toInt(), w[0] == "dropcopy");
        } else {
            item(qPrintable(w[0]))->trigger();
        }
    }
    QCOMPARE(window.log, asked);
    QCOMPARE(item("undo")->text(), undo);
    QCOMPARE(window.findChild<QLabel *>("lblnotice")->isVisibleTo(&window), refused);
}

QTEST_MAIN(tst_EditCommands)
#include "tst_editcommands.moc"

#include "beyondtables.h"
#include "chordboxes.h"
#include "editcommands.h"
#include "fakewindow.h"
#include "form1fixture.h"
#include "memohistory.h"
#include "noticeline.h"

#include <QApplication>
#include <QClipboard>
#include <QSettings>
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
    // "drop A B", "dropcopy A B", "insert", "paste": the window's events and
    // the menu's items; "clip TEXT" the clipboard, "answer keep|nearest" (a !
    // after it: from now on) what the question of names beyond our tables is
    // answered, asked of the window as "ask NAMES".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("asked"); // of the window
    QTest::addColumn<QString>("undo"); // the undo item's text
    QTest::addColumn<QString>("notice"); // the notice line's text; empty: not up

    const QByteArray song = slotFile({{0, "C", ""}, {1, "A", "m"}});
    QList<SlotChord> all;
    for (int k = 0; k < 30; ++k)
        all << SlotChord {k, "C", ""};
    const QString plain = QStringLiteral("元に戻す(&U)");

    QTest::newRow("the window's own chord is a step, not shown back to it")
        << song << QStringList {"select 1", "store 1 D|7"} << QStringList {"caption 1 D7"}
        << QStringLiteral("元に戻す(&U): メモ 2 に D7") << "";
    QTest::newRow("typed chords in one box merge, an undo shows what was there")
        << song << QStringList {"select 1", "type 1 D|", "type 1 D|7", "undo"}
        << QStringList {"caption 1 D", "caption 1 D7", "caption 1 Am", "stored A|m"} << plain << "";
    QTest::newRow("another box chosen: typing is a step of its own")
        << song << QStringList {"select 1", "type 1 D|", "select 1", "type 1 D|7", "undo"}
        << QStringList {"caption 1 D", "caption 1 D7", "caption 1 D", "stored D|"}
        << QStringLiteral("元に戻す(&U): メモ 2 に D") << "";
    QTest::newRow("the hidden box tries a chord, no step")
        << song << QStringList {"store 30 E|"} << QStringList {} << plain << "";
    QTest::newRow("a step elsewhere leaves the chord on show")
        << song << QStringList {"select 1", "dropcopy 0 2"} << QStringList {"caption 2 C"}
        << QStringLiteral("元に戻す(&U): コピー（メモ 1 → 3）") << "";
    QTest::newRow("dropped outside the boxes or on itself: nothing")
        << song << QStringList {"drop 0 -1", "drop 0 0"} << QStringList {} << plain << "";
    // "click N": box N chosen as the window chooses it, its own chord shown;
    // "step": ステップ入力 on.
    QTest::newRow("step entry: a chord stored moves the box on, in the same step")
        << song << QStringList {"step", "click 0", "store 0 D|7"}
        << QStringList {"caption 0 D7", "receiving 1"}
        << QStringLiteral("元に戻す(&U): メモ 1 に D7") << "";
    QTest::newRow("step entry: undo moves the box back first, then shows its chord")
        << song << QStringList {"step", "click 0", "store 0 D|7", "undo"}
        << QStringList {"caption 0 D7", "receiving 1", "receiving 0", "caption 0 C", "stored C|"}
        << plain << "";
    QTest::newRow("step entry: typed chords move on, each a step of its own")
        << song << QStringList {"step", "click 1", "type 1 D|", "type 2 E|"}
        << QStringList {"caption 1 D", "receiving 2", "caption 2 E", "receiving 3"}
        << QStringLiteral("元に戻す(&U): メモ 3 に E") << "";
    QTest::newRow("step entry: the last box stays")
        << song << QStringList {"step", "click 29", "store 29 G|"} << QStringList {"caption 29 G"}
        << QStringLiteral("元に戻す(&U): メモ 30 に G") << "";
    QTest::newRow("a full memo refuses an opened box, on the notice line")
        << slotFile(all) << QStringList {"select 2", "insert"} << QStringList {} << plain
        << "メモがいっぱいです（30 個まで）";
    const QStringList paste {"select 0", "clip Bbmaj7 C9 G/B Am", "paste"};
    const QString pasted = QStringLiteral("元に戻す(&U): 貼り付け（メモ 1）");
    QTest::newRow("paste: known spellings ours, the others kept as written")
        << song << QStringList {"answer keep"} + paste
        << QStringList {"ask C9 G/B", "caption 0 BbM7", "caption 1 C9", "caption 2 G/B",
               "caption 3 Am", "stored Bb|M7"}
        << pasted << "一覧にない 2 個のコードは書かれたままです（再生では休み）";
    QTest::newRow("paste: the nearest chords, and what they leave out")
        << song << QStringList {"answer nearest"} + paste
        << QStringList {"ask C9 G/B", "caption 0 BbM7", "caption 1 C7", "caption 2 G",
               "caption 3 Am", "stored Bb|M7"}
        << pasted << "2 個のコードを近いコードにしました: C9 → C7「9th」, G/B → G「ベース B」";
    QTest::newRow("paste: an answer kept from now on is not asked again")
        << song << QStringList {"answer nearest!", "select 5", "clip Dsus2", "paste", "paste"}
        << QStringList {"ask Dsus2", "caption 5 Dadd9", "stored D|add9"}
        << QStringLiteral("元に戻す(&U): 貼り付け（メモ 6）")
        << "1 個のコードを近いコードにしました: Dsus2 → Dadd9「3度なし」";
}

void tst_EditCommands::steps()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, asked);
    QFETCH(QString, undo);
    QFETCH(QString, notice);

    memo::ChordMemo memo;
    memo.loadBytes(file, {});
    FakeWindow window;
    memo::MemoHistory history(memo);
    ui::NoticeLine line(&window);
    const QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("edit.conf")), QSettings::IniFormat);
    ui::BeyondTablesAnswer answer;
    ui::BeyondTablesQuestion question(
        &settings, nullptr, [&window, &answer](QWidget *parent, const QStringList &names) {
            window.log << QStringLiteral("ask ") + names.join(u' ');
            return parent == &window ? answer : ui::BeyondTablesAnswer {};
        });
    ui::ChordBoxes boxes(memo, &history);
    ui::EditCommands edit(&window, &boxes, &line, &question);
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
        } else if (w[0] == "clip") {
            QApplication::clipboard()->setText(step.section(u' ', 1));
        } else if (w[0] == "answer") {
            answer.beyond = w[1].startsWith("nearest") ? chord::BeyondTables::Nearest
                                                       : chord::BeyondTables::KeepAsWritten;
            answer.remember = w[1].endsWith(u'!');
        } else if (w[0] == "drop" || w[0] == "dropcopy") {
            emit window.boxDropped(w[1].toInt(), w[2].toInt(), w[0] == "dropcopy");
        } else {
            item(qPrintable(w[0]))->trigger();
        }
    }
    QCOMPARE(window.log, asked);
    QCOMPARE(item("undo")->text(), undo);
    const auto *shown = window.findChild<QLabel *>("lblnotice");
    QCOMPARE(shown->isVisibleTo(&window) ? shown->text() : QString(), notice);
}

QTEST_MAIN(tst_EditCommands)
#include "tst_editcommands.moc"

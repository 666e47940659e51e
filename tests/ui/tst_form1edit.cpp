#include "chordproreader.h"
#include "editcommands.h"
#include "form1fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QTimer>

namespace
{
const QByteArray Song = slotFile({{0, "C", ""}, {1, "A", "m7"}, {2, "F", ""}, {3, "G", "7"}});
QByteArray fullMemo()
{
    QList<SlotChord> boxes;
    for (int k = 0; k < 30; ++k)
        boxes << SlotChord {k, "C", QByteArray::number(k)};
    return slotFile(boxes);
}

// A song of 70 chords, each of its own name: C, C#, ... B, then Cm ... Bm, then C7 ...
constexpr int SongChords = 70;
QString songChord(int index)
{
    static const char *const roots[] {
        "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    static const char *const kinds[] {"", "m", "7", "m7", "M7", "6"};
    return QString::fromLatin1(roots[index % 12]) + QString::fromLatin1(kinds[index / 12]);
}
QByteArray longSong()
{
    QByteArray file = "{title: Long}\n";
    for (int k = 0; k < SongChords; ++k)
        file += '[' + songChord(k).toUtf8() + "]\n";
    return file;
}
// A chord of the saved song: its name, "/beats" for a length, "@name" for a section.
QString savedChord(const QByteArray &file, int index)
{
    const song::Bar bar = song::readChordPro(file).chords.at(std::size_t(index));
    return bar.name() + (bar.beats ? QStringLiteral("/%1").arg(bar.beats) : QString())
        + (bar.section.isEmpty() ? QString() : u'@' + bar.section);
}
} // namespace

// The edit menu through the real window, as a user drives it: the keys where
// the focus is, the mouse, the clipboard; and the memo file following each step.
class tst_Form1Edit : public QObject
{
    Q_OBJECT
private slots:
    void edits_data();
    void edits();
    void songEdits_data();
    void songEdits();

private:
    void act(const QString &action);
    Form1Fixture f;
};

// Actions: "click N" (box N from 0), "focus NAME", "key KEYS" (to the focus),
// "type TEXT" (into the focus, then Enter), "clip TEXT" (the clipboard's text,
// | for a line break), "root N" (a root button), "drag A B", "dragcopy A B",
// "transpose N", "step" (ステップ入力 on); the memo's first boxes as the
// file then holds them, and the clipboard at the end.
void tst_Form1Edit::edits_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("undo"); // the undo item's text; empty: greyed
    QTest::addColumn<bool>("refused"); // the memo-full notice is on screen

    const QString none;
    QTest::newRow("Delete empties the box, Ctrl+Z brings it back")
        << Song << QStringList {"click 1", "key Delete"}
        << slotFile({{0, "C", ""}, {2, "F", ""}, {3, "G", "7"}}) << none
        << QStringLiteral("元に戻す(&U): 削除（メモ 2）") << false;
    QTest::newRow("undo where the focus is in a text box")
        << Song << QStringList {"click 1", "key Delete", "focus txtcode1", "key Ctrl+Z"} << Song
        << none << QStringLiteral("") << false;
    QTest::newRow("redo by Ctrl+Y and by Ctrl+Shift+Z")
        << Song
        << QStringList {"click 1", "key Delete", "key Ctrl+Z", "key Ctrl+Y", "key Ctrl+Z",
               "key Ctrl+Shift+Z"}
        << slotFile({{0, "C", ""}, {2, "F", ""}, {3, "G", "7"}}) << none
        << QStringLiteral("元に戻す(&U): 削除（メモ 2）") << false;
    QTest::newRow("Delete in a text box edits its text only")
        << Song << QStringList {"click 1", "focus txtcode2", "key Delete"} << Song << none
        << QStringLiteral("") << false;
    QTest::newRow("Ctrl+Delete closes up")
        << Song << QStringList {"click 0", "key Ctrl+Delete"}
        << slotFile({{0, "A", "m7"}, {1, "F", ""}, {2, "G", "7"}}) << none
        << QStringLiteral("元に戻す(&U): 削除して詰める（メモ 1）") << false;
    QTest::newRow("Insert opens a box")
        << Song << QStringList {"click 1", "key Insert"}
        << slotFile({{0, "C", ""}, {2, "A", "m7"}, {3, "F", ""}, {4, "G", "7"}}) << none
        << QStringLiteral("元に戻す(&U): 空きを挿入（メモ 2）") << false;
    QTest::newRow("Insert on a full memo changes nothing")
        << fullMemo() << QStringList {"click 3", "key Insert"} << fullMemo() << none
        << QStringLiteral("") << true;
    QTest::newRow("a chord chosen, then undone")
        << Song << QStringList {"click 2", "root 2", "key Ctrl+Z"} << Song << none
        << QStringLiteral("") << false;
    QTest::newRow("typing into a box is one step")
        << Song << QStringList {"click 2", "focus txtcode1", "type G", "type G#", "key Ctrl+Z"}
        << Song << none << QStringLiteral("") << false;
    QTest::newRow("copy and paste over the next boxes")
        << Song << QStringList {"click 1", "key Ctrl+C", "click 2", "key Ctrl+V"}
        << slotFile({{0, "C", ""}, {1, "A", "m7"}, {2, "A", "m7"}, {3, "G", "7"}}) << "Am7"
        << QStringLiteral("元に戻す(&U): 貼り付け（メモ 3）") << false;
    QTest::newRow("cut") << Song << QStringList {"click 3", "key Ctrl+X"}
                         << slotFile({{0, "C", ""}, {1, "A", "m7"}, {2, "F", ""}}) << "G7"
                         << QStringLiteral("元に戻す(&U): 切り取り（メモ 4）") << false;
    QTest::newRow("paste names split into root and kind")
        << Song << QStringList {"clip Dm7  Bb|H N.C.", "click 4", "key Ctrl+V"}
        << slotFile({{0, "C", ""}, {1, "A", "m7"}, {2, "F", ""}, {3, "G", "7"}, {4, "D", "m7"},
               {5, "Bb", ""}, {6, "H", ""}, {7, "N.C.", ""}})
        << "Dm7  Bb\nH N.C." << QStringLiteral("元に戻す(&U): 貼り付け（メモ 5）") << false;
    QTest::newRow("a paste that does not fit changes nothing")
        << Song << QStringList {"clip C D E", "click 28", "key Ctrl+V"} << Song << "C D E"
        << QStringLiteral("") << true;
    QTest::newRow("with no box chosen, Delete and paste do nothing")
        << Song << QStringList {"clip E", "key Delete", "key Ctrl+V"} << Song << "E"
        << QStringLiteral("") << false;
    QTest::newRow("drag moves") << Song << QStringList {"drag 0 2"}
                                << slotFile(
                                       {{0, "A", "m7"}, {1, "F", ""}, {2, "C", ""}, {3, "G", "7"}})
                                << none << QStringLiteral("元に戻す(&U): 移動（メモ 1 → 3）")
                                << false;
    QTest::newRow("drag with Ctrl copies")
        << Song << QStringList {"dragcopy 3 5"}
        << slotFile({{0, "C", ""}, {1, "A", "m7"}, {2, "F", ""}, {3, "G", "7"}, {5, "G", "7"}})
        << none << QStringLiteral("元に戻す(&U): コピー（メモ 4 → 6）") << false;
    QTest::newRow("transpose is one step")
        << Song << QStringList {"transpose 2"}
        << slotFile({{0, "D", ""}, {1, "B", "m7"}, {2, "G", ""}, {3, "A", "7"}}) << none
        << QStringLiteral("元に戻す(&U): 移調 +2") << false;
    QTest::newRow("a key chord is one step, by its key where the focus is")
        << Song << QStringList {"click 4", "focus cmdview", "key Alt+Shift+5"}
        << slotFile({{0, "C", ""}, {1, "A", "m7"}, {2, "F", ""}, {3, "G", "7"}, {4, "G", "7"}})
        << none << QStringLiteral("元に戻す(&U): メモ 5 に G7") << false;
    QTest::newRow("step entry: key chords, a button and typing fill the boxes in turn")
        << Song
        << QStringList {"step", "click 4", "key Alt+5", "key Alt+Shift+2", "root 9",
               "focus txtcode1", "type E"}
        << slotFile({{0, "C", ""}, {1, "A", "m7"}, {2, "F", ""}, {3, "G", "7"}, {4, "G", ""},
               {5, "D", "m7"}, {6, "A", "m7"}, {7, "E", "m7"}})
        << none << QStringLiteral("元に戻す(&U): メモ 8 に Em7") << false;
    QTest::newRow("step entry: undo takes back the chord and the move")
        << Song << QStringList {"step", "click 4", "key Alt+5", "key Ctrl+Z", "key Alt+4"}
        << slotFile({{0, "C", ""}, {1, "A", "m7"}, {2, "F", ""}, {3, "G", "7"}, {4, "F", ""}})
        << none << QStringLiteral("元に戻す(&U): メモ 5 に F") << false;
    QTest::newRow("transpose undone") << Song << QStringList {"transpose -1", "key Ctrl+Z"} << Song
                                      << none << QStringLiteral("") << false;
}

void tst_Form1Edit::act(const QString &action)
{
    const QString verb = action.section(u' ', 0, 0);
    const QString rest = action.section(u' ', 1);
    const int a = rest.section(u' ', 0, 0).toInt();
    const int b = rest.section(u' ', 1, 1).toInt();
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : f.form();
    if (verb == QLatin1String("click")) {
        f.clickSlot(a);
    } else if (verb == QLatin1String("focus")) {
        f.control(rest)->setFocus();
    } else if (verb == QLatin1String("key")) {
        const QKeySequence keys(rest);
        QTest::keyClick(focus, keys[0].key(), keys[0].keyboardModifiers());
    } else if (verb == QLatin1String("type")) {
        auto *box = qobject_cast<QLineEdit *>(focus);
        box->setText(rest);
        QTest::keyClick(box, Qt::Key_Return);
    } else if (verb == QLatin1String("clip")) {
        QApplication::clipboard()->setText(QString(rest).replace(u'|', u'\n'));
    } else if (verb == QLatin1String("root")) {
        f.clickOption("opcode1", a);
    } else if (verb == QLatin1String("step")) {
        f.form()->findChild<QAction *>(QStringLiteral("stepEntry"))->trigger();
    } else if (verb == QLatin1String("item")) {
        f.form()->findChild<QAction *>(rest)->trigger();
    } else if (verb == QLatin1String("section")) {
        // The name typed into the question, as a user would.
        QTimer::singleShot(50, [name = rest.section(u' ', 1)] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            dialog->setTextValue(name);
            dialog->accept();
        });
        f.form()->findChild<QAction *>(QStringLiteral("section"))->trigger();
    } else if (verb == QLatin1String("transpose")) {
        f.form()->rooms().edit->transpose(a, chord::Spelling::Auto);
    } else {
        QWidget *from = f.control("lblslot", a);
        QWidget *to = f.control("lblslot", b);
        const auto mods = verb == QLatin1String("dragcopy") ? Qt::ControlModifier : Qt::NoModifier;
        const QPoint target = from->mapFromGlobal(to->mapToGlobal(to->rect().center()));
        QTest::mousePress(from, Qt::LeftButton, {}, from->rect().center());
        QTest::mouseMove(from, target);
        QTest::mouseRelease(from, Qt::LeftButton, mods, target);
    }
}

void tst_Form1Edit::edits()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, actions);
    QFETCH(QByteArray, saved);
    QFETCH(QString, clipboard);
    QFETCH(QString, undo);
    QFETCH(bool, refused);
    QApplication::clipboard()->clear();
    QVERIFY(f.open(&file));
    for (const QString &action : std::as_const(actions))
        act(action);
    // Refused or undone, an edit leaves the file byte for byte as it was.
    QTest::qWait(600);
    QTRY_COMPARE(f.savedFile(), saved);
    for (int k = 0; k < 30; ++k) {
        const QString line = QString::fromUtf8(saved.split('\n').value(2 * k).chopped(1)
            + saved.split('\n').value(2 * k + 1).chopped(1));
        QCOMPARE(f.slotCaption(k), line);
    }
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
    const QAction *undoItem = f.form()->findChild<QAction *>(QStringLiteral("undo"));
    QCOMPARE(undoItem->isEnabled() ? undoItem->text() : QString(), undo);
    const auto *notice = f.control<QLabel>(QStringLiteral("lblnotice"));
    QCOMPARE(notice->isVisible(), refused);
    QVERIFY(
        !refused || notice->text().startsWith(QStringLiteral("メモがいっぱいです（30 個まで）")));
}

// A song of 70 chords on pages of the 30 boxes: the steps as in edits();
// "item NAME" triggers a menu item, "section N NAME" names the section of the
// chosen box. Then the page line, captions of boxes on the page shown ("N
// NAME"), the saved file's chord count, and its chords ("N NAME").
void tst_Form1Edit::songEdits_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("chords");

    const QString c29 = songChord(29), c30 = songChord(30), c31 = songChord(31);
    QTest::newRow("the first page as it opens") << QStringList {} << "ページ 1/3"
                                                << QStringList {"0 C", "29 " + c29} << SongChords
                                                << QStringList {"69 " + songChord(69)};
    QTest::newRow("PageDown turns the page from a text box")
        << QStringList {"focus txtcode1", "key PgDown"} << "ページ 2/3"
        << QStringList {"0 " + c30, "1 " + c31} << SongChords << QStringList {"30 " + c30};
    QTest::newRow("the last page has its empty boxes after the end")
        << QStringList {"key PgDown", "key PgDown", "key PgDown"} << "ページ 3/3"
        << QStringList {"9 " + songChord(69), "10 "} << SongChords << QStringList {};
    QTest::newRow("a chord stored on page 2 goes to its place in the song")
        << QStringList {"key PgDown", "click 2", "focus txtcode1", "type A"} << "ページ 2/3"
        << QStringList {"2 A7"} << SongChords << QStringList {"32 A7", "31 " + c31};
    QTest::newRow("insert on page 1 moves page 2 on, past the 30 boxes")
        << QStringList {"click 0", "item insert", "key PgDown"} << "ページ 2/3"
        << QStringList {"0 " + c29, "1 " + c30} << SongChords + 1
        << QStringList {"0 ", "1 C", "70 " + songChord(69)};
    QTest::newRow("close-up on page 1 pulls page 2 back")
        << QStringList {"click 0", "item closeup", "key PgDown"} << "ページ 2/3"
        << QStringList {"0 " + songChord(31)} << SongChords - 1
        << QStringList {"0 C#", "29 " + c30};
    QTest::newRow("undo from page 1 turns to the page it changes")
        << QStringList {"key PgDown", "click 1", "focus txtcode1", "type A", "key PgUp",
               "key Ctrl+Z"}
        << "ページ 2/3" << QStringList {"1 " + c31} << SongChords << QStringList {"31 " + c31};
    QTest::newRow("step entry goes on from the last box to the next page")
        << QStringList {"step", "click 29", "focus txtcode1", "type A", "type D"} << "ページ 2/3"
        << QStringList {"0 D7"} << SongChords << QStringList {"29 A7", "30 D7"};
    QTest::newRow("a length and a section, saved; undone one at a time")
        << QStringList {"click 3", "item length2beats", "section 3 サビ", "click 4",
               "item length2bars", "item undo"}
        << "ページ 1/3" << QStringList {"3 D#"} << SongChords
        << QStringList {"3 D#/2@サビ", "4 E"};
}

void tst_Form1Edit::songEdits()
{
    QFETCH(QStringList, actions);
    QFETCH(QString, page);
    QFETCH(QStringList, captions);
    QFETCH(int, count);
    QFETCH(QStringList, chords);
    const QByteArray song = longSong();
    QVERIFY(f.open(nullptr, {}, {}, &song));
    for (const QString &action : std::as_const(actions))
        act(action);
    QCOMPARE(f.caption("lblpage"), page);
    for (const QString &caption : std::as_const(captions))
        QCOMPARE(f.slotCaption(caption.section(u' ', 0, 0).toInt()), caption.section(u' ', 1));
    // Saved as it changes, within a second.
    QTRY_COMPARE(int(song::readChordPro(f.savedFile("song.cho")).chords.size()), count);
    for (const QString &chord : std::as_const(chords))
        QTRY_COMPARE(savedChord(f.savedFile("song.cho"), chord.section(u' ', 0, 0).toInt()),
            chord.section(u' ', 1));
}

QTEST_MAIN(tst_Form1Edit)
#include "tst_form1edit.moc"

#include "form1fixture.h"

#include <QAccessible>
#include <QApplication>

namespace
{
constexpr int Parked = 8000;
const QString NoteLetters = QStringLiteral("C D EF G A B"); // a letter's place is its semitone
// The black keys' Lefts in key order, C#3 to A#4, as the layout draws them.
constexpr int BlackLefts[10] {360, 960, 1800, 2340, 2880, 3720, 4320, 5160, 5700, 6240};

// "C#4" as semitones above C3; -1 for a text that names no key.
int semitoneOf(const QString &note)
{
    const qsizetype letter = NoteLetters.indexOf(note.left(1));
    if (letter < 0 || note.size() < 2 || !note.back().isDigit())
        return -1;
    return int(letter) + (note[1] == u'#' ? 1 : 0) + 12 * (note.back().digitValue() - 3);
}

// Where a click on a key lands, in twips: below the black keys on a white
// key, halfway down a black key.
QPoint keyPoint(int semitone)
{
    static const QList<int> blacks {1, 3, 6, 8, 10, 13, 15, 18, 20, 22};
    if (const qsizetype b = blacks.indexOf(semitone); b >= 0)
        return {BlackLefts[b] + 187, 4700};
    const qsizetype white
        = semitone / 12 * 7 + QStringLiteral("CDEFGAB").indexOf(NoteLetters[semitone % 12]);
    return {360 + 480 * int(white), 5900};
}
} // namespace

// Keys of the drawn keyboard picked by clicks and by keys, with what else the
// window is told to do; then what it shows.
class tst_Form1Pick : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void pick_data();
    void pick();
    void focusFollowsThePick_data();
    void focusFollowsThePick();

private:
    // A click where the mouse would land: on whatever takes clicks there.
    void clickAt(const QPoint &twips) const
    {
        QWidget *client = f.control("client");
        const QPoint at(widgets::twipsToPixels(twips.x()), widgets::twipsToPixels(twips.y()));
        QWidget *target = client->childAt(at);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(client, at));
    }
    void step(const QString &step) const;

    Form1Fixture f;
};

void tst_Form1Pick::init()
{
    const QByteArray file = slotFile({{1, "A", "m"}, {2, "Bb", "7"}});
    QVERIFY(f.open(&file));
    f.form()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form()));
}

void tst_Form1Pick::step(const QString &step) const
{
    const QStringList words = step.split(u' ');
    const QString arg = words.value(1);
    if (const int key = semitoneOf(step); key >= 0)
        clickAt(keyPoint(key));
    else if (words[0] == "marker") {
        const QPoint m = f.marker(arg.toInt());
        clickAt(m + QPoint(127, 127));
    } else if (words[0] == "slot")
        f.clickSlot(arg.toInt());
    else if (words[0] == "root")
        f.clickOption("opcode1", arg.toInt());
    else if (words[0] == "view") {
        f.type("txtcode1", arg);
        f.clickView();
    } else if (words[0] == "midi")
        f.form()->showPlayedChord(arg, words.value(2));
    else if (words[0] == "about" || words[0] == "undo")
        f.form()->findChild<QAction *>(words[0])->trigger();
    else
        QTest::keySequence(f.form()->focusWidget(), QKeySequence(step));
}

void tst_Form1Pick::pick_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("chord"); // the chord-name line
    QTest::addColumn<QString>("box"); // memo box 3, chosen by "slot 2"
    QTest::addColumn<QString>("line"); // what else the pick is called
    QTest::addColumn<QList<int>>("marked"); // keys coloured as picked
    QTest::addColumn<QString>("cursor"); // the focused key cursor's name; empty: not checked

    const QStringList c {"slot 2", "E3", "G3", "C4"};
    QTest::newRow("E3 G3 C4 into a box: C, stored") << c << "C"
                                                    << "C"
                                                    << "" << QList {4, 7, 12} << "";
    QTest::newRow("A3 C4 E4 G4: Am7, also C6")
        << QStringList {"slot 2", "A3", "C4", "E4", "G4"} << "Am7"
        << "Am7"
        << "ほかの名前: C6" << QList {9, 12, 16, 19} << "";
    QTest::newRow("black keys over the white ones")
        << QStringList {"slot 2", "D#3", "G3", "A#3"} << "D#"
        << "D#"
        << "" << QList {3, 7, 10} << "";
    QTest::newRow("markers are their keys' own; no box, nothing stored")
        << QStringList {"marker 0", "marker 1", "marker 2"} << "Cm"
        << "Bb7"
        << "" << QList {0, 3, 7} << "";
    QTest::newRow("two keys: no name, the chord and the box stay")
        << QStringList {"slot 2", "C3", "E3"} << "Bb7"
        << "Bb7"
        << "名前なし" << QList {0, 4} << "";
    QTest::newRow("a key clicked again lets go") << c + QStringList {"C4"} << "C"
                                                 << "C"
                                                 << "名前なし" << QList {4, 7} << "";
    QTest::newRow("Escape clears, the chord and the box stay") << c + QStringList {"Esc"} << "C"
                                                               << "C"
                                                               << "" << QList<int> {} << "";
    QTest::newRow("a root button clears") << c + QStringList {"root 2"} << "D"
                                          << "D"
                                          << "" << QList<int> {} << "";
    QTest::newRow("another box clears") << c + QStringList {"slot 1"} << "Am"
                                        << "C"
                                        << "" << QList<int> {} << "";
    QTest::newRow("a typed chord clears") << c + QStringList {"view G"} << "G"
                                          << "G"
                                          << "" << QList<int> {} << "";
    QTest::newRow("a chord played in clears") << c + QStringList {"midi D m"} << "Dm"
                                              << "Dm"
                                              << "" << QList<int> {} << "";
    QTest::newRow("one undo takes the named chord out, the pick stays")
        << c + QStringList {"undo"} << "Bb7"
        << "Bb7"
        << "" << QList {4, 7, 12} << "";
    QTest::newRow("the About panel's Escape first, then the pick's")
        << c + QStringList {"about", "Esc"} << "C"
        << "C"
        << "" << QList {4, 7, 12} << "";
    QTest::newRow("the pick's Escape once the panel is closed")
        << c + QStringList {"about", "Esc", "Esc"} << "C"
        << "C"
        << "" << QList<int> {} << "";

    QStringList keys {"slot 2", "Shift+Tab"};
    for (const int right : {4, 3, 5})
        keys << QStringList(right, "Right") << "Space";
    QTest::newRow("by keys: the keyboard follows the memo, Space picks")
        << keys << "C"
        << "C"
        << "" << QList {4, 7, 12} << "C4";
    QTest::newRow("Left stops at the lowest key")
        << QStringList {"Shift+Tab", "Right", "Left", "Left", "Space"} << "Cm"
        << "Bb7"
        << "名前なし" << QList {0} << "C3";
    QTest::newRow("Escape from the key cursor")
        << QStringList {"Shift+Tab", "Space", "Right", "Esc"} << "Cm"
        << "Bb7"
        << "" << QList<int> {} << "C#3";
}

void tst_Form1Pick::pick()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, chord);
    QFETCH(QString, box);
    QFETCH(QString, line);
    QFETCH(QList<int>, marked);
    QFETCH(QString, cursor);
    for (const QString &s : steps)
        step(s);

    QCOMPARE(f.caption("lblcode"), chord);
    QCOMPARE(f.slotCaption(2), box);
    auto *names = f.control<QLabel>("lblothernames");
    QCOMPARE(names && names->isVisible() ? names->text() : QString(), line);
    QVERIFY(f.control("Label12")->accessibleDescription().endsWith(line));
    for (int key = 0; key < 24; ++key) {
        QWidget *mark = f.control(QStringLiteral("pick(%1)").arg(key));
        QCOMPARE(mark && mark->isVisible(), marked.contains(key));
    }
    QCOMPARE(f.top("frameabout"), Parked);
    if (cursor.isEmpty())
        return;
    QAccessibleInterface *focus = QAccessible::queryAccessibleInterface(f.form()->focusWidget());
    QCOMPARE(focus->text(QAccessible::Name), cursor);
    QCOMPARE(focus->role(), QAccessible::CheckBox);
    QCOMPARE(bool(focus->state().checked), marked.contains(semitoneOf(cursor)));
}

// The focus on an option button moves to the button the pick chose, as the
// arrow keys would have taken it; anywhere else it stays.
void tst_Form1Pick::focusFollowsThePick_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("focus");
    QTest::newRow("on the kind m: to the major button")
        << QStringList {"Tab", "E3", "G3", "C4"} << "opcode2(0)";
    QTest::newRow("on the root C: to A") << QStringList {"A3", "C4", "E4", "G4"} << "opcode1(9)";
    QTest::newRow("two keys name nothing: it stays")
        << QStringList {"Tab", "C3", "E3"} << "opcode2(1)";
    QTest::newRow("in a text box: it stays")
        << QStringList {"Tab", "Tab", "E3", "G3", "C4"} << "txtcode1";
}

void tst_Form1Pick::focusFollowsThePick()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, focus);
    for (const QString &s : steps)
        step(s);
    QCOMPARE(f.form()->focusWidget()->objectName(), focus);
}

QTEST_MAIN(tst_Form1Pick)
#include "tst_form1pick.moc"

#include "form1fixture.h"

#include <QAccessible>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QSignalSpy>

namespace
{
constexpr int W = 5760; // marker Top on a white key
constexpr int K = 5040; // marker Top on a black key
constexpr int Hidden = -1000;
constexpr int ErrorShown = 3350;
constexpr int Parked = 8000;
const QColor White(255, 255, 255);
const QColor LightBlue(128, 128, 255);

// Where a marker goes for each semitone above the lowest C, as drawn.
const QPoint SemitonePlaces[23] = {
    {240, W},
    {420, K},
    {720, W},
    {1020, K},
    {1200, W},
    {1680, W},
    {1860, K},
    {2160, W},
    {2400, K},
    {2640, W},
    {2940, K},
    {3120, W},
    {3600, W},
    {3780, K},
    {4080, W},
    {4380, K},
    {4560, W},
    {5040, W},
    {5220, K},
    {5520, W},
    {5760, K},
    {6000, W},
    {6300, K},
};
const int KindOffsets[14][3] = {
    {4, 7, 0},
    {3, 7, 0},
    {4, 7, 10},
    {3, 7, 10},
    {4, 7, 11},
    {3, 6, 9},
    {3, 6, 10},
    {4, 8, 0},
    {5, 7, 0},
    {5, 7, 10},
    {4, 7, 9},
    {4, 7, 2},
    {3, 7, 9},
    {3, 7, 11},
};

QList<QPoint> expectedMarkers(int root, const int offsets[3])
{
    QList<QPoint> places {SemitonePlaces[root]};
    for (int i = 0; i < 3; ++i)
        places << SemitonePlaces[root + offsets[i]];
    if (offsets[2] == 0)
        places[3].setX(Hidden);
    return places;
}

// Indexes of the checked buttons of an option array.
QList<int> checked(const Form1Fixture &f, const char *array, int count)
{
    QList<int> out;
    for (int i = 0; i < count; ++i) {
        if (f.control<QAbstractButton>(array, i)->isChecked())
            out << i;
    }
    return out;
}

QList<QByteArray> lines(const QByteArray &file)
{
    QList<QByteArray> out = file.split('\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    for (QByteArray &l : out)
        l.chop(l.endsWith('\r') ? 1 : 0);
    return out;
}
} // namespace

class tst_Form1Events : public QObject
{
    Q_OBJECT
private slots:
    void opensShowingCMinor();
    void choicesWithNoSlotLeaveTheMemo();
    void receivingSlotTakesTheChord();
    void typedUnknownRoot_data();
    void typedUnknownRoot();
    void recognisedRootParksTheError();
    void majorButtonEmptiesTheKind();
    void recallSlot();
    void emptySlotShowsTheError();
    void oneHighlightAtATime();
    void aboutPanelRestoresEverything();
    void closeFromWindowSystemSavesLikeExit();
    void everyButtonChord_data();
    void everyButtonChord();
    void enterShowsTypedChord();
    void selectedOptionShowsAgain();
    void optionsFollowTheChord_data();
    void optionsFollowTheChord();
    void unchangedSlotSurvivesRecall_data();
    void unchangedSlotSurvivesRecall();
    void pasteTakesNoLineBreak();
    void userChordsAreAnnounced();
    void typingHint_data();
    void typingHint();

private:
    Form1Fixture f;
};

void tst_Form1Events::opensShowingCMinor()
{
    const QByteArray file = slotFile({{0, "C", ""}, {1, "A", "m"}});
    QVERIFY(f.open(&file));
    QCOMPARE(f.slotCaption(0), QStringLiteral("C"));
    QCOMPARE(f.slotCaption(1), QStringLiteral("Am"));
    QVERIFY(f.control<QAbstractButton>("opcode1", 0)->isChecked());
    QCOMPARE(f.form()->focusWidget(), f.control("opcode1", 0));
    QCOMPARE(f.caption("lblcode"), QStringLiteral("Cm"));
    QCOMPARE(f.markers(), (QList<QPoint> {{240, W}, {1020, K}, {2160, W}, {Hidden, W}}));
    for (int i = 0; i < 30; ++i)
        QCOMPARE(f.slotColour(i), White);
}

void tst_Form1Events::choicesWithNoSlotLeaveTheMemo()
{
    const QByteArray file = slotFile({{0, "F", "M7"}, {1, "G", "7"}});
    QVERIFY(f.open(&file));
    f.clickOption("opcode1", 0);
    f.clickOption("opcode2", 3);
    QCOMPARE(f.caption("lblcode"), QStringLiteral("Cm7"));
    QCOMPARE(f.markers(), (QList<QPoint> {{240, W}, {1020, K}, {2160, W}, {2940, K}}));
    QCOMPARE(f.slotCaption(0), QStringLiteral("FM7"));
    QCOMPARE(f.slotCaption(1), QStringLiteral("G7"));
    for (int i = 2; i < 30; ++i)
        QCOMPARE(f.slotCaption(i), QString());
    f.form()->close();
    QVERIFY(f.closed());
    QCOMPARE(f.savedFile(), file);
}

void tst_Form1Events::receivingSlotTakesTheChord()
{
    QVERIFY(f.open(nullptr));
    f.clickSlot(3);
    f.clickOption("opcode2", 3); // m7: the slot now holds an empty root with m7
    f.clickOption("opcode1", 7); // G
    QCOMPARE(f.slotCaption(3), QStringLiteral("Gm7"));
    QCOMPARE(f.caption("lblcode"), QStringLiteral("Gm7"));
    QAction *exit = f.form()->findChild<QAction *>("end");
    exit->trigger();
    QVERIFY(f.closed());
    const QList<QByteArray> saved = lines(f.savedFile());
    QCOMPARE(saved.size(), 60);
    QCOMPARE(saved[6], QByteArray("G"));
    QCOMPARE(saved[7], QByteArray("m7"));
    QVERIFY(f.savedFile().count("\r\n") == 60);
}

void tst_Form1Events::typedUnknownRoot_data()
{
    QTest::addColumn<QString>("root");
    QTest::newRow("H") << "H";
    QTest::newRow("lower-case bb") << "bb";
    QTest::newRow("trailing blank") << "G ";
    QTest::newRow("full-width sharp") << QStringLiteral("C＃");
}

void tst_Form1Events::typedUnknownRoot()
{
    QFETCH(QString, root);
    QVERIFY(f.open(nullptr));
    f.clickOption("opcode2", 0);
    f.clickSlot(0);
    f.type("txtcode1", root);
    f.type("txtcode2", QString());
    QCOMPARE(f.caption("lblcode"), QString()); // typing alone changes nothing
    f.clickView();
    QCOMPARE(f.top("lblerror"), ErrorShown);
    QCOMPARE(f.slotCaption(0), root + f.box("txtcode2")->text());
    // Placed as if the root were C, with the kind of the box (empty after the slot click).
    QCOMPARE(f.markers(), (QList<QPoint> {{240, W}, {1200, W}, {2160, W}, {Hidden, W}}));
    f.form()->close();
    QVERIFY(f.closed());
    QCOMPARE(lines(f.savedFile()).at(0), root.toUtf8());
}

void tst_Form1Events::recognisedRootParksTheError()
{
    QVERIFY(f.open(nullptr));
    f.type("txtcode1", QStringLiteral("H"));
    f.clickView();
    QCOMPARE(f.top("lblerror"), ErrorShown);
    f.clickOption("opcode1", 2); // D, kind unchanged
    QCOMPARE(f.top("lblerror"), Parked);
    f.type("txtcode2", QStringLiteral("maj7"));
    f.clickView();
    QCOMPARE(f.top("lblerror"), ErrorShown);
    QCOMPARE(f.markers(), (QList<QPoint> {{720, W}, {720, W}, {720, W}, {Hidden, W}}));
}

void tst_Form1Events::majorButtonEmptiesTheKind()
{
    QVERIFY(f.open(nullptr));
    f.clickOption("opcode1", 4); // E
    f.clickOption("opcode2", 0);
    QCOMPARE(f.box("txtcode2")->text(), QString());
    QCOMPARE(f.caption("lblcode"), QStringLiteral("E"));
    QCOMPARE(f.top("lblerror"), Parked);
}

void tst_Form1Events::recallSlot()
{
    const QByteArray file = slotFile({{0, "C", ""}, {1, "Bb", "7"}});
    QVERIFY(f.open(&file));
    f.clickSlot(1);
    QCOMPARE(f.box("txtcode1")->text(), QStringLiteral("Bb"));
    QCOMPARE(f.box("txtcode2")->text(), QStringLiteral("7"));
    QCOMPARE(f.caption("lblcode"), QStringLiteral("Bb7"));
    QCOMPARE(f.slotCaption(1), QStringLiteral("Bb7"));
    QCOMPARE(f.markers(), (QList<QPoint> {{2940, K}, {4080, W}, {5040, W}, {5760, K}}));
    for (int i = 0; i < 30; ++i)
        QCOMPARE(f.slotColour(i), i == 1 ? LightBlue : White);
    QCOMPARE(f.top("lblerror"), Parked);
}

void tst_Form1Events::emptySlotShowsTheError()
{
    const QByteArray file = slotFile({{0, "C", "m"}});
    QVERIFY(f.open(&file));
    f.clickSlot(7);
    QCOMPARE(f.box("txtcode1")->text(), QString());
    QCOMPARE(f.box("txtcode2")->text(), QString());
    QCOMPARE(f.top("lblerror"), ErrorShown);
    QCOMPARE(f.slotCaption(7), QString());
}

void tst_Form1Events::oneHighlightAtATime()
{
    QVERIFY(f.open(nullptr));
    f.clickSlot(5);
    f.clickSlot(12);
    for (int i = 0; i < 30; ++i)
        QCOMPARE(f.slotColour(i), i == 12 ? LightBlue : White);
    f.clickOption("opcode1", 9); // A
    QCOMPARE(f.slotCaption(12), QStringLiteral("A"));
    QCOMPARE(f.slotCaption(5), QString());
    f.form()->close();
    QVERIFY(f.closed());
    const QList<QByteArray> saved = lines(f.savedFile());
    QCOMPARE(saved[24], QByteArray("A"));
    QCOMPARE(saved[10], QByteArray());
}

void tst_Form1Events::aboutPanelRestoresEverything()
{
    const QByteArray file = slotFile({{0, "D", "m7"}});
    QVERIFY(f.open(&file));
    f.clickSlot(0);
    const QList<QPoint> markers = f.markers();
    const QString root = f.box("txtcode1")->text();
    f.form()->findChild<QAction *>("about")->trigger();
    QCOMPARE(f.top("frameabout"), 0);
    f.form()->findChild<QAction *>("about")->trigger(); // opening twice changes nothing
    QCOMPARE(f.top("frameabout"), 0);
    QTest::mouseClick(f.control("cmdreturn"), Qt::LeftButton);
    QCOMPARE(f.top("frameabout"), Parked);
    QCOMPARE(f.markers(), markers);
    QCOMPARE(f.box("txtcode1")->text(), root);
    QCOMPARE(f.slotColour(0), LightBlue);
    QCOMPARE(f.caption("lblcode"), QStringLiteral("Dm7"));
}

void tst_Form1Events::closeFromWindowSystemSavesLikeExit()
{
    const QByteArray file = slotFile({{0, "E", "sus4"}, {1, "H", "x"}});
    QByteArray viaExit;
    for (const bool fromWindowSystem : {false, true}) {
        QVERIFY(f.open(&file));
        f.clickSlot(2);
        f.clickOption("opcode1", 10);
        f.clickOption("opcode2", 9);
        if (fromWindowSystem) {
            QCloseEvent close;
            QCoreApplication::sendEvent(f.form()->windowHandle(), &close);
        } else {
            f.form()->findChild<QAction *>("end")->trigger();
        }
        QVERIFY(f.closed());
        if (fromWindowSystem)
            QCOMPARE(f.savedFile(), viaExit);
        else
            viaExit = f.savedFile();
    }
    QCOMPARE(lines(viaExit).mid(0, 6), (QList<QByteArray> {"E", "sus4", "H", "x", "A#", "7sus4"}));
}

void tst_Form1Events::everyButtonChord_data()
{
    QTest::addColumn<int>("root");
    QTest::addColumn<int>("kind");
    for (int root = 0; root < 12; ++root)
        for (int kind = 0; kind < 14; ++kind)
            QTest::addRow("root %d kind %d", root, kind) << root << kind;
}

void tst_Form1Events::everyButtonChord()
{
    QFETCH(int, root);
    QFETCH(int, kind);
    if (!f.form())
        QVERIFY(f.open(nullptr));
    f.clickOption("opcode1", root);
    f.clickOption("opcode2", kind);
    QCOMPARE(f.markers(), expectedMarkers(root, KindOffsets[kind]));
    QCOMPARE(f.top("lblerror"), Parked);
}

void tst_Form1Events::enterShowsTypedChord()
{
    QVERIFY(f.open(nullptr));
    f.type("txtcode1", QStringLiteral("Ab"));
    f.type("txtcode2", QStringLiteral("dim"));
    QCOMPARE(f.caption("lblcode"), QStringLiteral("Cm"));
    QTest::keyClick(f.box("txtcode2"), Qt::Key_Return);
    QCOMPARE(f.caption("lblcode"), QStringLiteral("Abdim"));
    QCOMPARE(f.markers(), (QList<QPoint> {{2400, K}, {3120, W}, {4080, W}, {5040, W}}));
}

void tst_Form1Events::selectedOptionShowsAgain()
{
    QVERIFY(f.open(nullptr));
    f.type("txtcode1", QStringLiteral("F#"));
    QVERIFY(f.control<QAbstractButton>("opcode2", 1)->isChecked());
    f.clickOption("opcode2", 1); // "m" again
    QCOMPARE(f.caption("lblcode"), QStringLiteral("F#m"));
}

void tst_Form1Events::optionsFollowTheChord_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("roots");
    QTest::addColumn<QList<int>>("kinds");
    QTest::addColumn<QString>("name");
    using L = QList<int>;
    QTest::newRow("typed Bb m7 and Enter: the flat's sharp")
        << QStringList {"type1 Bb", "type2 m7", "enter"} << L {10} << L {3} << "Bbm7";
    QTest::newRow("slot holding Db mM7") << QStringList {"slot 1"} << L {1} << L {13} << "DbmM7";
    QTest::newRow("empty slot: no root, major") << QStringList {"slot 7"} << L {} << L {0} << "";
    QTest::newRow("typed H") << QStringList {"type1 H", "view"} << L {} << L {1} << "Hm";
    QTest::newRow("typed unknown kind")
        << QStringList {"type2 maj7", "view"} << L {0} << L {} << "Cmaj7";
    QTest::newRow("C clicked after typing m7")
        << QStringList {"type2 m7", "root 0"} << L {0} << L {3} << "Cm7";
    QTest::newRow("C major slot after 7 was clicked")
        << QStringList {"kind 2", "slot 0"} << L {0} << L {0} << "C";
    QTest::newRow("buttons exclusive again after none")
        << QStringList {"type1 H", "view", "root 4", "root 5"} << L {5} << L {1} << "Fm";
}

// Steps are real clicks and keys: "root k", "kind k", "slot i", "type1 text"
// or "type2 text" into a box, "view", "enter".
void tst_Form1Events::optionsFollowTheChord()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, roots);
    QFETCH(QList<int>, kinds);
    QFETCH(QString, name);
    const QByteArray file = slotFile({{0, "C", ""}, {1, "Db", "mM7"}});
    QVERIFY(f.open(&file));
    for (const QString &step : steps) {
        const QString verb = step.section(u' ', 0, 0);
        const QString arg = step.section(u' ', 1);
        if (verb == u"root")
            f.clickOption("opcode1", arg.toInt());
        else if (verb == u"kind")
            f.clickOption("opcode2", arg.toInt());
        else if (verb == u"slot")
            f.clickSlot(arg.toInt());
        else if (verb == u"type1")
            f.type("txtcode1", arg);
        else if (verb == u"type2")
            f.type("txtcode2", arg);
        else if (verb == u"view")
            f.clickView();
        else if (verb == u"enter")
            QTest::keyClick(f.box("txtcode2"), Qt::Key_Return);
        else
            QFAIL(qPrintable(step));
    }
    QCOMPARE(checked(f, "opcode1", 12), roots);
    QCOMPARE(checked(f, "opcode2", 14), kinds);
    QCOMPARE(f.caption("lblcode"), name); // the selection leaves the texts alone
}

// A slot recalled and left as it is goes back into the file byte for byte.
void tst_Form1Events::unchangedSlotSurvivesRecall_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QByteArray>("kind");
    QTest::newRow("Shift-JIS bytes") << QByteArray("\x83\x52\x81\x5b\x83\x68") << QByteArray("m");
    QTest::newRow("invalid UTF-8") << QByteArray("C\xff\xfe") << QByteArray("\xc3");
    QTest::newRow("NUL inside") << QByteArray("C\0m", 3) << QByteArray("7");
    QTest::newRow("longer than a text box's usual limit")
        << QByteArray(40000, 'G') << QByteArray("m");
    QTest::newRow("markup") << QByteArray("<b>C</b>") << QByteArray("&amp;");
}

void tst_Form1Events::unchangedSlotSurvivesRecall()
{
    QFETCH(QByteArray, root);
    QFETCH(QByteArray, kind);
    const QByteArray file = slotFile({{0, "C", ""}, {1, root, kind}, {2, "D", "m"}});
    QVERIFY(f.open(&file));
    f.clickSlot(1);
    QCOMPARE(f.top("lblerror"), ErrorShown);
    f.clickSlot(2);
    f.form()->close();
    QVERIFY(f.closed());
    QCOMPARE(f.savedFile(), file);
}

void tst_Form1Events::pasteTakesNoLineBreak()
{
    QVERIFY(f.open(nullptr));
    QLineEdit *root = f.box("txtcode1");
    QGuiApplication::clipboard()->setText(QStringLiteral("G\r\n#\n"));
    root->selectAll();
    root->paste(); // as the box's own context menu pastes
    QVERIFY2(
        !root->text().contains(u'\n') && !root->text().contains(u'\r'), qPrintable(root->text()));
    QCOMPARE(root->text(), QStringLiteral("G#"));
}

void tst_Form1Events::userChordsAreAnnounced()
{
    std::unique_ptr<QSignalSpy> spy;
    QVERIFY(f.open(nullptr,
        [&spy](Form1 *form) { spy = std::make_unique<QSignalSpy>(form, &Form1::chordShown); }));
    QSignalSpy &shown = *spy;
    QCOMPARE(shown.count(), 0); // the chord at start is not announced
    f.clickOption("opcode1", 7); // G minor
    f.clickOption("opcode2", 2); // G7
    f.type("txtcode1", QStringLiteral("H"));
    f.clickView();
    const QList<QList<int>> expected {{7, 10, 14}, {7, 11, 14, 17}, {}};
    QCOMPARE(shown.count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(shown[i][0].value<QList<int>>(), expected[i]);
}

// Typed chords the tables do not know: the hint line under the error, and
// Tab in a text box taking it. Steps: "slot N", "type1 TEXT", "type2 TEXT",
// "enter1", "enter2" (Return in a box), "tab", "backtab" (to the focus), "kind N".
void tst_Form1Events::typingHint_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("hint"); // the line in view; empty: none
    QTest::addColumn<QString>("boxes"); // root|kind
    QTest::addColumn<QString>("caption"); // of box 0
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("error"); // ＥＲＲＯＲ in view

    const QStringList cmaj7 {"slot 0", "type1 C", "type2 maj7", "enter2"};
    const QStringList cmaj7Whole {"slot 0", "type1 Cmaj7", "type2 ", "enter1"};
    const QStringList h {"slot 0", "type1 H", "type2 ", "enter1"};
    const QString maj7Hint = QStringLiteral("「maj7」は「M7」と書きます — Tab で直す");
    const QString hHint
        = QStringLiteral("根音「H」は一覧にありません — 根音は C, C#, Db, D ... B の半角で");
    QTest::newRow("Tab takes it: shown and stored as typed") << cmaj7 + QStringList {"tab"} << ""
                                                             << "C|M7"
                                                             << "CM7"
                                                             << "txtcode2" << false;
    QTest::newRow("a whole name in the root box, split") << cmaj7Whole + QStringList {"tab"} << ""
                                                         << "C|M7"
                                                         << "CM7"
                                                         << "txtcode1" << false;
    QTest::newRow("Shift+Tab moves back, the hint stays")
        << cmaj7 + QStringList {"backtab"} << maj7Hint << "C|maj7"
        << "Cmaj7"
        << "txtcode1" << true;
    QTest::newRow("nothing known: how roots are written, Tab moves on")
        << h + QStringList {"tab"} << hHint << "H|"
        << "H"
        << "txtcode2" << true;
    QTest::newRow("a box edited after it: no hint, Tab moves on")
        << cmaj7 + QStringList {"type1 D", "tab"} << ""
        << "D|maj7"
        << "Cmaj7"
        << "cmdview" << true;
    QTest::newRow("the next chord shown takes the hint away")
        << cmaj7 + QStringList {"kind 3"} << ""
        << "C|m7"
        << "Cm7"
        << "opcode2(3)" << false;
}

void tst_Form1Events::typingHint()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, hint);
    QFETCH(QString, boxes);
    QFETCH(QString, caption);
    QFETCH(QString, focus);
    QFETCH(bool, error);
    QVERIFY(f.open(nullptr));
    for (const QString &step : std::as_const(steps)) {
        const QString verb = step.section(u' ', 0, 0);
        const QString arg = step.section(u' ', 1);
        const char *box = verb.endsWith(u'1') ? "txtcode1" : "txtcode2";
        if (verb == u"slot") {
            f.clickSlot(arg.toInt());
        } else if (verb.startsWith(u"type")) {
            f.type(box, arg);
        } else if (verb.startsWith(u"enter")) {
            f.box(box)->setFocus();
            QTest::keyClick(f.box(box), Qt::Key_Return);
        } else if (verb == u"kind") {
            f.clickOption("opcode2", arg.toInt());
        } else {
            const bool back = verb == u"backtab";
            QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                back ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }
    const auto *line = f.control<QLabel>(QStringLiteral("lblhint"));
    QCOMPARE(line->isVisible() ? line->text() : QString(), hint);
    QCOMPARE(f.box("txtcode1")->text() + u'|' + f.box("txtcode2")->text(), boxes);
    QCOMPARE(f.slotCaption(0), caption);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(f.top("lblerror"), error ? ErrorShown : Parked);
    QCOMPARE(QAccessible::queryAccessibleInterface(const_cast<QLabel *>(line))->role(),
        QAccessible::AlertMessage);
}

QTEST_MAIN(tst_Form1Events)
#include "tst_form1events.moc"

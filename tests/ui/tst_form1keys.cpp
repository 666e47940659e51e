#include "form1fixture.h"

#include <QApplication>
#include <QMenu>

namespace
{
const QColor LightBlue(128, 128, 255);

QWidget *keyTarget(QWidget *window)
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    return window->focusWidget() ? window->focusWidget() : window;
}

void press(QWidget *window, const QStringList &keys)
{
    for (const QString &k : keys) {
        // A closed menu gives the activation back, as a window manager would.
        if (!QApplication::activePopupWidget() && !window->isActiveWindow()) {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
        }
        QTest::keySequence(keyTarget(window), QKeySequence(k));
    }
}

QStringList repeated(const QString &key, int times)
{
    QStringList out;
    for (int i = 0; i < times; ++i)
        out << key;
    return out;
}
} // namespace

class tst_Form1Keys : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void keyboardOnly_data();
    void keyboardOnly();
    void tabChain_data();
    void tabChain();

private:
    Form1Fixture f;
};

void tst_Form1Keys::init()
{
    const QByteArray file = slotFile({{7, "Bb", "7"}, {21, "F#", "m7"}});
    QVERIFY(f.open(&file));
    f.form()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form()));
}

// Keys from the first focus (the root button "C" as the window opens); then
// where the focus is, the chord on show and the one light-blue slot (-1: none).
void tst_Form1Keys::keyboardOnly_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("chord");
    QTest::addColumn<int>("selected");
    const QStringList toMemo = repeated("Tab", 5);
    const QStringList openAbout {"Alt+H", "A"};

    QTest::newRow("slot 7 by arrows, chosen by Space")
        << toMemo + repeated("Right", 7) + QStringList {"Space"} << "lblslot(7)"
        << "Bb7" << 7;
    QTest::newRow("third row by Down, chosen by Enter")
        << toMemo + QStringList {"Down", "Down", "Right", "Return"} << "lblslot(21)"
        << "F#m7" << 21;
    QTest::newRow("arrows stop at the grid's edges, moving selects nothing")
        << toMemo + QStringList {"Left", "Up", "Down", "Down", "Down"} << "lblslot(20)"
        << "Cm" << -1;
    QTest::newRow("Shift+Tab from the first focus reaches the keyboard, then the memo")
        << QStringList {"Shift+Tab", "Shift+Tab"} << "lblslot(0)"
        << "Cm" << -1;
    QTest::newRow("the memo is entered at the selected slot")
        << toMemo + QStringList {"Right", "Right", "Space", "Tab", "Shift+Tab"} << "lblslot(2)"
        << "" << 2;
    QTest::newRow("the kind group is entered at its selected button")
        << QStringList {"Tab"} << "opcode2(1)"
        << "Cm" << -1;
    QTest::newRow("arrows in a group choose") << QStringList {"Right", "Right"} << "opcode1(2)"
                                              << "Dm" << -1;
    QTest::newRow("a group left by Tab is entered again at its choice")
        << QStringList {"Right", "Tab", "Shift+Tab"} << "opcode1(1)"
        << "C#m" << -1;
    QTest::newRow("the About panel takes the focus") << openAbout << "cmdreturn"
                                                     << "Cm" << -1;
    QTest::newRow("Tab stays in the About panel")
        << openAbout + QStringList {"Tab", "Tab", "Shift+Tab", "Alt+V"} << "cmdreturn"
        << "Cm" << -1;
    QTest::newRow("Esc closes the About panel and gives the focus back")
        << QStringList {"Tab"} + openAbout + QStringList {"Esc"} << "opcode2(1)"
        << "Cm" << -1;
    QTest::newRow("from the key cursor too, Tab staying in the panel")
        << QStringList {"Shift+Tab"} + openAbout + QStringList {"Tab", "Esc"} << "keycursor"
        << "Cm" << -1;
    QTest::newRow("its back button does too")
        << toMemo + QStringList {"Right"} + openAbout + QStringList {"Alt+R"} << "lblslot(1)"
        << "Cm" << -1;
}

void tst_Form1Keys::keyboardOnly()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, focus);
    QFETCH(QString, chord);
    QFETCH(int, selected);
    press(f.form(), keys);
    // An access key clicks its button a moment later, as the button shows itself pressed.
    QTRY_COMPARE(f.form()->focusWidget()->objectName(), focus);
    if (!chord.isEmpty())
        QCOMPARE(f.caption("lblcode"), chord);
    for (int i = 0; i < 30; ++i)
        QCOMPARE(f.slotColour(i) == LightBlue, i == selected);
    QCOMPARE(f.top("frameabout") == 0, focus == QStringLiteral("cmdreturn"));
}

// Tab after Tab comes back to where it started, through every stop in order
// and through nothing that is hidden or lies outside the window.
void tst_Form1Keys::tabChain_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("stops");
    QTest::newRow("main screen") << QStringList()
                                 << QStringList {"opcode1(0)", "opcode2(1)", "txtcode1", "txtcode2",
                                        "cmdview", "lblslot(0)", "keycursor"};
    QTest::newRow("a slot chosen: the groups follow its chord")
        << QStringList {"Tab", "Tab", "Tab", "Tab", "Tab", "Down", "Down", "Right", "Space"}
        << QStringList {"lblslot(21)", "keycursor", "opcode1(6)", "opcode2(3)", "txtcode1",
               "txtcode2", "cmdview"};
    QTest::newRow("kind changed by arrows, an empty slot chosen")
        << QStringList {"Tab", "Right", "Right", "Tab", "Tab", "Tab", "Tab", "Down", "Space"}
        << QStringList {"lblslot(10)", "keycursor", "opcode1(0)", "opcode2(0)", "txtcode1",
               "txtcode2", "cmdview"};
    QTest::newRow("About panel") << QStringList {"Alt+H", "A"} << QStringList {"cmdreturn"};
}

void tst_Form1Keys::tabChain()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, stops);
    press(f.form(), before);
    const QRect client = f.control("client")->rect();
    QStringList visited;
    for (int i = 0; i < stops.size() + 1; ++i) {
        QWidget *w = f.form()->focusWidget();
        QVERIFY(w);
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        QVERIFY2(client.contains(QRect(w->mapTo(f.control("client"), QPoint()), w->size())),
            qPrintable(w->objectName()));
        visited << w->objectName();
        press(f.form(), {"Tab"});
    }
    QCOMPARE(visited, stops + stops.mid(0, 1));
}

QTEST_MAIN(tst_Form1Keys)
#include "tst_form1keys.moc"

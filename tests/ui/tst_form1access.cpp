#include "clicklabel.h"
#include "form1fixture.h"

#include <QAccessible>
#include <QToolTip>

class tst_Form1Access : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void names_data();
    void names();
    void memoSlots_data();
    void memoSlots();
    void longNameElided_data();
    void longNameElided();
    void keyboardAndError_data();
    void keyboardAndError();
    void drawingIsOneObject();

private:
    QAccessibleInterface *of(const QString &name) const
    {
        return QAccessible::queryAccessibleInterface(f.control(name));
    }
    Form1Fixture f;
};

void tst_Form1Access::init()
{
    const QByteArray file = slotFile({{0, "C", ""}, {7, "Bb", "7"}});
    QVERIFY(f.open(&file));
}

void tst_Form1Access::names_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::newRow("root box") << "txtcode1"
                              << "入力テキスト ① ルート" << QAccessible::EditableText;
    QTest::newRow("kind box") << "txtcode2"
                              << "入力テキスト ② コードの種類" << QAccessible::EditableText;
    QTest::newRow("root group") << "Frame1"
                                << "① ルート" << QAccessible::Grouping;
    QTest::newRow("kind group") << "Frame2"
                                << "② コードの種類" << QAccessible::Grouping;
    QTest::newRow("major button") << "opcode2(0)"
                                  << "メジャー" << QAccessible::RadioButton;
    QTest::newRow("a root button keeps its caption") << "opcode1(1)"
                                                     << "C#" << QAccessible::RadioButton;
}

void tst_Form1Access::names()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QAccessible::Role, role);
    QAccessibleInterface *iface = of(control);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->role(), role);
    QVERIFY(!iface->state().invisible);
}

// Slots clicked in turn; then one slot's name and whether it is the chosen one.
void tst_Form1Access::memoSlots_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checked");
    QTest::newRow("none chosen yet") << QList<int>() << 0 << "メモ 1: C" << false;
    QTest::newRow("chosen by a click") << QList<int> {7} << 7 << "メモ 8: Bb7" << true;
    QTest::newRow("no longer chosen") << QList<int> {7, 3} << 7 << "メモ 8: Bb7" << false;
    QTest::newRow("an empty slot") << QList<int> {7, 3} << 3 << "メモ 4: 空き" << true;
}

void tst_Form1Access::memoSlots()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, slot);
    QFETCH(QString, name);
    QFETCH(bool, checked);
    for (const int k : clicks)
        f.clickSlot(k);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(f.control("lblslot", slot));
    QCOMPARE(iface->role(), QAccessible::RadioButton);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(bool(iface->state().checked), checked);
}

void tst_Form1Access::longNameElided_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<bool>("elided");
    QTest::addColumn<QString>("degree"); // the tooltip's line after the name cut short
    QTest::newRow("Bbmaj7#11 is cut short")
        << QByteArray("Bb") << QByteArray("maj7#11") << true << QString();
    QTest::newRow("C#m7-5 fits") << QByteArray("C#") << QByteArray("m7-5") << false
                                 << QStringLiteral("度数: Ⅳm7-5");
}

// A memo box shows a name too long for it cut short with …, painted as a
// plain label showing the shorter text is; the name stays whole in its
// tooltip and its accessible name.
void tst_Form1Access::longNameElided()
{
    QFETCH(QByteArray, root);
    QFETCH(QByteArray, kind);
    QFETCH(bool, elided);
    QFETCH(QString, degree);
    const QByteArray file = slotFile({{4, root, kind}});
    QVERIFY(f.open(&file));
    auto *box = f.control<widgets::ClickLabel>("lblslot", 4);
    const QString name = QString::fromUtf8(root + kind);
    QCOMPARE(box->text(), name);
    const QString shown = box->shownText();
    QCOMPARE(shown.endsWith(u'…'), elided);
    QVERIFY2(name.startsWith(elided ? shown.chopped(1) : shown), qPrintable(shown));

    QLabel plain(box->parentWidget());
    plain.setGeometry(box->geometry());
    plain.setFrameStyle(box->frameStyle());
    plain.setTextFormat(Qt::PlainText);
    plain.setAlignment(box->alignment());
    plain.setAutoFillBackground(true);
    plain.setPalette(box->palette());
    plain.setText(shown);
    QCOMPARE(box->grab().toImage(), plain.grab().toImage());

    const QPoint at(4, 4);
    QHelpEvent tip(QEvent::ToolTip, at, box->mapToGlobal(at));
    QApplication::sendEvent(box, &tip);
    QStringList lines {elided ? name : QString(), degree};
    lines.removeAll(QString());
    QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), lines.join(u'\n'));
    QToolTip::hideText();
    QCOMPARE(of(QStringLiteral("lblslot(4)"))->text(QAccessible::Name),
        QStringLiteral("メモ 5: ") + name);
}

// A chord typed and shown; then the keyboard's name and description, and
// the error notice (empty: none in view).
void tst_Form1Access::keyboardAndError_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("notice");
    QTest::newRow("Bb7") << "Bb"
                         << "7"
                         << "Bb7"
                         << "Bb, D, F, Ab"
                         << "";
    QTest::newRow("C") << "C"
                       << ""
                       << "C"
                       << "C, E, G"
                       << "";
    QTest::newRow("unknown root") << "H"
                                  << ""
                                  << "H"
                                  << "ルート「H」は対応していません"
                                  << "ルート「H」は対応していません";
    QTest::newRow("unknown kind") << "C"
                                  << "maj7"
                                  << "Cmaj7"
                                  << "種類「maj7」は対応していません"
                                  << "種類「maj7」は対応していません";
    QTest::newRow("both unknown") << "bb"
                                  << "x"
                                  << "bbx"
                                  << "ルート「bb」と種類「x」は対応していません"
                                  << "ルート「bb」と種類「x」は対応していません";
}

void tst_Form1Access::keyboardAndError()
{
    QFETCH(QString, root);
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(QString, notice);
    f.type("txtcode1", root);
    f.type("txtcode2", kind);
    f.clickView();

    QAccessibleInterface *keyboard = nullptr;
    QAccessibleInterface *client = of("client");
    for (int i = 0; i < client->childCount(); ++i) {
        if (client->child(i)->role() == QAccessible::Graphic)
            keyboard = client->child(i);
    }
    QVERIFY(keyboard);
    QCOMPARE(keyboard->text(QAccessible::Name), name);
    QCOMPARE(keyboard->text(QAccessible::Description), description);

    QAccessibleInterface *error = of("lblerror");
    QCOMPARE(error->role(), QAccessible::AlertMessage);
    QCOMPARE(bool(error->state().invisible), notice.isEmpty());
    if (!notice.isEmpty())
        QCOMPARE(error->text(QAccessible::Name), notice);
}

// The keyboard is one picture: its keys, lines and markers are no objects,
// and what lies parked outside the window is not reported as showing.
void tst_Form1Access::drawingIsOneObject()
{
    QAccessibleInterface *client = of("client");
    QStringList children;
    int pictures = 0;
    for (int i = 0; i < client->childCount(); ++i) {
        QAccessibleInterface *child = client->child(i);
        QCOMPARE(client->indexOfChild(child), i);
        children << child->object()->objectName();
        pictures += child->role() == QAccessible::Graphic ? 1 : 0;
    }
    QCOMPARE(pictures, 1);
    for (const char *part : {"Shape1(0)", "shapemaru(3)", "Line5", "Shape2"})
        QVERIFY2(!children.contains(QLatin1String(part)), part);
    for (const char *parked : {"lblerror", "frameabout", "lblslot(30)"})
        QVERIFY2(of(QString::fromLatin1(parked))->state().invisible, parked);
    QVERIFY(!of("lblslot(29)")->state().invisible);
    f.form()->findChild<QAction *>("about")->trigger();
    QVERIFY(!of("frameabout")->state().invisible);
}

QTEST_MAIN(tst_Form1Access)
#include "tst_form1access.moc"

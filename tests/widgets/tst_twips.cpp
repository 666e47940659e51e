#include "twips.h"

#include <QTest>
#include <QWidget>

using widgets::TwipsRect;

class tst_Twips : public QObject
{
    Q_OBJECT
private slots:
    void toPixels_data();
    void toPixels();
    void sharedEdgesStayShared();
    void geometryReadsBackExactly();
};

void tst_Twips::toPixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("just under half") << 7 << 0;
    QTest::newRow("half rounds up") << 8 << 1;
    QTest::newRow("client width") << 8835 << 589;
    QTest::newRow("client height") << 6315 << 421;
    QTest::newRow("error label shown, not a whole pixel") << 3350 << 223;
    QTest::newRow("memo outline bottom") << 3550 << 237;
    QTest::newRow("hidden marker, negative") << -1000 << -67;
    QTest::newRow("negative half") << -8 << -1;
}

void tst_Twips::toPixels()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(widgets::twipsToPixels(twips), pixels);
}

void tst_Twips::sharedEdgesStayShared()
{
    // Neighbouring cells overlap by one pixel column however the sizes round.
    const QRect a = widgets::pixelRect({240, 2520, 855, 255});
    const QRect b = widgets::pixelRect({1080, 2520, 855, 255});
    QCOMPARE(a.right(), b.left());
    // A box whose size is not whole pixels ends where its bottom edge rounds to.
    const QRect memo = widgets::pixelRect({120, 2160, 8655, 1390});
    QCOMPARE(memo.top(), 144);
    QCOMPARE(memo.top() + memo.height(), 237);
}

void tst_Twips::geometryReadsBackExactly()
{
    QWidget parent;
    auto *w = new QWidget(&parent);
    widgets::placeInTwips(w, {0, 6480, 7335, 3135});
    widgets::setTopInTwips(w, 3350);
    QCOMPARE(widgets::twipsGeometry(w), (TwipsRect {0, 3350, 7335, 3135}));
    QCOMPARE(w->geometry(), QRect(0, 223, 489, 209));
    widgets::moveInTwips(w, -1000, 5040);
    QCOMPARE(widgets::twipsGeometry(w), (TwipsRect {-1000, 5040, 7335, 3135}));
    QCOMPARE(w->pos(), QPoint(-67, 336));

    // What is remembered goes with the widget: one made later, perhaps at
    // the same address, has no place in twips until it is given one.
    delete w;
    auto *next = new QWidget(&parent);
    QCOMPARE(widgets::twipsGeometry(next), TwipsRect {});
}

QTEST_MAIN(tst_Twips)
#include "tst_twips.moc"

#include "quickstyle.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

#include <memory>

// The overflow arrows the program's style draws are the desktop style's own,
// though read later and by another way.
class tst_QuickStyle : public QObject
{
    Q_OBJECT
private slots:
    void arrowsMatchTheBaseStyle_data();
    void arrowsMatchTheBaseStyle();
};

void tst_QuickStyle::arrowsMatchTheBaseStyle_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<int>("side");
    QTest::newRow("menu bar, 16") << int(QStyle::SP_ToolBarHorizontalExtensionButton)
                                  << Qt::LeftToRight << 16;
    QTest::newRow("menu bar, 32") << int(QStyle::SP_ToolBarHorizontalExtensionButton)
                                  << Qt::LeftToRight << 32;
    QTest::newRow("menu bar, right to left")
        << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::RightToLeft << 16;
    QTest::newRow("upright tool bar")
        << int(QStyle::SP_ToolBarVerticalExtensionButton) << Qt::LeftToRight << 16;
    QTest::newRow("any other picture") << int(QStyle::SP_DialogOkButton) << Qt::LeftToRight << 16;
}

void tst_QuickStyle::arrowsMatchTheBaseStyle()
{
    QFETCH(int, icon);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(int, side);
    const auto pixmap = QStyle::StandardPixmap(icon);
    QStyleOption option;
    option.direction = direction;
    widgets::QuickStyle quick(QStyleFactory::create(QStringLiteral("Fusion")));
    const std::unique_ptr<QStyle> base(QStyleFactory::create(QStringLiteral("Fusion")));

    const QImage drawn = quick.standardIcon(pixmap, &option).pixmap(side).toImage();
    QVERIFY(!drawn.isNull());
    QCOMPARE(drawn, base->standardIcon(pixmap, &option).pixmap(side).toImage());
}

QTEST_MAIN(tst_QuickStyle)
#include "tst_quickstyle.moc"

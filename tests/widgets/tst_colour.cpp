#include "colour.h"

#include <QTest>

class tst_Colour : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
};

void tst_Colour::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("white") << "&hffffff" << true << QColor(255, 255, 255);
    QTest::newRow("light blue: red in the low byte") << "&hff8080" << true << QColor(128, 128, 255);
    QTest::newRow("light green") << "&h80ff80" << true << QColor(128, 255, 128);
    QTest::newRow("pure red") << "&h0000ff" << true << QColor(255, 0, 0);
    QTest::newRow("upper-case prefix and digits") << "&HFF0000" << true << QColor(0, 0, 255);
    QTest::newRow("no prefix") << "ff8080" << false << QColor();
    QTest::newRow("hash prefix") << "#ff8080" << false << QColor();
    QTest::newRow("five digits") << "&hff808" << false << QColor();
    QTest::newRow("seven digits") << "&hff80800" << false << QColor();
    QTest::newRow("not hex") << "&hgg8080" << false << QColor();
    QTest::newRow("sign inside") << "&h-f8080" << false << QColor();
    QTest::newRow("empty") << "" << false << QColor();
}

void tst_Colour::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QColor, colour);
    const auto parsed = widgets::parseHexColour(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, colour);
}

QTEST_MAIN(tst_Colour)
#include "tst_colour.moc"

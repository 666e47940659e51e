#include "textfile.h"

#include <QTest>

using Lines = QList<QByteArray>;

class tst_LineReader : public QObject
{
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void readingPastTheEndGivesEmptyLines();
};

void tst_LineReader::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Lines>("expected");

    QTest::newRow("empty input") << QByteArray() << Lines {};
    QTest::newRow("no terminator") << QByteArray("C") << Lines {"C"};
    QTest::newRow("CR LF") << QByteArray("C\r\nm\r\n") << Lines {"C", "m"};
    QTest::newRow("lone CR") << QByteArray("C\rm\r") << Lines {"C", "m"};
    QTest::newRow("lone LF") << QByteArray("C\nm\n") << Lines {"C", "m"};
    QTest::newRow("mixed") << QByteArray("a\r\nb\rc\nd") << Lines {"a", "b", "c", "d"};
    QTest::newRow("LF then CR ends two lines") << QByteArray("a\n\rb") << Lines {"a", "", "b"};
    QTest::newRow("CR then CR LF ends two lines") << QByteArray("a\r\r\nb") << Lines {"a", "", "b"};
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n\n\r") << Lines {"", "", "", ""};
    QTest::newRow("last line without terminator") << QByteArray("a\r\nb") << Lines {"a", "b"};
    QTest::newRow("CR at the very end") << QByteArray("a\r") << Lines {"a"};
    QTest::newRow("NUL bytes are text")
        << QByteArray("a\0b\r\n\0", 6) << Lines {QByteArray("a\0b", 3), QByteArray("\0", 1)};
    QTest::newRow("Shift-JIS and invalid UTF-8 bytes") << QByteArray(
        "\x83\x52\x81\x5b\x83\x68\r\n\xff\xc3") << Lines {"\x83\x52\x81\x5b\x83\x68", "\xff\xc3"};
}

void tst_LineReader::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Lines, expected);

    services::LineReader reader(bytes);
    Lines actual;
    while (!reader.atEnd()) {
        actual << reader.readLine();
    }
    QCOMPARE(actual, expected);
}

void tst_LineReader::readingPastTheEndGivesEmptyLines()
{
    const QByteArray bytes("C\r\n");
    services::LineReader reader(bytes);
    QCOMPARE(reader.readLine(), QByteArray("C"));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(reader.atEnd());
        QCOMPARE(reader.readLine(), QByteArray());
    }
}

QTEST_APPLESS_MAIN(tst_LineReader)
#include "tst_linereader.moc"

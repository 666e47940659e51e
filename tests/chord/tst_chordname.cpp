#include "chordname.h"

#include <QTest>

class tst_ChordName : public QObject
{
    Q_OBJECT
private slots:
    void split_data();
    void split();
};

void tst_ChordName::split_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QByteArray>("kind");

    QTest::newRow("major: no kind line") << QByteArray("C") << QByteArray("C") << QByteArray();
    QTest::newRow("sharp root is longer than its letter")
        << QByteArray("C#m7-5") << QByteArray("C#") << QByteArray("m7-5");
    QTest::newRow("flat root is longer than its letter")
        << QByteArray("Bbm7") << QByteArray("Bb") << QByteArray("m7");
    QTest::newRow("Cb is no root: C, then b")
        << QByteArray("Cbdim") << QByteArray("C") << QByteArray("bdim");
    QTest::newRow("unknown kind is kept as written")
        << QByteArray("Amaj9") << QByteArray("A") << QByteArray("maj9");
    QTest::newRow("H begins with no root") << QByteArray("H7") << QByteArray("H7") << QByteArray();
    QTest::newRow("N.C. is kept whole") << QByteArray("N.C.") << QByteArray("N.C.") << QByteArray();
    QTest::newRow("lower-case letter is no root")
        << QByteArray("am") << QByteArray("am") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("line breaks dropped")
        << QByteArray("F\r\n#m\n") << QByteArray("F#") << QByteArray("m");
    QTest::newRow("line break in an unknown name")
        << QByteArray("N.\nC.") << QByteArray("N.C.") << QByteArray();
    QTest::newRow("non-ASCII kind") << QByteArray("E♭") << QByteArray("E") << QByteArray("♭");
}

void tst_ChordName::split()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, root);
    QFETCH(QByteArray, kind);
    const chord::ChordName name = chord::splitChordName(text.toStdString());
    QCOMPARE(QByteArray::fromStdString(name.root), root);
    QCOMPARE(QByteArray::fromStdString(name.kind), kind);
}

QTEST_GUILESS_MAIN(tst_ChordName)
#include "tst_chordname.moc"

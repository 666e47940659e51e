#include "transpose.h"

#include <QTest>

using chord::Spelling;
Q_DECLARE_METATYPE(Spelling)

class tst_Transpose : public QObject
{
    Q_OBJECT
private slots:
    void roots_data();
    void roots();
    void commandLine_data();
    void commandLine();
};

// Roots are a song's roots separated by blanks, each transposed alone.
void tst_Transpose::roots_data()
{
    QTest::addColumn<QString>("roots");
    QTest::addColumn<int>("semitones");
    QTest::addColumn<Spelling>("spelling");
    QTest::addColumn<QString>("expected");
    QTest::newRow("up two: naturals stay natural")
        << "C A F G Bb D H Eb" << 2 << Spelling::Auto << "D B G A C E H F";
    QTest::newRow("down one: black keys flat")
        << "C A F G Bb D H Eb" << -1 << Spelling::Auto << "B Ab E Gb A Db H D";
    QTest::newRow("up three, flats forced")
        << "C A F G Bb D H Eb" << 3 << Spelling::Flat << "Eb C Ab Bb Db F H Gb";
    QTest::newRow("up: black keys sharp") << "C F Bb" << 1 << Spelling::Auto << "C# F# B";
    QTest::newRow("down, sharps forced") << "D A" << -1 << Spelling::Sharp << "C# G#";
    QTest::newRow("white keys never respelled") << "D# Gb" << 1 << Spelling::Flat << "E G";
    QTest::newRow("down eleven is up one, spelled going down")
        << "C" << -11 << Spelling::Auto << "Db";
    QTest::newRow("past the octave: up thirteen is up one") << "C" << 13 << Spelling::Auto << "C#";
    QTest::newRow("0 keeps the names as written") << "Bb A# C" << 0 << Spelling::Auto << "Bb A# C";
    QTest::newRow("0 keeps them even with a spelling forced")
        << "Bb A#" << 0 << Spelling::Sharp << "Bb A#";
    QTest::newRow("12 is 0") << "Eb" << 12 << Spelling::Auto << "Eb";
    QTest::newRow("no root, unchanged") << "bb C# Cb E#" << 2 << Spelling::Auto << "bb D# Cb E#";
    QTest::newRow("the empty root") << "" << 5 << Spelling::Flat << "";
}

void tst_Transpose::roots()
{
    QFETCH(QString, roots);
    QFETCH(int, semitones);
    QFETCH(Spelling, spelling);
    QFETCH(QString, expected);
    QStringList got;
    for (const QString &root : roots.split(u' '))
        got << QString::fromStdString(
            chord::transposeRoot(root.toStdString(), semitones, spelling));
    QCOMPARE(got.join(u' '), expected);
}

void tst_Transpose::commandLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("semitones");
    QTest::addColumn<Spelling>("spelling");
    QTest::newRow("2") << "2" << true << 2 << Spelling::Auto;
    QTest::newRow("+2") << "+2" << true << 2 << Spelling::Auto;
    QTest::newRow("-1") << "-1" << true << -1 << Spelling::Auto;
    QTest::newRow("3f") << "3f" << true << 3 << Spelling::Flat;
    QTest::newRow("-2s") << "-2s" << true << -2 << Spelling::Sharp;
    QTest::newRow("-11f") << "-11f" << true << -11 << Spelling::Flat;
    QTest::newRow("0") << "0" << true << 0 << Spelling::Auto;
    QTest::newRow("12 is out of range") << "12" << false << 0 << Spelling::Auto;
    QTest::newRow("three digits") << "005" << false << 0 << Spelling::Auto;
    QTest::newRow("empty") << "" << false << 0 << Spelling::Auto;
    QTest::newRow("a sign alone") << "-" << false << 0 << Spelling::Auto;
    QTest::newRow("two signs") << "+-2" << false << 0 << Spelling::Auto;
    QTest::newRow("two suffixes") << "2sf" << false << 0 << Spelling::Auto;
    QTest::newRow("upper-case suffix") << "3F" << false << 0 << Spelling::Auto;
    QTest::newRow("a blank") << " 2" << false << 0 << Spelling::Auto;
}

void tst_Transpose::commandLine()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, semitones);
    QFETCH(Spelling, spelling);
    const auto parsed = chord::parseTransposition(text.toStdString());
    QCOMPARE(parsed.has_value(), valid);
    if (parsed)
        QCOMPARE(*parsed, (chord::Transposition {semitones, spelling}));
}

QTEST_APPLESS_MAIN(tst_Transpose)
#include "tst_transpose.moc"

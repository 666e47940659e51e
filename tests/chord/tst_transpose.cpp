#include "chordtables.h"
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
    void byKey_data();
    void byKey();
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

// The spelling Auto takes: that of the key the song lands in, from the key
// given ("" none, "Cm" minor) or else from its roots.
void tst_Transpose::byKey_data()
{
    QTest::addColumn<QString>("roots");
    QTest::addColumn<int>("semitones");
    QTest::addColumn<Spelling>("spelling");
    QTest::addColumn<QString>("key");
    QTest::addColumn<Spelling>("expected");
    const QString none;
    const QString bFlatTune = QStringLiteral("Bb Eb F G C");
    QTest::newRow("a Bb tune down 5 is in F, with Bb")
        << bFlatTune << -5 << Spelling::Auto << none << Spelling::Flat;
    QTest::newRow("up 3 from Bb is Db, with Gb")
        << bFlatTune << 3 << Spelling::Auto << none << Spelling::Flat;
    QTest::newRow("a G tune up 1 is in Ab")
        << "G C D F#" << 1 << Spelling::Auto << none << Spelling::Flat;
    QTest::newRow("an F tune down 1 is in E")
        << "F Bb C D" << -1 << Spelling::Auto << none << Spelling::Sharp;
    QTest::newRow("C and F fit as well: C, with fewer flats, up 1 is Db")
        << "C F G A" << 1 << Spelling::Auto << none << Spelling::Flat;
    QTest::newRow("landing in C: up sharps")
        << "D F# A" << 5 << Spelling::Auto << none << Spelling::Sharp;
    QTest::newRow("landing in C: down flats")
        << "D F# A" << -7 << Spelling::Auto << none << Spelling::Flat;
    QTest::newRow("landing on F#/Gb: down flats")
        << "C F G" << -6 << Spelling::Auto << none << Spelling::Flat;
    QTest::newRow("no root known: up sharps")
        << "H" << 1 << Spelling::Auto << none << Spelling::Sharp;
    QTest::newRow("a key given over the roots: E up 3 is G")
        << "C F G" << 3 << Spelling::Auto << "E" << Spelling::Sharp;
    QTest::newRow("a minor key: C minor up 2 is D minor, with Bb")
        << "C F G" << 2 << Spelling::Auto << "Cm" << Spelling::Flat;
    QTest::newRow("sharps forced") << bFlatTune << -5 << Spelling::Sharp << none << Spelling::Sharp;
    QTest::newRow("flats forced") << "G C D" << 2 << Spelling::Flat << "G" << Spelling::Flat;
}

void tst_Transpose::byKey()
{
    QFETCH(QString, roots);
    QFETCH(int, semitones);
    QFETCH(Spelling, spelling);
    QFETCH(QString, key);
    QFETCH(Spelling, expected);
    std::vector<std::string> written;
    for (const QString &root : roots.split(u' '))
        written.push_back(root.toStdString());
    std::optional<chord::Key> given;
    if (!key.isEmpty())
        given = chord::Key {*chord::lookupRoot(key.left(1).toStdString()), key.endsWith(u'm')};
    QCOMPARE(chord::keySpelling(written, semitones, spelling, given), expected);
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

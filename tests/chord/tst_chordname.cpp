#include "chordname.h"
#include "chordsymbol.h"
#include "chordtables.h"

#include <QTest>

class tst_ChordName : public QObject
{
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void readSymbol_data();
    void readSymbol();
    void leftOutInJapanese_data();
    void leftOutInJapanese();
    void standardName_data();
    void standardName();
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
    const chord::SplitName name = chord::splitChordName(text.toStdString());
    QCOMPARE(QByteArray::fromStdString(name.root), root);
    QCOMPARE(QByteArray::fromStdString(name.kind), kind);
}

// One row a spelling, as charts write them. nearest: the chord is beyond our
// tables and root and kind name the one to play; leftOut joined by ", ".
void tst_ChordName::readSymbol_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("root"); // empty: no chord
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<bool>("nearest");
    QTest::addColumn<QByteArray>("leftOut");

    const auto in = [](const QByteArray &text, const char *root, const char *kind) {
        QTest::newRow(text.left(40).constData())
            << text << QByteArray(root) << QByteArray(kind) << false << QByteArray();
    };
    const auto near
        = [](const QByteArray &text, const char *root, const char *kind, const char *leftOut) {
              QTest::newRow(text.constData())
                  << text << QByteArray(root) << QByteArray(kind) << true << QByteArray(leftOut);
          };
    const auto none = [](const QByteArray &text) {
        QTest::newRow(("no chord: " + text.left(12)).constData())
            << text << QByteArray() << QByteArray() << false << QByteArray();
    };

    // Our own spellings, and the common ones of the same chords.
    in("C", "C", "");
    in("Cm", "C", "m");
    in("C7", "C", "7");
    in("Cm7", "C", "m7");
    in("CM7", "C", "M7");
    in("Cdim", "C", "dim");
    in("Cm7-5", "C", "m7-5");
    in("Caug", "C", "aug");
    in("Csus4", "C", "sus4");
    in("C7sus4", "C", "7sus4");
    in("C6", "C", "6");
    in("Cadd9", "C", "add9");
    in("Cm6", "C", "m6");
    in("CmM7", "C", "mM7");
    in("Cmaj7", "C", "M7");
    in("CMaj7", "C", "M7");
    in("CMAJ7", "C", "M7");
    in("Cma7", "C", "M7");
    in("CMA7", "C", "M7");
    in("Cj7", "C", "M7");
    in("CΔ", "C", "M7");
    in("CΔ7", "C", "M7");
    in("C△7", "C", "M7");
    in("C^7", "C", "M7");
    in("C^", "C", "M7");
    in("Cmaj", "C", "");
    in("CM", "C", "");
    in("Cmin", "C", "m");
    in("Cmi", "C", "m");
    in("C-", "C", "m");
    in("Cmin7", "C", "m7");
    in("Cmi7", "C", "m7");
    in("C-7", "C", "m7");
    in("CMin7", "C", "m7");
    in("Cm7b5", "C", "m7-5");
    in("Cm7(b5)", "C", "m7-5");
    in("Cm7(-5)", "C", "m7-5");
    in("Cm7♭5", "C", "m7-5");
    in("Cmi7b5", "C", "m7-5");
    in("Cmin7b5", "C", "m7-5");
    in("C-7b5", "C", "m7-5");
    in("Cø", "C", "m7-5");
    in("Cø7", "C", "m7-5");
    in("CØ7", "C", "m7-5");
    in("Cdim7", "C", "dim");
    in("C°7", "C", "dim");
    in("C°", "C", "dim");
    in("Co7", "C", "dim");
    in("Co", "C", "dim");
    in("Cº7", "C", "dim");
    in("C+", "C", "aug");
    in("C+5", "C", "aug");
    in("C(#5)", "C", "aug");
    in("C(aug)", "C", "aug");
    in("Csus", "C", "sus4");
    in("C4", "C", "sus4");
    in("C7sus", "C", "7sus4");
    in("C7(sus4)", "C", "7sus4");
    in("Csus7", "C", "7sus4");
    in("Cadd2", "C", "add9");
    in("C(add9)", "C", "add9");
    in("C(9)", "C", "add9");
    in("C-6", "C", "m6");
    in("Cmin6", "C", "m6");
    in("Cmi6", "C", "m6");
    in("Cmmaj7", "C", "mM7");
    in("CmMaj7", "C", "mM7");
    in("Cm(maj7)", "C", "mM7");
    in("Cm(M7)", "C", "mM7");
    in("Cm/maj7", "C", "mM7");
    in("C-Δ7", "C", "mM7");
    in("C-maj7", "C", "mM7");
    in("CmΔ", "C", "mM7");
    in("Cmin(maj7)", "C", "mM7");
    in("C(maj7)", "C", "M7");
    // Roots in any case and width, with any sharp and flat sign.
    in("c", "C", "");
    in("cm7", "C", "m7");
    in("Ｃ", "C", "");
    in("ｃ", "C", "");
    in("Ａｍ７", "A", "m7");
    in("Ｇ７", "G", "7");
    in("Bb", "Bb", "");
    in("bb", "Bb", "");
    in("B♭", "Bb", "");
    in("B♭maj7", "Bb", "M7");
    in("Bbmaj7", "Bb", "M7");
    in("Ebmaj7", "Eb", "M7");
    in("E♭m", "Eb", "m");
    in("A♭7", "Ab", "7");
    in("Dbm7", "Db", "m7");
    in("Gbdim7", "Gb", "dim");
    in("C#", "C#", "");
    in("C♯m7", "C#", "m7");
    in("F＃m", "F#", "m");
    in("f#m7b5", "F#", "m7-5");
    in("G#aug", "G#", "aug");
    in("A#m6", "A#", "m6");
    in("D#7sus4", "D#", "7sus4");
    in("Cb", "B", "");
    in("Fb", "E", "");
    in("E#m", "F", "m");
    in("B#7", "C", "7");
    in(" Am ", "A", "m");
    in("　Ｆ　", "F", "");
    // Beyond our tables: the nearest chord a player would use.
    near("C9", "C", "7", "9th");
    near("Cm9", "C", "m7", "9th");
    near("Cmaj9", "C", "M7", "9th");
    near("CM9", "C", "M7", "9th");
    near("CΔ9", "C", "M7", "9th");
    near("Cm(maj9)", "C", "mM7", "9th");
    near("C11", "C", "7sus4", "9th");
    near("Cm11", "C", "m7", "11th");
    near("C13", "C", "7", "13th");
    near("Cm13", "C", "m7", "13th");
    near("Cmaj13", "C", "M7", "13th");
    near("C6/9", "C", "6", "9th");
    near("C69", "C", "6", "9th");
    near("C6(9)", "C", "6", "9th");
    near("C6add9", "C", "6", "9th");
    near("Cm6/9", "C", "m6", "9th");
    near("Cm(add9)", "C", "m", "9th");
    near("Cmadd9", "C", "m", "9th");
    near("Cmadd11", "C", "m", "11th");
    near("Cadd11", "C", "", "11th");
    near("Cadd4", "C", "", "11th");
    near("C7b9", "C", "7", "b9");
    near("C7(b9)", "C", "7", "b9");
    near("C7-9", "C", "7", "b9");
    near("C7#9", "C", "7", "#9");
    near("C7+9", "C", "7", "#9");
    near("C7♯9", "C", "7", "#9");
    near("C7#11", "C", "7", "#11");
    near("C7b13", "C", "7", "b13");
    near("C7(b9,#11)", "C", "7", "b9, #11");
    near("C7(#9,b13)", "C", "7", "#9, b13");
    near("C13b9", "C", "7", "b9, 13th");
    near("C9#11", "C", "7", "9th, #11");
    near("C7alt", "C", "7", "alt");
    near("Cmaj7#11", "C", "M7", "#11");
    near("CM7(#11)", "C", "M7", "#11");
    near("CM7(9)", "C", "M7", "9th");
    near("C7(9)", "C", "7", "9th");
    near("C7/9", "C", "7", "9th");
    near("C9sus4", "C", "7sus4", "9th");
    near("C7sus4(9)", "C", "7sus4", "9th");
    near("Csus4(add9)", "C", "sus4", "9th");
    near("C7b5", "C", "7", "b5");
    near("C7(-5)", "C", "7", "b5");
    near("C7#5", "C", "7", "#5");
    near("C7+5", "C", "7", "#5");
    near("Caug7", "C", "7", "#5");
    near("C+7", "C", "7", "#5");
    near("CM7#5", "C", "M7", "#5");
    near("CM7+5", "C", "M7", "#5");
    near("Cm7b9", "C", "m7", "b9");
    near("Cø9", "C", "m7-5", "9th");
    near("Cdim(M7)", "C", "dim", "M7"); // our dim holds no major seventh over its own
    near("Cm(b5)", "C", "dim", "");
    near("Cmb5", "C", "dim", "");
    near("C(b5)", "C", "", "b5");
    near("Csus2", "C", "add9", "no 3rd");
    near("C2", "C", "add9", "no 3rd");
    near("C7sus2", "C", "7", "no 3rd, 9th");
    near("C5", "C", "", "no 3rd");
    near("C(5)", "C", "", "no 3rd");
    near("C7/6", "C", "7", "6th");
    near("Csus4/6", "C", "sus4", "6th");
    near("C/E", "C", "", "bass E");
    near("C/G", "C", "", "bass G");
    near("G/B", "G", "", "bass B");
    near("D/F#", "D", "", "bass F#");
    near("Am/G", "A", "m", "bass G");
    near("Am7/D", "A", "m7", "bass D");
    near("F/A", "F", "", "bass A");
    near("C/Bb", "C", "", "bass Bb");
    near("C/bb", "C", "", "bass Bb");
    near("Bb/D", "Bb", "", "bass D");
    near("Bbmaj7/F", "Bb", "M7", "bass F");
    near("Ab/Eb", "Ab", "", "bass Eb");
    near("Fm6/Ab", "F", "m6", "bass Ab");
    near("G7/F", "G", "7", "bass F");
    near("Cm7b5/Gb", "C", "m7-5", "bass Gb");
    near("C9/E", "C", "7", "9th, bass E");
    near("C onE", "C", "", "bass E");
    near("ConE", "C", "", "bass E");
    near("C on E", "C", "", "bass E");
    near("Am7onG", "A", "m7", "bass G");
    near("Ｃ ｏｎ Ｅ", "C", "", "bass E");
    near("C(onE)", "C", "", "bass E");
    near("C/Cb", "C", "", "bass B");
    near("Bbm9", "Bb", "m7", "9th");
    near("Eb6/9", "Eb", "6", "9th");
    near("F#7b9", "F#", "7", "b9");
    near("Db13", "Db", "7", "13th");
    near("A7sus2", "A", "7", "no 3rd, 9th");
    near("Dsus2", "D", "add9", "no 3rd");
    near("E5", "E", "", "no 3rd");
    near("G9", "G", "7", "9th");
    // No chord symbol at all.
    none("");
    none("   ");
    none("H");
    none("H7");
    none("N.C.");
    none("n.c.");
    none("X");
    none("Cmaj8");
    none("Cx");
    none("C/");
    none("C/H");
    none("C/E7");
    none("Conx");
    none("7");
    none("m7");
    none("#C");
    none("Ｈ");
    none("C\xFF");
    none("ドミソ");
    none("C m7 G");
    none(QByteArray(1 << 20, '7').prepend('C'));
    none(QByteArray(1 << 20, 'C'));
}

void tst_ChordName::readSymbol()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, root);
    QFETCH(QByteArray, kind);
    QFETCH(bool, nearest);
    QFETCH(QByteArray, leftOut);
    const chord::ChordSymbol read = chord::readChordSymbol(text.toStdString());
    QCOMPARE(read.isChord, !root.isEmpty());
    QCOMPARE(QByteArray::fromStdString(read.root), root);
    QCOMPARE(QByteArray::fromStdString(read.kind), kind);
    QCOMPARE(read.isChord && !read.inTables, nearest);
    QByteArrayList parts;
    for (const std::string &part : read.leftOut)
        parts << QByteArray::fromStdString(part);
    QCOMPARE(parts.join(", "), leftOut);
}

void tst_ChordName::leftOutInJapanese_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("notice");

    QTest::newRow("extensions as written") << QByteArray("C7(b9,13)") << "「b9」「13th」";
    QTest::newRow("the bass") << QByteArray("C9/E") << "「9th」「ベース E」";
    QTest::newRow("no third") << QByteArray("Csus2") << "「3度なし」";
    QTest::newRow("altered") << QByteArray("G7alt") << "「オルタード」";
    QTest::newRow("nothing") << QByteArray("Cmaj7") << "";
}

void tst_ChordName::leftOutInJapanese()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, notice);
    const auto read = chord::readChordSymbol(text.toStdString());
    QCOMPARE(QString::fromStdString(chord::leftOutInJapanese(read.leftOut)), notice);
}

// Every kind in the standard spelling, checked by reading back: the reader
// takes it, and our own spelling, to the same chord for every root.
void tst_ChordName::standardName_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("written"); // with the root Bb

    const char *written[] {"Bb", "Bbm", "Bb7", "Bbm7", "Bbmaj7", "Bbdim7", "Bbm7b5", "Bbaug",
        "Bbsus4", "Bb7sus4", "Bb6", "Bbadd9", "Bbm6", "Bbm(maj7)"};
    for (std::size_t i = 0; i < chord::ChordKind.size(); ++i) {
        const QByteArray kind = QByteArray::fromStdString(std::string(chord::ChordKind[i].text));
        QTest::newRow(kind.isEmpty() ? "major" : kind.constData())
            << kind << QByteArray(written[i]);
    }
    QTest::newRow("unknown kind as written") << QByteArray("maj9") << QByteArray("Bbmaj9");
    QTest::newRow("typed text as written") << QByteArray("M7 ") << QByteArray("BbM7 ");
}

void tst_ChordName::standardName()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, written);
    QCOMPARE(
        QByteArray::fromStdString(chord::standardChordName("Bb", kind.toStdString())), written);
    if (!chord::kindIndex(kind.toStdString()))
        return;
    for (const chord::RootRow &root : chord::ChordRoot) {
        const std::string ours = std::string(root.text) + kind.toStdString();
        for (const std::string &name :
            {ours, chord::standardChordName(root.text, kind.toStdString())}) {
            const chord::ChordSymbol read = chord::readChordSymbol(name);
            QVERIFY2(read.inTables && read.root == root.text && read.kind == kind.toStdString(),
                name.c_str());
        }
    }
}

QTEST_GUILESS_MAIN(tst_ChordName)
#include "tst_chordname.moc"

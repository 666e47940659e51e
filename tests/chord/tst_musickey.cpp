#include "chordname.h"
#include "degree.h"
#include "keyfinding.h"

#include <QTest>

#include <vector>

Q_DECLARE_METATYPE(chord::Key)

namespace
{
// The chords of a memo, one name per box, kept with views of their two lines.
struct Memo {
    explicit Memo(const QString &names)
    {
        for (const QString &name : names.split(u' ', Qt::SkipEmptyParts))
            boxes.push_back(chord::splitChordName(name.toStdString()));
        for (const chord::SplitName &box : boxes)
            chords.push_back({box.root, box.kind});
    }
    std::vector<chord::SplitName> boxes;
    std::vector<chord::NamedChord> chords;
};

QString joined(const chord::KeyChords &chords)
{
    QStringList names;
    for (const chord::NamedChord &c : chords)
        names << QString::fromStdString(std::string(c.root) + std::string(c.kind));
    return names.join(u' ');
}

QString nameOf(std::optional<chord::Key> key)
{
    return key ? QString::fromStdString(chord::keyName(*key)) : QString();
}

chord::Key keyOf(const QString &text)
{
    return chord::parseKey(text.toStdString()).value();
}
} // namespace

class tst_MusicKey : public QObject
{
    Q_OBJECT
private slots:
    void keyNames_data();
    void keyNames();
    void parse_data();
    void parse();
    void findKey_data();
    void findKey();
    void degreeNames_data();
    void degreeNames();
    void keyChords_data();
    void keyChords();
    void capoShapes_data();
    void capoShapes();
};

// Every key by its tonic's pitch class: its name, and the five black keys as it spells them.
void tst_MusicKey::keyNames_data()
{
    QTest::addColumn<chord::Key>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("blackKeys");
    const QStringList majors = QString("C Db D Eb E F Gb G Ab A Bb B").split(u' ');
    const QStringList minors = QString("Cm C#m Dm Ebm Em Fm F#m Gm G#m Am Bbm Bm").split(u' ');
    const QStringList flatKeys = QString("F Bb Eb Ab Db Gb Dm Gm Cm Fm Bbm Ebm").split(u' ');
    for (int tonic = 0; tonic < chord::PitchClassCount; ++tonic) {
        for (const bool minor : {false, true}) {
            const QString name = (minor ? minors : majors)[tonic];
            QTest::newRow(qPrintable(name)) << chord::Key {tonic,
                minor} << name << (flatKeys.contains(name) ? "Db Eb Gb Ab Bb" : "C# D# F# G# A#");
        }
    }
}

void tst_MusicKey::keyNames()
{
    QFETCH(chord::Key, key);
    QFETCH(QString, name);
    QFETCH(QString, blackKeys);
    QCOMPARE(nameOf(key), name);
    QStringList spelled;
    for (const int pitchClass : {1, 3, 6, 8, 10})
        spelled << QString::fromStdString(std::string(chord::rootInKey(pitchClass, key)));
    QCOMPARE(spelled.join(u' '), blackKeys);
    QCOMPARE(chord::parseKey(name.toStdString()), std::optional(key));
}

// What a command line or a song file may say, and the key read from it ("" for none).
void tst_MusicKey::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    const char *rows[][3] = {
        {"a sharp spelling of a flat key", "A#", "Bb"},
        {"blanks around", " \tD#m ", "Ebm"},
        {"auto is the caller's", "auto", ""},
        {"empty", "", ""},
        {"blanks only", "  ", ""},
        {"m alone", "m", ""},
        {"two m", "Amm", ""},
        {"lower case", "g", ""},
        {"no Cb in the tables", "Cb", ""},
        {"minor written out", "Amin", ""},
        {"a chord, not a key", "G7", ""},
        {"a blank inside", "F #m", ""},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[1] << row[2];
}

void tst_MusicKey::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    QCOMPARE(nameOf(chord::parseKey(text.toStdString())), key);
}

// Real progressions as chord charts give them, one chord per box.
void tst_MusicKey::findKey_data()
{
    QTest::addColumn<QString>("chords");
    QTest::addColumn<QString>("key");
    const char *rows[][3] = {
        {"12-bar blues in F", "F7 Bb7 F7 F7 Bb7 Bb7 F7 F7 C7 Bb7 F7 C7", "F"},
        {"12-bar blues in E", "E7 A7 E7 E7 A7 A7 E7 E7 B7 A7 E7 B7", "E"},
        {"minor blues in C", "Cm7 Fm7 Cm7 Cm7 Fm7 Fm7 Cm7 Cm7 Ab7 G7 Cm7 G7", "Cm"},
        {"minor ii-V-i", "Dm7-5 G7 Cm Cm", "Cm"},
        {"ii-V-I in Bb", "Cm7 F7 BbM7 BbM7", "Bb"},
        {"ii-V-I in Eb with vi", "Fm7 Bb7 EbM7 Cm7 Fm7 Bb7 EbM7 EbM7", "Eb"},
        {"rhythm changes A", "BbM7 Gm7 Cm7 F7 Dm7 G7 Cm7 F7", "Bb"},
        {"Autumn Leaves", "Cm7 F7 BbM7 EbM7 Am7-5 D7 Gm Gm", "Gm"},
        {"Fly Me to the Moon", "Am7 Dm7 G7 CM7 FM7 Bm7-5 E7 Am7", "Am"},
        {"I V vi IV repeated", "C G Am F C G Am F", "C"},
        {"Andalusian cadence", "Am G F E", "Am"},
        {"Let It Be", "C G Am F C G F C", "C"},
        {"Stand by Me", "A A F#m F#m D E A A", "A"},
        {"Canon in D", "D A Bm F#m G D G A", "D"},
        {"Knockin' on Heaven's Door", "G D Am Am G D C C", "G"},
        {"Twist and Shout", "D G A G D G A A", "D"},
        {"Amazing Grace", "G G G7 C G G D D G G G7 C G D G", "G"},
        {"Greensleeves", "Am G Am E Am G E Am C G Am E C G E Am", "Am"},
        {"House of the Rising Sun", "Am C D F Am C E E Am C D F Am E Am Am", "Am"},
        {"Hotel California", "Bm F#7 A E G D Em F#7", "Bm"},
        {"doo-wop in Eb", "Eb Cm Fm Bb7 Eb Cm Fm Bb7", "Eb"},
        {"I vi IV V in Db", "Db Bbm Gb Ab Db Bbm Gb Ab7", "Db"},
        {"I IV V7 in Ab", "Ab Db Eb7 Ab Fm Db Eb7 Ab", "Ab"},
        {"minor in F#", "F#m Bm C#7 F#m D Bm C#7 F#m", "F#m"},
        {"minor in G with a borrowed IV", "Gm C Gm C Eb F D7 Gm", "Gm"},
        {"Sweet Georgia Brown: secondary dominants", "D7 D7 G7 G7 C7 C7 F F", "F"},
        {"Creep: a borrowed iv", "G B C Cm G B C Cm", "G"},
        {"Zombie: the ends tell minor from major", "Em C G D Em C G D Em", "Em"},
        {"royal road to the tonic", "FM7 G7 Em7 Am7 FM7 G7 C C", "C"},
        {"unknown names and empty boxes passed over", "H Bbmaj7 Dm7-5 G7 Cm ? Cm", "Cm"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[1] << row[2];
}

void tst_MusicKey::findKey()
{
    QFETCH(QString, chords);
    QFETCH(QString, key);
    const auto found = chord::findKey(Memo(chords).chords);
    QVERIFY(found);
    QCOMPARE(nameOf(found->key), key);
    // Played twice, the same song is in the same key, and more surely so.
    const auto again = chord::findKey(Memo(chords + u' ' + chords).chords);
    QCOMPARE(again->key, found->key);
    QVERIFY(again->confidence > found->confidence);
}

// Names of chords in a key, in the window's numerals and then in ASCII.
void tst_MusicKey::degreeNames_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("chords");
    QTest::addColumn<QString>("roman");
    QTest::addColumn<QString>("ascii");
    const char *rows[][5] = {
        {"G: diatonic and borrowed", "G", "G Em7 C D7 Bb F#m7-5", "Ⅰ Ⅵm7 Ⅳ Ⅴ7 ♭Ⅲ Ⅶm7-5",
            "I VIm7 IV V7 bIII VIIm7-5"},
        {"A minor: the natural minor's own are flat", "Am", "Am C G E7", "Ⅰm ♭Ⅲ ♭Ⅶ Ⅴ7",
            "Im bIII bVII V7"},
        {"C: every chromatic root", "C", "Db Eb F#m7-5 Ab Bb C#dim G#aug",
            "♭Ⅱ ♭Ⅲ ♯Ⅳm7-5 ♭Ⅵ ♭Ⅶ ♭Ⅱdim ♭Ⅵaug", "bII bIII #IVm7-5 bVI bVII bIIdim bVIaug"},
        {"F: a sharp written in a flat key", "F", "A#M7 Gm7 C7sus4 Dm6", "ⅣM7 Ⅱm7 Ⅴ7sus4 Ⅵm6",
            "IVM7 IIm7 V7sus4 VIm6"},
        {"Eb minor: below the tonic wraps round", "Ebm", "Ebm Db B Bbm7 D", "Ⅰm ♭Ⅶ ♭Ⅵ Ⅴm7 Ⅶ",
            "Im bVII bVI Vm7 VII"},
        {"E: every other kind", "E", "Esus4 Aadd9 B6 F#mM7 C#m B7 E", "Ⅰsus4 Ⅳadd9 Ⅴ6 ⅡmM7 Ⅵm Ⅴ7 Ⅰ",
            "Isus4 IVadd9 V6 IImM7 VIm V7 I"},
        {"unknown root or kind: no degree", "C", "H7 Cmaj7 bb", "- - -", "- - -"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[1] << row[2] << row[3] << row[4];
}

void tst_MusicKey::degreeNames()
{
    QFETCH(QString, key);
    QFETCH(QString, chords);
    QFETCH(QString, roman);
    QFETCH(QString, ascii);
    QStringList got[2];
    const Memo memo(chords);
    for (const chord::NamedChord &c : memo.chords) {
        for (const auto style : {chord::DegreeStyle::Roman, chord::DegreeStyle::Ascii}) {
            const auto name = chord::degreeName(c, keyOf(key), style);
            got[int(style)] << (name.empty() ? "-" : QString::fromStdString(name));
        }
    }
    QCOMPARE(got[0].join(u' '), roman);
    QCOMPARE(got[1].join(u' '), ascii);
}

// The key's chords on Ⅰ to Ⅶ: triads, then four-note chords.
void tst_MusicKey::keyChords_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("triads");
    QTest::addColumn<QString>("sevenths");
    const char *rows[][4] = {
        {"C", "C", "C Dm Em F G Am Bm7-5", "CM7 Dm7 Em7 FM7 G7 Am7 Bm7-5"},
        {"Am", "Am", "Am Bm7-5 C Dm E F G", "Am7 Bm7-5 CM7 Dm7 E7 FM7 G7"},
        {"F: Bb, not A#", "F", "F Gm Am Bb C Dm Em7-5", "FM7 Gm7 Am7 BbM7 C7 Dm7 Em7-5"},
        {"Dm: Bb, and the leading note's C#", "Dm", "Dm Em7-5 F Gm A Bb C",
            "Dm7 Em7-5 FM7 Gm7 A7 BbM7 C7"},
        {"E: sharps", "E", "E F#m G#m A B C#m D#m7-5", "EM7 F#m7 G#m7 AM7 B7 C#m7 D#m7-5"},
        {"Gb: no Cb in the tables", "Gb", "Gb Abm Bbm B Db Ebm Fm7-5",
            "GbM7 Abm7 Bbm7 BM7 Db7 Ebm7 Fm7-5"},
        {"G#m: sharps, and the harmonic minor's D#", "G#m", "G#m A#m7-5 B C#m D# E F#",
            "G#m7 A#m7-5 BM7 C#m7 D#7 EM7 F#7"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[1] << row[2] << row[3];
}

void tst_MusicKey::keyChords()
{
    QFETCH(QString, key);
    QFETCH(QString, triads);
    QFETCH(QString, sevenths);
    QCOMPARE(joined(chord::keyTriads(keyOf(key))), triads);
    QCOMPARE(joined(chord::keySevenths(keyOf(key))), sevenths);
}

// Sounding roots in a key, and the roots of the shapes played with a capo.
void tst_MusicKey::capoShapes_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("capo");
    QTest::addColumn<QString>("roots");
    QTest::addColumn<QString>("shapes");
    const char *rows[][5] = {
        {"Eb, capo 3: C shapes, the borrowed Db a Bb", "Eb", "3", "Eb Ab Bb Db", "C F G Bb"},
        {"Db, capo 1: out of the key, flats but the #IV", "Db", "1", "E A G", "Eb Ab F#"},
        {"Bb, capo 1: A shapes take A's sharps", "Bb", "1", "Bb Eb G D", "A D F# C#"},
        {"Dm, capo 5: Am shapes, however written", "Dm", "5", "D A# C# F", "A F G# C"},
        {"capo 11: Db shapes, not C#", "C", "11", "C F G", "Db Gb Ab"},
        {"unknown root: no shape", "C", "3", "H Cb", "- -"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[1] << QString(row[2]).toInt() << row[3] << row[4];
}

void tst_MusicKey::capoShapes()
{
    QFETCH(QString, key);
    QFETCH(int, capo);
    QFETCH(QString, roots);
    QFETCH(QString, shapes);
    QStringList got;
    for (const QString &root : roots.split(u' ')) {
        const auto shape = chord::shapeRoot(root.toStdString(), capo, keyOf(key));
        got << (shape.empty() ? QStringLiteral("-") : QString::fromStdString(std::string(shape)));
    }
    QCOMPARE(got.join(u' '), shapes);
}

QTEST_GUILESS_MAIN(tst_MusicKey)
#include "tst_musickey.moc"

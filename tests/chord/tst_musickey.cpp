#include "chordname.h"
#include "degree.h"
#include "keyfinding.h"

#include <QTest>

#include <vector>

namespace
{
// Chord names separated by blanks, split as a memo box splits them.
std::vector<chord::SplitName> splitAll(const QString &names)
{
    std::vector<chord::SplitName> split;
    for (const QString &name : names.split(u' ', Qt::SkipEmptyParts))
        split.push_back(chord::splitChordName(name.toStdString()));
    return split;
}

std::vector<chord::NamedChord> viewsOf(const std::vector<chord::SplitName> &split)
{
    std::vector<chord::NamedChord> views;
    for (const chord::SplitName &s : split)
        views.push_back({s.root, s.kind});
    return views;
}

QString joined(const chord::KeyChords &chords)
{
    QStringList names;
    for (const chord::NamedChord &c : chords)
        names << QString::fromStdString(std::string(c.root) + std::string(c.kind));
    return names.join(u' ');
}

chord::Key keyOf(const QString &text)
{
    const auto key = chord::parseKey(text.toStdString());
    if (!key)
        qFatal("not a key in the table: %s", qPrintable(text));
    return *key;
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
};

// Every key by its pitch class: its name, and the five black keys as it spells them.
void tst_MusicKey::keyNames_data()
{
    QTest::addColumn<int>("tonic");
    QTest::addColumn<bool>("minor");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("blackKeys");
    const QString sharps = "C# D# F# G# A#";
    const QString flats = "Db Eb Gb Ab Bb";
    const struct {
        const char *major, *minor;
    } names[] = {{"C", "Cm"}, {"Db", "C#m"}, {"D", "Dm"}, {"Eb", "Ebm"}, {"E", "Em"}, {"F", "Fm"},
        {"Gb", "F#m"}, {"G", "Gm"}, {"Ab", "G#m"}, {"A", "Am"}, {"Bb", "Bbm"}, {"B", "Bm"}};
    const QString flatMajors = "Db Eb F Gb Ab Bb";
    const QString flatMinors = "Cm Dm Ebm Fm Gm Bbm";
    for (int tonic = 0; tonic < chord::PitchClassCount; ++tonic) {
        for (const bool minor : {false, true}) {
            const QString name = minor ? names[tonic].minor : names[tonic].major;
            const bool flat = (minor ? flatMinors : flatMajors).split(u' ').contains(name);
            QTest::addRow("%s", qPrintable(name))
                << tonic << minor << name << (flat ? flats : sharps);
        }
    }
}

void tst_MusicKey::keyNames()
{
    QFETCH(int, tonic);
    QFETCH(bool, minor);
    QFETCH(QString, name);
    QFETCH(QString, blackKeys);
    const chord::Key key {tonic, minor};
    QCOMPARE(QString::fromStdString(chord::keyName(key)), name);
    QStringList spelled;
    for (const int pitchClass : {1, 3, 6, 8, 10})
        spelled << QString::fromStdString(std::string(chord::rootInKey(pitchClass, key)));
    QCOMPARE(spelled.join(u' '), blackKeys);
    QCOMPARE(chord::parseKey(name.toStdString()), std::optional(key));
}

void tst_MusicKey::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("tonic");
    QTest::addColumn<bool>("minor");
    QTest::newRow("G") << "G" << true << 7 << false;
    QTest::newRow("Bb") << "Bb" << true << 10 << false;
    QTest::newRow("F#m") << "F#m" << true << 6 << true;
    QTest::newRow("Ebm") << "Ebm" << true << 3 << true;
    QTest::newRow("a sharp spelling of a flat key") << "A#" << true << 10 << false;
    QTest::newRow("blanks around") << " \tD#m " << true << 3 << true;
    QTest::newRow("auto is the caller's") << "auto" << false << 0 << false;
    QTest::newRow("empty") << "" << false << 0 << false;
    QTest::newRow("blanks only") << "  " << false << 0 << false;
    QTest::newRow("m alone") << "m" << false << 0 << false;
    QTest::newRow("two m") << "Amm" << false << 0 << false;
    QTest::newRow("lower case") << "g" << false << 0 << false;
    QTest::newRow("no Cb in the tables") << "Cb" << false << 0 << false;
    QTest::newRow("minor written out") << "Amin" << false << 0 << false;
    QTest::newRow("a chord, not a key") << "G7" << false << 0 << false;
    QTest::newRow("a blank inside") << "F #m" << false << 0 << false;
}

void tst_MusicKey::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, tonic);
    QFETCH(bool, minor);
    const auto key = chord::parseKey(text.toStdString());
    QCOMPARE(key.has_value(), valid);
    if (valid)
        QCOMPARE(*key, (chord::Key {tonic, minor}));
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
    const auto split = splitAll(chords);
    const auto found = chord::findKey(viewsOf(split));
    QVERIFY(found);
    QCOMPARE(QString::fromStdString(chord::keyName(found->key)), key);
    // Played twice, the same song is in the same key, and more surely so.
    auto twice = split;
    twice.insert(twice.end(), split.begin(), split.end());
    const auto again = chord::findKey(viewsOf(twice));
    QCOMPARE(again->key, found->key);
    QVERIFY(again->confidence > found->confidence);
}

void tst_MusicKey::degreeNames_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("chords");
    QTest::addColumn<QString>("roman");
    QTest::addColumn<QString>("ascii");
    QTest::newRow("G: diatonic and borrowed") << "G"
                                              << "G Em7 C D7 Bb F#m7-5"
                                              << "Ⅰ Ⅵm7 Ⅳ Ⅴ7 ♭Ⅲ Ⅶm7-5"
                                              << "I VIm7 IV V7 bIII VIIm7-5";
    QTest::newRow("A minor: the natural minor's degrees are flat") << "Am"
                                                                   << "Am C G E7"
                                                                   << "Ⅰm ♭Ⅲ ♭Ⅶ Ⅴ7"
                                                                   << "Im bIII bVII V7";
    QTest::newRow("C: every chromatic root") << "C"
                                             << "Db Eb F#m7-5 Ab Bb C#dim G#aug"
                                             << "♭Ⅱ ♭Ⅲ ♯Ⅳm7-5 ♭Ⅵ ♭Ⅶ ♭Ⅱdim ♭Ⅵaug"
                                             << "bII bIII #IVm7-5 bVI bVII bIIdim bVIaug";
    QTest::newRow("F: a sharp written for a flat key's note") << "F"
                                                              << "A#M7 Gm7 C7sus4 Dm6"
                                                              << "ⅣM7 Ⅱm7 Ⅴ7sus4 Ⅵm6"
                                                              << "IVM7 IIm7 V7sus4 VIm6";
    QTest::newRow("Eb minor: below the tonic wraps round") << "Ebm"
                                                           << "Ebm Db B Bbm7 D"
                                                           << "Ⅰm ♭Ⅶ ♭Ⅵ Ⅴm7 Ⅶ"
                                                           << "Im bVII bVI Vm7 VII";
    QTest::newRow("E: every other kind") << "E"
                                         << "Esus4 Aadd9 B6 F#mM7 C#m B7 E"
                                         << "Ⅰsus4 Ⅳadd9 Ⅴ6 ⅡmM7 Ⅵm Ⅴ7 Ⅰ"
                                         << "Isus4 IVadd9 V6 IImM7 VIm V7 I";
    QTest::newRow("unknown root or kind has no degree") << "C"
                                                        << "H7 Cmaj7 bb"
                                                        << ""
                                                        << "";
}

void tst_MusicKey::degreeNames()
{
    QFETCH(QString, key);
    QFETCH(QString, chords);
    QFETCH(QString, roman);
    QFETCH(QString, ascii);
    QStringList gotRoman, gotAscii;
    for (const chord::SplitName &c : splitAll(chords)) {
        const chord::NamedChord named {c.root, c.kind};
        const auto name = [&](chord::DegreeStyle style) {
            return QString::fromStdString(chord::degreeName(named, keyOf(key), style));
        };
        if (!name(chord::DegreeStyle::Roman).isEmpty())
            gotRoman << name(chord::DegreeStyle::Roman);
        if (!name(chord::DegreeStyle::Ascii).isEmpty())
            gotAscii << name(chord::DegreeStyle::Ascii);
    }
    QCOMPARE(gotRoman.join(u' '), roman);
    QCOMPARE(gotAscii.join(u' '), ascii);
}

void tst_MusicKey::keyChords_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("triads");
    QTest::addColumn<QString>("sevenths");
    QTest::newRow("C") << "C"
                       << "C Dm Em F G Am Bm7-5"
                       << "CM7 Dm7 Em7 FM7 G7 Am7 Bm7-5";
    QTest::newRow("Am") << "Am"
                        << "Am Bm7-5 C Dm E F G"
                        << "Am7 Bm7-5 CM7 Dm7 E7 FM7 G7";
    QTest::newRow("F: Bb, not A#") << "F"
                                   << "F Gm Am Bb C Dm Em7-5"
                                   << "FM7 Gm7 Am7 BbM7 C7 Dm7 Em7-5";
    QTest::newRow("Dm: Bb and the leading note C#") << "Dm"
                                                    << "Dm Em7-5 F Gm A Bb C"
                                                    << "Dm7 Em7-5 FM7 Gm7 A7 BbM7 C7";
    QTest::newRow("E: sharps") << "E"
                               << "E F#m G#m A B C#m D#m7-5"
                               << "EM7 F#m7 G#m7 AM7 B7 C#m7 D#m7-5";
    QTest::newRow("Gb: no Cb in the tables") << "Gb"
                                             << "Gb Abm Bbm B Db Ebm Fm7-5"
                                             << "GbM7 Abm7 Bbm7 BM7 Db7 Ebm7 Fm7-5";
    QTest::newRow("G#m: sharps, and the harmonic minor's D#") << "G#m"
                                                              << "G#m A#m7-5 B C#m D# E F#"
                                                              << "G#m7 A#m7-5 BM7 C#m7 D#7 EM7 F#7";
}

void tst_MusicKey::keyChords()
{
    QFETCH(QString, key);
    QFETCH(QString, triads);
    QFETCH(QString, sevenths);
    QCOMPARE(joined(chord::keyTriads(keyOf(key))), triads);
    QCOMPARE(joined(chord::keySevenths(keyOf(key))), sevenths);
}

QTEST_GUILESS_MAIN(tst_MusicKey)
#include "tst_musickey.moc"

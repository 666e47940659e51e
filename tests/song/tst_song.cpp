#include "chordmemo.h"
#include "keyline.h"
#include "song.h"
#include "songsettings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <QTest>

using Notes = std::vector<int>;
using Box = std::pair<int, QStringList>; // box index, root and kind

class tst_Song : public QObject
{
    Q_OBJECT
private slots:
    void fromMemo_data();
    void fromMemo();
    void title_data();
    void title();
    void settings_data();
    void settings();
    void transposedKeepsTheForm_data();
    void transposedKeepsTheForm();
    void keptKey_data();
    void keptKey();
    void keyLine_data();
    void keyLine();
};

void tst_Song::fromMemo_data()
{
    QTest::addColumn<QList<Box>>("boxes");
    QTest::addColumn<QStringList>("names"); // bar by bar
    QTest::addColumn<QList<Notes>>("notes");

    QTest::newRow("empty memo: no bars") << QList<Box> {} << QStringList {} << QList<Notes> {};
    QTest::newRow("an empty box between chords is a rest")
        << QList<Box> {{0, {"C", ""}}, {2, {"A", "m"}}} << QStringList {"C", "", "Am"}
        << QList<Notes> {{48, 52, 55}, {}, {57, 60, 64}};
    QTest::newRow("unknown root or kind: a rest that keeps its name") << QList<Box> {{0, {"H", ""}},
        {1, {"C", "maj7"}}} << QStringList {"H", "Cmaj7"} << QList<Notes> {{}, {}};
    QTest::newRow("flat root, four notes")
        << QList<Box> {{0, {"Bb", "7"}}} << QStringList {"Bb7"} << QList<Notes> {{58, 62, 65, 68}};
    QTest::newRow("a kind line alone holds something")
        << QList<Box> {{1, {"", "m"}}} << QStringList {"", "m"} << QList<Notes> {{}, {}};
    QList<Notes> rests(29);
    rests << Notes {59, 62, 66, 69};
    QStringList names(29);
    names << "Bm7"; // B D F# A
    QTest::newRow("the last box makes 30 bars") << QList<Box> {{29, {"B", "m7"}}} << names << rests;
}

void tst_Song::fromMemo()
{
    QFETCH(QList<Box>, boxes);
    QFETCH(QStringList, names);
    QFETCH(QList<Notes>, notes);
    memo::ChordMemo memo;
    for (const Box &box : boxes) {
        memo.curslot = box.first;
        memo.store(box.second[0], box.second[1]);
    }
    memo.curslot = memo::ScratchSlot;
    memo.store(QStringLiteral("G"), QString()); // the scratch slot is no bar

    const song::Song s = song::songFromMemo(memo, QStringLiteral("t"), 90, 3);
    QCOMPARE(s.tempo, 90);
    QCOMPARE(s.beatsPerBar, 3);
    QCOMPARE(int(s.bars.size()), names.size());
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(s.bars[std::size_t(i)].name(), names[i]);
        QCOMPARE(s.bars[std::size_t(i)].notes, notes[i]);
    }
}

void tst_Song::title_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("usual memo") << "/home/u/.local/share/soramina/code.dat"
                                << "code";
    QTest::newRow("dots in the name") << "songs/my.song.v2.dat"
                                      << "my.song.v2";
    QTest::newRow("no extension") << "Yesterday"
                                  << "Yesterday";
    QTest::newRow("Japanese name") << "/tmp/さくら.cho"
                                   << "さくら";
}

void tst_Song::title()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(song::titleFromPath(path), title);
}

void tst_Song::settings_data()
{
    // What the settings file holds for the memo /m/a.dat (tempo, beats, the
    // instrument), and what comes back for it and for /m/b.dat.
    QTest::addColumn<QVariantList>("kept");
    QTest::addColumn<QList<int>>("forA"); // tempo, beats, program
    QTest::addColumn<QList<int>>("forB");
    QTest::newRow("nothing kept: defaults")
        << QVariantList {{}, {}, {}} << QList<int> {120, 4, 0} << QList<int> {120, 4, 0};
    QTest::newRow("kept per memo")
        << QVariantList {90, 3, 24} << QList<int> {90, 3, 24} << QList<int> {120, 4, 24};
    QTest::newRow("edges kept") << QVariantList {20, 12, 127} << QList<int> {20, 12, 127}
                                << QList<int> {120, 4, 127};
    QTest::newRow("out of range or not numbers: defaults")
        << QVariantList {301, 0, 128} << QList<int> {120, 4, 0} << QList<int> {120, 4, 0};
    QTest::newRow("text") << QVariantList {"fast", "x", "piano"} << QList<int> {120, 4, 0}
                          << QList<int> {120, 4, 0};
}

void tst_Song::settings()
{
    QFETCH(QVariantList, kept);
    QFETCH(QList<int>, forA);
    QFETCH(QList<int>, forB);
    const QTemporaryDir dir;
    QSettings file(dir.filePath(QStringLiteral("s.conf")), QSettings::IniFormat);
    const QString a = QStringLiteral("/m/a.dat");
    song::saveSongSettings(file, a, {});
    file.setValue(QStringLiteral("songs/%2Fm%2Fa.dat/tempo"), kept[0]);
    file.setValue(QStringLiteral("songs/%2Fm%2Fa.dat/beats"), kept[1]);
    file.setValue(QLatin1String(song::ProgramKey), kept[2]);
    file.sync();
    const QSettings read(file.fileName(), QSettings::IniFormat);
    for (const auto &[path, expected] :
        {std::pair {a, forA}, std::pair {QStringLiteral("/m/b.dat"), forB}}) {
        const song::SongSettings got = song::loadSongSettings(read, path);
        QCOMPARE((QList<int> {got.tempo, got.beatsPerBar, song::chosenProgram(read)}), expected);
    }
}

void tst_Song::transposedKeepsTheForm_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("moved"); // up a whole tone, sharps
    QTest::newRow("a known root moves") << "C"
                                        << "D";
    QTest::newRow("an unknown one stays") << "H"
                                          << "H";
}

void tst_Song::transposedKeepsTheForm()
{
    QFETCH(QString, root);
    QFETCH(QString, moved);
    song::Song s;
    s.bars.push_back(song::barOf(root, QStringLiteral("m")));
    s.bars.back().beats = 2;
    s.bars.back().section = QStringLiteral("サビ");
    s.key = chord::Key {9, true};
    const song::Song t = song::transposed(s, 2, chord::Spelling::Sharp);
    QVERIFY(t.key == (chord::Key {11, true})); // A minor up a whole tone: B minor
    const song::Bar bar = t.bars.front();
    QCOMPARE(bar.root, moved);
    QCOMPARE(bar.notes, song::barOf(moved, QStringLiteral("m")).notes);
    QCOMPARE(bar.beats, 2);
    QCOMPARE(bar.section, QStringLiteral("サビ"));
}

void tst_Song::keptKey_data()
{
    // The key and capo entries of /m/a.dat (none when invalid); the key's name
    // read back ("" for 自動) and the capo.
    QTest::addColumn<QVariant>("key");
    QTest::addColumn<QVariant>("capo");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fret");
    QTest::newRow("settings from before: 自動, no capo") << QVariant() << QVariant() << "" << 0;
    QTest::newRow("kept") << QVariant("F#m") << QVariant(11) << "F#m" << 11;
    QTest::newRow("a sharp for a flat key") << QVariant("A#") << QVariant("3") << "Bb" << 3;
    QTest::newRow("no such key, capo past 11") << QVariant("auto") << QVariant(12) << "" << 0;
}

void tst_Song::keptKey()
{
    QFETCH(QVariant, key);
    QFETCH(QVariant, capo);
    QFETCH(QString, name);
    QFETCH(int, fret);
    const QTemporaryDir dir;
    QSettings file(dir.filePath(QStringLiteral("s.conf")), QSettings::IniFormat);
    const QString a = QStringLiteral("/m/a.dat");
    const QString b = QStringLiteral("/m/b.dat");
    const song::SongSettings inG {90, 3, chord::Key {7, false}, 5};
    song::saveSongSettings(file, a, inG);
    for (const auto &[entry, value] : {std::pair {"key", key}, std::pair {"capo", capo}}) {
        const QString path = QStringLiteral("songs/%2Fm%2Fa.dat/") + QLatin1String(entry);
        value.isValid() ? file.setValue(path, value) : file.remove(path);
    }
    const song::SongSettings got = song::loadSongSettings(file, a);
    QCOMPARE(got.key ? QString::fromStdString(chord::keyName(*got.key)) : QString(), name);
    QCOMPARE(got.capo, fret);
    // They go where the memo goes; saved over a chosen key, 自動 leaves none behind.
    song::copySongSettings(file, a, b);
    song::saveSongSettings(file, a, inG);
    song::saveSongSettings(file, a, got);
    QVERIFY(song::loadSongSettings(file, a) == got && song::loadSongSettings(file, b) == got);
}

void tst_Song::keyLine_data()
{
    // The chosen and the found key ("" for none) and the capo; the line
    // beside the keyboard, and the key that spells the chords.
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("found");
    QTest::addColumn<int>("capo");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("inEffect");
    QTest::newRow("found") << ""
                           << "F#m" << 0 << "キー: F#m (自動)"
                           << "F#m";
    QTest::newRow("chosen over found") << "Bb"
                                       << "G" << 0 << "キー: Bb (指定)"
                                       << "Bb";
    QTest::newRow("chosen, capo") << "Em"
                                  << "" << 11 << "キー: Em (指定) カポ 11"
                                  << "Em";
    QTest::newRow("nothing known, capo") << ""
                                         << "" << 2 << "キー: ? (コードなし) カポ 2"
                                         << "";
}

void tst_Song::keyLine()
{
    QFETCH(QString, chosen);
    QFETCH(QString, found);
    QFETCH(int, capo);
    QFETCH(QString, line);
    QFETCH(QString, inEffect);
    const auto chosenKey = chord::parseKey(chosen.toStdString());
    std::optional<chord::FoundKey> foundKey;
    if (const auto key = chord::parseKey(found.toStdString()))
        foundKey = chord::FoundKey {*key, 0.5};
    QCOMPARE(song::keyLine(chosenKey, foundKey, capo), line);
    const auto key = chord::keyInEffect(chosenKey, foundKey);
    QCOMPARE(key ? QString::fromStdString(chord::keyName(*key)) : QString(), inEffect);
}

QTEST_GUILESS_MAIN(tst_Song)
#include "tst_song.moc"

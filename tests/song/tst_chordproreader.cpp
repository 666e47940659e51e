#include "chordpro.h"
#include "chordproreader.h"
#include "chordtables.h"
#include "song.h"

#include <QTest>

class tst_ChordProReader : public QObject
{
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void beyondTables_data();
    void beyondTables();
};

void tst_ChordProReader::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("tempo"); // 0: none
    QTest::addColumn<int>("beats"); // 0: none
    QTest::addColumn<QStringList>("chords"); // "root|kind"
    QTest::addColumn<int>("leftOut");
    QTest::addColumn<QString>("error");

    QTest::newRow("title, tempo, meter and the chords in the lyrics")
        << QByteArray("{title: Let It Be}\n{tempo: 72}\n{time: 4/4}\n"
                      "[C]When I find [G]myself in [Am]times of [Fmaj7]trouble\n")
        << "Let It Be" << 72 << 4 << QStringList {"C|", "G|", "A|m", "F|M7"} << 0 << "";
    QTest::newRow("{t}, the first title kept; no space, no colon, any case")
        << QByteArray("{t:First}\n{title: Second}\n{Tempo 96.4}\n{TIME: 6/8}\n[D]\n") << "First"
        << 96 << 3 << QStringList {"D|"} << 0 << "";
    QTest::newRow("comment lines and other directives hold no chords")
        << QByteArray("# [C] not a chord\n{c: [D] intro}\n{define: E base-fret 1 frets 0 2 2 1 0 "
                      "0}\n{start_of_chorus}\n  {soc}\n[E]la\n")
        << "" << 0 << 0 << QStringList {"E|"} << 0 << "";
    QTest::newRow("a bracket inside a chord starts it again; stray ] ignored")
        << QByteArray("[C[D]] [[Em]] x]y") << "" << 0 << 0 << QStringList {"D|", "E|m"} << 0 << "";
    QTest::newRow("an unclosed bracket holds no chord, not even over a line break")
        << QByteArray("[F\n]G[A7]\n[B") << "" << 0 << 0 << QStringList {"A|7"} << 0 << "";
    QTest::newRow("spaces trimmed; empty chords and annotations skipped; H kept; N.C. a rest")
        << QByteArray("[ Bbm7 ] [] [ ] [*Coda] [N.C.] [H7] [ N.C. ] [n.c.]") << "" << 0 << 0
        << QStringList {"Bb|m7", "|", "H7|", "|", "n.c.|"} << 0 << "";
    QByteArray many;
    QStringList first30;
    for (int i = 0; i < 32; ++i) {
        const QString root = QStringList {"C", "D", "E", "F"}[i % 4];
        many += '[' + root.toLatin1() + "m] ";
        if (i < 30)
            first30 << root + "|m";
    }
    QTest::newRow("32 chords: the first 30 kept, 2 left out")
        << many << "" << 0 << 0 << first30 << 2 << "";
    QTest::newRow("CR LF and a lone CR end lines")
        << QByteArray("{title: A}\r\n# [X]\r[C]\r\n{time: 3/4}\r[G]") << "A" << 0 << 3
        << QStringList {"C|", "G|"} << 0 << "";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF{title: B}\n[Am]") << "B" << 0 << 0
                                     << QStringList {"A|m"} << 0 << "";
    QTest::newRow("a byte order mark inside a line is dropped")
        << QByteArray("[C] [\xEF\xBB\xBF Am] [C\xEF\xBB\xBFm]") << "" << 0 << 0
        << QStringList {"C|", "A|m", "C|m"} << 0 << "";
    QTest::newRow("bad UTF-8 refused, with its line")
        << QByteArray("[C]\n[D\xC3\x28]\n") << "" << 0 << 0 << QStringList {} << 0
        << "2 行目が UTF-8 ではありません";
    QTest::newRow("a sequence cut at the line's end refused")
        << QByteArray("\r\n[C\xE3\x81\r\n]") << "" << 0 << 0 << QStringList {} << 0
        << "2 行目が UTF-8 ではありません";
    QTest::newRow("tempo out of range and a meter of half beats ignored")
        << QByteArray("{tempo: 400}\n{time: 7/8}\n{time: 2/0}\n{tempo: 90}\n{time: 13/4}") << ""
        << 90 << 0 << QStringList {} << 0 << "";
    QTest::newRow("a meter too large to count ignored, not wrapped round")
        << QByteArray("{time: 1073741825/4}\n{time: 999999999/4}\n{time: 3/2147483647}\n[C]") << ""
        << 0 << 0 << QStringList {"C|"} << 0 << "";
    QTest::newRow("Japanese") << QByteArray("{title: さくら}\n[D]さくら [A7]さくら") << "さくら"
                              << 0 << 0 << QStringList {"D|", "A|7"} << 0 << "";
    QTest::newRow("empty") << QByteArray() << "" << 0 << 0 << QStringList {} << 0 << "";
    QTest::newRow("musicians' spellings become ours; names beyond our tables kept as written")
        << QByteArray("[Bbmaj7] [Am7b5] [Ｃ] [c#m] [E♭°7] [G/B] [C9] [D onF#]") << "" << 0 << 0
        << QStringList {"Bb|M7", "A|m7-5", "C|", "C#|m", "Eb|dim", "G|/B", "C|9", "D| onF#"} << 0
        << "";
    // Exported, then imported: the standard spelling comes back to the same
    // boxes, for every kind, and a name beyond our tables as written.
    song::Song exported {QStringLiteral("Round"), 100, 3, {}};
    QStringList boxes;
    const QStringList roots {"C", "Db", "D#", "Gb", "A", "Bb", "B"};
    for (std::size_t i = 0; i < chord::ChordKind.size(); ++i) {
        const QString root = roots[qsizetype(i) % roots.size()];
        const QString kind = QString::fromUtf8(
            chord::ChordKind[i].text.data(), qsizetype(chord::ChordKind[i].text.size()));
        exported.bars.push_back(song::barOf(root, kind));
        boxes << root + u'|' + kind;
    }
    exported.bars.push_back(song::barOf(QStringLiteral("C"), QStringLiteral("9")));
    boxes << "C|9";
    QTest::newRow("export and import: the same boxes")
        << song::chordProBytes(exported) << "Round" << 100 << 3 << boxes << 0 << "";
}

void tst_ChordProReader::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(int, tempo);
    QFETCH(int, beats);
    QFETCH(QStringList, chords);
    QFETCH(int, leftOut);
    QFETCH(QString, error);

    const song::ChordProSong read = song::readChordPro(bytes);
    QCOMPARE(read.error, error);
    QCOMPARE(read.title, title);
    QCOMPARE(read.tempo.value_or(0), tempo);
    QCOMPARE(read.beatsPerBar.value_or(0), beats);
    QStringList got;
    for (const memo::ChordText &chord : read.chords)
        got << chord.root + u'|' + chord.kind;
    QCOMPARE(got, chords);
    QCOMPARE(read.leftOut, leftOut);
}

// Names beyond our tables, kept as written or replaced by the nearest chord:
// how many there were, and each replaced with what it leaves out.
void tst_ChordProReader::beyondTables_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("nearest");
    QTest::addColumn<QStringList>("chords"); // "root|kind"
    QTest::addColumn<int>("beyond");
    QTest::addColumn<QStringList>("replaced"); // "written root|kind left out"

    const QByteArray song("[C9] [Cmaj7] [G/B] [H7] [C7b9/E] [Csus2]");
    QTest::newRow("kept as written")
        << song << false << QStringList {"C|9", "C|M7", "G|/B", "H7|", "C|7b9/E", "C|sus2"} << 4
        << QStringList {};
    QTest::newRow("the nearest") << song << true
                                 << QStringList {"C|7", "C|M7", "G|", "H7|", "C|7", "C|add9"} << 4
                                 << QStringList {"C9 C|7 9th", "G/B G| bass B",
                                        "C7b9/E C|7 b9,bass E", "Csus2 C|add9 no 3rd"};
    QTest::newRow("nothing beyond, nothing replaced")
        << QByteArray("[Am] [H] [N.C.]") << true << QStringList {"A|m", "H|", "|"} << 0
        << QStringList {};
}

void tst_ChordProReader::beyondTables()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, nearest);
    QFETCH(QStringList, chords);
    QFETCH(int, beyond);
    QFETCH(QStringList, replaced);

    const song::ChordProSong read = song::readChordPro(
        bytes, nearest ? song::BeyondTables::Nearest : song::BeyondTables::KeepAsWritten);
    QStringList got;
    for (const memo::ChordText &chord : read.chords)
        got << chord.root + u'|' + chord.kind;
    QCOMPARE(got, chords);
    QCOMPARE(read.beyondTables, beyond);
    QStringList gotReplaced;
    for (const song::NameReplaced &name : read.replaced) {
        QStringList leftOut;
        for (const std::string &part : name.leftOut)
            leftOut << QString::fromStdString(part);
        gotReplaced << name.written + u' ' + name.chord.root + u'|' + name.chord.kind + u' '
                + leftOut.join(u',');
    }
    QCOMPARE(gotReplaced, replaced);
}

QTEST_GUILESS_MAIN(tst_ChordProReader)
#include "tst_chordproreader.moc"

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

namespace
{
// "root|kind", then "/beats" for a chord that is not a whole bar, after
// "§name " for one that begins a section.
QString chordOf(const song::Bar &bar)
{
    QString text = bar.root + u'|' + bar.kind;
    if (bar.beats != 0)
        text += QStringLiteral("/%1").arg(bar.beats);
    return bar.section.isEmpty() ? text : u'§' + bar.section + u' ' + text;
}
} // namespace

void tst_ChordProReader::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("tempo"); // 0: none
    QTest::addColumn<int>("beats"); // 0: none
    QTest::addColumn<QString>("keyCapo"); // "key capo", capo -1: none
    QTest::addColumn<QStringList>("chords");
    QTest::addColumn<QString>("notice"); // what was left, as the window says it
    QTest::addColumn<QString>("error");

    QTest::newRow("title, tempo, meter and the chords in the lyrics")
        << QByteArray("{title: Let It Be}\n{tempo: 72}\n{time: 4/4}\n"
                      "[C]When I find [G]myself in [Am]times of [Fmaj7]trouble\n")
        << "Let It Be" << 72 << 4 << " -1" << QStringList {"C|", "G|", "A|m", "F|M7"}
        << "歌詞 1 行は読み込んでいません"
        << "";
    QTest::newRow("{t}, the first title kept; no space, no colon, any case")
        << QByteArray("{t:First}\n{title: Second}\n{Tempo 96.4}\n{TIME: 6/8}\n[D]\n") << "First"
        << 96 << 3 << " -1" << QStringList {"D|"} << ""
        << "";
    QTest::newRow("comment lines and other directives hold no chords")
        << QByteArray("# [C] not a chord\n{c: [D] intro}\n{define: E base-fret 1 frets 0 2 2 1 0 "
                      "0}\n{start_of_chorus}\n  {soc}\n[E]la\n")
        << "" << 0 << 0 << " -1" << QStringList {"§Chorus E|"}
        << "歌詞 1 行、指示 {define}は読み込んでいません"
        << "";
    QTest::newRow("a bracket inside a chord starts it again; stray ] ignored")
        << QByteArray("[C[D]] [[Em]] x]y") << "" << 0 << 0 << " -1" << QStringList {"D|", "E|m"}
        << "歌詞 1 行は読み込んでいません"
        << "";
    QTest::newRow("an unclosed bracket holds no chord, not even over a line break")
        << QByteArray("[F\n]G[A7]\n[B") << "" << 0 << 0 << " -1" << QStringList {"A|7"}
        << "歌詞 3 行は読み込んでいません"
        << "";
    QTest::newRow("spaces trimmed; empty chords and annotations skipped; H kept; N.C. a rest")
        << QByteArray("[ Bbm7 ] [] [ ] [*Coda] [N.C.] [H7] [ N.C. ] [n.c.]") << "" << 0 << 0
        << " -1" << QStringList {"Bb|m7", "|", "H7|", "|", "n.c.|"}
        << "注釈 1 個は読み込んでいません"
        << "";
    QByteArray many;
    QStringList all;
    for (int i = 0; i < 32; ++i) {
        const QString root = QStringList {"C", "D", "E", "F"}[i % 4];
        many += '[' + root.toLatin1() + "m] ";
        all << root + "|m";
    }
    QTest::newRow("32 chords: all kept") << many << "" << 0 << 0 << " -1" << all << ""
                                         << "";
    QTest::newRow("CR LF and a lone CR end lines")
        << QByteArray("{title: A}\r\n# [X]\r[C]\r\n{time: 3/4}\r[G]") << "A" << 0 << 3 << " -1"
        << QStringList {"C|", "G|"} << ""
        << "";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF{title: B}\n[Am]") << "B" << 0 << 0
                                     << " -1" << QStringList {"A|m"} << ""
                                     << "";
    QTest::newRow("a byte order mark inside a line is dropped")
        << QByteArray("[C] [\xEF\xBB\xBF Am] [C\xEF\xBB\xBFm]") << "" << 0 << 0 << " -1"
        << QStringList {"C|", "A|m", "C|m"} << ""
        << "";
    QTest::newRow("bad UTF-8 refused, with its line")
        << QByteArray("[C]\n[D\xC3\x28]\n") << "" << 0 << 0 << " -1" << QStringList {} << ""
        << "2 行目が UTF-8 ではありません";
    QTest::newRow("a sequence cut at the line's end refused")
        << QByteArray("\r\n[C\xE3\x81\r\n]") << "" << 0 << 0 << " -1" << QStringList {} << ""
        << "2 行目が UTF-8 ではありません";
    QTest::newRow("tempo out of range and a meter of half beats ignored")
        << QByteArray("{tempo: 400}\n{time: 7/8}\n{time: 2/0}\n{tempo: 90}\n{time: 13/4}") << ""
        << 90 << 0 << " -1" << QStringList {} << ""
        << "";
    QTest::newRow("a meter too large to count ignored, not wrapped round")
        << QByteArray("{time: 1073741825/4}\n{time: 999999999/4}\n{time: 3/2147483647}\n[C]") << ""
        << 0 << 0 << " -1" << QStringList {"C|"} << ""
        << "";
    QTest::newRow("Japanese") << QByteArray("{title: さくら}\n[D]さくら [A7]さくら") << "さくら"
                              << 0 << 0 << " -1" << QStringList {"D|", "A|7"}
                              << "歌詞 1 行は読み込んでいません"
                              << "";
    QTest::newRow("empty") << QByteArray() << "" << 0 << 0 << " -1" << QStringList {} << ""
                           << "";

    QTest::newRow("bar lines: chords share a bar; an empty bar holds the chord before")
        << QByteArray("| [C] | [G] [D] || [Am] | |\n[F]\n| [E] [A] [H] |: [N.C.] | :|\n") << "" << 0
        << 0 << " -1"
        << QStringList {"C|", "G|/2", "D|/2", "A|m/8", "F|", "E|/2", "A|/1", "H|/1", "|/8"} << ""
        << "";
    QTest::newRow("beats as dots; dots before a bar's first chord hold the chord before")
        << QByteArray("{time: 3/4}\n| [C] . [G] | . . . | [F] [G] [A] |\n| . [D] . |\n") << "" << 0
        << 3 << " -1" << QStringList {"C|/2", "G|/4", "F|/1", "G|/1", "A|/2", "D|/2"} << ""
        << "";
    QTest::newRow("a grid: bare chords, % repeats a bar, margin notes skipped")
        << QByteArray("{start_of_grid: 4x4}\nIntro || Am . . . | C . D . | % | . . G7 / |. x2\n"
                      "{end_of_grid}\n[E]\n")
        << "" << 0 << 0 << " -1" << QStringList {"A|m", "C|/2", "D|/2", "C|/2", "D|", "G|7/2", "E|"}
        << ""
        << "";
    QTest::newRow("sections: labelled, not, short forms, {comment}; the last named wins")
        << QByteArray("{start_of_verse: label=\"A\"}\n[C]\n{end_of_verse}\n{start_of_chorus}\n"
                      "[F]\n{eoc}\n{sob: Bridge 2}\n[G]\n{comment: Outro}\n[C]\n{start_of_verse}\n"
                      "{c: Verse 2}\n[D]\n{sov}\n[E]\n{start_of_verse: サビ}\n")
        << "" << 0 << 0 << " -1"
        << QStringList {"§A C|", "§Chorus F|", "§Bridge 2 G|", "§Outro C|", "§Verse 2 D|",
               "§Verse E|"}
        << ""
        << "";
    QTest::newRow("a section that begins inside a bar: the bar closed on the next line")
        << QByteArray("| [C] . [D]\n{start_of_chorus: サビ}\n[E] | [F] |\n") << "" << 0 << 0
        << " -1" << QStringList {"C|/2", "D|/1", "§サビ E|/1", "F|"} << ""
        << "";
    QTest::newRow("key and capo: the first of each that reads")
        << QByteArray("{key: Bb}\n{capo: 12}\n{capo: x}\n{capo: 3}\n{key: C}\n{capo: 5}\n") << ""
        << 0 << 0 << "Bb 3" << QStringList {} << ""
        << "";
    QTest::newRow("what is left, in one line")
        << QByteArray("{subtitle: x}\n{define: A}\n{subtitle: y}\n[*Intro][C]la\nla la\n\n") << ""
        << 0 << 0 << " -1" << QStringList {"C|"}
        << "歌詞 2 行、注釈 1 個、指示 {subtitle} {define}は読み込んでいません"
        << "";
    QTest::newRow("control characters are spaces: none alone is a chord, nor an annotation")
        << QByteArray("[\x01] [\x02*Coda]\n{sog}\n| \x01*x C |\n{eog}") << "" << 0 << 0 << " -1"
        << QStringList {"C|"} << "注釈 2 個は読み込んでいません"
        << "";
    QTest::newRow("4000 chords: read") << QByteArray("[C]").repeated(4000) << "" << 0 << 0 << " -1"
                                       << QStringList(4000, "C|") << ""
                                       << "";
    QTest::newRow("4001 chords: refused, nothing read")
        << "{title: Long}\n" + QByteArray("[C]").repeated(4001) << "" << 0 << 0 << " -1"
        << QStringList {} << ""
        << "コードが多すぎます: 曲は 4000 個までのコードで読めます";
    QTest::newRow("musicians' spellings become ours; names beyond our tables kept as written")
        << QByteArray("[Bbmaj7] [Am7b5] [Ｃ] [c#m] [E♭°7] [G/B] [C9] [D onF#]") << "" << 0 << 0
        << " -1"
        << QStringList {"Bb|M7", "A|m7-5", "C|", "C#|m", "Eb|dim", "G|/B", "C|9", "D| onF#"} << ""
        << "";
    // Exported, then imported: the standard spelling comes back to the same
    // boxes, for every kind, and a name beyond our tables as written.
    song::Song exported {QStringLiteral("Round"), 100, 3, {}, chord::Key {10, false}, 3};
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
        << song::chordProBytes(exported) << "Round" << 100 << 3 << "Bb 3" << boxes << ""
        << "";
}

void tst_ChordProReader::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(int, tempo);
    QFETCH(int, beats);
    QFETCH(QString, keyCapo);
    QFETCH(QStringList, chords);
    QFETCH(QString, notice);
    QFETCH(QString, error);

    const song::ChordProSong read = song::readChordPro(bytes);
    QCOMPARE(read.error, error);
    QCOMPARE(read.title, title);
    QCOMPARE(read.tempo.value_or(0), tempo);
    QCOMPARE(read.beatsPerBar.value_or(0), beats);
    const QString key = read.key ? QString::fromStdString(chord::keyName(*read.key)) : QString();
    QCOMPARE(QStringLiteral("%1 %2").arg(key).arg(read.capo.value_or(-1)), keyCapo);
    QStringList got;
    for (const song::Bar &chord : read.chords)
        got << chordOf(chord);
    QCOMPARE(got, chords);
    QCOMPARE(song::leftOverNotice(read.left), notice);
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
    for (const song::Bar &chord : read.chords)
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

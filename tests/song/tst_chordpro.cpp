#include "chordpro.h"
#include "chordproreader.h"
#include "songfixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// What is written, what Debian's chordii, a reader no one here wrote, makes
// of it: every chord shown in order, and no warning but those for the
// directives it is too old to know and chords it has no diagram of; and
// what our own reader reads back.
class tst_ChordPro : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
    void standardSpelling_data();
    void standardSpelling();
};

namespace
{
bool isExpectedWarning(const QString &line)
{
    static const QRegularExpression expected(QStringLiteral(
        R"(^(WARNING: Invalid Directive : \[(tempo|time|key|capo|(start|end)_of_(verse|bridge))\]|WARNING: chord '.*' has never been defined|\s*in file ".*", line \d+|)$)"));
    return expected.match(line).hasMatch();
}

// The chord names chordii prints, in order: each is a PostScript string. Bar
// lines and beats are lyrics to it, shown as text of their own.
QStringList shownChords(const QString &postScript)
{
    static const QRegularExpression shown(
        QStringLiteral(R"(^\((.*)\) show$)"), QRegularExpression::MultilineOption);
    static const QRegularExpression bars(QStringLiteral(R"(^[|. ]+$)"));
    QStringList chords;
    for (const QRegularExpressionMatch &m : shown.globalMatch(postScript)) {
        QString name = m.captured(1);
        if (bars.match(name).hasMatch())
            continue;
        chords << name.replace(
            QRegularExpression(QStringLiteral(R"(\\(.))")), QStringLiteral("\\1"));
    }
    return chords;
}
struct Chordii {
    QString error; // why it gave nothing; empty when it ran
    QStringList warnings;
    QString postScript;
};

Chordii chordii(const QByteArray &file)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("chordii"));
    if (program.isEmpty())
        return {QStringLiteral("chordii is missing: run scripts/setup.sh"), {}, {}};
    QTemporaryDir dir;
    QFile cho(dir.filePath(QStringLiteral("song.cho")));
    if (!cho.open(QIODevice::WriteOnly) || cho.write(file) != file.size())
        return {QStringLiteral("cannot write song.cho"), {}, {}};
    cho.close();
    QProcess run;
    run.setWorkingDirectory(dir.path());
    run.start(
        program, {QStringLiteral("-o"), QStringLiteral("song.ps"), QStringLiteral("song.cho")});
    if (!run.waitForFinished() || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
        return {QStringLiteral("chordii failed"), {}, {}};
    QFile ps(dir.filePath(QStringLiteral("song.ps")));
    if (!ps.open(QIODevice::ReadOnly))
        return {QStringLiteral("chordii wrote no song.ps"), {}, {}};
    return {{}, QString::fromUtf8(run.readAllStandardError()).split(u'\n'),
        QString::fromUtf8(ps.readAll())};
}
} // namespace

void tst_ChordPro::write_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown"); // by chordii
    QTest::addColumn<bool>("same"); // read back as the song written

    QTest::newRow("known chords, H and an empty box, which is no chord")
        << songOf({{"C"}, {"H"}, {}, {"A", "m7"}}, "Yesterday")
        << QByteArray("{title: Yesterday}\n{tempo: 120}\n{time: 4/4}\n[C] [H] [N.C.] [Am7]\n")
        << QStringList {"C", "H", "N.C.", "Am7"} << true;
    QTest::newRow("a line per row of the memo grid")
        << songOf(twoRows(), "Rows", 90, 3)
        << QByteArray(
               "{title: Rows}\n{tempo: 90}\n{time: 3/4}\n"
               "[C] [Am] [F] [G7] [Em] [Am7] [Dm7] [G7] [Cmaj7] [Bb]\n[N.C.] [F#m7b5] [B7]\n")
        << QStringList {"C", "Am", "F", "G7", "Em", "Am7", "Dm7", "G7", "Cmaj7", "Bb", "N.C.",
               "F#m7b5", "B7"}
        << true;
    Boxes secondRowEmpty(20);
    secondRowEmpty.first() = {"D"};
    secondRowEmpty << QStringList {"E"};
    const QByteArray nineRests = QByteArray(" [N.C.]").repeated(9);
    QTest::newRow("an empty row keeps its bars")
        << songOf(secondRowEmpty, "Gap")
        << "{title: Gap}\n{tempo: 120}\n{time: 4/4}\n[D]" + nineRests + "\n[N.C.]" + nineRests
            + "\n[E]\n"
        << QStringList {"D"} + QStringList(19, "N.C.") + QStringList {"E"} << true;
    QTest::newRow("brackets and braces become parentheses")
        << songOf({{"C[x]", "{y}"}, {"]"}}, "a{b}[c]")
        << QByteArray("{title: a(b)(c)}\n{tempo: 120}\n{time: 4/4}\n[C(x)(y)] [)]\n")
        << QStringList {"C(x)(y)", ")"} << false;
    QTest::newRow("line breaks become spaces")
        << songOf({{"C", "m\r\n7"}, {"N.C.\t"}}, "two\nlines\u2028")
        << QByteArray("{title: two lines}\n{tempo: 120}\n{time: 4/4}\n[Cm  7] [N.C. ]\n")
        << QStringList {"Cm  7", "N.C. "} << false;
    QTest::newRow("no title, no title directive")
        << songOf({{"G"}}, " \n") << QByteArray("{tempo: 120}\n{time: 4/4}\n[G]\n")
        << QStringList {"G"} << false;
    QTest::newRow("Japanese title")
        << songOf({{"A", "m"}}, "さくら", 60, 6)
        << QByteArray("{title: さくら}\n{tempo: 60}\n{time: 6/4}\n[Am]\n") << QStringList {"Am"}
        << true;
    QTest::newRow("lengths: two chords a bar, a chord of two bars, a rest of a beat")
        << shaped(songOf({{"C"}, {"G"}, {"D"}, {"A", "m"}, {}, {"F"}, {"E"}}, "Lengths"),
               {0, 2, 2, 8, 1, 3, 0})
        << QByteArray("{title: Lengths}\n{tempo: 120}\n{time: 4/4}\n"
                      "| [C] | [G] . [D] . | [Am] |  | [N.C.] [F] . . | [E] |\n")
        << QStringList {"C", "G", "D", "Am", "N.C.", "F", "E"} << true;
    Boxes long14(14, {"C"});
    QTest::newRow("ten bars a line where lengths are written")
        << shaped(songOf(long14, "Long"), {2, 2})
        << "{title: Long}\n{tempo: 120}\n{time: 4/4}\n"
           "| [C] . [C] . |"
            + QByteArray(" [C] |").repeated(9) + "\n|" + QByteArray(" [C] |").repeated(3) + "\n"
        << QStringList(14, "C") << true;
    QTest::newRow("sections, key and capo; a section begun inside a bar")
        <<
        [] {
            song::Song s = shaped(songOf({{"C"}, {"F"}, {"G"}, {"A", "m"}}, "Form", 90, 3),
                {0, 2, 4, 0}, {{0, "A"}, {1, "サビ"}, {2, "Bridge"}});
            s.key = chord::Key {6, true};
            s.capo = 2;
            return s;
        }()
        << QByteArray("{title: Form}\n{tempo: 90}\n{time: 3/4}\n{key: F#m}\n{capo: 2}\n"
                      "{start_of_verse: A}\n[C]\n{end_of_verse}\n{start_of_chorus: サビ}\n"
                      "| [F] .\n{end_of_chorus}\n{start_of_bridge: Bridge}\n[G] |  | [Am] |\n"
                      "{end_of_bridge}\n")
        << QStringList {"C", "F", "G", "Am"} << true;
    QTest::newRow("sections beginning and ending inside a bar; the song ending inside one")
        << shaped(
               songOf({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}}), {1, 2, 1, 1, 1}, {{1, "X"}, {2, "Y"}})
        << QByteArray("{title: Song}\n{tempo: 120}\n{time: 4/4}\n| [A]\n{start_of_verse: X}\n"
                      "[B] .\n{end_of_verse}\n{start_of_verse: Y}\n[C] | [D] [E]\n"
                      "{end_of_verse}\n")
        << QStringList {"A", "B", "C", "D", "E"} << true;
    QTest::newRow("a section named as a quoted label keeps its name")
        << shaped(songOf({{"C"}}), {0}, {{0, "label=\"x\""}})
        << QByteArray("{title: Song}\n{tempo: 120}\n{time: 4/4}\n"
                      "{start_of_verse: label='label=\"x\"'}\n[C]\n{end_of_verse}\n")
        << QStringList {"C"} << true;
}

void tst_ChordPro::write()
{
    QFETCH(song::Song, song);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QFETCH(bool, same);

    const QByteArray written = song::chordProBytes(song);
    QCOMPARE(written, file);
    const song::ChordProSong read = song::readChordPro(written);
    QCOMPARE(read.left, song::LeftOver {});
    const song::Song back {
        read.title, *read.tempo, *read.beatsPerBar, read.chords, read.key, read.capo.value_or(0)};
    QCOMPARE(back == song, same);

    const Chordii shownBy = chordii(written);
    QVERIFY2(shownBy.error.isEmpty(), qPrintable(shownBy.error));
    for (const QString &line : shownBy.warnings)
        QVERIFY2(isExpectedWarning(line), qPrintable(line));
    QCOMPARE(shownChords(shownBy.postScript), shown);
}

// Each kind on the root B, in the spelling written, and whether chordii's
// own table has a diagram for that name: where it has one for any spelling
// of the chord (Bm7b5, Bm(maj7)), it has one for ours.
void tst_ChordPro::standardSpelling_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("drawn");

    QTest::newRow("major") << ""
                           << "B" << true;
    QTest::newRow("m") << "m"
                       << "Bm" << true;
    QTest::newRow("7") << "7"
                       << "B7" << true;
    QTest::newRow("m7") << "m7"
                        << "Bm7" << true;
    QTest::newRow("M7 as maj7") << "M7"
                                << "Bmaj7" << true;
    QTest::newRow("dim as dim7, the four-note chord") << "dim"
                                                      << "Bdim7" << false;
    QTest::newRow("m7-5 as m7b5") << "m7-5"
                                  << "Bm7b5" << true;
    QTest::newRow("aug") << "aug"
                         << "Baug" << false;
    QTest::newRow("sus4") << "sus4"
                          << "Bsus4" << true;
    QTest::newRow("7sus4") << "7sus4"
                           << "B7sus4" << false;
    QTest::newRow("6") << "6"
                       << "B6" << false;
    QTest::newRow("add9") << "add9"
                          << "Badd9" << false;
    QTest::newRow("m6") << "m6"
                        << "Bm6" << true;
    QTest::newRow("mM7 as m(maj7)") << "mM7"
                                    << "Bm(maj7)" << true;
}

void tst_ChordPro::standardSpelling()
{
    QFETCH(QString, kind);
    QFETCH(QString, written);
    QFETCH(bool, drawn);

    const QByteArray file = song::chordProBytes(songOf({{"B", kind}}, "Spelling"));
    QVERIFY2(file.contains('[' + written.toUtf8() + ']'), file.constData());
    const Chordii read = chordii(file);
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    const QString undefined = QStringLiteral("chord '%1' has never been defined").arg(written);
    QCOMPARE(!read.warnings.join(u'\n').contains(undefined), drawn);
}

QTEST_GUILESS_MAIN(tst_ChordPro)
#include "tst_chordpro.moc"

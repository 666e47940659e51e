#include "chordpro.h"
#include "songfixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// What is written, and what Debian's chordii, a reader no one here wrote,
// makes of it: every chord shown in order, and no warning but those for the
// directives it is too old to know and chords it has no diagram of.
class tst_ChordPro : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
};

namespace
{
bool isExpectedWarning(const QString &line)
{
    static const QRegularExpression expected(QStringLiteral(
        R"(^(WARNING: Invalid Directive : \[(tempo|time)\]|WARNING: chord '.*' has never been defined|\s*in file ".*", line \d+|)$)"));
    return expected.match(line).hasMatch();
}

// The chord names chordii prints, in order: each is a PostScript string.
QStringList shownChords(const QString &postScript)
{
    static const QRegularExpression shown(
        QStringLiteral(R"(^\((.*)\) show$)"), QRegularExpression::MultilineOption);
    QStringList chords;
    for (const QRegularExpressionMatch &m : shown.globalMatch(postScript)) {
        QString name = m.captured(1);
        chords << name.replace(
            QRegularExpression(QStringLiteral(R"(\\(.))")), QStringLiteral("\\1"));
    }
    return chords;
}
} // namespace

void tst_ChordPro::write_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown"); // by chordii

    QTest::newRow("known chords, H and an empty box, which is no chord")
        << songOf({{"C"}, {"H"}, {}, {"A", "m7"}}, "Yesterday")
        << QByteArray("{title: Yesterday}\n{tempo: 120}\n{time: 4/4}\n[C] [H] [N.C.] [Am7]\n")
        << QStringList {"C", "H", "N.C.", "Am7"};
    QTest::newRow("a line per row of the memo grid")
        << songOf(twoRows(), "Rows", 90, 3)
        << QByteArray("{title: Rows}\n{tempo: 90}\n{time: 3/4}\n"
                      "[C] [Am] [F] [G7] [Em] [Am7] [Dm7] [G7] [CM7] [Bb]\n[N.C.] [F#m7-5] [B7]\n")
        << QStringList {
               "C", "Am", "F", "G7", "Em", "Am7", "Dm7", "G7", "CM7", "Bb", "N.C.", "F#m7-5", "B7"};
    Boxes secondRowEmpty(20);
    secondRowEmpty.first() = {"D"};
    secondRowEmpty << QStringList {"E"};
    const QByteArray nineRests = QByteArray(" [N.C.]").repeated(9);
    QTest::newRow("an empty row keeps its bars") << songOf(secondRowEmpty, "Gap")
                                                 << "{title: Gap}\n{tempo: 120}\n{time: 4/4}\n[D]"
            + nineRests + "\n[N.C.]" + nineRests
            + "\n[E]\n" << QStringList {"D"} + QStringList(19, "N.C.") + QStringList {"E"};
    QTest::newRow("brackets and braces become parentheses")
        << songOf({{"C[x]", "{y}"}, {"]"}}, "a{b}[c]")
        << QByteArray("{title: a(b)(c)}\n{tempo: 120}\n{time: 4/4}\n[C(x)(y)] [)]\n")
        << QStringList {"C(x)(y)", ")"};
    QTest::newRow("line breaks become spaces")
        << songOf({{"C", "m\r\n7"}, {"N.C.\t"}}, "two\nlines\u2028")
        << QByteArray("{title: two lines}\n{tempo: 120}\n{time: 4/4}\n[Cm  7] [N.C. ]\n")
        << QStringList {"Cm  7", "N.C. "};
    QTest::newRow("no title, no title directive")
        << songOf({{"G"}}, " \n") << QByteArray("{tempo: 120}\n{time: 4/4}\n[G]\n")
        << QStringList {"G"};
    QTest::newRow("Japanese title")
        << songOf({{"A", "m"}}, "さくら", 60, 6)
        << QByteArray("{title: さくら}\n{tempo: 60}\n{time: 6/4}\n[Am]\n") << QStringList {"Am"};
}

void tst_ChordPro::write()
{
    QFETCH(song::Song, song);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);

    const QByteArray written = song::chordProBytes(song);
    QCOMPARE(written, file);

    const QString chordii = QStandardPaths::findExecutable(QStringLiteral("chordii"));
    QVERIFY2(!chordii.isEmpty(), "chordii is missing: run scripts/setup.sh");
    QTemporaryDir dir;
    QFile cho(dir.filePath(QStringLiteral("song.cho")));
    QVERIFY(cho.open(QIODevice::WriteOnly) && cho.write(written) == written.size());
    cho.close();
    QProcess run;
    run.setWorkingDirectory(dir.path());
    run.start(
        chordii, {QStringLiteral("-o"), QStringLiteral("song.ps"), QStringLiteral("song.cho")});
    QVERIFY(run.waitForFinished());
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 0);
    const QStringList warnings = QString::fromUtf8(run.readAllStandardError()).split(u'\n');
    for (const QString &line : warnings)
        QVERIFY2(isExpectedWarning(line), qPrintable(line));
    QFile ps(dir.filePath(QStringLiteral("song.ps")));
    QVERIFY(ps.open(QIODevice::ReadOnly));
    QCOMPARE(shownChords(QString::fromUtf8(ps.readAll())), shown);
}

QTEST_GUILESS_MAIN(tst_ChordPro)
#include "tst_chordpro.moc"

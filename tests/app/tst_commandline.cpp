#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace
{
struct Ran {
    int status = -1;
    QStringList said; // its lines on stderr (on stdout too, when merged)
};

// Runs the program in the folder with no display to reach, its settings and
// data kept there (the usual memo not there yet: never the home folder's).
Ran runIn(const QTemporaryDir &dir, const QStringList &arguments,
    QProcess::ProcessChannelMode channels = QProcess::SeparateChannels)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.setProcessChannelMode(channels);
    program.start(QStringLiteral(SORAMINA_BINARY), arguments);
    if (!program.waitForFinished() || program.exitStatus() != QProcess::NormalExit)
        return {};
    const QByteArray said
        = channels == QProcess::MergedChannels ? program.readAll() : program.readAllStandardError();
    return {program.exitCode(), QString::fromUtf8(said).split(u'\n', Qt::SkipEmptyParts)};
}
} // namespace

// The installed program's command line, run with no display at all, as in a
// terminal without a desktop or in a build job that makes the manual page.
class tst_CommandLine : public QObject
{
    Q_OBJECT
private slots:
    void statusAndFirstLine_data();
    void statusAndFirstLine();
    void exports_data();
    void exports();
    void neverWritesItsInput_data();
    void neverWritesItsInput();
    void wholeSong_data();
    void wholeSong();
};

namespace
{
// A hymn of four verses, 59 chords in 55 bars of 3/4: the first two verses
// over their lyrics, a bar a chord; the last two in bar lines, with two
// chords in two bars of each; the last verse a chord short.
const QStringList Verse {
    "G", "G7", "C", "G", "G", "Em", "D", "D7", "G", "G7", "C", "G", "Em", "D", "G"};
constexpr int HymnBars = 55;

QStringList hymnChords()
{
    return Verse + Verse + Verse + Verse.mid(0, 14);
}

QByteArray hymn()
{
    QString text = QStringLiteral("{title: Amazing Grace}\n{time: 3/4}\n");
    for (int verse = 1; verse <= 4; ++verse) {
        const QStringList chords = verse == 4 ? Verse.mid(0, 14) : Verse;
        text += QStringLiteral("{start_of_verse: Verse %1}\n").arg(verse);
        if (verse <= 2) {
            for (qsizetype k = 0; k < chords.size(); k += 4)
                text += u'[' + chords.mid(k, 4).join(QStringLiteral("]la la [")) + "]la\n";
        } else {
            QStringList bars;
            for (qsizetype k = 0; k < chords.size(); ++k)
                bars << (chords[k] == "Em" ? "[Em] [D] ." : u'[' + chords[k] + u']');
            text += QStringLiteral("| ")
                + bars.join(QStringLiteral(" | "))
                      .replace(QStringLiteral("[Em] [D] . | [D]"), QStringLiteral("[Em] [D] ."))
                + QStringLiteral(" |\n");
        }
        text += QStringLiteral("{end_of_verse}\n");
    }
    return text.toUtf8();
}
} // namespace

void tst_CommandLine::statusAndFirstLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("help") << QStringList {"--help"} << 0 << "Usage: soramina [options] [FILE]";
    QTest::newRow("version") << QStringList {"--version"} << 0 << "soramina " SORAMINA_VERSION;
    QTest::newRow("Qt's own option is let through")
        << QStringList {"-platform", "offscreen", "-v"} << 0 << "soramina " SORAMINA_VERSION;
    QTest::newRow("unknown option")
        << QStringList {"-x"} << 2 << "soramina: 「x」というオプションはありません";
    QTest::newRow("a value missing")
        << QStringList {"--export"} << 2 << "soramina: 「--export」の後に値がありません";
    QTest::newRow("a value where none is taken")
        << QStringList {"--help=all"} << 2 << "soramina: 「--help」は値をとりません";
    QTest::newRow("two files") << QStringList {"a.dat", "b.dat"} << 2
                               << "soramina: FILE は一つしか渡せません";
    QTest::newRow("a file, no display")
        << QStringList {"song.dat"} << 1
        << "soramina: cannot open a window: no window system could be reached (DISPLAY is not "
           "set)";
}

void tst_CommandLine::statusAndFirstLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, firstLine);

    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Ran ran = runIn(dir, arguments, QProcess::MergedChannels);
    QCOMPARE(ran.status, status);
    QCOMPARE(ran.said.value(0), firstLine);
    // Nothing was opened, so nothing was written.
    QVERIFY(QDir(dir.path()).isEmpty());
}

void tst_CommandLine::exports_data()
{
    // Run where song.dat holds C Am F G7 Bb Dm7 H EbM7 and song.cho the chords of ChordPro.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderr"); // its one line, in part; empty: nothing said
    QTest::addColumn<QByteArray>("written"); // out.txt afterwards; "-": no such file

    const QStringList song {"song.dat"};
    QTest::newRow("text")
        << QStringList {"--export", "out.txt"} + song << 0 << ""
        << QByteArray("Key: C\nC(I) Am(VIm) F(IV) G7(V7) Bb(bVII) Dm7(IIm7) H EbM7(bIIIM7)\n");
    QTest::newRow("up 2")
        << QStringList {"--transpose", "2", "--export", "out.txt"} + song << 0 << ""
        << QByteArray("Key: D\nD(I) Bm(VIm) G(IV) A7(V7) C(bVII) Em7(IIm7) H FM7(bIIIM7)\n");
    QTest::newRow("down 1, written with =")
        << QStringList {"--transpose=-1", "--export=out.txt"} + song << 0 << ""
        << QByteArray("Key: B\nB(I) G#m(VIm) E(IV) F#7(V7) A(bVII) C#m7(IIm7) H DM7(bIIIM7)\n");
    QTest::newRow("up 3, flats")
        << QStringList {"--transpose", "3f", "--export", "out.txt"} + song << 0 << ""
        << QByteArray("Key: Eb\nEb(I) Cm(VIm) Ab(IV) Bb7(V7) Db(bVII) Fm7(IIm7) H GbM7(bIIIM7)\n");
    QTest::newRow("transposition out of range")
        << QStringList {"--transpose", "12", "--export", "out.txt"} + song << 2 << "--transpose"
        << QByteArray("-");
    QTest::newRow("transposition with no export")
        << QStringList {"--transpose", "2"} + song << 2
        << "--transpose は --export と一緒にしか使えません" << QByteArray("-");
    QTest::newRow("tempo out of range") << QStringList {"--tempo", "301", "--export", "out.txt"}
            + song << 2 << "--tempo" << QByteArray("-");
    QTest::newRow("beats out of range") << QStringList {"--beats", "0", "--export", "out.txt"}
            + song << 2 << "--beats" << QByteArray("-");
    QTest::newRow("unknown format lists the formats")
        << QStringList {"--export", "out.doc"} + song << 2
        << ".cho, .chordpro, .mid, .pdf, .png, .wav, .txt" << QByteArray("-");
    QTest::newRow("no memo yet: FILE may be given")
        << QStringList {"--export", "out.txt"} << 1 << "FILE として渡せます" << QByteArray("-");
    QTest::newRow("missing memo is no empty song")
        << QStringList {"--export", "out.txt", "none.dat"} << 1 << "none.dat" << QByteArray("-");
    QTest::newRow("a device is refused")
        << QStringList {"--export", "out.txt", "/dev/zero"} << 1 << "/dev/zero" << QByteArray("-");
    QTest::newRow("unwritable output leaves nothing")
        << QStringList {"--export", "nofolder/out.txt"} + song << 1 << "nofolder/out.txt"
        << QByteArray("-");
    const QStringList cho {"song.cho"};
    QTest::newRow("ChordPro: known spellings ours, the others as written")
        << QStringList {"--export", "out.txt"} + cho << 0
        << "一覧にない 2 個のコードは書かれたまま書き出します"
        << QByteArray("Key: Bb\nBbM7(IM7) Am7-5(VIIm7-5) C9 G/B\n");
    QTest::newRow("ChordPro, --nearest")
        << QStringList {"--export", "out.txt", "--nearest"} + cho << 0
        << "2 個のコードを近いコードにしました: C9 → C7「9th」, G/B → G「ベース B」"
        << QByteArray("Key: Bb\nBbM7(IM7) Am7-5(VIIm7-5) C7(II7) G(VI)\n");
    QTest::newRow("--key and --capo: the degrees in the key given")
        << QStringList {"--key", "Dm", "--capo", "3", "--export", "out.txt"} + song << 0 << ""
        << QByteArray("Key: Dm\nC(bVII) Am(Vm) F(bIII) G7(IV7) Bb(bVI) Dm7(Im7) H EbM7(bIIM7)\n");
    QTest::newRow("--key moves with the chords")
        << QStringList {"--key", "Dm", "--transpose", "2", "--export", "out.txt"} + song << 0 << ""
        << QByteArray("Key: Em\nD(bVII) Bm(Vm) G(bIII) A7(IV7) C(bVI) Em7(Im7) H FM7(bIIM7)\n");
    QTest::newRow("--key auto: found from the chords")
        << QStringList {"--key", "auto", "--export", "out.txt"} + cho << 0 << "一覧にない"
        << QByteArray("Key: Bb\nBbM7(IM7) Am7-5(VIIm7-5) C9 G/B\n");
    QTest::newRow("--key names no key") << QStringList {"--key", "H", "--export", "out.txt"} + song
                                        << 2 << "--key は G、Bb、F#m" << QByteArray("-");
    QTest::newRow("--capo past 11") << QStringList {"--capo", "12", "--export", "out.txt"} + song
                                    << 2 << "--capo は 0 から 11 まで" << QByteArray("-");
    QTest::newRow("--key with no export")
        << QStringList {"--key", "G"} + song << 2 << "--key は --export と一緒にしか使えません"
        << QByteArray("-");
    QTest::newRow("--nearest with no export")
        << QStringList {"--nearest"} + cho << 2 << "--nearest は --export と一緒にしか使えません"
        << QByteArray("-");
}

void tst_CommandLine::exports()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, stderr);
    QFETCH(QByteArray, written);

    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray memo
        = "C\r\n\r\nA\r\nm\r\nF\r\n\r\nG\r\n7\r\nBb\r\n\r\nD\r\nm7\r\nH\r\n\r\nEb\r\nM7\r\n";
    QFile file(dir.filePath(QStringLiteral("song.dat")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(memo) == memo.size());
    file.close();
    QFile cho(dir.filePath(QStringLiteral("song.cho")));
    const QByteArray chordPro("[Bbmaj7] [Am7b5] [C9] [G/B]\n");
    QVERIFY(cho.open(QIODevice::WriteOnly) && cho.write(chordPro) == chordPro.size());
    cho.close();
    const Ran ran = runIn(dir, arguments);
    const QStringList &said = ran.said;
    QCOMPARE(ran.status, status);
    QCOMPARE(said.size(), stderr.isEmpty() ? 0 : 1);
    QVERIFY2(said.join(u'\n').contains(stderr), qPrintable(said.join(u'\n')));
    QFile out(dir.filePath(QStringLiteral("out.txt")));
    QCOMPARE(out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray("-"), written);
    // The memo is read, never written; nothing is left beside it.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), memo);
    QStringList expected {"song.cho", "song.dat"};
    if (written != "-")
        expected.prepend(QStringLiteral("out.txt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name), expected);
}

void tst_CommandLine::neverWritesItsInput_data()
{
    QTest::addColumn<QString>("input"); // made in an empty folder
    QTest::addColumn<QString>("link"); // made to name the input too: "symbolic NAME", "hard NAME"
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("a ChordPro song onto itself, moved up")
        << "song.cho"
        << "" << QStringList {"--export", "song.cho", "--transpose", "2", "song.cho"};
    QTest::newRow("a memo named as text onto itself")
        << "memo.txt"
        << "" << QStringList {"--export", "memo.txt", "memo.txt"};
    QTest::newRow("through a symbolic link")
        << "song.cho"
        << "symbolic out.cho" << QStringList {"--export", "out.cho", "song.cho"};
    QTest::newRow("through a hard link")
        << "memo.txt"
        << "hard out.txt" << QStringList {"--export", "out.txt", "memo.txt"};
}

void tst_CommandLine::neverWritesItsInput()
{
    QFETCH(QString, input);
    QFETCH(QString, link);
    QFETCH(QStringList, arguments);

    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray bytes = input.endsWith(QLatin1String(".cho"))
        ? QByteArray("{title: Song}\n{key: C}\n[C]Lyrics [G7]here\n")
        : QByteArray("C\r\n\r\nG\r\n7\r\n");
    QFile file(dir.filePath(input));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    if (!link.isEmpty()) {
        const QByteArray from = QFile::encodeName(file.fileName());
        const QByteArray to = QFile::encodeName(dir.filePath(link.section(u' ', 1)));
        QCOMPARE(
            link.startsWith(QLatin1String("hard")) ? ::link(from, to) : ::symlink(from, to), 0);
    }
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    const Ran ran = runIn(dir, arguments);
    const QStringList &said = ran.said;
    QCOMPARE(ran.status, 1);
    QCOMPARE(said.size(), 1);
    QVERIFY2(
        said.constFirst().contains(QStringLiteral("書き出し元")), qPrintable(said.constFirst()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), before);
}

void tst_CommandLine::wholeSong_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("reader"); // OUT stands for the file; none: its own bytes
    QTest::addColumn<QString>("names"); // captures each chord name the output shows, in order
    QTest::addColumn<QString>("more"); // what else the output shows

    // The names alone: not the key on the sheet's meter line.
    const QString plain = QStringLiteral(R"((?<!\S)(?<!キー: )([A-G](?:m|7)*)(?!\S))");
    QTest::newRow("text") << "out.txt" << QStringList {}
                          << QStringLiteral(R"((?<!\S)([A-G](?:m|7)*)\([^)]*\))")
                          << R"(^Key: G\nVerse 1: G\(I\) G7\(I7\) C\(IV\) G\(I\))";
    QTest::newRow("ChordPro") << "out.cho" << QStringList {} << R"(\[([^\]]*)\])"
                              << R"(\{start_of_verse: Verse 4\}\n\| \[G\])";
    // The chord markers and, where the last note ends, the bars: 55 of 3 beats.
    QTest::newRow("MIDI: a marker a chord, every bar")
        << "out.mid" << QStringList {SYSTEM_PYTHON3, MIDI_READER, "OUT"}
        << R"((?m)^1 marker \d+: ([A-G]\S*)$)"
        << QStringLiteral("\\n1 end %1\\n").arg(HymnBars * 3 * 480);
    QTest::newRow("PDF: every name on the pages")
        << "out.pdf" << QStringList {"pdftotext", "-layout", "OUT", "-"} << plain << "Verse 4";
    // The bars on one A4 page at 150 dpi, the keyboards on a second under it.
    QTest::newRow("PNG: every page, one under the other")
        << "out.png"
        << QStringList {SYSTEM_PYTHON3, "-c",
               "import struct, sys; print(struct.unpack('>II', open(sys.argv[1], "
               "'rb').read()[16:24]))",
               "OUT"}
        << ""
        << R"(^\(1240, 3508\)\n$)";
    // 55 bars at 120 a minute, then a second to ring out.
    QTest::newRow("WAV: every bar sounds")
        << "out.wav"
        << QStringList {SYSTEM_PYTHON3, "-c",
               "import sys, wave; print(wave.open(sys.argv[1]).getnframes())", "OUT"}
        << "" << QStringLiteral("^%1\\n$").arg((HymnBars * 3 + 2) * 44100 / 2);
}

// A song longer than the memo, exported whole: nothing cut, nothing to say.
void tst_CommandLine::wholeSong()
{
    QFETCH(QString, file);
    QFETCH(QStringList, reader);
    QFETCH(QString, names);
    QFETCH(QString, more);

    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile song(dir.filePath(QStringLiteral("hymn.cho")));
    const QByteArray bytes = hymn();
    QVERIFY(song.open(QIODevice::WriteOnly) && song.write(bytes) == bytes.size());
    song.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.start(QStringLiteral(SORAMINA_BINARY), {"--export", file, "hymn.cho"});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.readAllStandardError(), QByteArray());
    QCOMPARE(program.exitCode(), 0);

    const QString out = dir.filePath(file);
    QString output;
    if (reader.isEmpty()) {
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        output = QString::fromUtf8(written.readAll());
    } else {
        QProcess read;
        read.start(reader[0], reader.mid(1).replaceInStrings(QStringLiteral("OUT"), out));
        QVERIFY(read.waitForFinished());
        QCOMPARE(read.exitCode(), 0);
        output = QString::fromUtf8(read.readAllStandardOutput());
    }
    if (!names.isEmpty()) {
        QStringList shown;
        for (const QRegularExpressionMatch &m : QRegularExpression(names).globalMatch(output))
            shown << m.captured(1);
        QCOMPARE(shown.mid(0, 59), hymnChords());
    }
    QVERIFY2(QRegularExpression(more).match(output).hasMatch(), qPrintable(output.left(2000)));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"

#include "midifile.h"
#include "songfixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// The file as read by Python's mido, a reader no one here wrote, and as
// played by FluidSynth's own file renderer.
class tst_MidiFile : public QObject
{
    Q_OBJECT
private slots:
    void readBack_data();
    void readBack();
    void aSynthPlaysIt();
};

namespace
{
QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("song.mid"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

// Runs a program to its end; its standard output, or why it failed.
QString run(const QString &program, const QStringList &arguments, QByteArray &output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished())
        return program + QStringLiteral(" did not finish");
    output = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + QStringLiteral(" failed: ")
            + QString::fromUtf8(process.readAllStandardError());
    return {};
}
} // namespace

void tst_MidiFile::readBack_data()
{
    QTest::addColumn<song::Song>("song");
    QTest::addColumn<int>("program");
    QTest::addColumn<QStringList>("read"); // as midiread.py prints it

    QTest::newRow("known chords, H and an empty box")
        << songOf({{"C"}, {"H"}, {}, {"A", "m7"}}, "Yesterday") << 0
        << QStringList {"format 1 ticks 480 tracks 2", "1 name 0: Yesterday", "1 tempo 0: 500000",
               "1 meter 0: 4/4", "1 key 0: C", "1 marker 0: C", "1 marker 1920: H",
               "1 marker 5760: Am7", "1 end 7680", "2 program 0 ch1: 0",
               "2 on 0 ch1 v100: 48 52 55", "2 off 1920 ch1: 48 52 55",
               "2 on 5760 ch1 v100: 57 60 64 67", "2 off 7680 ch1: 57 60 64 67", "2 end 7680"};
    QTest::newRow("three beats at 97, guitar: the tempo rounded to a microsecond")
        << songOf({{"G"}, {"D", "7"}}, "Waltz", 97, 3) << 24
        << QStringList {"format 1 ticks 480 tracks 2", "1 name 0: Waltz", "1 tempo 0: 618557",
               "1 meter 0: 3/4", "1 key 0: G", "1 marker 0: G", "1 marker 1440: D7", "1 end 2880",
               "2 program 0 ch1: 24", "2 on 0 ch1 v100: 55 59 62", "2 off 1440 ch1: 55 59 62",
               "2 on 1440 ch1 v100: 50 54 57 60", "2 off 2880 ch1: 50 54 57 60", "2 end 2880"};
    QTest::newRow("a chord struck again is let go first")
        << songOf({{"E", "m"}, {"E", "m"}}, "", 120, 1) << 0
        << QStringList {"format 1 ticks 480 tracks 2", "1 tempo 0: 500000", "1 meter 0: 1/4",
               "1 key 0: Em", "1 marker 0: Em", "1 marker 480: Em", "1 end 960",
               "2 program 0 ch1: 0", "2 on 0 ch1 v100: 52 55 59", "2 off 480 ch1: 52 55 59",
               "2 on 480 ch1 v100: 52 55 59", "2 off 960 ch1: 52 55 59", "2 end 960"};
    QTest::newRow("two chords in a bar: two markers inside it; sections named by markers")
        << shaped(songOf({{"G"}, {"D"}, {"C"}}, "Swing"), {2, 2, 0}, {{0, "A"}, {2, "サビ"}}) << 0
        << QStringList {"format 1 ticks 480 tracks 2", "1 name 0: Swing", "1 tempo 0: 500000",
               "1 meter 0: 4/4", "1 key 0: G", "1 marker 0: A", "1 marker 0: G", "1 marker 960: D",
               "1 marker 1920: サビ", "1 marker 1920: C", "1 end 3840", "2 program 0 ch1: 0",
               "2 on 0 ch1 v100: 55 59 62", "2 off 960 ch1: 55 59 62",
               "2 on 960 ch1 v100: 50 54 57", "2 off 1920 ch1: 50 54 57",
               "2 on 1920 ch1 v100: 48 52 55", "2 off 3840 ch1: 48 52 55", "2 end 3840"};
    QTest::newRow("markers in the standard spelling")
        << songOf({{"Bb", "M7"}, {"A", "m7-5"}}, "") << 0
        << QStringList {"format 1 ticks 480 tracks 2", "1 tempo 0: 500000", "1 meter 0: 4/4",
               "1 key 0: Bb", "1 marker 0: Bbmaj7", "1 marker 1920: Am7b5", "1 end 3840",
               "2 program 0 ch1: 0", "2 on 0 ch1 v100: 58 62 65 69", "2 off 1920 ch1: 58 62 65 69",
               "2 on 1920 ch1 v100: 57 60 63 67", "2 off 3840 ch1: 57 60 63 67", "2 end 3840"};
    QTest::newRow("the song's own key, six flats and minor, over the chords' own")
        <<
        [] {
            song::Song s = songOf({{"C"}}, "");
            s.key = chord::Key {3, true};
            return s;
        }()
        << 0
        << QStringList {"format 1 ticks 480 tracks 2", "1 tempo 0: 500000", "1 meter 0: 4/4",
               "1 key 0: Ebm", "1 marker 0: C", "1 end 1920", "2 program 0 ch1: 0",
               "2 on 0 ch1 v100: 48 52 55", "2 off 1920 ch1: 48 52 55", "2 end 1920"};
    QTest::newRow("names as one line of UTF-8")
        << songOf({{"ド", "\n♯"}}, "さくら\r\n", 60, 2) << 0
        << QStringList {"format 1 ticks 480 tracks 2", "1 name 0: さくら  ", "1 tempo 0: 1000000",
               "1 meter 0: 2/4", "1 marker 0: ド ♯", "1 end 960", "2 program 0 ch1: 0",
               "2 end 960"};
}

void tst_MidiFile::readBack()
{
    QFETCH(song::Song, song);
    QFETCH(int, program);
    QFETCH(QStringList, read);

    QTemporaryDir dir;
    const QString path = writeFile(dir, song::midiFileBytes(song, program));
    QVERIFY(!path.isEmpty());
    QByteArray output;
    const QString failure
        = run(QStringLiteral(SYSTEM_PYTHON3), {QStringLiteral(MIDI_READER), path}, output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts), read);
}

void tst_MidiFile::aSynthPlaysIt()
{
    const QString fluidsynth = QStandardPaths::findExecutable(QStringLiteral("fluidsynth"));
    QVERIFY2(!fluidsynth.isEmpty(), "fluidsynth is missing: run scripts/setup.sh");
    QTemporaryDir dir;
    const song::Song song = songOf({{"C"}, {"H"}, {}, {"A", "m7"}}); // 8 s
    const QString path = writeFile(dir, song::midiFileBytes(song, 0));
    const QString wav = dir.filePath(QStringLiteral("song.wav"));
    QByteArray output;
    const QString failure = run(fluidsynth,
        {QStringLiteral("-ni"), QStringLiteral("-F"), wav, QStringLiteral("-r"),
            QStringLiteral("44100"), QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"), path},
        output);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    QFile file(wav);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const qsizetype data = bytes.indexOf("data") + 8;
    QVERIFY(data >= 8);
    const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData() + data);
    const qsizetype count = (bytes.size() - data) / 2;
    constexpr int FramesASecond = 44100 * 2;
    QVERIFY2(count >= 8 * FramesASecond, qPrintable(QString::number(count)));
    // The C sounds in the first bar, the Am7 in the fourth.
    for (const int second : {0, 6}) {
        const auto from = samples + second * FramesASecond;
        const auto loudest = std::max_element(from, from + FramesASecond,
            [](qint16 a, qint16 b) { return std::abs(a) < std::abs(b); });
        QVERIFY2(std::abs(*loudest) > 1000, qPrintable(QString::number(*loudest)));
    }
}

QTEST_GUILESS_MAIN(tst_MidiFile)
#include "tst_midifile.moc"

#include "schedule.h"
#include "songfixture.h"
#include "songrender.h"
#include "wavfile.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

// The song through the real sound module, into buffers: each known chord
// begins on its bar line, and the rests are silent.
class tst_SongRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void bars_data();
    void bars();
    void wavFile();
    void noModule();
    void tooLong();
};

namespace
{
// C, G7 straight after it, a rest, Am after it, an empty box, F after it: at
// 120 BPM the bar lines at 88200-sample steps fall off the synth's grid.
const Boxes Boxes6 {{"C"}, {"G", "7"}, {"H"}, {"A", "m"}, {}, {"F"}};
constexpr int Program = 0; // piano
constexpr double OnsetReach = 0.001; // seconds either side of the bar line
constexpr float Different = 1e-6f; // about -120 dB: the first trace of a chord
constexpr double RingOut = 0.5; // seconds a released chord may ring into a rest
constexpr float Silent = 1e-3f; // -60 dB

song::Audio render(const song::Song &song)
{
    sound::Opened opened = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Buffer);
    if (!opened.output)
        return {};
    return song::renderSong(song, Program, *opened.output);
}

// Where two renders first part.
std::size_t firstDifference(const song::Audio &a, const song::Audio &b)
{
    for (std::size_t i = 0; i < std::min(a.left.size(), b.left.size()); ++i) {
        if (std::abs(a.left[i] - b.left[i]) > Different
            || std::abs(a.right[i] - b.right[i]) > Different)
            return i;
    }
    return a.left.size();
}
} // namespace

static song::Audio s_whole;

void tst_SongRender::initTestCase()
{
    s_whole = render(songOf(Boxes6));
    QVERIFY2(!s_whole.left.empty(), "the sound module did not open");
    QCOMPARE(s_whole.sampleRate, 44100);
    // Six bars of 2 s, then a second to ring out.
    QCOMPARE(s_whole.left.size(), std::size_t(13 * 44100));
}

void tst_SongRender::bars_data()
{
    QTest::addColumn<int>("bar");
    QTest::addColumn<bool>("sounds");
    QTest::newRow("C: the first bar") << 0 << true;
    QTest::newRow("G7 straight after C") << 1 << true;
    QTest::newRow("H is a rest") << 2 << false;
    QTest::newRow("Am after the rest") << 3 << true;
    QTest::newRow("the empty box is a rest") << 4 << false;
    QTest::newRow("F after the empty box") << 5 << true;
}

void tst_SongRender::bars()
{
    QFETCH(int, bar);
    QFETCH(bool, sounds);
    const song::Song song = songOf(Boxes6);
    const song::Schedule schedule(song, {s_whole.sampleRate});
    const std::int64_t line = schedule.slotStart(bar);

    if (sounds) {
        // The same song without this chord sounds the same up to the chord's
        // first sample: its onset, whatever rings on from the bar before.
        song::Song without = song;
        without.bars[std::size_t(bar)].notes.clear();
        const auto onset = std::int64_t(firstDifference(s_whole, render(without)));
        const double off = double(onset - line) / s_whole.sampleRate;
        QVERIFY2(std::abs(off) <= OnsetReach, qPrintable(QStringLiteral("%1 ms").arg(off * 1000)));
        return;
    }
    const auto from = std::size_t(line + std::int64_t(RingOut * s_whole.sampleRate));
    const auto to = std::size_t(schedule.slotStart(bar + 1) - s_whole.sampleRate / 1000);
    float loudest = 0;
    for (std::size_t i = from; i < to; ++i)
        loudest = std::max({loudest, std::abs(s_whole.left[i]), std::abs(s_whole.right[i])});
    QVERIFY2(loudest < Silent, qPrintable(QString::number(loudest)));
}

void tst_SongRender::wavFile()
{
    const song::Rendered rendered
        = song::renderWav(songOf(Boxes6), Program, {QStringLiteral(MODULE_DIR)});
    QVERIFY2(rendered.error.isEmpty(), qPrintable(rendered.error));
    QCOMPARE(rendered.wav, song::wavFileBytes(s_whole.left, s_whole.right, 44100));
}

void tst_SongRender::noModule()
{
    QTemporaryDir empty;
    const song::Rendered rendered = song::renderWav(songOf(Boxes6), Program, {empty.path()});
    QVERIFY(rendered.wav.isEmpty());
    QVERIFY2(rendered.error.contains(QStringLiteral("soramina-fluidsynth")), qPrintable(rendered.error));
}

// An hour exactly, 20 bars a minute: refused before any sound module is looked for.
void tst_SongRender::tooLong()
{
    const song::Song hour = songOf(Boxes(1200, {"C"}), "", 80, 4);
    const song::Rendered rendered = song::renderWav(hour, Program, {});
    QVERIFY(rendered.wav.isEmpty());
    QCOMPARE(rendered.error,
        QStringLiteral("曲が 60 分以上あるので WAV にできません: MIDI ファイルに書き出してください"));
}

QTEST_GUILESS_MAIN(tst_SongRender)
#include "tst_songrender.moc"

#include "chordmemo.h"
#include "chordpro.h"
#include "midifile.h"
#include "songfile.h"
#include "songrender.h"
#include "songtext.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>

// Writing a full memo's song in each byte format, and rendering it as WAV
// through the sound module (loading it, the soundfont and the synth
// included, as an export does). The render reports how many seconds of audio
// it makes in a second of wall time.
namespace
{

constexpr int Program = 0;

song::Song fullSong()
{
    memo::ChordMemo memo;
    memo.loadBytes(bench::songSlotFile(), {});
    return song::songFromMemo(memo, QStringLiteral("bench"));
}

// The last box's chord is in what was written: otherwise the figures would
// describe a writer that left the song out.
template<typename Write>
void benchWriter(benchmark::State &state, Write write, const QByteArray &last)
{
    const song::Song song = fullSong();
    QByteArray bytes;
    for (auto _ : state) {
        bytes = write(song);
        benchmark::DoNotOptimize(bytes);
    }
    if (song.bars.size() != 30 || !bytes.contains(last))
        state.SkipWithError("the song was not written");
}

void BM_SongChordPro(benchmark::State &state)
{
    benchWriter(state, song::chordProBytes, "[C#]");
}

void BM_SongText(benchmark::State &state)
{
    benchWriter(state, song::songTextBytes, " C#\n");
}

void BM_SongMidi(benchmark::State &state)
{
    benchWriter(
        state, [](const song::Song &s) { return song::midiFileBytes(s, Program); }, "C#");
}

void BM_SongWav(benchmark::State &state)
{
    const song::Song song = fullSong();
    const double audioSeconds = song.bars.size() * song::barSeconds(song) + 1;
    double wallSeconds = 0;
    song::Rendered rendered;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        rendered = song::renderWav(song, Program, {QStringLiteral(MODULE_DIR)});
        wallSeconds
            += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(rendered);
    }
    if (!rendered.error.isEmpty() || rendered.wav.isEmpty()) {
        state.SkipWithError(qPrintable(rendered.error));
        return;
    }
    state.counters["audio_s"] = audioSeconds;
    state.counters["realtime_x"] = audioSeconds * double(state.iterations()) / wallSeconds;
}

BENCHMARK(BM_SongChordPro);
BENCHMARK(BM_SongText);
BENCHMARK(BM_SongMidi);
BENCHMARK(BM_SongWav)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    // The sound module is a Qt plugin.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

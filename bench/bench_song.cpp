#include "chordmemo.h"
#include "chordpro.h"
#include "midifile.h"
#include "songdocument.h"
#include "songfile.h"
#include "songhistory.h"
#include "songrender.h"
#include "songtext.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>

// Writing a full memo's song in each byte format, and rendering it as WAV
// through the sound module (loading it, the soundfont and the synth
// included, as an export does); editing a long song. The render reports how many seconds of audio
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
    // The last chord, with or without its degree after it: the only C# of the song.
    benchWriter(state, song::songTextBytes, " C#");
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

// A box opened at the start of the longest song that still takes one, and
// that step undone: each moves every chord, and neither should copy them.
song::Song longSong()
{
    song::Song song;
    for (int k = 0; k < song::MaxSongChords - 1; ++k)
        song.bars.push_back(
            song::barOf(QStringLiteral("C"), k % 2 ? QStringLiteral("m") : QString()));
    return song;
}

template<bool TimeUndo> void benchInsertAtStart(benchmark::State &state)
{
    song::SongDocument document(longSong());
    song::SongHistory history(document);
    QUndoStack *stack = history.undoStack();
    const auto elapsed = [](auto start) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    bool inserted = true;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        inserted = history.insert(0) && inserted;
        const double insert = elapsed(start);
        start = std::chrono::steady_clock::now();
        stack->undo();
        state.SetIterationTime(TimeUndo ? elapsed(start) : insert);
    }
    if (!inserted || stack->count() != 1 || document.chordCount() != song::MaxSongChords - 1)
        state.SkipWithError("the box was not opened and closed again");
}

void BM_SongInsertAtStart(benchmark::State &state)
{
    benchInsertAtStart<false>(state);
}

void BM_SongUndoInsertAtStart(benchmark::State &state)
{
    benchInsertAtStart<true>(state);
}

BENCHMARK(BM_SongInsertAtStart)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SongUndoInsertAtStart)->UseManualTime()->Unit(benchmark::kMicrosecond);
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

#include "diskmemo.h"
#include "guibench.h"
#include "memohistory.h"
#include "songfile.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace
{

// A full memo of 30 chords moved up a whole tone: every root looked up and
// spelled again, every box's lines compared, as 移調 makes its step.
void BM_TransposeFullMemo(benchmark::State &state)
{
    memo::ChordMemo m;
    m.loadBytes(bench::songSlotFile(), {});
    const memo::Boxes boxes = memo::boxesOf(m);
    for (auto _ : state) {
        memo::Boxes moved = memo::transposed(boxes, 2, chord::Spelling::Auto);
        benchmark::DoNotOptimize(moved);
    }
    if (memo::transposed(boxes, 2, chord::Spelling::Auto)[0] == boxes[0])
        state.SkipWithError("nothing moved");
}

// One undo of that transposition as the window makes it: the 30 boxes
// written back, their step's signal, and the save of the file scheduled
// (the keeper's timer started, the disk untouched until it fires).
void BM_UndoTransposition(benchmark::State &state)
{
    const bench::SongWorkingDir dir;
    memofile::DiskMemo kept;
    if (!dir.isValid() || kept.keeper().load(dir.memoPath(), {})) {
        state.SkipWithError("no memo to edit");
        return;
    }
    memo::MemoHistory history(kept.keeper().memo());
    QObject::connect(&history, &memo::MemoHistory::boxesChanged, &kept.keeper(),
        &memofile::MemoKeeper::memoChanged);
    history.change(QStringLiteral("移調 +2"),
        memo::transposed(memo::boxesOf(kept.keeper().memo()), 2, chord::Spelling::Auto));
    for (auto _ : state) {
        history.undoStack()->undo();
        state.PauseTiming();
        history.undoStack()->redo();
        state.ResumeTiming();
    }
    if (history.undoStack()->index() != 1)
        state.SkipWithError("the step went missing");
}

BENCHMARK(BM_TransposeFullMemo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoTransposition)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runCoreBenchmarks(argc, argv);
}

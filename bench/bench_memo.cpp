#include "chordmemo.h"
#include "diskfiles.h"
#include "guibench.h"
#include "lockfile.h"
#include "memokeeper.h"
#include "memomerge.h"
#include "memowatcher.h"
#include "safefile.h"
#include "songfile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace
{

// Stands in for the window's slot labels: takes each caption as they would.
struct CaptionSink {
    qsizetype characters = 0;
    void operator()(int, const QString &caption) { characters += caption.size(); }
};

// A memo loaded from the song must hold it; otherwise the figures would
// describe a load that did nothing.
bool holdsSong(const memo::ChordMemo &m)
{
    return m.fetch(3).root == QLatin1String("G") && m.fetch(3).kind == QLatin1String("7")
        && m.fetch(29).root == QLatin1String("C#")
        && memo::memoFileBytes(m.lines()) == bench::songSlotFile();
}

void BM_MemoLoadBytes(benchmark::State &state)
{
    const QByteArray song = bench::songSlotFile();
    memo::ChordMemo m;
    CaptionSink sink;
    const memo::ChordMemo::ShowSlot show = std::ref(sink);
    for (auto _ : state) {
        m.loadBytes(song, show);
        benchmark::DoNotOptimize(m);
    }
    if (!holdsSong(m))
        state.SkipWithError("the song did not load");
    benchmark::DoNotOptimize(sink.characters);
}

void BM_MemoSaveBytes(benchmark::State &state)
{
    memo::ChordMemo m;
    m.loadBytes(bench::songSlotFile(), {});
    for (auto _ : state) {
        QByteArray bytes = memo::memoFileBytes(m.lines());
        benchmark::DoNotOptimize(bytes);
    }
    if (!holdsSong(m))
        state.SkipWithError("the song did not load");
}

void BM_MemoLoadFile(benchmark::State &state)
{
    const bench::SongWorkingDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("cannot write the slot file");
        return;
    }
    const QString fileName = dir.memoPath();
    memo::ChordMemo m;
    CaptionSink sink;
    const memo::ChordMemo::ShowSlot show = std::ref(sink);
    for (auto _ : state) {
        const services::ReadResult read = memofile::readMemoFile(fileName);
        if (read.status != services::ReadStatus::Read) {
            state.SkipWithError("load failed");
            return;
        }
        m.loadBytes(read.bytes, show);
    }
    if (!holdsSong(m))
        state.SkipWithError("the song did not load");
}

// Each save writes a temporary file, syncs it and renames it over the old one.
void BM_MemoSaveFile(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("code.dat"));
    memo::ChordMemo m;
    m.loadBytes(bench::songSlotFile(), {});
    for (auto _ : state) {
        if (memofile::replaceFile(fileName, memo::memoFileBytes(m.lines()))) {
            state.SkipWithError("save failed");
            return;
        }
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != bench::songSlotFile())
        state.SkipWithError("the saved file is not the song");
}

// The file is nobody else's here: nothing to watch.
class NoWatcher final : public memofile::MemoWatcher
{
public:
    void watch(const QString &) override { }
};

// Asks for a save and runs the event loop until it has ended.
std::optional<services::FileError> saveAndWait(memofile::MemoKeeper &keeper)
{
    std::optional<services::FileError> outcome;
    QEventLoop loop;
    keeper.save([&](const std::optional<services::FileError> &error) {
        outcome = error;
        loop.quit();
    });
    loop.exec();
    return outcome;
}

// One save as the window makes it while the user plays: a full memo with one
// slot changed, sent to the keeper's worker thread, under the lock, read back
// and merged, written to a temporary file, synced, renamed over the memo, the
// folder synced, and the outcome back on this thread.
void BM_MemoKeeperSave(benchmark::State &state)
{
    const bench::SongWorkingDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("cannot write the slot file");
        return;
    }
    const QString fileName = dir.memoPath();
    memo::ChordMemo m;
    memofile::MemoKeeper keeper(m, std::make_unique<memofile::DiskFiles>(),
        std::make_unique<memofile::LockFile>(), new NoWatcher);
    if (keeper.load(fileName, {})) {
        state.SkipWithError("open failed");
        return;
    }
    m.curslot = 0;
    bool seventh = false;
    for (auto _ : state) {
        state.PauseTiming();
        seventh = !seventh;
        m.store(QStringLiteral("C"), seventh ? QStringLiteral("7") : QString());
        state.ResumeTiming();
        if (saveAndWait(keeper)) {
            state.SkipWithError("save failed");
            return;
        }
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != memo::memoFileBytes(m.lines()))
        state.SkipWithError("the saved file is not the memo");
}

BENCHMARK(BM_MemoLoadBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoSaveBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoLoadFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoSaveFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoKeeperSave)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runCoreBenchmarks(argc, argv);
}

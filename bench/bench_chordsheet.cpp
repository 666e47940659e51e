#include "chordmemo.h"
#include "chordsheetfile.h"
#include "song.h"
#include "songfile.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace
{

song::Song fullMemo()
{
    memo::ChordMemo m;
    m.loadBytes(bench::songSlotFile(), {});
    return song::songFromMemo(m, QStringLiteral("song"));
}

// A sheet that came out empty or cut short would make a fast figure of nothing.
void BM_ChordSheet(
    benchmark::State &state, QByteArray (*write)(const song::Song &), const char *signature)
{
    const song::Song s = fullMemo();
    QByteArray bytes;
    for (auto _ : state) {
        bytes = write(s);
        benchmark::DoNotOptimize(bytes);
    }
    if (s.bars.size() != 30 || !bytes.startsWith(signature))
        state.SkipWithError("no sheet of the full memo");
    state.counters["kB"] = double(bytes.size()) / 1024;
}

} // namespace

BENCHMARK_CAPTURE(BM_ChordSheet, pdf, &song::sheetPdf, "%PDF-")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ChordSheet, png, &song::sheetPng, "\x89PNG\r\n\x1a\n")
    ->Unit(benchmark::kMillisecond);

// Fonts need a QGuiApplication; nothing here needs widgets.
int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    QGuiApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "diskmemo.h"
#include "form1.h"
#include "guibench.h"
#include "songfile.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>

namespace
{

enum class Repaint {
    None, // the call alone: what it changes is only marked for painting
    Caused, // then the event loop paints the regions the call marked
    // Then every widget of the window is painted into an image. A repaint()
    // of the window would not do: it skips the opaque children it covers.
    WholeWindow,
};

struct TypedChord {
    const char *root;
    const char *kind;
};

// Neighbours share no marker place, nor does the first chord with the C major
// of slot 0, so all four markers move on every call.
constexpr std::array<TypedChord, 7> Chords {{
    {"F#", "m7"},
    {"D", "7"},
    {"Ab", "M7"},
    {"E", "m7"},
    {"Bb", "7"},
    {"A", "m7-5"},
    {"C", "M7"},
}};

using Clock = std::chrono::steady_clock;
using Markers = std::array<QWidget *, 4>;

std::array<QPoint, 4> placesOf(const Markers &markers)
{
    std::array<QPoint, 4> places;
    for (std::size_t i = 0; i < markers.size(); ++i)
        places[i] = markers[i]->pos();
    return places;
}

// Types a chord into the two boxes and clicks the view button, as the user
// does; only the click and what is painted for it are timed.
void BM_Showcode(benchmark::State &state, Repaint repaint)
{
    const bench::SongWorkingDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("no working directory with a slot file");
        return;
    }
    memofile::DiskMemo memo;
    Form1 form(dir.memoPath(), {.keeper = &memo.keeper()});
    if (!bench::showAndWaitForFirstPaint(form)) {
        state.SkipWithError("the window was never painted");
        return;
    }
    auto *txtcode1 = form.findChild<QLineEdit *>(QStringLiteral("txtcode1"));
    auto *txtcode2 = form.findChild<QLineEdit *>(QStringLiteral("txtcode2"));
    auto *cmdview = form.findChild<QPushButton *>(QStringLiteral("cmdview"));
    auto *slot = form.findChild<QWidget *>(QStringLiteral("lblslot(0)"));
    Markers markers {};
    for (int i = 0; i < int(markers.size()); ++i)
        markers[i] = form.findChild<QWidget *>(QStringLiteral("shapemaru(%1)").arg(i));
    if (!txtcode1 || !txtcode2 || !cmdview || !slot || std::ranges::count(markers, nullptr)) {
        state.SkipWithError("a control is missing");
        return;
    }
    // A slot is picked, so every chord shown is also written into it.
    QTest::mouseClick(slot, Qt::LeftButton);

    // Only the painting modes count paints: the counter filters every event.
    std::optional<bench::PaintCounter> paints;
    if (repaint != Repaint::None)
        paints.emplace(&form);
    int timedPaints = 0;
    int callsThatLeftAMarker = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        const TypedChord &chord = Chords[next];
        next = (next + 1) % Chords.size();
        txtcode1->setText(QString::fromUtf8(chord.root));
        txtcode2->setText(QString::fromUtf8(chord.kind));
        // The text boxes and the previous call are painted before the clock starts.
        QCoreApplication::processEvents();
        const auto before = placesOf(markers);
        const int paintsBefore = paints ? paints->count() : 0;

        const auto start = Clock::now();
        cmdview->click();
        if (repaint == Repaint::Caused)
            QCoreApplication::processEvents();
        else if (repaint == Repaint::WholeWindow)
            benchmark::DoNotOptimize(form.grab());
        const auto end = Clock::now();

        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        timedPaints += paints ? paints->count() - paintsBefore : 0;
        const auto after = placesOf(markers);
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (after[i] == before[i]) {
                ++callsThatLeftAMarker;
                break;
            }
        }
    }
    if (callsThatLeftAMarker > 0)
        state.SkipWithError("a call left a marker where it was");
    else if (repaint != Repaint::None && timedPaints == 0)
        state.SkipWithError("nothing was painted");
    state.counters["paints"] = benchmark::Counter(timedPaints, benchmark::Counter::kAvgIterations);
}

BENCHMARK_CAPTURE(BM_Showcode, no_repaint, Repaint::None)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Showcode, caused_repaint, Repaint::Caused)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Showcode, whole_window_painted, Repaint::WholeWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runGuiBenchmarks(argc, argv);
}

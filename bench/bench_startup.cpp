#include "application.h"
#include "chordplayer.h"
#include "diskmemo.h"
#include "firstpaint.h"
#include "form1.h"
#include "form1layout.h"
#include "guibench.h"
#include "midimenu.h"
#include "songfile.h"
#include "soundmenu.h"
#include "startupreport.h"
#include "twips.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QSettings>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

// Start-up of the program's window beside a bare window, each measured twice:
// in this process, where Qt and its fonts are already up, and in a child
// process started from nothing, which also reports its peak memory.
namespace
{

enum class Window {
    Bare, // a QMainWindow of the program's size: a menu and one QLabel, in its font
    BareNatural, // the same at the size its label asks for, far smaller
    Form1, // the program's window, its memo loaded from code.dat
};
constexpr Window Windows[] {Window::Bare, Window::BareNatural, Window::Form1};

constexpr char ChildFlag[] = "--startup-child";
constexpr int ChildTimeoutMs = 30000;

using Clock = std::chrono::steady_clock;

// A window to time, and what it works with, kept as long as it is.
struct TimedWindow {
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<memofile::DiskMemo> memo;
    std::unique_ptr<sound::ChordPlayer> player;
    std::unique_ptr<QWidget> widget; // last: gone before what it works with
};

TimedWindow makeWindow(Window window)
{
    TimedWindow timed;
    if (window == Window::Form1) {
        // As main makes it: its memo on the disk, its sound and MIDI menus.
        // The sound module loads and the sequencer comes up once the window
        // is painted.
        timed.settings
            = std::make_unique<QSettings>(QStringLiteral("soramina"), QStringLiteral("soramina"));
        timed.memo = std::make_unique<memofile::DiskMemo>();
        timed.player = sound::devicePlayer({QStringLiteral(MODULE_DIR)});
        timed.widget
            = std::make_unique<Form1>(QDir::current().absoluteFilePath(QStringLiteral("code.dat")),
                Form1::Services {&timed.memo->keeper(), timed.player.get(), MidiMenu::defaultOpener,
                    timed.settings.get()});
        return timed;
    }
    auto bare = std::make_unique<QMainWindow>();
    // The least a Qt program with the same font and a menu bar shows; its
    // Japanese captions need the CJK font, as the program's window does.
    QFont font(QString::fromUtf8(
        ui::layout::DefaultFontFamily.data(), qsizetype(ui::layout::DefaultFontFamily.size())));
    font.setPixelSize(ui::layout::DefaultFontPixelSize);
    QApplication::setFont(font);
    bare->menuBar()->addMenu(QStringLiteral("ファイル"))->addAction(QStringLiteral("終了"));
    auto *label = new QLabel(QStringLiteral("ソラミナ"), bare.get());
    bare->setCentralWidget(label);
    if (window == Window::BareNatural) {
        timed.widget = std::move(bare);
        return timed;
    }
    // As large as the program's window: the first touch of each page of a
    // window's backing store costs time in proportion to its area (on a
    // virtual machine as much as a whole window's painting), and that is the
    // window's size, not work the program does.
    label->setFixedSize(
        widgets::pixelRect({0, 0, ui::layout::ClientWidth, ui::layout::ClientHeight}).size());
    timed.widget = std::move(bare);
    return timed;
}

const char *nameOf(Window window)
{
    switch (window) {
    case Window::Bare: return "bare";
    case Window::BareNatural: return "bare_natural";
    case Window::Form1: break;
    }
    return "form1";
}

// The child: builds one window and, once it is painted, reports to the parent.
int runChild(Window window, int argc, char **argv)
{
    bench::quietSizeHintWarnings();
    QApplication app(argc, argv);
    bench::ChildMoments moments;
    moments.appUpNs = bench::monotonicNs();
    const long faultsAtAppUp = bench::minorPageFaults();
    // The program's own settings come with its window, as in its main.
    if (window == Window::Form1)
        app::prepareApplication();
    const TimedWindow timed = makeWindow(window);
    moments.builtNs = bench::monotonicNs();
    if (!bench::showAndWaitForFirstPaint(*timed.widget))
        return 1;
    moments.paintedNs = bench::monotonicNs();
    moments.peakResidentKb = bench::peakResidentKb();
    moments.windowPageFaults = bench::minorPageFaults() - faultsAtAppUp;
    const QByteArray line = bench::formatChildLine(moments);
    return std::fwrite(line.constData(), 1, size_t(line.size()), stdout) == size_t(line.size()) ? 0
                                                                                                : 1;
}

std::optional<bench::StartupReport> startChild(Window window, const QString &workingDir)
{
    QProcess child;
    child.setWorkingDirectory(workingDir);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QGuiApplication::platformName());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const long long start = bench::monotonicNs();
    child.start(QCoreApplication::applicationFilePath(),
        {QString::fromLatin1(ChildFlag), QString::fromLatin1(nameOf(window))});
    if (!child.waitForFinished(ChildTimeoutMs) || child.exitStatus() != QProcess::NormalExit
        || child.exitCode() != 0)
        return std::nullopt;
    return bench::parseChildLine(child.readAllStandardOutput(), start);
}

// From nothing to the window built, shown and painted once, inside this process.
void BM_WindowStartup(benchmark::State &state, Window window)
{
    const bench::SongWorkingDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("no working directory with a slot file");
        return;
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        TimedWindow timed = makeWindow(window);
        if (!bench::showAndWaitForFirstPaint(*timed.widget)) {
            state.SkipWithError("the window was never painted");
            return;
        }
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        // Closing Form1 would save the memo; it is destroyed unclosed instead.
        timed.widget.reset();
        timed = {};
        QCoreApplication::processEvents();
    }
}

// From starting a process to its window painted once, split into its
// phases; peak_rss_kB is the child's peak resident memory at that moment.
void BM_ProcessStartup(benchmark::State &state, Window window)
{
    const bench::SongWorkingDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("no working directory with a slot file");
        return;
    }
    bench::StartupReport sum {};
    for (auto _ : state) {
        const std::optional<bench::StartupReport> report = startChild(window, dir.path());
        if (!report) {
            state.SkipWithError("the child process failed");
            return;
        }
        state.SetIterationTime(report->startupMs / 1e3);
        sum.appUpMs += report->appUpMs;
        sum.buildMs += report->buildMs;
        sum.paintMs += report->paintMs;
        sum.peakResidentKb += report->peakResidentKb;
        sum.windowPageFaults += report->windowPageFaults;
    }
    const auto average = [](double total) {
        return benchmark::Counter(total, benchmark::Counter::kAvgIterations);
    };
    state.counters["qt_up_ms"] = average(sum.appUpMs);
    state.counters["build_ms"] = average(sum.buildMs);
    state.counters["paint_ms"] = average(sum.paintMs);
    state.counters["peak_rss_kB"] = average(double(sum.peakResidentKb));
    state.counters["page_faults"] = average(double(sum.windowPageFaults));
}

BENCHMARK_CAPTURE(BM_WindowStartup, bare, Window::Bare)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowStartup, form1, Window::Form1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// One process a repetition: with repetitions interleaved, the windows take
// turns process by process, and a slow spell falls on them alike.
BENCHMARK_CAPTURE(BM_ProcessStartup, bare, Window::Bare)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessStartup, bare_natural, Window::BareNatural)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProcessStartup, form1, Window::Form1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], ChildFlag) == 0) {
        for (const Window window : Windows) {
            if (std::strcmp(argv[2], nameOf(window)) == 0)
                return runChild(window, argc, argv);
        }
        return 2;
    }
    return bench::runGuiBenchmarks(argc, argv);
}

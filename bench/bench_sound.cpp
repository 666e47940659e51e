#include "chordplayer.h"
#include "diskmemo.h"
#include "form1.h"
#include "guibench.h"
#include "songfile.h"
#include "soundmenu.h"
#include "startupreport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QSettings>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <optional>

// From a click on a root button to the chord's first note-on at the sound
// output, in the program's window: the first play, which loads the module,
// FluidSynth and the soundfont and opens the output, and the plays after it.
// Only a new process loads the module, so each run is a child process.
namespace
{

constexpr char ChildFlag[] = "--sound-child";
constexpr int LaterPlays = 5;
constexpr int PlayTimeoutMs = 10000;
constexpr int ChildTimeoutMs = 60000;
constexpr int RootButtons[] {7, 2, 9, 4, 11, 5}; // G, D, A, E, B, F

struct PlayReport {
    double firstMs = 0;
    double laterMs = 0; // the mean of the later plays
    long peakResidentKb = 0; // after all the plays
};

// Milliseconds from the click to the first note-on; nothing on time out.
std::optional<double> clickToNoteOn(Form1 &window, sound::ChordPlayer &player, int root)
{
    auto *button = window.findChild<QAbstractButton *>(QStringLiteral("opcode1(%1)").arg(root));
    if (!button)
        return std::nullopt;
    QEventLoop loop;
    long long startedNs = 0;
    QObject::connect(&player, &sound::ChordPlayer::chordStarted, &loop, [&] {
        startedNs = bench::monotonicNs();
        loop.quit();
    });
    QTimer::singleShot(PlayTimeoutMs, &loop, &QEventLoop::quit);
    const long long clickNs = bench::monotonicNs();
    button->click();
    if (startedNs == 0)
        loop.exec();
    if (startedNs == 0)
        return std::nullopt;
    return double(startedNs - clickNs) / 1e6;
}

int runChild(sound::Target target, int argc, char **argv)
{
    bench::quietSizeHintWarnings();
    QApplication app(argc, argv);
    const bench::SongWorkingDir dir;
    memofile::DiskMemo memo;
    const QStringList folders {QStringLiteral(MODULE_DIR)};
    auto player = target == sound::Target::Device
        ? sound::devicePlayer(folders)
        : std::make_unique<sound::ChordPlayer>(outputOpener(folders, sound::Target::Buffer));
    sound::ChordPlayer *chords = player.get();
    QSettings settings(dir.path() + QStringLiteral("/soramina.conf"), QSettings::IniFormat);
    Form1 window(dir.memoPath(), {&memo.keeper(), player.get(), {}, &settings});
    if (!bench::showAndWaitForFirstPaint(window))
        return 1;

    const std::optional<double> first = clickToNoteOn(window, *chords, RootButtons[0]);
    if (!first)
        return 1;
    double later = 0;
    for (int i = 1; i <= LaterPlays; ++i) {
        const std::optional<double> ms = clickToNoteOn(window, *chords, RootButtons[i]);
        if (!ms)
            return 1;
        later += *ms / LaterPlays;
    }
    std::printf("%.3f %.4f %ld\n", *first, later, bench::peakResidentKb());
    return 0;
}

std::optional<PlayReport> startChild(sound::Target target)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QGuiApplication::platformName());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
        {QString::fromLatin1(ChildFlag),
            QString::fromLatin1(target == sound::Target::Device ? "device" : "buffer")});
    if (!child.waitForFinished(ChildTimeoutMs) || child.exitStatus() != QProcess::NormalExit
        || child.exitCode() != 0)
        return std::nullopt;
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 3)
        return std::nullopt;
    return PlayReport {fields[0].toDouble(), fields[1].toDouble(), fields[2].toLong()};
}

void BM_SoundPlay(benchmark::State &state, sound::Target target)
{
    PlayReport sum;
    for (auto _ : state) {
        const std::optional<PlayReport> report = startChild(target);
        if (!report) {
            state.SkipWithError("the child process failed: no sound output?");
            return;
        }
        state.SetIterationTime(report->firstMs / 1e3);
        sum.laterMs += report->laterMs;
        sum.peakResidentKb += report->peakResidentKb;
    }
    state.counters["later_ms"]
        = benchmark::Counter(sum.laterMs, benchmark::Counter::kAvgIterations);
    state.counters["peak_rss_kB"]
        = benchmark::Counter(double(sum.peakResidentKb), benchmark::Counter::kAvgIterations);
}

// To the desktop's audio server: needs one (scripts/bench.sh starts its own).
BENCHMARK_CAPTURE(BM_SoundPlay, device, sound::Target::Device)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// Into buffers: the module, FluidSynth and the soundfont without a server.
BENCHMARK_CAPTURE(BM_SoundPlay, buffer, sound::Target::Buffer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    sound::askPulseBuffer(); // as the program's main does
    if (argc == 3 && std::strcmp(argv[1], ChildFlag) == 0)
        return runChild(
            std::strcmp(argv[2], "device") == 0 ? sound::Target::Device : sound::Target::Buffer,
            argc, argv);
    return bench::runGuiBenchmarks(argc, argv);
}

#include "chordplayer.h"
#include "diskmemo.h"
#include "form1.h"
#include "guibench.h"
#include "midinotes.h"
#include "onsets.h"
#include "schedule.h"
#include "sinkrecorder.h"
#include "songfile.h"
#include "songrender.h"
#include "startupreport.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTimer>

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <thread>
#include <vector>

// How soon and how evenly the sound comes: a click on a root button and a
// MIDI note-on to their sound with the output already open, and notes on a
// song's bar lines, rendered offline and played to the audio server on its
// own sample clock. Through the server, the sound is what its default sink's
// monitor records: scripts/bench.sh gives it a null sink.
namespace
{

constexpr int Program = 0;
constexpr int ReadyTimeoutMs = 10000;
constexpr int RootButtons[] {7, 2, 9, 4, 11, 5}; // G, D, A, E, B, F
constexpr auto RenderTimeout = std::chrono::milliseconds(200);
constexpr auto ClockStartTimeout = std::chrono::seconds(5);
constexpr int ClockSettleMs = 100; // of sound played once the clock runs
constexpr double NsPerMs = 1e6;
// The song of the offline render: a chord, a bar's rest for it to ring out,
// and so on, so that every chord starts out of a quiet tail.
constexpr int SongBars = 30;
constexpr double OnsetReachMs = 2; // either side of a bar line offline
// Played to the server: a click on each of these bar lines, each scheduled
// as the song player does, a lookahead before it, following the clock on a
// short timer; the first a little after the start, for the server to settle.
constexpr int PlayedBars = 16;
constexpr int PlayedTempo = 120;
constexpr int PlayedBeats = 1; // a bar of half a second
constexpr double LeadInSeconds = 0.3;
constexpr double LookaheadSeconds = 0.1;
constexpr auto FollowInterval = std::chrono::milliseconds(1);
constexpr double PlayedReachMs = 50; // a dropout would move a click this far
constexpr int ClickLengthMs = 100;
constexpr int MidiNotes = 10;
constexpr int FirstMidiNote = 60; // middle C, then a semitone up each time
constexpr auto MidiNoteGap = std::chrono::milliseconds(300); // for each note's tail to die away
// A note after the output has stopped for want of anything to play.
constexpr auto IdleWait = std::chrono::seconds(sound::IdleSeconds + 2);
constexpr int IdleNotes = 2;
constexpr auto CpuSpan = std::chrono::seconds(10);
constexpr auto AwakeSpan = std::chrono::seconds(5); // well inside sound::IdleSeconds
// The level of a four-note chord, CM7 from C3, on each instrument of the menu.
constexpr int LevelNotes[] {48, 52, 55, 59};
constexpr double LevelSeconds = 1.0;

// Whether the output's clock runs within a few seconds. A null sink that
// nothing else plays to starts by playing seconds of silence on its own:
// a stream's first frames wait that long, as they never would on a device.
bool clockRunning(const sound::SoundOutput &output)
{
    const std::int64_t opened = output.framesPlayed();
    const auto deadline = std::chrono::steady_clock::now() + ClockStartTimeout;
    while (output.framesPlayed() <= opened + output.sampleRate() * ClockSettleMs / 1000) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A player on the desktop's output, opened ahead by preload() as the window
// may have it, with the resident memory then.
struct ReadyPlayer {
    std::unique_ptr<sound::ChordPlayer> player;
    long residentKb = 0; // once the output is open
    long soundKb = 0; // of it, what opening the output added
};

std::optional<ReadyPlayer> preloadedPlayer()
{
    const long before = bench::residentKb();
    ReadyPlayer ready {sound::devicePlayer({QStringLiteral(MODULE_DIR)})};
    if (!ready.player->isAvailable())
        return std::nullopt;
    QEventLoop loop;
    QObject::connect(ready.player.get(), &sound::ChordPlayer::ready, &loop, &QEventLoop::quit);
    QObject::connect(
        ready.player.get(), &sound::ChordPlayer::unavailable, &loop, &QEventLoop::quit);
    QTimer::singleShot(ReadyTimeoutMs, &loop, &QEventLoop::quit);
    ready.player->preload();
    loop.exec();
    if (!ready.player->output())
        return std::nullopt;
    ready.residentKb = bench::residentKb();
    ready.soundKb = ready.residentKb - before;
    if (!clockRunning(*ready.player->output()))
        return std::nullopt;
    return ready;
}

// When the synthesiser has handed on the frames it was rendering: the
// callback after a note-on ends, and with it the note's first samples leave
// the synthesiser (unless the note came while a callback was rendering:
// then one callback later). Nothing on time out.
std::optional<long long> framesHandedOn(const sound::SoundOutput &output)
{
    const std::int64_t before = output.framesPlayed();
    const auto deadline = std::chrono::steady_clock::now() + RenderTimeout;
    while (output.framesPlayed() == before) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
    }
    return bench::monotonicNs();
}

// Each click comes just after a callback has handed on its frames, so the
// chord waits about a whole period for the next: the longest wait there is.
void BM_ClickToSynth(benchmark::State &state)
{
    bench::quietSizeHintWarnings();
    const bench::SongWorkingDir dir;
    memofile::DiskMemo memo;
    std::optional<ReadyPlayer> ready = preloadedPlayer();
    if (!ready) {
        state.SkipWithError("no sound output: no audio server?");
        return;
    }
    QSettings settings(dir.path() + QStringLiteral("/soramina.conf"), QSettings::IniFormat);
    Form1 window(dir.memoPath(), {&memo.keeper(), ready->player.get(), {}, &settings});
    if (!bench::showAndWaitForFirstPaint(window)) {
        state.SkipWithError("the window was not painted");
        return;
    }
    std::vector<QAbstractButton *> buttons;
    for (int root : RootButtons)
        buttons.push_back(
            window.findChild<QAbstractButton *>(QStringLiteral("opcode1(%1)").arg(root)));
    if (std::count(buttons.begin(), buttons.end(), nullptr) > 0) {
        state.SkipWithError("no root buttons");
        return;
    }
    double toNoteOnMs = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        long long noteOnNs = 0;
        const QMetaObject::Connection started = QObject::connect(ready->player.get(),
            &sound::ChordPlayer::chordStarted, [&] { noteOnNs = bench::monotonicNs(); });
        const long long clickNs = bench::monotonicNs();
        buttons[next++ % buttons.size()]->click();
        const auto deadline = std::chrono::steady_clock::now() + RenderTimeout;
        while (noteOnNs == 0 && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents();
        QObject::disconnect(started);
        const std::optional<long long> renderedNs
            = noteOnNs == 0 ? std::nullopt : framesHandedOn(*ready->player->output());
        if (!renderedNs) {
            state.SkipWithError("the chord did not sound");
            return;
        }
        state.SetIterationTime(double(*renderedNs - clickNs) / 1e9);
        toNoteOnMs += double(noteOnNs - clickNs) / NsPerMs;
        QCoreApplication::processEvents();
    }
    state.counters["note_on_ms"]
        = benchmark::Counter(toNoteOnMs, benchmark::Counter::kAvgIterations);
    state.counters["rss_ready_kB"] = double(ready->residentKb);
    state.counters["rss_sound_kB"] = double(ready->soundKb);
}

// The milliseconds from each note-on to its onset in the recording, added
// up, the worst kept in worstMs; nothing when a note is missing.
std::optional<double> onsetsAfter(const bench::SinkRecorder &recorder,
    const std::vector<long long> &noteOns, int rate, double &worstMs)
{
    const std::vector<float> &sound = recorder.samples();
    double sumMs = 0;
    std::size_t from = 0;
    for (long long noteOn : noteOns) {
        while (from < sound.size() && recorder.playedNs(from) < noteOn)
            ++from;
        const std::optional<std::int64_t> onset
            = bench::onsetAfter(sound, std::int64_t(from), std::int64_t(sound.size()), rate);
        if (!onset)
            return std::nullopt;
        const double ms = double(recorder.playedNs(std::size_t(*onset)) - noteOn) / NsPerMs;
        sumMs += ms;
        worstMs = std::max(worstMs, ms);
    }
    return sumMs;
}

// To each note's sound in the sink's monitor, audio buffers and all: a few
// notes a run, the iteration's time their mean.
void BM_MidiNoteToSink(benchmark::State &state)
{
    std::optional<ReadyPlayer> ready = preloadedPlayer();
    if (!ready) {
        state.SkipWithError("no sound output: no audio server?");
        return;
    }
    sound::ChordPlayer &player = *ready->player;
    const int rate = player.output()->sampleRate();
    double toSynthMs = 0, worstMs = 0;
    for (auto _ : state) {
        bench::SinkRecorder recorder(rate);
        if (!recorder.start() || !recorder.waitForSound()) {
            state.SkipWithError("the sink's monitor records nothing");
            return;
        }
        std::vector<long long> noteOns;
        for (int i = 0; i < MidiNotes; ++i) {
            const int note = FirstMidiNote + i;
            noteOns.push_back(bench::monotonicNs());
            player.noteOn(note, chord::NoteVelocity);
            const std::optional<long long> renderedNs = framesHandedOn(*player.output());
            if (!renderedNs) {
                state.SkipWithError("the note did not sound");
                return;
            }
            toSynthMs += double(*renderedNs - noteOns.back()) / NsPerMs / MidiNotes;
            std::this_thread::sleep_for(MidiNoteGap);
            player.noteOff(note);
            std::this_thread::sleep_for(MidiNoteGap);
        }
        recorder.stop();
        const std::optional<double> sumMs = onsetsAfter(recorder, noteOns, rate, worstMs);
        if (!sumMs) {
            state.SkipWithError("a note is missing from the recording");
            return;
        }
        state.SetIterationTime(*sumMs / MidiNotes / 1e3);
    }
    state.counters["to_synth_ms"]
        = benchmark::Counter(toSynthMs, benchmark::Counter::kAvgIterations);
    state.counters["worst_ms"] = worstMs;
}

// A note's sound in the sink's monitor after the output stopped for want of
// anything to play: the time it takes to start again, buffers and all.
void BM_NoteAfterIdleToSink(benchmark::State &state)
{
    std::optional<ReadyPlayer> ready = preloadedPlayer();
    if (!ready) {
        state.SkipWithError("no sound output: no audio server?");
        return;
    }
    sound::ChordPlayer &player = *ready->player;
    const int rate = player.output()->sampleRate();
    double worstMs = 0;
    for (auto _ : state) {
        bench::SinkRecorder recorder(rate);
        if (!recorder.start() || !recorder.waitForSound()) {
            state.SkipWithError("the sink's monitor records nothing");
            return;
        }
        std::vector<long long> noteOns;
        for (int i = 0; i < IdleNotes; ++i) {
            std::this_thread::sleep_for(IdleWait);
            const int note = FirstMidiNote + i;
            noteOns.push_back(bench::monotonicNs());
            player.noteOn(note, chord::NoteVelocity);
            std::this_thread::sleep_for(MidiNoteGap);
            player.noteOff(note);
        }
        std::this_thread::sleep_for(MidiNoteGap);
        recorder.stop();
        const std::optional<double> sumMs = onsetsAfter(recorder, noteOns, rate, worstMs);
        if (!sumMs) {
            state.SkipWithError("a note is missing from the recording");
            return;
        }
        state.SetIterationTime(*sumMs / IdleNotes / 1e3);
    }
    state.counters["worst_ms"] = worstMs;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds
        = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The whole process's processor time with the output open and nothing
// playing, in per cent of a core: while it still renders silence, and over
// CpuSpan once it has stopped.
void BM_SilenceCpu(benchmark::State &state)
{
    std::optional<ReadyPlayer> ready = preloadedPlayer();
    if (!ready) {
        state.SkipWithError("no sound output: no audio server?");
        return;
    }
    double awake = 0, idle = 0;
    for (auto _ : state) {
        double before = cpuSeconds();
        std::this_thread::sleep_for(AwakeSpan);
        awake = (cpuSeconds() - before) * 100 / double(AwakeSpan.count());
        std::this_thread::sleep_for(IdleWait - AwakeSpan);
        before = cpuSeconds();
        std::this_thread::sleep_for(CpuSpan);
        idle = (cpuSeconds() - before) * 100 / double(CpuSpan.count());
        state.SetIterationTime(idle / 100);
    }
    state.counters["awake_cpu_pct"] = awake;
    state.counters["idle_cpu_pct"] = idle;
}

// The peak and RMS of a four-note chord rendered offline, as the WAV export
// renders, on a General MIDI program: full scale is 0 dBFS.
void BM_ChordLevel(benchmark::State &state)
{
    double peak = 0, sum = 0;
    std::size_t count = 0;
    for (auto _ : state) {
        sound::Opened opened
            = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Buffer);
        if (!opened.output) {
            state.SkipWithError(qPrintable(opened.reason));
            return;
        }
        sound::SoundOutput &output = *opened.output;
        output.selectProgram(int(state.range(0)));
        for (int note : LevelNotes)
            output.noteOn(note, chord::NoteVelocity);
        const auto frames = std::size_t(LevelSeconds * output.sampleRate());
        std::vector<float> left(frames), right(frames);
        output.render(left, right);
        peak = 0;
        sum = 0;
        for (std::size_t i = 0; i < frames; ++i) {
            peak = std::max({peak, double(std::abs(left[i])), double(std::abs(right[i]))});
            sum += double(left[i]) * left[i] + double(right[i]) * right[i];
        }
        count = 2 * frames;
    }
    state.counters["peak_dBFS"] = 20 * std::log10(peak);
    state.counters["rms_dBFS"] = 10 * std::log10(sum / double(count));
}

// The largest distance of a found onset from its bar line, in milliseconds;
// nothing when an onset is missing.
std::optional<double> worstDeviationMs(
    std::span<const float> sound, const std::vector<std::int64_t> &lines, double reachMs, int rate)
{
    double worst = 0;
    for (std::int64_t line : lines) {
        const std::optional<std::int64_t> onset
            = bench::onsetNear(sound, line, std::int64_t(reachMs * rate / 1e3), rate);
        if (!onset)
            return std::nullopt;
        worst = std::max(worst, std::abs(double(*onset - line)) * 1e3 / rate);
    }
    return worst;
}

song::Song chordsAndRests(int tempo, int beats, int bars)
{
    song::Song song {QStringLiteral("onsets"), tempo, beats, {}};
    for (int i = 0; i < bars; ++i)
        song.bars.push_back(i % 2 == 0 ? song::barOf(QStringLiteral("C"), {}) : song::Bar {});
    return song;
}

void BM_SongOnsets(benchmark::State &state)
{
    const song::Song song = chordsAndRests(song::DefaultTempo, song::DefaultBeats, SongBars);
    double worstMs = 0;
    for (auto _ : state) {
        const sound::Opened opened
            = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Buffer);
        if (!opened.output) {
            state.SkipWithError(qPrintable(opened.reason));
            return;
        }
        const song::Audio audio = song::renderSong(song, Program, *opened.output);
        std::vector<float> mono(audio.left.size());
        for (std::size_t i = 0; i < mono.size(); ++i)
            mono[i] = (audio.left[i] + audio.right[i]) / 2;
        const song::Schedule schedule(song, {audio.sampleRate});
        std::vector<std::int64_t> lines;
        for (int bar = 0; bar < SongBars; bar += 2)
            lines.push_back(schedule.slotStart(bar));
        const std::optional<double> worst
            = worstDeviationMs(mono, lines, OnsetReachMs, audio.sampleRate);
        if (!worst) {
            state.SkipWithError("a chord is missing from the render");
            return;
        }
        worstMs = std::max(worstMs, *worst);
    }
    state.counters["max_dev_ms"] = worstMs;
}

// Clicks on bar lines through the server, recorded off its sink: how far
// each lies from its line, counted from the first click, which takes away
// the constant latency of the output; that latency, from the first line
// being rendered to its click being recorded, is reported beside.
void BM_SinkBarOnsets(benchmark::State &state)
{
    const sound::Opened opened
        = sound::openOutput({QStringLiteral(MODULE_DIR)}, sound::Target::Device);
    if (!opened.output) {
        state.SkipWithError(qPrintable(opened.reason));
        return;
    }
    sound::SoundOutput &output = *opened.output;
    if (!clockRunning(output)) {
        state.SkipWithError("the output's clock stands still");
        return;
    }
    const int rate = output.sampleRate();
    const song::Schedule schedule(chordsAndRests(PlayedTempo, PlayedBeats, PlayedBars), {rate});
    const auto lookahead = std::int64_t(LookaheadSeconds * rate);
    double worstMs = 0, latencyMs = 0;
    for (auto _ : state) {
        bench::SinkRecorder recorder(rate);
        if (!recorder.start() || !recorder.waitForSound()) {
            state.SkipWithError("the sink's monitor records nothing");
            return;
        }
        const std::int64_t start = output.framesPlayed() + std::int64_t(LeadInSeconds * rate);
        long long firstRenderedNs = 0;
        for (int bar = 0; bar < PlayedBars;) {
            const std::int64_t line = start + schedule.slotStart(bar);
            const std::int64_t played = output.framesPlayed();
            if (firstRenderedNs == 0 && played > start)
                firstRenderedNs = bench::monotonicNs();
            if (line - lookahead <= played) {
                const int note = bar == 0 ? chord::AccentClickNote : chord::ClickNote;
                const sound::TimedNote click[] {
                    {line, chord::PercussionChannel, note, song::ClickVelocity},
                    {line + ClickLengthMs * rate / 1000, chord::PercussionChannel, note, 0},
                };
                output.schedule(click);
                ++bar;
            }
            std::this_thread::sleep_for(FollowInterval);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(ClickLengthMs) * 5);
        recorder.stop();

        const std::vector<float> &sound = recorder.samples();
        const std::optional<std::int64_t> first
            = bench::onsetAfter(sound, 0, std::int64_t(sound.size()), rate);
        if (!first) {
            state.SkipWithError("no click in the recording");
            return;
        }
        std::vector<std::int64_t> lines;
        for (int bar = 0; bar < PlayedBars; ++bar)
            lines.push_back(*first + schedule.slotStart(bar));
        const std::optional<double> worst = worstDeviationMs(sound, lines, PlayedReachMs, rate);
        if (!worst) {
            state.SkipWithError("a click is missing from the recording");
            return;
        }
        worstMs = std::max(worstMs, *worst);
        latencyMs += double(recorder.playedNs(std::size_t(*first)) - firstRenderedNs) / NsPerMs;
    }
    state.counters["max_dev_ms"] = worstMs;
    state.counters["latency_ms"]
        = benchmark::Counter(latencyMs, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_ClickToSynth)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MidiNoteToSink)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
// Offline: runs without a server, as under CTest.
BENCHMARK(BM_SongOnsets)->Name("BM_SongOnsets/buffer")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SinkBarOnsets)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_NoteAfterIdleToSink)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SilenceCpu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
// Offline: piano, electric piano, organ, guitar, strings.
BENCHMARK(BM_ChordLevel)
    ->Name("BM_ChordLevel/buffer")
    ->Arg(0)
    ->Arg(4)
    ->Arg(16)
    ->Arg(24)
    ->Arg(48)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

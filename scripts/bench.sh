#!/usr/bin/env bash
# Sets up what is missing, builds the optimised program and runs every
# benchmark headless with repetitions, then prints the medians, the start-up
# and memory ratios against a bare Qt window, and the goals met or missed.
#   scripts/bench.sh [repetitions]      (default 7)
# BENCH_BUILD_DIR builds somewhere other than the release preset's directory.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh

repetitions=${1:-7}
build=${BENCH_BUILD_DIR:-build/release}
benchmarks=(bench_chord bench_showcode bench_memo bench_edit bench_chordsheet bench_song bench_startup bench_sound)

cmake --preset release -B "$build" -DSORAMINA_BENCH=ON >/dev/null
cmake --build "$build" --target "${benchmarks[@]}"

out=$(mktemp -d)
pulse_pid=
trap '[[ -n $pulse_pid ]] && kill "$pulse_pid"; rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$out/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The sound benchmark plays to a private PulseAudio server with a null sink,
# started for it alone: its sink's thread would share the processor with the
# other benchmarks.
start_sound_server() {
    mkdir -m 700 "$out/pulse"
    XDG_RUNTIME_DIR="$out/pulse" HOME="$out/pulse" pulseaudio -n --daemonize=no \
        --exit-idle-time=-1 --use-pid-file=no --load="module-null-sink sink_name=bench" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$out/pulse/native" \
        >/dev/null 2>&1 &
    pulse_pid=$!
    export PULSE_SERVER="unix:$out/pulse/native"
    for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
}

for b in "${benchmarks[@]}"; do
    [[ $b == bench_sound ]] && start_sound_server
    # A start-up repetition is one process, so it gets three times as many.
    runs=$repetitions
    [[ $b == bench_startup ]] && runs=$((3 * repetitions))
    echo "=== $b ($runs repetitions) ==="
    # Repetitions of different windows take turns in random order, so a slow
    # spell of the machine falls on all of them alike.
    "$build/bench/$b" --benchmark_repetitions="$runs" \
        --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true \
        --benchmark_out="$out/$b.json" --benchmark_out_format=json >/dev/null
done

python3 - "$out" "${benchmarks[@]}" <<'PY'
import json, sys

out, names = sys.argv[1], sys.argv[2:]
median = {}
for name in names:
    with open(f"{out}/{name}.json") as f:
        for row in json.load(f)["benchmarks"]:
            if row.get("error_occurred"):
                sys.exit(f"{row['name']}: {row.get('error_message')}")
            if row.get("aggregate_name") == "median":
                name = row["run_name"].removesuffix("/manual_time")
                median[name.removesuffix("/iterations:1")] = row

scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
def seconds(name):
    row = median[name]
    return row["real_time"] * scale[row["time_unit"]]

print(f"\nMedians of the repetitions:")
for name, row in median.items():
    counters = {k: v for k, v in row.items() if k in ("per_chord", "paints", "peak_rss_kB")}
    if "rss_ready_kB" in row:
        print(f"  {name:40} {row['real_time']:10.3f} {row['time_unit']}  click to the synthesiser's"
              f" samples ({row['note_on_ms']:.3f} ms to the note-on); RSS once ready"
              f" {row['rss_ready_kB'] / 1024:.1f} MiB, {row['rss_sound_kB'] / 1024:.1f} of it the"
              f" sound's (with what benchmarks before it in the process left)")
        continue
    if "idle_cpu_pct" in row:
        print(f"  {name:40} processor with nothing playing: {row['awake_cpu_pct']:.2f} % of a core"
              f" while it renders silence, {row['idle_cpu_pct']:.3f} % once stopped")
        continue
    if "peak_dBFS" in row:
        print(f"  {name:40} a four-note chord peaks at {row['peak_dBFS']:.1f} dBFS,"
              f" RMS {row['rms_dBFS']:.1f} dBFS")
        continue
    if name == "BM_NoteAfterIdleToSink":
        print(f"  {name:40} {row['real_time']:10.3f} {row['time_unit']}  mean to the sink after"
              f" the output stopped; worst {row['worst_ms']:.3f} ms")
        continue
    if "to_synth_ms" in row:
        print(f"  {name:40} {row['real_time']:10.3f} {row['time_unit']}  mean to the sink"
              f" ({row['to_synth_ms']:.3f} ms to the synthesiser's samples); worst {row['worst_ms']:.3f} ms")
        continue
    if "max_dev_ms" in row:
        latency = f"; output latency {row['latency_ms']:.1f} ms" if "latency_ms" in row else ""
        print(f"  {name:40} onsets at most {row['max_dev_ms']:.3f} ms off the bar lines{latency}")
        continue
    if "later_ms" in row:
        print(f"  {name:40} {row['real_time']:10.3f} {row['time_unit']}  first play; later plays"
              f" {row['later_ms']:.3f} ms; peak RSS after the plays {row['peak_rss_kB'] / 1024:.1f} MiB")
        continue
    extra = ""
    if "per_chord" in counters:
        extra = f"  {counters['per_chord'] * 1e9:.1f} ns per chord"
    if "paints" in counters:
        extra = f"  {counters['paints']:.1f} widgets painted per call"
    if "realtime_x" in row:
        extra = f"  {row['realtime_x']:.0f} s of audio a second ({row['audio_s']:.0f} s rendered)"
    if "peak_rss_kB" in counters:
        extra = (f"  Qt up {row['qt_up_ms']:.1f} + window built {row['build_ms']:.1f}"
                 f" + painted {row['paint_ms']:.1f} ms; peak RSS {row['peak_rss_kB'] / 1024:.1f} MiB;"
                 f" {row['page_faults']:.0f} pages first touched from Qt up to the paint")
    print(f"  {name:40} {row['real_time']:10.3f} {row['time_unit']}{extra}")

def ratio(a, b):
    return seconds(a) / seconds(b)
startup_in_process = ratio("BM_WindowStartup/form1", "BM_WindowStartup/bare")
startup_process = ratio("BM_ProcessStartup/form1", "BM_ProcessStartup/bare")
startup_natural = ratio("BM_ProcessStartup/form1", "BM_ProcessStartup/bare_natural")
def peak(name):
    return median[f"BM_ProcessStartup/{name}"]["peak_rss_kB"]
memory = peak("form1") / peak("bare")
memory_natural = peak("form1") / peak("bare_natural")
load_save_bytes = seconds("BM_MemoLoadBytes") + seconds("BM_MemoSaveBytes")
load_save_file = seconds("BM_MemoLoadFile") + seconds("BM_MemoSaveFile")

print("\nRatios to the bare window (a QMainWindow of the program's size, its font,"
      " a menu bar and one QLabel):")
print(f"  start-up, new process to first paint     {startup_process:6.2f} x")
print(f"    the same against the bare window at its own, smaller size: {startup_natural:.2f} x")
print(f"  start-up, window only, Qt already up     {startup_in_process:6.2f} x")
print(f"  peak resident memory after first paint   {memory:6.2f} x")
print(f"    the same against the bare window at its own, smaller size: {memory_natural:.2f} x")
print(f"\nMemo load + save of the 60-line file: {load_save_bytes * 1e6:.1f} us in memory, "
      f"{load_save_file * 1e6:.1f} us on disk")

per_chord = max(median[n]["per_chord"] for n in
                ("BM_PlaceChord/recognised", "BM_PlaceChord/unrecognised"))
# The program's window may cost at most a tenth more than a bare window.
StartupGoal = MemoryGoal = 1.10
goals = [
    ("start-up within 1.10 x the bare window", startup_process <= StartupGoal),
    ("showcode under 20 us without repaint", seconds("BM_Showcode/no_repaint") < 20e-6),
    ("chord lookup + placement under 200 ns", per_chord < 200e-9),
    ("peak memory within 1.10 x the bare window", memory <= MemoryGoal),
    ("chord sheet of a full memo as PDF under 100 ms", seconds("BM_ChordSheet/pdf") < 0.1),
    ("chord sheet of a full memo as PNG under 100 ms", seconds("BM_ChordSheet/png") < 0.1),
    ("ChordPro, text and MIDI of a full memo each under 1 ms",
     all(seconds(n) < 1e-3 for n in ("BM_SongChordPro", "BM_SongText", "BM_SongMidi"))),
    ("WAV render at least 30 x faster than real time",
     median["BM_SongWav/real_time"]["realtime_x"] >= 30),
    ("transposing a full memo under 5 us", seconds("BM_TransposeFullMemo") < 5e-6),
    ("finding the key of a full memo under 100 us", seconds("BM_FindKey/full_memo") < 100e-6),
    ("undoing it, its save scheduled, under 1 ms", seconds("BM_UndoTransposition") < 1e-3),
    ("a click to the chord's samples out of the preloaded synthesiser within 5 ms",
     seconds("BM_ClickToSynth") <= 5e-3),
    ("a MIDI note-on to its sound in the sink, buffers and all, within 10 ms",
     seconds("BM_MidiNoteToSink") <= 10e-3),
    ("a note after the output stopped for silence in the sink within 30 ms",
     seconds("BM_NoteAfterIdleToSink") <= 30e-3),
    ("with nothing playing, under 0.5 % of a core once the output stopped",
     median["BM_SilenceCpu"]["idle_cpu_pct"] < 0.5),
    ("a four-note piano chord peaks between -9 and -3 dBFS",
     -9 <= median["BM_ChordLevel/buffer/0"]["peak_dBFS"] <= -3),
    ("a song rendered offline: every onset within 1 ms of its bar line",
     median["BM_SongOnsets/buffer"]["max_dev_ms"] <= 1),
    ("timed clicks through the server: every onset within 10 ms of the bar grid",
     median["BM_SinkBarOnsets"]["max_dev_ms"] <= 10),
]
print("\nGoals:")
for goal, met in goals:
    print(f"  {'met   ' if met else 'MISSED'}  {goal}")
PY

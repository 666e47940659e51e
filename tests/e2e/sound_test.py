#!/usr/bin/env python3
"""What a musician hears: the real program in Xvfb, playing into a PulseAudio
null sink that this test starts; each chord clicked is recorded from the
sink's monitor and its notes found by the pitch check.

    sound_test.py BINARY PITCH_TOOL
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import e2e_test
from e2e_test import App, Xserver, check, scenario, slot_file, WHITE_TOP

PITCH_TOOL = os.path.abspath(sys.argv[2])
RATE = 44100
SINK = "soramina_test"
NO_SERVER = {"PULSE_SERVER": "unix:/nonexistent/soramina", "ALSA_CONFIG_PATH": "/dev/null"}


class NullSink:
    """A private PulseAudio server whose only output is a null sink."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="soramina-pulse-")
        self.server = "unix:" + os.path.join(self.dir, "native")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.dir, HOME=self.dir)
        self.proc = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--load=module-null-sink sink_name=%s rate=%d" % (SINK, RATE),
             "--load=module-native-protocol-unix auth-anonymous=1 socket=%s" % self.server[5:]],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.parec = None
        deadline = time.time() + 20
        while subprocess.run(["pactl", "--server", self.server, "info"],
                             capture_output=True).returncode != 0:
            if time.time() > deadline or self.proc.poll() is not None:
                self.close()
                raise RuntimeError("pulseaudio did not start")
            time.sleep(0.1)

        self.recording = os.path.join(self.dir, "recording.raw")
        # A stream opened just as the server comes up may never start: open
        # another until samples flow.
        for _ in range(20):
            self._start_recording()
            time.sleep(1.0)
            if os.path.getsize(self.recording) > 0:
                return
        self.close()
        raise RuntimeError("nothing can be recorded from the null sink")

    def _start_recording(self):
        self._stop_recording()
        with open(self.recording, "wb") as out:
            self.parec = subprocess.Popen(
                ["parec", "--server", self.server, "--device", SINK + ".monitor", "--raw",
                 "--format=s16le", "--rate=%d" % RATE, "--channels=1", "--latency-msec=20"],
                stdout=out, stderr=subprocess.DEVNULL)

    def _stop_recording(self):
        if self.parec:
            self.parec.terminate()
            self.parec.wait()
            self.parec = None

    def position(self):
        return os.path.getsize(self.recording) // 2 * 2

    def _pitch_tool(self, start, *flags):
        """The pitch tool's lines on what the sink played since a position."""
        with open(self.recording, "rb") as f:
            f.seek(start)
            sound = f.read()
        path = os.path.join(self.dir, "since.raw")
        with open(path, "wb") as f:
            f.write(sound[:len(sound) // 2 * 2])
        return subprocess.run([PITCH_TOOL, *flags, path, str(RATE)], capture_output=True,
                              text=True, check=True).stdout.splitlines()

    def record(self, action, seconds=1.3):
        """Runs the action and returns the notes heard in the sink after it."""
        start = self.position()
        action()
        time.sleep(seconds)
        notes = self._pitch_tool(start)[0].split()
        time.sleep(2.0)  # the chord rings out before the next one
        return [int(n) for n in notes]

    def chords_since(self, start):
        """Each chord struck in the sink since a position: (ms, notes)."""
        lines = self._pitch_tool(start, "--attacks")
        chords = []
        for line in lines:
            at, notes = line.split(":")
            chords.append((float(at), [int(n) for n in notes.split()]))
        return chords

    def close(self):
        self._stop_recording()
        self.proc.terminate()
        self.proc.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


ATTEMPTS = 3


def heard(sink, app, name, action, expected):
    """The action, repeated while what is heard differs: on a busy machine
    the synthesiser can miss its turn and the recording holds a dropout,
    which smears every pitch."""
    for attempt in range(1, ATTEMPTS + 1):
        notes = sink.record(action)
        if notes == expected:
            break
        print("attempt %d of %s: heard %s" % (attempt, name, notes))
    check(name, notes == expected, "heard %s, expected %s" % (notes, expected))


def play_chords(sink):
    def play(app, workdir):
        heard(sink, app, "root G with the kind m sounds G minor", lambda: app.click_root(7),
              [55, 58, 62])
        heard(sink, app, "then 7 sounds G, B, D and F", lambda: app.click_kind(2), [55, 59, 62, 65])

        app.type_into(1440, "Bb")
        app.type_into(2160, "add9")
        heard(sink, app, "typed Bb add9 sounds Bb, C, D and F", lambda: app.xdotool("key", "Return"),
              [58, 60, 62, 65])
        app.type_into(1440, "H")
        heard(sink, app, "an unknown root sounds nothing", lambda: app.xdotool("key", "Return"), [])
        app.close_from_window_manager()
        check("closes cleanly after playing", app.wait() == 0)
    return play


SONG = [(b"C", b""), (b"A", b"m"), (b"F", b""), (b"G", b"7")]
SONG_NOTES = [[48, 52, 55], [57, 60, 64], [53, 57, 60], [55, 59, 62, 65]]
BAR_MS = 2000  # 120 BPM, four beats
PLAYING_ORANGE = (255, 192, 128)


def play_song(sink):
    def play(app, workdir):
        before = e2e_test.read(workdir)
        # Box 1 selected, which also gives the window the keyboard; its
        # chord rings out before the song starts.
        app.click_slot(0)
        time.sleep(2.0)
        # Four bars, and a little to hear the last one end.
        for attempt in range(1, ATTEMPTS + 1):
            start = sink.position()
            app.xdotool("key", "F5")
            time.sleep(BAR_MS * 1.5 / 1000)
            box = app.pixel(240 + 840 + 60, 2520 + 60)
            time.sleep(BAR_MS * 3 / 1000)
            chords = sink.chords_since(start)
            lines = [round(at - chords[0][0]) for at, _ in chords] if chords else []
            grid = len(chords) == 4 and all(
                abs(line - k * BAR_MS) <= 10 for k, line in enumerate(lines))
            notes = [n for _, n in chords] == SONG_NOTES
            if grid and notes:
                break
            print("attempt %d: heard %s" % (attempt, chords))
            time.sleep(1.0)
        print("song: attacks at %s ms after the first; notes %s" % (
            [round(at - chords[0][0], 1) for at, _ in chords] if chords else [],
            [n for _, n in chords]))
        check("F5 plays one chord a bar on the 2 s grid", grid, "bar lines at %s ms" % lines)
        check("each bar sounds its chord", notes, "heard %s" % [n for _, n in chords])
        check("the second bar's box is marked playing", box == PLAYING_ORANGE, str(box))
        check("playing stores nothing", e2e_test.read(workdir) == before)
        app.close_from_window_manager()
        check("closes cleanly after playing the song", app.wait() == 0)
    return play


def play_without_server(app, workdir):
    app.click_root(7)
    app.click_kind(2)
    problem = app.markers_on([(2160, WHITE_TOP), (3120, WHITE_TOP), (4080, WHITE_TOP), (5040, WHITE_TOP)])
    check("without sound the chord still shows", problem is None, str(problem))
    time.sleep(1.0)
    app.close_from_window_manager()
    status = app.wait()
    lines = app.proc.stderr.read().decode(errors="replace").splitlines()
    check("without sound the program ends cleanly", status == 0, "status %s" % status)
    check("without sound stderr holds one line", len(lines) == 1 and "音" in lines[0], repr(lines))


def main():
    x = Xserver()
    sink = None
    saved = dict(os.environ)
    runtime = tempfile.mkdtemp(prefix="soramina-runtime-")
    os.environ["XDG_RUNTIME_DIR"] = runtime
    os.environ["XDG_CONFIG_HOME"] = runtime  # the sound menu's choices as they come
    try:
        os.environ.update(NO_SERVER)
        scenario(x, "no sound output", slot_file([]), play_without_server)
        for name in NO_SERVER:
            del os.environ[name]
        sink = NullSink()
        os.environ["PULSE_SERVER"] = sink.server
        scenario(x, "chords heard", slot_file([]), play_chords(sink))
        scenario(x, "song played", slot_file(SONG), play_song(sink))
    finally:
        os.environ.clear()
        os.environ.update(saved)
        if sink:
            sink.close()
        x.close()
        shutil.rmtree(runtime, ignore_errors=True)
    passed = sum(e2e_test.RESULTS)
    failed = len(e2e_test.RESULTS) - passed
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())

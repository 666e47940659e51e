#!/usr/bin/env python3
"""Plays chords into the real program from a virtual MIDI keyboard and
listens to what it sends, on a kernel with the ALSA sequencer.

The keyboard is snd-virmidi's raw MIDI device: bytes written to it with
amidi come out of its sequencer port, which aconnect wires to the program's
"keyboard in", as a musician would in a patchbay. aseqdump listens to the
program's "chord out". Clicks and the screen go through the window test's
helpers.
    midi_e2e.py PROGRAM OUTDIR
"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import e2e_test  # noqa: E402  (takes the program from sys.argv[1])
from e2e_test import RESULTS, App, Xserver, check  # noqa: E402

OUT = sys.argv[2]
KEYBOARD = "hw:0,0"
KEYBOARD_PORT = "Virtual Raw MIDI 0-0:0"
W = e2e_test.WHITE_TOP
C_MAJOR = [(240, W), (1200, W), (2160, W)]
A_MINOR_7 = [(2640, W), (3600, W), (4560, W), (5520, W)]
D_ROOT, E_ROOT, F_ROOT, G_ROOT, KIND_7 = 2, 4, 5, 7, 2
ALL_NOTES_OFF = 123
# A listener's input pool holds 200 events; a click sends six (three
# note-offs, three note-ons), so these overflow it.
CLICKS_TO_OVERFLOW = 40
REFUSED = "MIDI 出力に送れません"


class App(App):
    """The window test's program, given longer to open under emulation."""

    def _find_window(self, title, timeout=180):
        return super()._find_window(title, timeout)


def wait_for_listing(pattern, timeout=60):
    """Waits until the sequencer's client and connection list matches."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        listing = subprocess.run(["aconnect", "-l"], capture_output=True, text=True).stdout
        if re.search(pattern, listing):
            return
        time.sleep(0.2)
    raise RuntimeError("the sequencer never listed %s:\n%s" % (pattern, listing))


def keyboard(*messages):
    """Each message is three bytes in hex, as a keyboard sends them."""
    subprocess.run(["amidi", "-p", KEYBOARD, "-S", " ".join(messages)], check=True)
    time.sleep(1.0)


def notes(status, *keys, velocity=100):
    return ["%02X %02X %02X" % (status, key, velocity) for key in keys]


def listen(path, *args):
    return subprocess.Popen(["stdbuf", "-oL", "aseqdump", *args],
                            stdout=open(path, "w"), stderr=subprocess.STDOUT)


def heard(path):
    events = []
    for line in open(path, encoding="utf-8", errors="replace"):
        m = re.search(r"Note (on|off)\s+(\d+), note (\d+), velocity (\d+)", line)
        if m:
            events.append(("on" if m[1] == "on" else "off", int(m[2]), int(m[3]),
                           int(m[4]) if m[1] == "on" else None))
        m = re.search(r"Control change\s+(\d+), controller (\d+), value (\d+)", line)
        if m:
            events.append(("cc", int(m[1]), int(m[2]), int(m[3])))
    return events


def sounding(events):
    """The notes a synth hearing these events would still be playing."""
    held = set()
    for kind, channel, number, _ in events:
        if kind == "on":
            held.add((channel, number))
        elif kind == "off":
            held.discard((channel, number))
        elif number == ALL_NOTES_OFF:
            held = {h for h in held if h[0] != channel}
    return sorted(held)


def chord(kind, keys):
    return [(kind, 0, k, 100 if kind == "on" else None) for k in keys]


def played_in_and_out(x):
    """Nothing remembered: the client is there for patchbays from the start."""
    workdir = tempfile.mkdtemp()
    dump_path = os.path.join(OUT, "aseqdump.txt")
    open(dump_path, "w").close()
    app = dump = None
    try:
        started = time.time()
        app = App(x, workdir)
        print("the window opened after %.0f s" % (time.time() - started), flush=True)
        wait_for_listing(r"client \d+: 'Soramina'")
        check("the client is listed after a fresh start", True)
        subprocess.run(["aconnect", KEYBOARD_PORT, "Soramina:0"], check=True)
        dump = listen(dump_path, "-p", "Soramina:1")
        wait_for_listing(r"'chord out\s*'\s*\n\s*Connecting To: \d+:0")

        app.click_root(G_ROOT)
        app.click_kind(KIND_7)
        time.sleep(1.0)

        keyboard(*notes(0x90, 0x40, 0x43, 0x48))  # E G C
        check("E G C played shows C major", app.markers_on(C_MAJOR) is None, app.markers_on(C_MAJOR))
        subprocess.run(["import", "-display", x.name, "-window", "root",
                        os.path.join(OUT, "c-major-played.png")])
        keyboard(*notes(0x80, 0x40, 0x43, 0x48, velocity=0))
        keyboard(*notes(0x90, 0x39, 0x3C, 0x40, 0x43))  # A C E G, A lowest
        check("A C E G played shows Am7", app.markers_on(A_MINOR_7) is None,
              app.markers_on(A_MINOR_7))
        subprocess.run(["import", "-display", x.name, "-window", "root",
                        os.path.join(OUT, "a-minor-7-played.png")])

        app.proc.terminate()
        app.wait()
        time.sleep(1.0)
    except Exception as error:  # noqa: BLE001  (a broken scenario is a failure; the next one runs)
        check("played in and out", False, repr(error))
    finally:
        if app and app.proc.poll() is None:
            app.proc.kill()
            app.proc.wait()
        if dump:
            dump.terminate()
            dump.wait()

    got = heard(dump_path)
    expected = (chord("on", [55, 58, 62]) + chord("off", [55, 58, 62])
                + chord("on", [55, 59, 62, 65]) + chord("off", [55, 59, 62, 65])
                + chord("on", [48, 52, 55]) + chord("off", [48, 52, 55])
                + chord("on", [57, 60, 64, 67]) + chord("off", [57, 60, 64, 67])
                + [("cc", 0, ALL_NOTES_OFF, 0)])
    check("chord out: Gm, its release, G7, then the played C and Am7, all released at the end",
          got == expected, "heard %s" % got)
    print(open(dump_path, encoding="utf-8", errors="replace").read())


def refused_output(x):
    """A synth that stops reading (SIGSTOP) fills its input pool, and the
    kernel refuses what the program sends next. The program says so once;
    choosing the output again releases every note the synth still plays."""
    workdir = tempfile.mkdtemp()
    dump_path = os.path.join(OUT, "aseqdump-refused.txt")
    dump = listen(dump_path)
    app = None
    stopped = False
    errors = ""
    try:
        wait_for_listing(r"client \d+: 'aseqdump'")
        config = os.path.join(os.environ["HOME"], ".config", "soramina")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "soramina.conf"), "w") as f:
            f.write("[midi]\noutput=aseqdump:aseqdump\n")
        app = App(x, workdir)
        # The remembered output is connected at start, without the menu.
        wait_for_listing(r"'chord out\s*'\s*\n\s*Connecting To: \d+:0")
        app.click_root(D_ROOT)  # D minor: the synth plays it
        time.sleep(1.0)
        dump.send_signal(signal.SIGSTOP)
        stopped = True
        for i in range(CLICKS_TO_OVERFLOW):
            app.click_root(E_ROOT if i % 2 == 0 else F_ROOT)
        time.sleep(1.0)
        dump.send_signal(signal.SIGCONT)
        stopped = False
        time.sleep(2.0)  # the synth reads again, and its overflowed pool is emptied
        # MIDI(M) → 出力(O) → なし, the first item: the output is chosen anew.
        app.xdotool("key", "alt+m")
        app.xdotool("key", "o")
        app.xdotool("key", "Return")
        time.sleep(2.0)
        app.proc.terminate()
        app.wait()
        errors = app.proc.stderr.read().decode(errors="replace")
    except Exception as error:  # noqa: BLE001
        check("a refused output", False, repr(error))
    finally:
        if app and app.proc.poll() is None:
            app.proc.kill()
            app.proc.wait()
        if stopped:
            dump.send_signal(signal.SIGCONT)
        time.sleep(1.0)
        dump.terminate()
        dump.wait()

    said = errors.count(REFUSED)
    check("the refused output is reported once", said == 1, "%d times in: %s" % (said, errors))
    left = sounding(heard(dump_path))
    check("nothing is left sounding once the output is chosen again", not left,
          "still sounding (channel, note): %s" % left)
    print(open(dump_path, encoding="utf-8", errors="replace").read())


def main():
    x = Xserver()
    try:
        played_in_and_out(x)
        refused_output(x)
    finally:
        x.close()
    passed = sum(RESULTS)
    print("%d passed, %d failed" % (passed, len(RESULTS) - passed))
    return 0 if all(RESULTS) and RESULTS else 1


if __name__ == "__main__":
    sys.exit(main())

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
G_ROOT, KIND_7 = 7, 2


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


def chord(kind, keys):
    return [(kind, 0, k, 100 if kind == "on" else None) for k in keys]


def main():
    x = Xserver()
    workdir = tempfile.mkdtemp()
    dump_path = os.path.join(OUT, "aseqdump.txt")
    dump = None
    try:
        # A remembered output: MIDI is in use, so the sequencer comes up at
        # start and the choice is connected on the real sequencer.
        config = os.path.join(os.environ["HOME"], ".config", "soramina")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "soramina.conf"), "w") as f:
            f.write("[midi]\noutput=Midi Through:Midi Through Port-0\n")
        started = time.time()
        app = App(x, workdir)
        print("the window opened after %.0f s" % (time.time() - started), flush=True)
        wait_for_listing(r"client \d+: 'Soramina'")
        wait_for_listing(r"'chord out\s*'\s*\n\s*Connecting To: [^\n]*14:0")
        subprocess.run(["aconnect", KEYBOARD_PORT, "Soramina:0"], check=True)
        dump = subprocess.Popen(["stdbuf", "-oL", "aseqdump", "-p", "Soramina:1"],
                                stdout=open(dump_path, "w"), stderr=subprocess.STDOUT)
        wait_for_listing(r"'chord out\s*'\s*\n\s*Connecting To: [^\n]*,\s*\d+:0")

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
    finally:
        if dump:
            dump.terminate()
            dump.wait()
        x.close()

    got = heard(dump_path)
    expected = (chord("on", [55, 58, 62]) + chord("off", [55, 58, 62])
                + chord("on", [55, 59, 62, 65]) + chord("off", [55, 59, 62, 65])
                + chord("on", [48, 52, 55]) + chord("off", [48, 52, 55])
                + chord("on", [57, 60, 64, 67]) + chord("off", [57, 60, 64, 67])
                + [("cc", 0, 123, 0)])
    check("chord out: Gm, its release, G7, then the played C and Am7, all released at the end",
          got == expected, "heard %s" % got)
    print(open(dump_path, encoding="utf-8", errors="replace").read())
    passed = sum(RESULTS)
    print("%d passed, %d failed" % (passed, len(RESULTS) - passed))
    return 0 if all(RESULTS) and RESULTS else 1


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Drives the real program in a real X server, as a musician would.

Starts Xvfb, runs the binary in a scratch working directory holding a
prepared code.dat, clicks and types with real X input events (xdotool),
closes the window in each of the ways a desktop closes a program, and checks
the bytes of code.dat and the colours on screen each time.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, protocol

BINARY = os.path.abspath(sys.argv[1])
TWIPS_PER_PIXEL = 15
CLIENT_HEIGHT = 421
TITLE = "ソラミナ　コード一覧"
MARKER_GREEN = (128, 255, 128)
WHITE_TOP, BLACK_TOP, HIDDEN = 5760, 5040, -1000
MARKER_SIZE = 255


def slot_file(chords):
    lines = []
    for i in range(30):
        root, kind = chords[i] if i < len(chords) else (b"", b"")
        lines += [root, kind]
    return b"".join(line + b"\r\n" for line in lines)


class Xserver:
    def __init__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.name = ":" + number.decode().strip()
        self.display = display.Display(self.name)

    def close(self):
        self.display.close()
        self.proc.terminate()
        self.proc.wait()


class App:
    """One run of the program, with helpers that speak in the window's twips."""

    def __init__(self, x, workdir, title=TITLE):
        self.x = x
        env = dict(os.environ, DISPLAY=x.name)
        env.pop("QT_QPA_PLATFORM", None)
        self.proc = subprocess.Popen([BINARY], cwd=workdir, env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.window = self._find_window(title)
        geometry = self.window.get_geometry()
        origin = self.window.translate_coords(x.display.screen().root, 0, 0)
        self.left, self.top = -origin.x, -origin.y
        self.client_top = geometry.height - CLIENT_HEIGHT  # below the menu bar
        self.width = geometry.width

    def _find_window(self, title, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError("program ended early: %s" % self.proc.stderr.read().decode())
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                                   env=dict(os.environ, DISPLAY=self.x.name),
                                   capture_output=True, text=True).stdout.split()
            if found:
                time.sleep(0.3)  # let the first paint land
                return self.x.display.create_resource_object("window", int(found[0]))
            time.sleep(0.1)
        raise RuntimeError("no window titled %s" % title)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], check=True,
                       env=dict(os.environ, DISPLAY=self.x.name))
        time.sleep(0.15)

    def screen_point(self, twips_x, twips_y):
        return (self.left + round(twips_x / TWIPS_PER_PIXEL),
                self.top + self.client_top + round(twips_y / TWIPS_PER_PIXEL))

    def click(self, twips_x, twips_y):
        self.xdotool("mousemove", *self.screen_point(twips_x, twips_y), "click", "1")

    def click_slot(self, i):
        self.click(240 + 840 * (i % 10) + 400, 2520 + 360 * (i // 10) + 120)

    def click_root(self, k):  # on the option circle, frame corner (240, 840)
        self.click(240 + 840 + 1080 * (k % 6) + 60, 840 + 120 + 240 * (k // 6) + 90)

    def click_kind(self, k):  # frame corner (240, 1440)
        self.click(240 + 840 + 840 * (k % 7) + 60, 1440 + 120 + 240 * (k // 7) + 90)

    def type_into(self, box_left, text):
        self.click(box_left + 300, 360 + 135)
        self.xdotool("key", "ctrl+a")
        self.xdotool("type", "--delay", "30", text)

    def pixel(self, twips_x, twips_y):
        x = round(twips_x / TWIPS_PER_PIXEL)
        y = self.client_top + round(twips_y / TWIPS_PER_PIXEL)
        image = self.window.get_image(x, y, 1, 1, X.ZPixmap, 0xffffffff)
        blue, green, red = image.data[0], image.data[1], image.data[2]
        return (red, green, blue)

    def markers_on(self, places):
        """Each shown marker's centre is light green on screen."""
        for left, top in places:
            if left == HIDDEN:
                continue
            colour = self.pixel(left + MARKER_SIZE // 2, top + MARKER_SIZE // 2)
            if colour != MARKER_GREEN:
                return "marker at (%d, %d) shows %s" % (left, top, colour)
        return None

    def wait(self, timeout=20):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            raise

    def close_from_window_manager(self):
        d = self.x.display
        protocols = d.intern_atom("WM_PROTOCOLS")
        delete = d.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=self.window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        self.window.send_event(event, event_mask=X.NoEventMask)
        d.flush()

    def close_from_menu(self):
        # Open the first menu of the menu bar, then its item 終了(&X) by its access key.
        self.xdotool("mousemove", self.left + 25, self.top + self.client_top // 2, "click", "1")
        self.xdotool("key", "x")


RESULTS = []


def check(name, condition, detail=""):
    RESULTS.append(condition)
    print("%s: %s%s" % ("PASS" if condition else "FAIL", name, "" if condition else " -- " + detail))


def scenario(x, name, initial, play):
    workdir = tempfile.mkdtemp(prefix="soramina-e2e-")
    try:
        if initial is not None:
            with open(os.path.join(workdir, "code.dat"), "wb") as f:
                f.write(initial)
        app = App(x, workdir)
        play(app, workdir)
    except Exception as error:  # a scenario that breaks is a failure, not a crash of the suite
        check(name, False, repr(error))
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


def read(workdir):
    with open(os.path.join(workdir, "code.dat"), "rb") as f:
        return f.read()


SONG = [(b"C", b""), (b"A", b"m"), (b"Bb", b"7"), (b"H", b"x")]


def play_menu_exit(app, workdir):
    check("opens on C minor", app.markers_on([(240, WHITE_TOP), (1020, BLACK_TOP), (2160, WHITE_TOP)]) is None,
          str(app.markers_on([(240, WHITE_TOP), (1020, BLACK_TOP), (2160, WHITE_TOP)])))
    app.click_slot(2)
    problem = app.markers_on([(2940, BLACK_TOP), (4080, WHITE_TOP), (5040, WHITE_TOP), (5760, BLACK_TOP)])
    check("slot recall shows B flat seventh", problem is None, str(problem))
    app.click_root(2)   # D
    app.click_kind(3)   # m7
    problem = app.markers_on([(720, WHITE_TOP), (1680, WHITE_TOP), (2640, WHITE_TOP), (3600, WHITE_TOP)])
    check("root and kind buttons show D minor seventh", problem is None, str(problem))
    app.click_slot(5)
    app.type_into(1440, "F#")
    app.type_into(2160, "sus4")
    app.click(3120 + 600, 360 + 120)  # 表示(&V)
    problem = app.markers_on([(1860, BLACK_TOP), (3120, WHITE_TOP), (3780, BLACK_TOP)])
    check("typed F#sus4 shows on the keyboard", problem is None, str(problem))
    app.close_from_menu()
    status = app.wait()
    expected = slot_file(SONG[:2] + [(b"D", b"m7"), SONG[3], (b"", b""), (b"F#", b"sus4")])
    check("exit command ends cleanly", status == 0, "status %s" % status)
    check("exit command saves the memo", read(workdir) == expected, repr(read(workdir)[:80]))


def play_window_manager_close(app, workdir):
    app.click_slot(0)
    app.click_root(7)   # G, kind stays empty
    app.close_from_window_manager()
    status = app.wait()
    check("window-manager close ends cleanly", status == 0, "status %s" % status)
    check("window-manager close saves the memo", read(workdir) == slot_file([(b"G", b"")] + SONG[1:]),
          repr(read(workdir)[:80]))


def play_terminate(app, workdir):
    app.click_slot(1)
    app.click_root(4)   # E, kind m from the slot
    app.proc.send_signal(signal.SIGTERM)
    status = app.wait()
    check("SIGTERM ends cleanly", status == 0, "status %s" % status)
    check("SIGTERM saves the memo", read(workdir) == slot_file([SONG[0], (b"E", b"m")] + SONG[2:]),
          repr(read(workdir)[:80]))


def play_first_start(app, workdir):
    app.close_from_window_manager()
    status = app.wait()
    check("first start without a memo file", status == 0, "status %s" % status)
    check("first exit creates the memo file", read(workdir) == b"\r\n" * 60, repr(read(workdir)[:80]))


def play_unreadable_file(app, workdir):
    # The report names the file; dismissing it ends the program with a failure.
    app.xdotool("mousemove", app.left + app.width // 2, app.top + 60, "key", "Return")
    status = app.wait()
    stderr = app.proc.stderr.read().decode(errors="replace")
    check("unreadable memo file ends with a failure status", status != 0, "status %s" % status)
    check("the report names the file", "code.dat" in stderr, stderr)
    check("the unreadable file is left untouched",
          os.path.isdir(os.path.join(workdir, "code.dat")) and
          os.listdir(os.path.join(workdir, "code.dat")) == ["keep"], str(os.listdir(workdir)))


def unreadable_scenario(x):
    workdir = tempfile.mkdtemp(prefix="soramina-e2e-")
    try:
        os.makedirs(os.path.join(workdir, "code.dat", "keep"))
        play_unreadable_file(App(x, workdir, title="ソラミナ"), workdir)
    except Exception as error:
        check("unreadable memo file", False, repr(error))
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


def main():
    x = Xserver()
    try:
        scenario(x, "menu exit", slot_file(SONG), play_menu_exit)
        scenario(x, "window-manager close", slot_file(SONG), play_window_manager_close)
        scenario(x, "terminate", slot_file(SONG), play_terminate)
        scenario(x, "first start", None, play_first_start)
        unreadable_scenario(x)
    finally:
        x.close()
    passed = sum(RESULTS)
    failed = len(RESULTS) - passed
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())

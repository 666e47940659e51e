#!/usr/bin/env python3
"""Drives the real program in a real X server, as a musician would.

Starts Xvfb, runs the binary with a scratch data folder (XDG_DATA_HOME)
holding a prepared memo, clicks and types with real X input events (xdotool),
closes the window in each of the ways a desktop closes a program, and checks
the bytes of the memo and the colours on screen each time; keys are picked on
the drawn keyboard to name chords into the memo. Two windows on one
memo, a killed program and a memo that is a FIFO are run the same way.
"""
import os
import shutil
import signal
import stat
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
PICKED_WHITE_KEY = (128, 128, 255)  # the selected box's light blue
WHITE_STEPS = (0, 2, 4, 5, 7, 9, 11)


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

    def __init__(self, x, workdir, title=TITLE, args=()):
        self.x = x
        env = dict(os.environ, DISPLAY=x.name, XDG_DATA_HOME=workdir)
        env.pop("QT_QPA_PLATFORM", None)
        self.proc = subprocess.Popen([BINARY, *args], cwd=workdir, env=env,
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
            found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid),
                                    "--name", "^%s$" % title],
                                   env=dict(os.environ, DISPLAY=self.x.name),
                                   capture_output=True, text=True).stdout.split()
            if found:
                time.sleep(0.3)  # let the first paint land
                return self.x.display.create_resource_object("window", int(found[0]))
            time.sleep(0.1)
        raise RuntimeError("no window titled %s" % title)

    def raise_window(self):
        """Brings this window on top, so that clicks reach it rather than another's."""
        self.xdotool("windowraise", self.window.id)

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

    def click_key(self, semitone):
        """A white key of the drawn keyboard, below the black keys; semitones above C3."""
        white = semitone // 12 * 7 + WHITE_STEPS.index(semitone % 12)
        self.click(120 + 480 * white + 240, 5900)

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


def memo_path(workdir):
    """The default memo, with XDG_DATA_HOME pointing at the scenario's folder."""
    return os.path.join(workdir, "soramina", "code.dat")


def scenario(x, name, initial, play):
    workdir = tempfile.mkdtemp(prefix="soramina-e2e-")
    try:
        if initial is not None:
            os.makedirs(os.path.dirname(memo_path(workdir)))
            with open(memo_path(workdir), "wb") as f:
                f.write(initial)
        app = App(x, workdir)
        play(app, workdir)
    except Exception as error:  # a scenario that breaks is a failure, not a crash of the suite
        check(name, False, repr(error))
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


def read(workdir):
    with open(memo_path(workdir), "rb") as f:
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


def play_key_pick(app, workdir):
    app.click_slot(2)
    for key in (4, 7, 12):  # E3 G3 C4
        app.click_key(key)
    problem = app.markers_on([(240, WHITE_TOP), (1200, WHITE_TOP), (2160, WHITE_TOP)])
    check("keys E3 G3 C4 show C major", problem is None, str(problem))
    c4 = (120 + 480 * 7 + 240, 5900)
    check("a picked key is light blue", app.pixel(*c4) == PICKED_WHITE_KEY, str(app.pixel(*c4)))
    app.xdotool("key", "Escape")
    check("Escape lets the pick go", app.pixel(*c4) == (255, 255, 255), str(app.pixel(*c4)))
    app.click_slot(1)
    for key in (9, 12, 16, 19):  # A3 C4 E4 G4
        app.click_key(key)
    app.close_from_window_manager()
    status = app.wait()
    check("keys picked: ends cleanly", status == 0, "status %s" % status)
    expected = slot_file([SONG[0], (b"A", b"m7"), (b"C", b""), SONG[3]])
    check("keys picked are named into the boxes", read(workdir) == expected, repr(read(workdir)[:80]))


def wait_for_file(workdir, expected, timeout=5):
    """The memo follows each change within a second, with the window still open."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        if read(workdir) == expected:
            return True
        time.sleep(0.1)
    return False


def play_undo(app, workdir):
    app.click_slot(1)
    app.click_root(2)   # D, with the kind m of the box
    stored = slot_file([SONG[0], (b"D", b"m")] + SONG[2:])
    check("a chord stored reaches the file", wait_for_file(workdir, stored), repr(read(workdir)[:40]))
    app.xdotool("key", "ctrl+z")
    check("Ctrl+Z takes it back in the file", wait_for_file(workdir, slot_file(SONG)), repr(read(workdir)[:40]))
    problem = app.markers_on([(2640, WHITE_TOP), (3600, WHITE_TOP), (4560, WHITE_TOP)])
    check("the keyboard shows the box's chord again", problem is None, str(problem))
    app.close_from_menu()
    status = app.wait()
    check("undo: ends cleanly", status == 0, "status %s" % status)
    check("undo: the memo stays as it was", read(workdir) == slot_file(SONG), repr(read(workdir)[:80]))


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
    check("first exit creates the default memo in its folder", read(workdir) == b"\r\n" * 60,
          repr(read(workdir)[:80]))
    check("nothing lands in the working directory", os.listdir(workdir) == ["soramina"],
          str(os.listdir(workdir)))


def play_refused_file(app, workdir, what):
    # The report names the file; dismissing it ends the program with a failure.
    app.xdotool("mousemove", app.left + app.width // 2, app.top + 60, "key", "Return")
    status = app.wait()
    stderr = app.proc.stderr.read().decode(errors="replace")
    check("a memo that is a %s ends with status 1" % what, status == 1, "status %s" % status)
    check("the report on a %s names the full path" % what, memo_path(workdir) in stderr, stderr)


def refused_scenario(x, what, make, untouched):
    workdir = tempfile.mkdtemp(prefix="soramina-e2e-")
    try:
        os.makedirs(os.path.dirname(memo_path(workdir)))
        make(memo_path(workdir))
        started = time.time()
        app = App(x, workdir, title="ソラミナ")
        check("a %s is reported within seconds, without hanging" % what, time.time() - started < 10,
              "%.1f s" % (time.time() - started))
        play_refused_file(app, workdir, what)
        check("the %s is left untouched" % what, untouched(memo_path(workdir)), str(os.listdir(workdir)))
    except Exception as error:
        check("refused memo: %s" % what, False, repr(error))
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


def make_folder(path):
    os.makedirs(os.path.join(path, "keep"))


def play_killed(app, workdir):
    app.click_slot(3)
    app.click_root(9)   # A, kind from the slot
    time.sleep(2)
    app.proc.kill()
    app.wait()
    check("kill -9 two seconds after a chord keeps it in the memo",
          read(workdir) == slot_file(SONG[:3] + [(b"A", b"x")]), repr(read(workdir)[:80]))


def two_windows_scenario(x, first_closes_first):
    """Two windows on one song file, each given a chord the other has not seen."""
    name = "two windows, %s window closed first" % ("first" if first_closes_first else "second")
    workdir = tempfile.mkdtemp(prefix="soramina-e2e-")
    apps = []
    try:
        song = os.path.join(workdir, "song.dat")
        with open(song, "wb") as f:
            f.write(slot_file(SONG))
        title = TITLE + " - song.dat"
        apps = [App(x, workdir, title=title, args=[song]) for _ in range(2)]
        for app, slot, root in ((apps[0], 6, 2), (apps[1], 7, 4)):  # D into slot 6, E into slot 7
            app.raise_window()
            app.click_slot(slot)
            app.click_root(root)
        order = apps if first_closes_first else apps[::-1]
        for app in order:
            app.close_from_window_manager()
            status = app.wait()
            check(name + ": ends cleanly", status == 0, "status %s: %s" % (
                status, app.proc.stderr.read().decode(errors="replace")[-4000:]))
        with open(song, "rb") as f:
            saved = f.read()
        expected = slot_file(SONG + [(b"", b"")] * 2 + [(b"D", b""), (b"E", b"")])
        check(name + ": both chords kept", saved == expected, repr(saved[:100]))
    except Exception as error:
        check(name, False, repr(error))
    finally:
        for app in apps:
            if app.proc.poll() is None:
                app.proc.kill()
                app.proc.wait()
        shutil.rmtree(workdir, ignore_errors=True)


def main():
    x = Xserver()
    try:
        scenario(x, "menu exit", slot_file(SONG), play_menu_exit)
        scenario(x, "window-manager close", slot_file(SONG), play_window_manager_close)
        scenario(x, "keys picked", slot_file(SONG), play_key_pick)
        scenario(x, "undo", slot_file(SONG), play_undo)
        scenario(x, "terminate", slot_file(SONG), play_terminate)
        scenario(x, "first start", None, play_first_start)
        scenario(x, "killed", slot_file(SONG), play_killed)
        two_windows_scenario(x, True)
        two_windows_scenario(x, False)
        refused_scenario(x, "folder", make_folder,
                         lambda path: os.path.isdir(path) and os.listdir(path) == ["keep"])
        refused_scenario(x, "FIFO", os.mkfifo, lambda path: stat.S_ISFIFO(os.lstat(path).st_mode))
    finally:
        x.close()
    passed = sum(RESULTS)
    failed = len(RESULTS) - passed
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())

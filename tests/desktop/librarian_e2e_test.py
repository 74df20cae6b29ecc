"""The desktop program on a real X server with tq550-emu over JACK, driven by real key and mouse events.

Run through jack-run.sh and xvfb-run (see CMakeLists.txt):
    librarian_e2e_test.py LIBRARIAN EMULATOR TQ550 ARTIFACT_FOLDER

One session: the automatic setup finds the emulator; Read All through the MIDI menu and its confirmation;
the Main window exported as a Standard MIDI File equals the emulator's memory; two patches changed with
Copy and Replace and written with Write Selected reach the emulator; the emulator then goes away in the
middle of a read, which leaves the Main window as it was and shows the disconnection notice.

Another session: a SysEx file imported and saved as a library; two Read Alls of the same processor keep one
entry in the device history; two patches changed in the Main window and written with Write Changed: the
emulator receives exactly their data sets (as Export SysEx File writes them) and then holds the Main
window's patches. Screenshots of every step are kept in ARTIFACT_FOLDER.
"""

import json
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

LIBRARIAN = EMULATOR = TQ550 = ARTIFACTS = None
# Generous limits, enforced from outside the program; nothing here times the program itself.
STEP_TIMEOUT = 60
READ_TIMEOUT = 240
MAGIC = b"TQLLibrarianFile0001" + b" " * 12


def library(blocks):
    """Library file bytes holding the given 2178-byte blocks, without memos."""
    records = []
    for data in blocks:
        body = struct.pack(">II", 1, len(data)) + data + b"\0" * 4
        records.append(struct.pack(">I", len(body)) + body)
    return MAGIC + struct.pack(">I", len(blocks)) + bytes(124) + b"".join(records)


def run(*args, check=True, timeout=120):
    done = subprocess.run([str(a) for a in args], capture_output=True, text=True, timeout=timeout)
    if check and done.returncode != 0:
        raise AssertionError(f"{' '.join(map(str, args))} failed ({done.returncode}): {done.stderr.strip()}")
    return done


def xdo(*args, check=True):
    return run("xdotool", *args, check=check).stdout.strip()


def dump(path, kind="tql"):
    """The patches of a file as `tq550 dump` gives them: (name, data) pairs."""
    args = [TQ550, "dump", "--initial-data", "none"]
    if kind != "tql":
        args += ["--from", kind]
    patches = json.loads(run(*args, path).stdout)["patches"]
    # The device holds 2178 bytes a patch; that is what travels.
    return [(p["name"], p["data"][:2 * 2178]) for p in patches]


class Session:
    """Screenshots, waits and the windows of one program under the X server."""

    def __init__(self, artifacts):
        self.artifacts = artifacts
        self.shots = 0
        self.pid = None

    def screenshot(self, name):
        self.shots += 1
        path = os.path.join(self.artifacts, f"{self.shots:02d}-{name}.png")
        # ImageMagick's import reads what is on the screen; xwd -root leaves windows mapped late black here.
        if subprocess.run(["import", "-window", "root", path], capture_output=True, timeout=60).returncode:
            xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, timeout=60)
            subprocess.run(["convert", "xwd:-", path], input=xwd.stdout, capture_output=True, timeout=60)
        return path

    def wait(self, what, predicate, timeout=STEP_TIMEOUT):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = predicate()
            if result:
                return result
            time.sleep(0.1)
        shot = self.screenshot("failure")
        raise AssertionError(f"{what} did not happen within {timeout} s (screen: {shot})")

    def windows(self, kind=None):
        """The program's visible windows, as {id: name}; of one kind only when given ("DIALOG" for dialogs
        and message boxes, "UTILITY" for tool windows such as the notice, "NORMAL" for the main window)."""
        ids = xdo("search", "--onlyvisible", "--pid", str(self.pid), check=False).split()
        found = {}
        for wid in ids:
            if kind and self.kind(wid) != kind:
                continue
            name = run("xdotool", "getwindowname", wid, check=False)
            if name.returncode == 0:
                found[wid] = name.stdout.rstrip("\n")
        return found

    @staticmethod
    def kind(wid):
        """The first window type the window states (menus and tool tips have their own)."""
        text = run("xprop", "-id", wid, "_NET_WM_WINDOW_TYPE", check=False).stdout
        _, _, types = text.partition("=")
        first = types.split(",")[0].strip()
        return first.replace("_NET_WM_WINDOW_TYPE_", "") if first else None

    def new_window(self, before, kind, name_test, what, timeout=STEP_TIMEOUT):
        def find():
            for wid, name in self.windows(kind).items():
                if wid not in before and name_test(name):
                    return wid
            return None

        return self.wait(what, find, timeout)

    def gone(self, wid):
        return wid not in self.windows()

    def geometry(self, wid):
        values = {}
        for line in xdo("getwindowgeometry", "--shell", wid).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value) if value.lstrip("-").isdigit() else value
        return values

    def focus(self, wid):
        """Gives the window the keyboard focus (there is no window manager to do it)."""
        def focused():
            if xdo("getwindowfocus", check=False) == wid:
                return True
            xdo("windowfocus", wid, check=False)
            return False

        self.wait("the focus on window " + wid, focused, 20)

    def keys(self, *keys):
        xdo("key", "--delay", "80", *keys)
        time.sleep(0.3)

    def type(self, text):
        xdo("type", "--delay", "20", text)


class LibrarianSession(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tq550-desktop-e2e-")
        self.processes = []
        self.session = Session(ARTIFACTS)

    def tearDown(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    process.kill()
        # The programs' own output stays with the screenshots.
        for log in ("emulator.log", "librarian.log"):
            if os.path.exists(self.path(log)):
                shutil.copy(self.path(log), os.path.join(ARTIFACTS, log))
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def start_emulator(self, *options):
        process = subprocess.Popen([EMULATOR, "--api", "jack", *options], stdout=subprocess.PIPE,
                                   stderr=open(self.path("emulator.log"), "w"), text=True)
        self.processes.append(process)
        line = process.stdout.readline()
        self.assertTrue(line.startswith("ready"), f"tq550-emu did not start: {line!r}")
        return process

    def start_librarian(self, *files):
        config = self.path("config")
        os.makedirs(config, exist_ok=True)
        # The device history goes into the data folder, the single-instance socket into the runtime folder:
        # this run's own, so that a copy started by another test run at the same time is not taken for this
        # one's.
        runtime = self.path("runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=config, XDG_DATA_HOME=self.path("data"),
                   TMPDIR=runtime, XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        env.pop("LANGUAGE", None)
        process = subprocess.Popen([LIBRARIAN, "--api", "jack", *files], env=env, stdout=subprocess.DEVNULL,
                                   stderr=open(self.path("librarian.log"), "w"))
        self.processes.append(process)
        self.session.pid = process.pid
        return process

    def choose_file(self, window, keys, title, target):
        """A command of window that asks for a file (keys), with the path typed into the program's file
        dialog titled title."""
        s = self.session
        s.focus(window)
        before = s.windows()
        s.keys(*keys)
        dialog = s.new_window(before, "DIALOG", lambda n: n == title, f"the {title} file dialog")
        s.focus(dialog)
        s.screenshot(f"file-dialog-{os.path.basename(target)}")
        s.keys("ctrl+a")
        s.type(target)
        s.keys("Return")
        s.wait("the file dialog to close", lambda: s.gone(dialog))

    def export_main_window(self, main, name):
        """File > Export SMF > All Data, typing the path into the program's file dialog."""
        target = self.path(name)
        self.choose_file(main, ("alt+f", "p", "a"), "Export SMF", target)
        self.session.wait(f"{name} to be written", lambda: os.path.exists(target) and os.path.getsize(target) > 0)
        return target

    def confirm(self, before, what):
        """The confirmation of a transfer: OK. Gives the dialog's window."""
        s = self.session
        dialog = s.new_window(before, "DIALOG", lambda n: n == "TQ-550 Librarian", f"the confirmation of {what}")
        s.focus(dialog)
        s.screenshot(f"confirm-{what}")
        s.keys("Return")
        return dialog

    def wait_for_transfer(self, before, what, timeout=READ_TIMEOUT):
        """The progress dialog comes and goes."""
        s = self.session
        progress = s.new_window(before, "DIALOG", lambda n: n.strip() == "", f"the progress of {what}")
        time.sleep(1)
        s.screenshot(f"progress-{what}")
        s.wait(f"the end of {what}", lambda: s.gone(progress), timeout)
        return progress

    def copy_patch_5_onto_10_and_11(self, main):
        """Patches 10 and 11 (U03-3, U03-4) become copies of patch 5 with Copy and Replace of the Edit menu:
        a click into the list gives it the focus, the keyboard chooses the rows, which stay selected."""
        s = self.session
        geometry = s.geometry(main)
        xdo("mousemove", "--window", main, str(geometry["WIDTH"] // 2), str(geometry["HEIGHT"] * 2 // 3),
            "click", "1")
        # Out of the way, so that no tool tip comes up.
        xdo("mousemove", "--window", main, str(geometry["WIDTH"] - 2), "2")
        time.sleep(0.5)
        s.keys("ctrl+Home", *["Down"] * 5, "alt+e", "c", *["Down"] * 5, "shift+Down", "alt+e", "r")
        s.screenshot("patches-replaced")

    def test_read_export_write_and_a_processor_that_goes_away(self):
        s = self.session
        rng = random.Random(550)
        original = []
        for i in range(200):
            name = f"E2E {i:03d}".ljust(16).encode()
            original.append(name + bytes(rng.randrange(128) for _ in range(2178 - 16)))
        with open(self.path("device.tql"), "wb") as f:
            f.write(library(original))
        # Messages the processor takes before it goes: Read All (identity and 200 requests), Write Selected of
        # two patches (identity and 18 data sets), then the identity and 100 requests of the next Read All.
        exit_after = (1 + 200) + (1 + 18) + (1 + 100)
        saved = self.path("saved.tql")
        self.start_emulator("--rate", "10", "--load", self.path("device.tql"), "--save", saved,
                            "--exit-after", str(exit_after))

        librarian = self.start_librarian()
        main = s.wait("the main window", lambda: next(
            (w for w, n in s.windows("NORMAL").items() if n.startswith("TQ-550 Librarian")), None))
        time.sleep(1)
        s.screenshot("started")

        # Read All through the MIDI menu and its confirmation.
        s.focus(main)
        before = s.windows()
        s.keys("alt+m", "r")
        self.confirm(before, "read-all")
        self.wait_for_transfer(before, "read-all")
        s.screenshot("read-all-done")
        self.assertEqual(librarian.poll(), None, "the program ended")

        first = self.export_main_window(main, "after-read.mid")
        self.assertEqual(dump(first, "smf"), dump(self.path("device.tql")),
                         "the Main window after Read All differs from the processor's memory")

        self.copy_patch_5_onto_10_and_11(main)
        before = s.windows()
        s.keys("alt+m", "d")
        self.confirm(before, "write-selected")
        self.wait_for_transfer(before, "write-selected")
        expected = list(original)
        expected[10] = expected[11] = original[5]

        # The processor goes away half way through the next Read All.
        before = s.windows()
        s.focus(main)
        s.keys("alt+m", "r")
        before[self.confirm(before, "failing-read")] = "confirmation"
        progress = s.new_window(before, "DIALOG", lambda n: n.strip() == "", "the progress of the failing read")
        problem = s.new_window(before, "DIALOG", lambda n: n == "TQ-550 Librarian",
                               "the connection-problem message", READ_TIMEOUT)
        s.screenshot("connection-problem")
        s.focus(problem)
        s.keys("Return")
        s.wait("the message to close", lambda: s.gone(problem))
        s.new_window({}, "UTILITY", lambda n: n.strip() == "", "the disconnection notice")
        s.screenshot("disconnected-notice")
        s.wait("the progress dialog to go", lambda: s.gone(progress))

        emulator = self.processes[0]
        self.assertIsNotNone(emulator.wait(timeout=STEP_TIMEOUT), "tq550-emu did not end")
        self.assertEqual(dump(saved), [(b[:16].decode(), b.hex()) for b in expected],
                         "the processor does not hold what Write Selected sent")

        second = self.export_main_window(main, "after-failed-read.mid")
        self.assertEqual(dump(second, "smf"), dump(saved),
                         "the failed read changed the Main window")
        s.screenshot("after-failed-read")

        # File > Exit ends the program cleanly.
        s.focus(main)
        s.keys("alt+f", "x")
        self.assertEqual(librarian.wait(timeout=STEP_TIMEOUT), 0)

    def read_all(self, main, what):
        """MIDI > Read All Data with its confirmation, to its end."""
        s = self.session
        s.focus(main)
        before = s.windows()
        s.keys("alt+m", "r")
        self.confirm(before, what)
        self.wait_for_transfer(before, what)

    def data_sets_received(self):
        """The data sets the processor has received so far, as its log shows them (their first 24 bytes in
        hex and their length)."""
        prefix = "tq550-emu: in  "
        with open(self.path("emulator.log")) as log:
            messages = [line[len(prefix):].strip() for line in log if line.startswith(prefix)]
        # Manufacturer 41H, and the command byte after the device and model ids: 12H, data set.
        return [m for m in messages if m.split()[:2] == ["F0", "41"] and m.split()[6:7] == ["12"]]

    def test_syx_import_device_history_and_write_changed(self):
        s = self.session
        rng = random.Random(20)
        original = [f"HIST {i:03d}".ljust(16).encode() + bytes(rng.randrange(128) for _ in range(2178 - 16))
                    for i in range(200)]
        with open(self.path("device.tql"), "wb") as f:
            f.write(library(original))
        saved = self.path("saved.tql")
        self.start_emulator("--rate", "10", "--load", self.path("device.tql"), "--save", saved, "--verbose")
        librarian = self.start_librarian()
        main = s.wait("the main window", lambda: next(
            (w for w, n in s.windows("NORMAL").items() if n.startswith("TQ-550 Librarian")), None))
        time.sleep(1)

        # A SysEx file of three patches in slots U01-4, U02-4 and U38-3, imported and saved as a library.
        source = self.path("source.tql")
        with open(source, "wb") as f:
            f.write(library(original[::-1]))
        syx = self.path("three.syx")
        run(TQ550, "convert", "--initial-data", "none", "--to", "syx", "--patches", "150,7,3", source, syx)
        self.choose_file(main, ("alt+f", "t", "s"), "Import SysEx File", syx)
        s.wait("the imported library window", lambda: "Untitled" in xdo("getwindowname", main, check=False))
        s.screenshot("syx-imported")
        imported = self.path("imported.tql")
        self.choose_file(main, ("ctrl+s",), "Save As", imported)
        s.wait("imported.tql to be written", lambda: os.path.exists(imported) and os.path.getsize(imported) > 0)
        reversed_patches = original[::-1]
        self.assertEqual([d for _, d in dump(imported)], [reversed_patches[i].hex() for i in (3, 7, 150)],
                         "the saved import does not hold the SysEx file's patches in slot order")
        s.focus(main)
        s.keys("alt+f", "c")

        # Two Read Alls of the same processor: one entry in the device history, holding what was read.
        self.read_all(main, "first-read")
        self.read_all(main, "second-read")
        history = os.path.join(self.path("data"), "Marlin", "TQ-550 Librarian", "History")
        entries = sorted(f for f in os.listdir(history) if f.endswith(".tql"))
        self.assertEqual(len(entries), 1, f"the history holds {entries}")
        self.assertEqual(dump(os.path.join(history, entries[0])), dump(self.path("device.tql")))
        s.focus(main)
        before = s.windows()
        s.keys("alt+f", "h")
        dialog = s.new_window(before, "DIALOG", lambda n: n == "Device History", "the Device History dialog")
        time.sleep(1)
        s.screenshot("device-history")
        s.focus(dialog)
        s.keys("Escape")
        s.wait("the Device History dialog to close", lambda: s.gone(dialog))

        # Patches 10 and 11 become copies of patch 5; Write Changed sends exactly those two.
        self.copy_patch_5_onto_10_and_11(main)
        received = len(self.data_sets_received())
        before = s.windows()
        s.keys("alt+m", "c")
        self.confirm(before, "write-changed")
        self.wait_for_transfer(before, "write-changed")
        sent = self.data_sets_received()[received:]

        # The same data sets, byte for byte as far as the log shows them, as Export SysEx File of the two.
        selected = self.path("selected.syx")
        self.choose_file(main, ("alt+f", "y", "d"), "Export SysEx File", selected)
        s.wait("selected.syx to be written", lambda: os.path.exists(selected) and os.path.getsize(selected) > 0)
        with open(selected, "rb") as f:
            messages = [b"\xF0" + m for m in f.read().split(b"\xF0")[1:]]
        expected_log = [" ".join(f"{b:02X}" for b in m[:24]) + f" ... ({len(m)} bytes)" for m in messages]
        self.assertEqual(len(messages), 18)
        self.assertEqual(sent, expected_log, "Write Changed sent other data sets than those of U03-3 and U03-4")

        everything = self.path("main.syx")
        self.choose_file(main, ("alt+f", "y", "a"), "Export SysEx File", everything)
        s.wait("main.syx to be written", lambda: os.path.exists(everything) and os.path.getsize(everything) > 0)
        s.focus(main)
        s.keys("alt+f", "x")
        self.assertEqual(librarian.wait(timeout=STEP_TIMEOUT), 0)
        emulator = self.processes[0]
        emulator.send_signal(signal.SIGTERM)
        self.assertEqual(emulator.wait(timeout=STEP_TIMEOUT), 0)
        expected = list(original)
        expected[10] = expected[11] = original[5]
        self.assertEqual(dump(saved), [(b[:16].decode(), b.hex()) for b in expected],
                         "the processor does not hold the Main window's patches")
        self.assertEqual(dump(everything, "syx"), dump(saved), "the processor differs from the Main window")


if __name__ == "__main__":
    LIBRARIAN, EMULATOR, TQ550, ARTIFACTS = sys.argv[1:5]
    del sys.argv[1:5]
    os.makedirs(ARTIFACTS, exist_ok=True)
    unittest.main(verbosity=2)

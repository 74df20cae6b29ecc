"""Whole-program tests of tq550-librarian on a real X server (Xvfb, the xcb platform), driven by real key and
mouse events (xdotool), with screenshots kept as artefacts."""

import configparser
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

LIBRARIAN = None
ARTIFACTS = None
MAGIC = b"TQLLibrarianFile0001" + b" " * 12


def record(name, memos=(b"", b"", b"", b""), fill=0):
    data = name.ljust(16).encode("latin-1") + bytes((fill + i) & 0x7F for i in range(2162))
    body = struct.pack(">II", 1, len(data)) + data + b"".join(m + b"\0" for m in memos)
    return struct.pack(">I", len(body)) + body


def library(names):
    records = [record(name, (f"{name} memo".encode(), b"", b"", b""), i) for i, name in enumerate(names)]
    return MAGIC + struct.pack(">I", len(records)) + bytes(124) + b"".join(records)


def library_count(path):
    """The patch count in a library file's header; None while it cannot be read."""
    try:
        with open(path, "rb") as f:
            header = f.read(len(MAGIC) + 4)
    except OSError:
        return None
    return struct.unpack_from(">I", header, len(MAGIC))[0] if len(header) == len(MAGIC) + 4 else None


def library_names(path):
    """The patch names of a library file, without trailing blanks; None while it cannot be read."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        return None
    offset = len(MAGIC)
    if len(data) < offset + 128:
        return None
    count = struct.unpack_from(">I", data, offset)[0]
    offset += 128
    names = []
    for _ in range(count):
        length = struct.unpack_from(">I", data, offset)[0]
        names.append(data[offset + 12:offset + 28].decode("latin-1").rstrip())
        offset += 4 + length
    return names


class XServer:
    """A private Xvfb display for the time of a test class."""

    def __init__(self, width=1280, height=800, extra=()):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{width}x{height}x24", *extra, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        with os.fdopen(read, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


class DesktopTest(unittest.TestCase):
    """Each test gets a folder of its own for settings, the single-instance socket and files."""

    server = None

    @classmethod
    def setUpClass(cls):
        cls.server = XServer()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tq550-desktop-")
        self.config = os.path.join(self.dir, "config")
        self.runtime = os.path.join(self.dir, "tmp")
        os.makedirs(self.runtime, mode=0o700)
        # The data location (device history, recovery folder) is the test's own too.
        self.data = os.path.join(self.dir, "data")
        self.env = dict(os.environ, DISPLAY=self.server.display, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=self.config,
                        XDG_DATA_HOME=self.data,
                        TMPDIR=self.runtime, XDG_RUNTIME_DIR=self.runtime, LANG="en_US.UTF-8", LC_ALL="",
                        LANGUAGE="")
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def start(self, *args, env=None, cwd=None):
        process = subprocess.Popen([LIBRARIAN, *args], env=env or self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, cwd=cwd)
        self.processes.append(process)
        return process

    def xdotool(self, *args, check=True, timeout=30):
        done = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=timeout)
        if check and done.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(args)} failed: {done.stderr.strip()}")
        return done.stdout.strip()

    def wait_for_window(self, name, timeout=90):
        """The id of the first visible window whose title matches name (a regular expression)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.xdotool("search", "--onlyvisible", "--name", name, check=False)
            if found:
                return found.splitlines()[0]
            time.sleep(0.2)
        shown = self.xdotool("search", "--onlyvisible", "--name", ".", check=False).split()
        names = [self.xdotool("getwindowname", w, check=False) for w in shown]
        running = [p.args for p in self.processes if p.poll() is None]
        for ended in (p for p in self.processes if p.poll() is not None):
            sys.stderr.write(f"{ended.args} ended with {ended.returncode}:\n"
                             f"{ended.stderr.read().decode('utf-8', 'replace')}\n")
        self.screenshot(f"{self.id().split('.')[-1]}-no-window")
        raise AssertionError(f"no window named {name!r} appeared within {timeout} s; visible windows: {names}; "
                             f"still running: {running}")

    def window_name(self, window):
        return self.xdotool("getwindowname", window)

    def screenshot(self, name):
        """Keeps a picture of the whole screen among the test artefacts; gives its path."""
        os.makedirs(ARTIFACTS, exist_ok=True)
        target = os.path.join(ARTIFACTS, name + ".png")
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", self.server.display], capture_output=True,
                             timeout=30)
        subprocess.run(["convert", "xwd:-", target], input=xwd.stdout, timeout=30, check=True)
        return target

    def settings(self):
        parser = configparser.RawConfigParser()
        parser.optionxform = str
        parser.read(os.path.join(self.config, "Marlin", "TQ-550 Librarian.conf"), encoding="utf-8")
        return parser

    def wait_exit(self, process, timeout=60):
        """The exit status; what the program wrote goes to the test's output when it did not end well."""
        try:
            status = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            raise AssertionError(f"the program did not end within {timeout} s")
        if status != 0:
            sys.stderr.write(process.stderr.read().decode("utf-8", "replace"))
        return status


def main(argv):
    """Runs the tests: argv holds the program and the artefact folder. A watchdog ends a stuck run."""
    global LIBRARIAN, ARTIFACTS
    LIBRARIAN = os.path.abspath(argv[1])
    ARTIFACTS = os.path.abspath(argv[2])
    limit = float(os.environ.get("TQ_TEST_WATCHDOG", "600"))
    watchdog = threading.Timer(limit, lambda: (print(f"watchdog: still running after {limit} s", flush=True),
                                               os.kill(os.getpid(), signal.SIGKILL)))
    watchdog.daemon = True
    watchdog.start()
    unittest.main(argv=[argv[0], *argv[3:]], verbosity=2)

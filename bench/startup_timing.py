#!/usr/bin/env python3
"""How long tq550-librarian takes from the start of its process to its main window being mapped, under Xvfb.

Usage: bench/startup_timing.py build/bin/tq550-librarian [RUNS]   (default 10 runs; prints every run and the
median). Each run has fresh settings, so the automatic MIDI setup and the window placement run as on a first
start.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "desktop"))
from desktop_support import XServer  # noqa: E402


def main():
    program = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    server = XServer()
    times = []
    try:
        for run in range(runs):
            folder = tempfile.mkdtemp(prefix="tq550-startup-")
            runtime = os.path.join(folder, "tmp")
            os.makedirs(runtime, mode=0o700)
            env = dict(os.environ, DISPLAY=server.display, QT_QPA_PLATFORM="xcb", TMPDIR=runtime,
                       XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(folder, "config"))
            start = time.monotonic()
            process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # Asks the X server every few milliseconds for a visible (mapped) window of that name (xdotool's own
            # --sync waits half a second between looks, too coarse here).
            deadline = start + 60
            while time.monotonic() < deadline:
                found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^TQ-550 Librarian"],
                                       env=env, capture_output=True, timeout=30)
                if found.stdout.strip():
                    break
                time.sleep(0.005)
            elapsed = time.monotonic() - start
            times.append(elapsed)
            print(f"run {run + 1}: {elapsed * 1000:.0f} ms")
            process.terminate()
            process.wait(timeout=30)
            shutil.rmtree(folder, ignore_errors=True)
    finally:
        server.stop()
    print(f"median of {runs} runs: {statistics.median(times) * 1000:.0f} ms (limit 500 ms)")


if __name__ == "__main__":
    main()

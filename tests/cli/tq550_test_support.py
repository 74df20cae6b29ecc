"""Helpers for tests that run the built tq550 program."""

import faulthandler
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

TQ550 = None
MAGIC = b"TQLLibrarianFile0001" + b" " * 12
# A Standard MIDI File with one empty track.
EMPTY_SMF = b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", 4) + bytes([0, 0xFF, 0x2F, 0])
# Longer than any test file may take: CTest gives each 120 s, and this ends the run with the stacks first.
WATCHDOG_SECONDS = 100


def run(*args, limit_file_size=None, check=None):
    """Runs tq550 with args; returns (exit status, stdout bytes, stderr text)."""
    preexec = None
    if limit_file_size is not None:
        import resource

        def preexec():
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit_file_size, limit_file_size))

    done = subprocess.run([TQ550, *map(str, args)], capture_output=True, preexec_fn=preexec, timeout=60)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


def dump(path, *options):
    status, out, err = run("dump", *options, path)
    if status != 0:
        raise AssertionError(f"dump failed ({status}): {err}")
    return json.loads(out)["patches"]


def record(data, memos=(b"", b"", b"", b"")):
    body = struct.pack(">II", 1, len(data)) + data + b"".join(m + b"\0" for m in memos)
    return struct.pack(">I", len(body)) + body


def library(records):
    return MAGIC + struct.pack(">I", len(records)) + bytes(124) + b"".join(records)


def patch_data(name, fill=0):
    return name.ljust(16).encode("latin-1") + bytes((fill + i) & 0x7F for i in range(2162))


class TempDirTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tq550-cli-")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()


def main():
    global TQ550
    TQ550 = sys.argv.pop(1)
    # A watchdog outside whatever the test is blocked in: it prints every thread's stack and ends the run.
    faulthandler.dump_traceback_later(WATCHDOG_SECONDS, exit=True)
    unittest.main(verbosity=2)

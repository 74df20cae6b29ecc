"""tq550 read and write against tq550-emu over a JACK server (run through jack-run.sh)."""

import faulthandler
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import unittest

TQ550 = TQ550_EMU = None
PORT = "VELA TQ-550"
MAGIC = b"TQLLibrarianFile0001" + b" " * 12
START_SECONDS = 20
# CTest gives the whole file 900 s; before that, this watchdog prints every thread's stack and ends the run.
WATCHDOG_SECONDS = 870


def library(patches):
    """Library bytes of (data, memo) pairs."""
    records = []
    for data, memo in patches:
        body = struct.pack(">II", 1, len(data)) + data + (memo + b"\0") * 4
        records.append(struct.pack(">I", len(body)) + body)
    return MAGIC + struct.pack(">I", len(patches)) + bytes(124) + b"".join(records)


def patch_blocks(path):
    """The data blocks of a library file, in order."""
    with open(path, "rb") as f:
        raw = f.read()
    count = struct.unpack(">I", raw[32:36])[0]
    at, blocks = 160, []
    for _ in range(count):
        length = struct.unpack(">I", raw[at:at + 4])[0]
        body = raw[at + 4:at + 4 + length]
        size = struct.unpack(">I", body[4:8])[0]
        blocks.append(body[8:8 + size])
        at += 4 + length
    return blocks


class Emulator:
    def __init__(self, *options):
        self.process = subprocess.Popen([TQ550_EMU, "--api", "jack", *options], stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)
        # Reading a line blocks, so the deadline is kept from outside the read: the timer ends the emulator,
        # which ends the read.
        watchdog = threading.Timer(START_SECONDS, self.process.kill)
        watchdog.start()
        try:
            for line in self.process.stdout:
                if line.startswith("ready"):
                    return
        finally:
            watchdog.cancel()
        self.process.wait()
        raise AssertionError(f"tq550-emu did not start within {START_SECONDS} s")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def tq550(*args, timeout=600):
    done = subprocess.run([TQ550, *map(str, args)], capture_output=True, text=True, timeout=timeout)
    return done.returncode, done.stderr


class DeviceCommands(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tq550-e2e-")
        self.emulators = []

    def tearDown(self):
        for emulator in self.emulators:
            emulator.stop()
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def emulator(self, *options):
        self.emulators.append(Emulator(*options))
        return self.emulators[-1]

    def test_a_written_library_reads_back_identical(self):
        patches = [((f"E2E {i:03d}".ljust(16)).encode() + bytes((i * 13 + j) & 0x7F for j in range(2162)), b"memo")
                   for i in range(200)]
        with open(self.path("in.tql"), "wb") as f:
            f.write(library(patches))
        saved = self.path("emulator.tql")
        self.emulator("--rate", "10", "--save", saved)
        status, err = tq550("write", "--api", "jack", "--in", PORT, "--out", PORT, self.path("in.tql"))
        self.assertEqual(status, 0, err)
        status, err = tq550("read", "--api", "jack", "--in", PORT, "--out", PORT, self.path("out.tql"))
        self.assertEqual(status, 0, err)
        self.assertEqual(patch_blocks(self.path("out.tql")), [data for data, _ in patches])
        # What the processor stored is what was written.
        self.emulators.pop().stop()
        self.assertEqual(patch_blocks(saved), [data for data, _ in patches])

    def test_a_device_that_falls_silent_half_way_fails_the_read_and_leaves_no_file(self):
        self.emulator("--rate", "0", "--stop-answering-after", "50")
        status, err = tq550("read", "--api", "jack", "--in", PORT, "--out", PORT, self.path("out.tql"))
        self.assertEqual(status, 1)
        self.assertIn("There is a problem with the connection to the TQ-550.", err)
        self.assertFalse(os.path.exists(self.path("out.tql")))

    def test_a_selected_read_and_the_temporary_patch(self):
        self.emulator("--rate", "0", "--device-id", "5")
        status, err = tq550("read", "--api", "jack", "--in", PORT, "--out", PORT, "--device-id", "5",
                            "--patches", "3,150", self.path("some.tql"))
        self.assertEqual(status, 0, err)
        blocks = patch_blocks(self.path("some.tql"))
        self.assertEqual(len(blocks), 200)
        self.assertTrue(blocks[3].startswith(b"EMU U01-4"))
        self.assertTrue(blocks[150].startswith(b"EMU U38-3"))
        self.assertTrue(blocks[4].startswith(b"INIT PATCH"))
        status, err = tq550("read", "--api", "jack", "--in", PORT, "--out", PORT, "--device-id", "5",
                            "--temporary", self.path("temp.tql"))
        self.assertEqual(status, 0, err)
        self.assertEqual(len(patch_blocks(self.path("temp.tql"))), 1)
        # Another device id finds no processor.
        status, err = tq550("read", "--api", "jack", "--in", PORT, "--out", PORT, "--patches", "0",
                            self.path("none.tql"))
        self.assertEqual(status, 1)
        self.assertFalse(os.path.exists(self.path("none.tql")))

    def test_a_write_to_an_unplugged_processor_names_the_patch(self):
        with open(self.path("in.tql"), "wb") as f:
            f.write(library([(bytes(2178), b"")] * 3))
        self.emulator("--rate", "0", "--exit-after", "12")
        status, err = tq550("write", "--api", "jack", "--in", PORT, "--out", PORT, self.path("in.tql"))
        self.assertEqual(status, 1)
        self.assertIn("writing stopped at User Patch U01-2 (patch 1)", err)

    def test_unknown_ports_are_a_usage_error(self):
        status, err = tq550("read", "--api", "jack", "--in", "No Such Port", "--out", PORT, self.path("x.tql"))
        self.assertEqual(status, 2)
        self.assertIn("no port matches", err)


if __name__ == "__main__":
    TQ550, TQ550_EMU = sys.argv.pop(1), sys.argv.pop(1)
    faulthandler.dump_traceback_later(WATCHDOG_SECONDS, exit=True)
    unittest.main(verbosity=2)

"""tq550 dump --from syx and convert --to syx: files of raw System Exclusive messages of TQ-550 data sets."""

import struct

import tq550_test_support as t

INIT = b"INIT PATCH      " + bytes(2162)
USER = 0x02000000
TEMPORARY = 0x0C000000


def data_set(device, address, data):
    """One TQ-550 data set, built here by hand: F0 41 dev 00 00 60 12, address, data, checksum, F7."""
    a = bytes((address >> shift) & 0x7F for shift in (21, 14, 7, 0))
    checksum = (128 - (sum(a) + sum(data)) % 128) % 128
    return b"\xf0\x41" + bytes([device]) + b"\x00\x00\x60\x12" + a + data + bytes([checksum, 0xF7])


def write_sets(data, number, device=0):
    """The nine data sets a Write of data to user patch number sends."""
    return b"".join(data_set(device, USER + number * 0x4000 + k * 242, data[k * 242:(k + 1) * 242])
                    for k in range(9))


def chunked(data, base, size, device=0):
    return b"".join(data_set(device, base + at, data[at:at + size]) for at in range(0, len(data), size))


def smf_sysex_events(smf):
    """The System Exclusive events (F0 and the stored bytes) of a one-track Standard MIDI File."""
    assert smf[:4] == b"MThd"
    at = 8 + struct.unpack(">I", smf[4:8])[0]
    assert smf[at:at + 4] == b"MTrk"
    end = at + 8 + struct.unpack(">I", smf[at + 4:at + 8])[0]
    at += 8
    events = b""

    def quantity():
        nonlocal at
        value = 0
        while True:
            byte = smf[at]
            at += 1
            value = (value << 7) | (byte & 0x7F)
            if byte < 0x80:
                return value

    while at < end:
        quantity()  # delta time
        status = smf[at]
        at += 1
        if status == 0xFF:
            at += 1
            length = quantity()
            at += length
        elif status == 0xF0:
            length = quantity()
            events += b"\xf0" + smf[at:at + length]
            at += length
        else:
            raise AssertionError(f"unexpected status {status:02x}")
    return events


class SyxCommands(t.TempDirTest):
    def setUp(self):
        super().setUp()
        self.data = [t.patch_data(f"SYX{i}", i * 9) for i in range(4)]
        records = [t.record(d, (b"memo", b"", b"", b"")) for d in self.data]
        self.src = self.write("in.tql", t.library(records))

    def convert(self, *args):
        status, _, err = t.run("convert", *args)
        self.assertEqual(status, 0, err)

    def test_convert_writes_the_data_sets_of_a_write_byte_for_byte(self):
        self.convert(self.src, self.path("out.syx"))
        self.assertEqual(self.read("out.syx"), b"".join(write_sets(d, i) for i, d in enumerate(self.data)))

        self.convert("--to", "syx", "--device-id", "17", "--patches", "3,1", self.src, self.path("some"))
        self.assertEqual(self.read("some"), write_sets(self.data[3], 3, 16) + write_sets(self.data[1], 1, 16))

    def test_the_data_sets_are_those_of_the_smf_export(self):
        for options in ((), ("--device-id", "32"), ("--patches", "2,0")):
            self.convert(*options, self.src, self.path("out.mid"))
            self.convert(*options, self.src, self.path("out.syx"))
            self.assertEqual(smf_sysex_events(self.read("out.mid")), self.read("out.syx"), options)

    def test_syx_to_library_to_syx_gives_the_same_file(self):
        self.convert("--device-id", "5", self.src, self.path("first.syx"))
        self.convert("--from", "syx", self.path("first.syx"), self.path("middle.tql"))
        self.convert("--device-id", "5", self.path("middle.tql"), self.path("again.syx"))
        self.assertEqual(self.read("again.syx"), self.read("first.syx"))
        # The data came from data sets: the memos are gone.
        for patch in t.dump(self.path("middle.tql")):
            self.assertEqual(patch["memos"], ["", "", "", ""])

    def test_dump_gives_the_touched_patches_in_slot_order_from_any_chunking_and_device_id(self):
        five, last, temp = (t.patch_data(name, seed) for name, seed in (("FIVE", 5), ("LAST", 6), ("TEMP", 7)))
        syx = (b"\x90\x40\x40" + chunked(temp, TEMPORARY, 1000, device=3)
               + chunked(last, USER + 199 * 0x4000, 100, device=31)
               + data_set(0, USER + 5 * 0x4000, five))
        path = self.write("mixed.syx", syx)
        patches = t.dump(path, "--from", "syx", "--initial-data", "none")
        self.assertEqual([bytes.fromhex(p["data"]) for p in patches],
                         [five, last, temp])
        self.assertEqual([p["name"] for p in patches], ["FIVE            ", "LAST            ", "TEMP            "])

        only = t.dump(path, "--from", "syx", "--device-id", "32", "--initial-data", "none")
        self.assertEqual([bytes.fromhex(p["data"]) for p in only], [last])

    def test_unreadable_files_fail_with_their_reason_and_print_nothing(self):
        good = data_set(0, USER, b"\x01" * 10)
        bad = bytearray(data_set(0, USER + 0x4000, b"\x02" * 10))
        bad[-2] ^= 1
        cases = {
            "no patch": (b"\xf0\x7e\x00\x06\x01\xf7", "This file holds no TQ-550 patch."),
            "empty": (b"", "This file holds no TQ-550 patch."),
            "other id": (data_set(4, USER, b"\x01"), "This file holds no TQ-550 patch."),
            "checksum": (good + bytes(bad), "This file holds a TQ-550 data set with a wrong checksum."),
            "cut": (good + good[:-1], "This file holds a System Exclusive message that is cut off."),
            # Three patches as a Write sends them, the last four messages lost: the third is not whole.
            "incomplete": (b"".join(write_sets(d, i) for i, d in enumerate(self.data[:3]))[:-4 * 255],
                           "This file does not hold all the data of patch U01-3."),
        }
        for what, (syx, reason) in cases.items():
            path = self.write("bad.syx", syx)
            options = ("--device-id", "1") if what == "other id" else ()
            status, out, err = t.run("dump", "--from", "syx", *options, path)
            self.assertEqual(status, 1, what)
            self.assertEqual(out, b"", what)
            self.assertEqual(err.splitlines(), ["This file could not be loaded.", reason], what)
            status, _, err = t.run("convert", "--from", "syx", *options, path, self.path("never.tql"))
            self.assertEqual(status, 1, what)
        # A missing file, and an endless one, which is not read past 64 MiB.
        for unreadable in (self.path("missing.syx"), "/dev/zero"):
            status, _, err = t.run("dump", "--from", "syx", unreadable)
            self.assertEqual((status, err.strip()), (1, "This file could not be loaded."), unreadable)

    def test_usage_errors(self):
        many = self.write("many.tql", t.library([t.record(INIT)] * 201))
        for args in (["convert", "--patches", "200", many, self.path("x.syx")],
                     ["convert", many, self.path("x.syx")],
                     ["convert", "--to", "syx", "--device-id", "33", self.src, self.path("x")],
                     ["dump", "--from", "syx", "--device-id", "0", self.src]):
            status, _, err = t.run(*args)
            self.assertEqual(status, 2, args)
            self.assertIn("tq550:", err)

    def test_help_names_the_kind_and_the_output(self):
        status, out, _ = t.run("--help")
        self.assertEqual(status, 0)
        text = out.decode()
        self.assertIn("convert [--from KIND] [--to tql|smf|syx] [--device-id N]", text)
        self.assertIn("syx (file of raw System", text)


if __name__ == "__main__":
    t.main()

"""tq550 dump --from smf and convert --to smf: Standard MIDI Files of TQ-550 data sets and their device id."""

import tq550_test_support as t

INIT = b"INIT PATCH      " + bytes(2162)


def data_set_devices(smf):
    """The device id byte of every TQ-550 data set (F0 41 dev 00 00 60 12) in the file."""
    devices, at = [], 0
    while True:
        at = smf.find(b"\xf0", at)
        if at < 0:
            return devices
        # An F0 event: F0, a one- or two-byte length, then 41 dev 00 00 60 12.
        for skip in (2, 3):
            body = smf[at + skip:at + skip + 6]
            if body[:1] == b"\x41" and body[2:] == b"\x00\x00\x60\x12":
                devices.append(body[1])
                break
        at += 1


class SmfCommands(t.TempDirTest):
    def setUp(self):
        super().setUp()
        self.records = [t.record(t.patch_data(f"S{i}", i), (b"memo", b"", b"", b"")) for i in range(3)]
        self.src = self.write("in.tql", t.library(self.records))

    def export(self, *options):
        out = self.path("out.mid")
        status, _, err = t.run("convert", *options, self.src, out)
        self.assertEqual(status, 0, err)
        return out

    def test_an_export_reads_back_with_the_device_id_it_was_written_with(self):
        for shown in ("1", "5", "32"):
            out = self.export("--device-id", shown) if shown != "1" else self.export()
            self.assertEqual(set(data_set_devices(self.read("out.mid"))), {int(shown) - 1}, shown)
            options = ("--device-id", shown) if shown != "1" else ()
            patches = t.dump(out, "--from", "smf", *options, "--initial-data", "none")
            self.assertEqual(len(patches), 200)
            for i in range(3):
                self.assertEqual(bytes.fromhex(patches[i]["data"]), t.patch_data(f"S{i}", i), shown)
                self.assertEqual(patches[i]["memos"], ["", "", "", ""])  # data from a device has no memos
            self.assertEqual(bytes.fromhex(patches[3]["data"]), INIT)

    def test_data_sets_of_another_device_id_are_not_taken(self):
        out = self.export("--device-id", "5")
        for options in ((), ("--device-id", "6")):
            patches = t.dump(out, "--from", "smf", *options, "--initial-data", "none")
            self.assertEqual({bytes.fromhex(p["data"]) for p in patches}, {INIT}, options)

    def test_convert_from_smf_to_smf_keeps_the_device_id(self):
        first = self.export("--device-id", "9")
        again = self.path("again.mid")
        status, _, err = t.run("convert", "--from", "smf", "--device-id", "9", "--patches", "0-2",
                               "--initial-data", "none", first, again)
        self.assertEqual(status, 0, err)
        self.assertEqual(self.read("again.mid"), self.read("out.mid"))

    def test_device_id_usage_errors(self):
        out = self.export()
        for args in (["dump", "--from", "smf", "--device-id", "0", out],
                     ["dump", "--from", "smf", "--device-id", "33", out],
                     ["dump", "--from", "smf", "--device-id", "x", out],
                     ["dump", "--device-id", "2", self.src],
                     ["convert", "--device-id", "2", self.src, self.path("copy.tql")]):
            status, _, err = t.run(*args)
            self.assertEqual(status, 2, args)
            self.assertIn("tq550:", err)

    def test_help_names_the_option_for_dump_and_convert(self):
        status, out, _ = t.run("--help")
        self.assertEqual(status, 0)
        text = out.decode()
        self.assertIn("dump [--from KIND] [--device-id N]", text)
        self.assertIn("convert [--from KIND] [--to tql|smf|syx] [--device-id N]", text)


if __name__ == "__main__":
    t.main()

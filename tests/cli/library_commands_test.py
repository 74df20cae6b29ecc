"""tq550 dump and convert on library files."""

import os

import tq550_test_support as t


class LibraryCommands(t.TempDirTest):
    def test_dump_prints_names_data_and_memos(self):
        memos = (b"first", b"caf\xe9", b"", b"\x01\x7f")
        src = self.write("in.tql", t.library([t.record(t.patch_data('Q"uo\\te\x05'), memos),
                                              t.record(b"\x81" * 20)]))
        patches = t.dump(src)
        self.assertEqual(len(patches), 2)
        self.assertEqual(patches[0]["name"], 'Q"uo\\te\u0005'.ljust(16))
        self.assertEqual(bytes.fromhex(patches[0]["data"]), t.patch_data('Q"uo\\te\x05'))
        self.assertEqual([bytes.fromhex(m) for m in patches[0]["memos"]], list(memos))
        # A short block is shown as stored; its name bytes outside printable ASCII are escaped.
        self.assertEqual(patches[1]["data"], "81" * 20)
        self.assertEqual(patches[1]["name"], "\u0081" * 16)
        status, out, err = t.run("dump", src)
        self.assertEqual(status, 0, err)
        self.assertIn(b'\\u0005', out)
        self.assertEqual(out.splitlines()[0], b'{"patches": [')

    def test_convert_without_changes_is_byte_identical(self):
        records = [t.record(t.patch_data(f"P{i}", i), (b"m" * i, b"", b"\xff", b"x")) for i in range(5)]
        src = self.write("in.tql", t.library(records))
        status, _, err = t.run("convert", src, self.path("out.tql"))
        self.assertEqual(status, 0, err)
        self.assertEqual(self.read("out.tql"), self.read("in.tql"))

    def test_convert_selects_patches_in_the_order_given(self):
        records = [t.record(t.patch_data(f"P{i}", i)) for i in range(12)]
        src = self.write("in.tql", t.library(records))
        status, _, err = t.run("convert", "--patches", "7,0,2-4", src, self.path("out.tql"))
        self.assertEqual(status, 0, err)
        self.assertEqual(self.read("out.tql"), t.library([records[i] for i in (7, 0, 2, 3, 4)]))

    def test_failed_save_keeps_the_old_file_and_says_so(self):
        src = self.write("in.tql", t.library([t.record(t.patch_data(f"P{i}", i)) for i in range(20)]))
        old = self.write("out.tql", b"the previous library")
        status, _, err = t.run("convert", src, old, limit_file_size=8192)
        self.assertEqual(status, 1)
        self.assertEqual(err.strip(), "This file could not be saved.")
        self.assertEqual(self.read("out.tql"), b"the previous library")
        self.assertEqual(sorted(os.listdir(self.dir)), ["in.tql", "out.tql"])

    def test_unreadable_inputs_exit_1_with_the_message(self):
        status, _, err = t.run("dump", self.path("absent.tql"))
        self.assertEqual((status, err.strip()), (1, "This file could not be loaded."))
        wrong = self.write("wrong.tql", b"MThd" + bytes(200))
        status, _, err = t.run("dump", wrong)
        self.assertEqual((status, err.strip()), (1, "Cannot read files of this type."))
        cut = self.write("cut.tql", t.library([t.record(t.patch_data("A"))])[:-100])
        status, out, err = t.run("convert", cut, self.path("out.tql"))
        self.assertEqual((status, err.strip()), (1, "This file could not be loaded."))
        self.assertFalse(os.path.exists(self.path("out.tql")))

    def test_usage_errors_exit_2(self):
        src = self.write("in.tql", t.library([t.record(t.patch_data("A"))]))
        for args in (["dump"], ["frobnicate"], ["dump", "--from", "wav", src], ["convert", src],
                     ["convert", src, self.path("out.xyz")], ["convert", "--patches", "1-", src, self.path("o.tql")],
                     ["convert", "--patches", "3", src, self.path("o.tql")], ["dump", "--bogus", src]):
            status, _, err = t.run(*args)
            self.assertEqual(status, 2, args)
            self.assertIn("tq550:", err)

    def test_initial_data_option(self):
        # A library's own patches do not depend on the initial data.
        src = self.write("in.tql", t.library([t.record(t.patch_data("A"), (b"mine", b"", b"", b""))]))
        for choice in ("none", self.write("other.tql", t.library([t.record(t.patch_data("OTHER", 9))]))):
            patches = t.dump(src, "--initial-data", choice)
            self.assertEqual([bytes.fromhex(p["data"]) for p in patches], [t.patch_data("A")], choice)
            self.assertEqual(patches[0]["memos"][0], b"mine".hex(), choice)
        # New patches (those of a Standard MIDI File without data sets) copy the initial data's first patch,
        # memos included; without initial data they are zeros named INIT PATCH.
        empty = self.write("empty.mid", t.EMPTY_SMF)
        init = self.write("init.tql", t.library([t.record(t.patch_data("MY INIT", 3), (b"", b"init memo", b"", b"")),
                                                 t.record(t.patch_data("SECOND"))]))
        patches = t.dump(empty, "--from", "smf", "--initial-data", init)
        self.assertEqual(len(patches), 200)
        for p in patches:
            self.assertEqual(bytes.fromhex(p["data"]), t.patch_data("MY INIT", 3))
            self.assertEqual(p["memos"], ["", b"init memo".hex(), "", ""])
        for p in t.dump(empty, "--from", "smf", "--initial-data", "none"):
            self.assertEqual(bytes.fromhex(p["data"]), b"INIT PATCH      " + bytes(2162))
            self.assertEqual(p["memos"], ["", "", "", ""])
        status, _, err = t.run("dump", "--initial-data", self.path("absent.tql"), src)
        self.assertEqual(status, 1)
        self.assertIn("Unable to read initial file.", err)


if __name__ == "__main__":
    t.main()

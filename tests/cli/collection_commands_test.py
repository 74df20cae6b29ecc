"""tq550 collection add, search and export, and a run killed half-way."""

import json
import os
import re
import signal
import sqlite3
import subprocess
import time

import tq550_test_support as t

LINE = re.compile(r"files (\d+), patches (\d+), new (\d+), refused (\d+)\n")


def unpacked(stored):
    """The 2178 bytes of a sound as the collection file keeps them: as they are, or packed (format 1: tokens
    of literal bytes, zero runs and runs of one byte)."""
    if len(stored) == 2178:
        return stored
    assert stored[0] == 1, stored[:8]
    out, at = bytearray(), 1
    while at < len(stored):
        token = stored[at]
        at += 1
        if token < 0x80:
            out += stored[at:at + token + 1]
            at += token + 1
        elif token < 0xC0:
            out += bytes(token - 0x80 + 2)
        else:
            out += stored[at:at + 1] * (token - 0xC0 + 3)
            at += 1
    assert len(out) == 2178, len(out)
    return bytes(out)


def counts(out):
    match = LINE.fullmatch(out.decode())
    assert match, out
    return tuple(int(n) for n in match.groups())


class CollectionCommands(t.TempDirTest):
    def collection(self, *args):
        return t.run("collection", *args[:1], "--db", self.path("c.sqlite"), *args[1:])

    def test_add_search_and_export_as_the_contract_says(self):
        self.write("a.tql", t.library([t.record(t.patch_data("Alpha", 1), (b"Lead memo", b"", b"", b"")),
                                        t.record(t.patch_data("Beta", 2)),
                                        t.record(t.patch_data("Alpha", 1), (b"second", b"", b"", b""))]))
        os.makedirs(self.path("folder/deeper"))
        four = self.write("four.tql", t.library([t.record(t.patch_data(f"Slot{i}", 10 + i)) for i in range(4)]))
        # A Standard MIDI File and a SysEx file named so that only their content tells their kind: each
        # carries user patch 3 only.
        self.assertEqual(t.run("convert", "--patches", "3", four, self.path("folder/deeper/song.dat"),
                               "--to", "smf")[0], 0)
        self.assertEqual(t.run("convert", "--patches", "3", four, self.path("folder/dump.syx"))[0], 0)
        self.write("folder/notes.txt", b"nothing the program reads")
        self.write("folder/broken.tql", b"TQLLibrarianFile0001" + b" " * 12 + b"\0\0\0\1")
        os.remove(four)

        status, out, err = self.collection("add", self.path("a.tql"), self.path("folder"))
        self.assertEqual(status, 1, err)
        self.assertEqual(counts(out), (4, 5, 3, 1))
        # The message of the refused file is the one dump gives.
        message = t.run("dump", self.path("folder/broken.tql"))[2].strip()
        self.assertEqual(err, self.path("folder/broken.tql") + ": " + message + "\n")

        # Most recently seen first: the file added last, and in a file the patches in order.
        status, out, err = self.collection("search")
        self.assertEqual((status, err), (0, ""))
        lines = out.decode().splitlines()
        self.assertEqual([line.split("\t")[0] for line in lines],
                         ["Slot3".ljust(16), "Alpha".ljust(16), "Beta".ljust(16)])
        self.assertIn(lines[0].split("\t")[1], (self.path("folder/dump.syx"), self.path("folder/deeper/song.dat")))
        self.assertEqual(lines[1], "Alpha".ljust(16) + "\t" + self.path("a.tql"))
        self.assertEqual(self.collection("search", "lEaD MEMO")[1].decode().split("\t")[0], "Alpha".ljust(16))
        self.assertEqual(self.collection("search", "nowhere")[:2], (0, b""))

        status, out, err = self.collection("search", "--json", "slot")
        self.assertEqual(status, 0, err)
        sounds = json.loads(out)["sounds"]
        self.assertEqual(len(sounds), 1)
        self.assertEqual(bytes.fromhex(sounds[0]["data"]), t.patch_data("Slot3", 13))
        self.assertEqual((sounds[0]["favourite"], sounds[0]["tags"], sounds[0]["memos"]), (False, [], [""] * 4))
        places = sorted((s["path"], s["slot"]) for s in sounds[0]["sightings"])
        self.assertEqual(places, [(self.path("folder/deeper/song.dat"), "U01-4"), (self.path("folder/dump.syx"), "U01-4")])
        for sighting in sounds[0]["sightings"]:
            self.assertRegex(sighting["seen"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$")
        alpha = json.loads(self.collection("search", "--json", "alpha")[1])["sounds"][0]
        self.assertEqual(alpha["name"], "Alpha".ljust(16))
        self.assertEqual(len(alpha["sightings"]), 2)

        # Adding the same files again adds no sound and refreshes the sightings.
        status, out, _ = self.collection("add", self.path("a.tql"), self.path("folder"))
        self.assertEqual((status, counts(out)), (1, (4, 5, 0, 1)))
        self.assertEqual(len(json.loads(self.collection("search", "--json", "alpha")[1])["sounds"][0]["sightings"]), 2)

        # Export: the matching sounds in the order search gives, with the memos of their latest sighting.
        status, _, err = self.collection("export", "--text", "a", self.path("out.tql"))
        self.assertEqual(status, 0, err)
        exported = t.dump(self.path("out.tql"))
        self.assertEqual([p["name"] for p in exported], ["Alpha".ljust(16), "Beta".ljust(16)])
        self.assertEqual(bytes.fromhex(exported[0]["memos"][0]), b"Lead memo")

        # A changed file is read again: it now holds one new sound, and the sounds it no longer holds stay
        # in the collection without its sightings.
        self.write("a.tql", t.library([t.record(t.patch_data("Gamma", 7))]))
        status, out, _ = self.collection("add", self.path("a.tql"))
        self.assertEqual((status, counts(out)), (0, (1, 1, 1, 0)))
        alpha = json.loads(self.collection("search", "--json", "alpha")[1])["sounds"][0]
        self.assertEqual(alpha["sightings"], [])
        self.assertEqual(self.collection("search")[1].decode().splitlines()[0], "Gamma".ljust(16) + "\t" + self.path("a.tql"))

    def test_usage_errors_the_default_file_and_a_damaged_one(self):
        for args in (["collection"], ["collection", "frobnicate"], ["collection", "add"],
                     ["collection", "search", "a", "b"], ["collection", "export"], ["collection", "add", "--json", "x"]):
            status, _, err = t.run(*args)
            self.assertEqual(status, 2, args)
            self.assertIn("tq550:", err)
        src = self.write("one.tql", t.library([t.record(t.patch_data("One"))]))
        env = dict(os.environ, XDG_DATA_HOME=self.path("data"))
        done = subprocess.run([t.TQ550, "collection", "add", src], capture_output=True, env=env, timeout=60)
        self.assertEqual(done.stdout, b"files 1, patches 1, new 1, refused 0\n", done.stderr)
        self.assertTrue(os.path.isfile(self.path("data/Marlin/TQ-550 Librarian/collection.sqlite")))

        self.write("c.sqlite", b"not a database at all" * 300)
        for args in (("add", src), ("search",), ("export", self.path("o.tql"))):
            status, out, err = self.collection(*args)
            self.assertEqual((status, out, err), (1, b"", "The collection file is damaged and cannot be used.\n"))

    def test_a_run_killed_half_way_leaves_a_whole_collection_that_a_second_run_completes(self):
        # Enough files that the run commits several times before it ends, also on a fast machine.
        files, per_file = 6000, 10

        def sound(n):
            # Made as a patch is: mostly zero, a few settings.
            data = bytearray(f"S{n}".ljust(16).encode("latin-1") + bytes(2162))
            data[16 + n % 1500] = 1 + n % 127
            data[1600 + n % 300] = 1 + n // 127 % 127
            return bytes(data)

        # Neighbouring files share half their patches.
        sounds = [sound(n) for n in range(files * 5 + per_file)]
        os.makedirs(self.path("many"))
        for f in range(files):
            self.write(f"many/{f:04d}.tql", t.library([t.record(sounds[f * 5 + i]) for i in range(per_file)]))
        distinct = {sounds[f * 5 + i] for f in range(files) for i in range(per_file)}
        db = self.path("c.sqlite")
        process = subprocess.Popen([t.TQ550, "collection", "add", "--db", db, self.path("many")],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def sources():
            try:
                with sqlite3.connect(f"file:{db}?mode=ro", uri=True, timeout=10) as connection:
                    return connection.execute("SELECT count(*) FROM source").fetchone()[0]
            except sqlite3.Error:
                return 0

        deadline = time.monotonic() + 60
        while process.poll() is None and sources() < files // 5 and time.monotonic() < deadline:
            time.sleep(0.002)
        process.send_signal(signal.SIGKILL)
        self.assertEqual(process.wait(), -signal.SIGKILL, "the run ended before it was killed")

        with sqlite3.connect(db) as connection:
            self.assertEqual(connection.execute("PRAGMA integrity_check").fetchone()[0], "ok")
            done = connection.execute("SELECT count(*) FROM source").fetchone()[0]
            # Each file that is in is in whole.
            self.assertEqual(connection.execute("SELECT count(*) FROM sighting").fetchone()[0], done * per_file)
        self.assertGreater(done, 0)
        self.assertLess(done, files)

        status, out, err = t.run("collection", "add", "--db", db, self.path("many"))
        self.assertEqual(status, 0, err)
        files_read, patches, new, refused = counts(out)
        self.assertEqual((files_read, patches, refused), (files, files * per_file, 0))
        with sqlite3.connect(db) as connection:
            self.assertEqual(connection.execute("SELECT count(*) FROM sound").fetchone()[0], len(distinct))
            self.assertEqual(connection.execute("SELECT count(*) FROM source").fetchone()[0], files)
            self.assertEqual(connection.execute("SELECT count(*) FROM sighting").fetchone()[0], files * per_file)
            self.assertEqual(connection.execute(
                "SELECT count(*) FROM (SELECT DISTINCT source, position FROM sighting)").fetchone()[0],
                files * per_file)
            stored = {unpacked(bytes(row[0])) for row in connection.execute("SELECT packed FROM sound_data")}
        self.assertEqual(stored, distinct)
        self.assertLess(new, len(distinct))


if __name__ == "__main__":
    t.main()

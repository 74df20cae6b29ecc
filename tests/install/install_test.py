#!/usr/bin/env python3
"""Installs a build into its scratch prefix and checks what a user gets: the files in their freedesktop
places, the desktop entry, file type and AppStream metadata under their validators, the icons, the manual
pages, and the installed programs finding their data in the installed data folder.

Usage: install_test.py --build DIR --prefix DIR --version X.Y.Z --desktop-program 0|1 [unittest options]
The prefix must be the build's CMAKE_INSTALL_PREFIX: the programs look for their data there.
"""
import argparse
import gzip
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

ARGS = None
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
MIME_TYPE = "application/x-tq550-library"
MAGIC = b"TQLLibrarianFile0001"
APPSTREAM_ID = "io.github.marlin.tq550_librarian"


def run(command, timeout=120, env=None, check=True):
    done = subprocess.run(command, capture_output=True, timeout=timeout, env=env)
    if check and done.returncode != 0:
        raise AssertionError(
            f"{' '.join(map(str, command))} ended with {done.returncode}:\n"
            f"{done.stdout.decode('utf-8', 'replace')}{done.stderr.decode('utf-8', 'replace')}")
    return done


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise AssertionError(f"{path} is not a PNG image")
    return struct.unpack(">II", head[16:24])


def desktop_entry(path):
    """The keys of the [Desktop Entry] group."""
    keys, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                keys[key.strip()] = value.strip()
    return keys


def troff_text(path):
    """A manual page's source with troff's escaped minus signs made plain."""
    with gzip.open(path, "rt", encoding="utf-8") as f:
        return f.read().replace("\\-", "-")


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = os.path.abspath(ARGS.prefix)
        shutil.rmtree(cls.prefix, ignore_errors=True)
        run(["cmake", "--install", ARGS.build], timeout=240)
        cls.share = os.path.join(cls.prefix, "share")
        cls.data = os.path.join(cls.share, "tq550-librarian")
        cls.bin = os.path.join(cls.prefix, "bin")
        cls.scratch = tempfile.mkdtemp(prefix="tq550-install-")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def installed(self, *parts):
        path = os.path.join(self.prefix, *parts)
        self.assertTrue(os.path.isfile(path), f"{path} is not installed")
        return path

    def program(self, name):
        path = self.installed("bin", name)
        self.assertTrue(os.access(path, os.X_OK), f"{path} is not executable")
        return path

    def scratch_path(self, name):
        return os.path.join(self.scratch, name)

    # The programs and their data.

    def test_programs_and_data_are_in_their_places(self):
        self.program("tq550")
        self.program("tq550-emu")
        self.installed("share", "tq550-librarian", "Script", "InitialData.tql")
        self.installed("share", "doc", "tq550-librarian", "copyright")
        with gzip.open(self.installed("share", "doc", "tq550-librarian", "changelog.gz"), "rt") as f:
            first = f.readline()
        self.assertTrue(first.startswith(f"tq550-librarian ({ARGS.version})"),
                        f"the package's change log does not begin with version {ARGS.version}: {first!r}")

    def test_desktop_program_and_its_data_are_installed_when_built(self):
        if not ARGS.desktop_program:
            self.assertFalse(os.path.exists(os.path.join(self.bin, "tq550-librarian")))
            self.skipTest("this build has no desktop program")
        self.program("tq550-librarian")
        self.installed("share", "man", "man1", "tq550-librarian.1.gz")
        for language in "EJ":
            self.installed("share", "tq550-librarian", "Manual", f"TQ-550LibrarianManual{language}.pdf")
        translations = os.path.join(self.data, "translations")
        self.assertTrue(os.path.isdir(translations) and any(n.endswith(".qm") for n in os.listdir(translations)),
                        f"no Qt translations in {translations}")

    def test_installed_tq550_reads_a_library_with_the_installed_initial_data(self):
        tq550 = self.program("tq550")
        initial = self.installed("share", "tq550-librarian", "Script", "InitialData.tql")
        # Nothing beside the installed program: the initial data must come from the installed data folder.
        self.assertFalse(os.path.exists(os.path.join(self.bin, "Script")))
        library = self.scratch_path("copy.tql")
        run([tq550, "convert", initial, library])
        patches = json.loads(run([tq550, "dump", library]).stdout)["patches"]
        self.assertEqual(json.loads(run([tq550, "dump", initial]).stdout)["patches"], patches)
        self.assertGreater(len(patches), 0)
        self.assertEqual(len(patches[0]["data"]), 2 * 2178)

        # A Standard MIDI File holding one patch: the other 199 are new patches, made from the initial data.
        smf = self.scratch_path("one.mid")
        run([tq550, "convert", "--patches", "0", library, smf])
        found = json.loads(run([tq550, "dump", "--from", "smf", smf]).stdout)["patches"]
        named = json.loads(run([tq550, "dump", "--from", "smf", "--initial-data", initial, smf]).stdout)["patches"]
        zeroed = json.loads(run([tq550, "dump", "--from", "smf", "--initial-data", "none", smf]).stdout)["patches"]
        self.assertEqual(200, len(found))
        self.assertNotEqual(zeroed[1], named[1], "the initial data's first patch is an all-zero patch")
        self.assertEqual(named, found)

    def test_installed_programs_answer_help(self):
        for name in ("tq550", "tq550-emu"):
            done = run([self.program(name), "--help"])
            self.assertIn(f"Usage: {name}", done.stdout.decode())

    # Manual pages.

    def test_manual_pages_describe_every_command_and_option_of_the_help(self):
        for name in ("tq550", "tq550-emu"):
            page = troff_text(self.installed("share", "man", "man1", f"{name}.1.gz"))
            self.assertRegex(page, rf"^\.TH {name.upper()} 1 ", f"{name}.1 has no title line")
            help_text = run([self.program(name), "--help"]).stdout.decode()
            options = set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", help_text))
            self.assertGreater(len(options), 3)
            for option in sorted(options):
                self.assertTrue(option in page, f"{name}.1 does not describe {option}")
            if name == "tq550":
                for command in re.findall(r"^  (\w+) ", help_text, re.MULTILINE):
                    self.assertRegex(page, rf"\.B {command}\b", f"tq550.1 does not describe the command {command}")

    def test_manual_pages_format_without_warnings(self):
        pages = [f"{name}.1.gz" for name in ("tq550", "tq550-emu")]
        if ARGS.desktop_program:
            pages.append("tq550-librarian.1.gz")
        for page in pages:
            source = gzip.open(self.installed("share", "man", "man1", page)).read()
            done = subprocess.run(["groff", "-man", "-Tutf8", "-ww", "-z"], input=source, capture_output=True,
                                  timeout=60, env={**os.environ, "LC_ALL": "C.UTF-8"})
            self.assertEqual((0, b""), (done.returncode, done.stderr), f"{page}: {done.stderr.decode()}")

    # Icons.

    def test_icons_are_installed_in_every_size_of_the_hicolor_theme(self):
        hicolor = os.path.join(self.share, "icons", "hicolor")
        for context, name in (("apps", "tq550-librarian"), ("mimetypes", "application-x-tq550-library")):
            for size in ICON_SIZES:
                png = self.installed("share", "icons", "hicolor", f"{size}x{size}", context, f"{name}.png")
                self.assertEqual((size, size), png_size(png), png)
            svg = self.installed("share", "icons", "hicolor", "scalable", context, f"{name}.svg")
            root = ET.parse(svg).getroot()
            self.assertEqual("{http://www.w3.org/2000/svg}svg", root.tag, svg)
        self.assertEqual(sorted(f"{s}x{s}" for s in ICON_SIZES) + ["scalable"], sorted(os.listdir(hicolor)))

    # The desktop entry.

    def test_desktop_entry_is_valid_and_opens_library_files_in_the_program(self):
        path = self.installed("share", "applications", "tq550-librarian.desktop")
        done = run(["desktop-file-validate", path])
        self.assertEqual(b"", done.stdout + done.stderr, "desktop-file-validate has remarks")
        entry = desktop_entry(path)
        self.assertEqual("Application", entry["Type"])
        self.assertEqual("tq550-librarian %F", entry["Exec"])
        self.assertEqual("tq550-librarian", entry["Icon"])
        self.assertIn(MIME_TYPE, entry["MimeType"].split(";"))
        self.assertNotIn("audio/midi", entry["MimeType"])
        self.assertTrue({"AudioVideo", "Audio", "Midi"} <= set(entry["Categories"].split(";")))
        for key in ("Name", "GenericName", "Comment"):
            self.assertTrue(entry.get(key), f"no {key}")
            self.assertTrue(entry.get(f"{key}[ja]"), f"no {key}[ja]")
        self.assertRegex(entry["Comment[ja]"], r"[\u3040-\u30ff]", "Comment[ja] is not Japanese")

    # The file type.

    def test_mime_definition_is_valid_under_the_shared_mime_info_definition(self):
        path = self.installed("share", "mime", "packages", "tq550-librarian.xml")
        # The type definition of shared-mime-info's XML is the DTD at the head of its own package file.
        with open("/usr/share/mime/packages/freedesktop.org.xml", encoding="utf-8") as f:
            dtd = re.search(r"<!DOCTYPE mime-info \[(.*?)\]>", f.read(), re.DOTALL).group(1)
        dtd_path = self.scratch_path("mime-info.dtd")
        with open(dtd_path, "w", encoding="utf-8") as f:
            f.write(dtd)
        run(["xmllint", "--noout", "--dtdvalid", dtd_path, path])

        ns = {"m": "http://www.freedesktop.org/standards/shared-mime-info"}
        types = ET.parse(path).getroot().findall("m:mime-type", ns)
        self.assertEqual([MIME_TYPE], [t.get("type") for t in types])
        comments = {c.get("{http://www.w3.org/XML/1998/namespace}lang"): c.text for c in types[0].findall("m:comment", ns)}
        self.assertTrue(comments.get(None) and comments.get("ja"), comments)
        self.assertEqual(["*.tql"], [g.get("pattern") for g in types[0].findall("m:glob", ns)])

    def test_library_files_are_recognised_by_name_and_by_content_and_midi_files_stay_midi(self):
        # A MIME database of the system's types and the installed one, as the desktop builds it.
        data_home = self.scratch_path("xdg")
        shutil.copytree(os.path.join(self.share, "mime", "packages"), os.path.join(data_home, "mime", "packages"))
        run(["update-mime-database", os.path.join(data_home, "mime")])
        env = {**os.environ, "XDG_DATA_HOME": data_home, "XDG_DATA_DIRS": "/usr/share"}

        tq550 = self.program("tq550")
        initial = self.installed("share", "tq550-librarian", "Script", "InitialData.tql")
        library = self.scratch_path("mine.tql")
        run([tq550, "convert", initial, library])
        with open(library, "rb") as f:
            self.assertEqual(MAGIC, f.read(len(MAGIC)))
        unnamed = self.scratch_path("backup-without-extension")
        shutil.copy(library, unnamed)
        not_a_library = self.scratch_path("notes.txt")
        with open(not_a_library, "w") as f:
            f.write("TQ-550 notes\n")
        smf = self.scratch_path("bank.mid")
        run([tq550, "convert", "--patches", "0", library, smf])

        def content_type(path):
            out = run(["gio", "info", "--attributes=standard::content-type", path], env=env).stdout.decode()
            return re.search(r"standard::content-type: (\S+)", out).group(1)

        self.assertEqual(MIME_TYPE, content_type(library))
        self.assertEqual(MIME_TYPE, content_type(unnamed))
        self.assertEqual("text/plain", content_type(not_a_library))
        self.assertEqual("audio/midi", content_type(smf))

    # AppStream.

    def test_appstream_metadata_is_valid_and_describes_the_installed_program(self):
        path = self.installed("share", "metainfo", f"{APPSTREAM_ID}.metainfo.xml")
        done = run(["appstreamcli", "validate", "--no-net", "--pedantic", "--no-color", path], check=False)
        output = done.stdout.decode() + done.stderr.decode()
        self.assertEqual(0, done.returncode, output)
        self.assertNotRegex(output, r"(?m)^\s*[EW]: ", output)
        # The installed tree as a whole: the file's name, its desktop entry.
        done = run(["appstreamcli", "validate-tree", "--no-net", "--no-color", self.prefix], check=False)
        output = done.stdout.decode() + done.stderr.decode()
        self.assertEqual(0, done.returncode, output)
        self.assertNotRegex(output, r"(?m)^\s*[EW]: ", output)

        root = ET.parse(path).getroot()
        self.assertEqual(APPSTREAM_ID, root.findtext("id"))
        self.assertEqual("tq550-librarian.desktop", root.findtext("launchable[@type='desktop-id']"))
        self.installed("share", "applications", root.findtext("launchable[@type='desktop-id']"))
        self.assertEqual(ARGS.version, root.find("releases/release").get("version"),
                         "the newest release in the metadata is not the project's version")
        self.assertEqual([MIME_TYPE], [m.text for m in root.findall("provides/mediatype")])
        for binary in root.findall("provides/binary"):
            if binary.text != "tq550-librarian" or ARGS.desktop_program:
                self.program(binary.text)
        images = [i.text for i in root.findall("screenshots/screenshot/image")]
        self.assertTrue(images and all(i.startswith("https://") for i in images), images)
        self.assertTrue(root.find("summary[@{http://www.w3.org/XML/1998/namespace}lang='ja']") is not None)

    # The desktop program, on a virtual display.

    def test_installed_desktop_program_starts_and_a_second_start_hands_its_file_to_the_first(self):
        if not ARGS.desktop_program:
            self.skipTest("this build has no desktop program")
        program = self.program("tq550-librarian")
        library = self.scratch_path("opened.tql")
        run([self.program("tq550"), "convert", self.installed("share", "tq550-librarian", "Script", "InitialData.tql"),
             library])
        home = self.scratch_path("home")
        runtime = self.scratch_path("runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        env = {**os.environ, "HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
               "XDG_RUNTIME_DIR": runtime, "TMPDIR": runtime, "XDG_DATA_DIRS": f"{self.share}:/usr/share"}
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("DISPLAY", None)
        # One virtual display for both copies: xvfb-run runs a shell that starts the first copy, starts the
        # second with a file, and reports how each fared.
        script = (
            '"$1" & first=$!; sleep 5; kill -0 $first || { echo "first copy ended at start"; exit 3; }; '
            'timeout 20 "$1" "$2"; second=$?; '
            'kill -0 $first || { echo "first copy ended when the second started"; exit 4; }; '
            'kill $first; wait $first; exit $second')
        done = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "sh", "-c", script, "sh",
                               program, library], capture_output=True, timeout=90, env=env)
        self.assertEqual(0, done.returncode,
                         f"{done.stdout.decode('utf-8', 'replace')}{done.stderr.decode('utf-8', 'replace')}")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--desktop-program", type=int, choices=(0, 1), required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()

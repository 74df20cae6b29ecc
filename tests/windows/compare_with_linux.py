#!/usr/bin/env python3
"""tq550.exe under Wine against the Linux build's tq550: the same answers, byte for byte.

    compare_with_linux.py --linux TQ550 --windows TQ550.EXE --linux-emu TQ550-EMU --windows-emu TQ550-EMU.EXE
                          --corpus DIR --work DIR --cmake CMAKE --windows-build DIR -- EMULATOR...

Every input file of the fuzz seed corpora (library files, earlier librarian files, Standard MIDI Files, TQ-4
and TQ-2 bulk dumps; well-formed and broken ones) is copied under a folder and file name with spaces and
letters outside ASCII. Both programs dump it and convert it to a library file and a Standard MIDI File; the
exit status, standard output, standard error and the files written must be the same. The Windows program is
given Windows paths (Z:\\...), which Wine maps to the Linux folders. Both find their initial-data library
beside themselves.

Built without RtMidi and SQLite, tq550.exe says that it has no MIDI ports and keeps no collection.

tq550-emu.exe answers --help and a usage error as the Linux one does, reads a library file of such a name,
and, built without RtMidi, then says that it has no MIDI ports.

Then the Windows build is installed into a folder named likewise, and the installed program must find its
data beside itself (and, copied alone elsewhere, must say that it does not).
"""
import argparse
import concurrent.futures
import os
import pathlib
import shutil
import subprocess
import sys

INPUTS = {
    "library_file": "tql",
    "earlier_file": "tqx",
    "smf_patches": "smf",
    "smf_read": "smf",
    "tq4_dump": "tq4-dump",
    "tq2_dump": "tq2-dump",
    "syx_file": "syx",
}
FOLDER = "Eingabe mit Leerzeichen \u2013 Biblioth\u00e8que \u65e5\u672c"
INSTALL_FOLDER = "Pr\u00f6gramme \u65e5\u672c"
NO_INITIAL_DATA = "Unable to read initial file."


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


class Comparison:
    def __init__(self, options):
        self.options = options
        self.failures = []
        self.compared = 0

    def run(self, command, windows, cwd=None, emu=False):
        if emu:
            program = self.options.windows_emu if windows else self.options.linux_emu
        else:
            program = self.options.windows if windows else self.options.linux
        prefix = self.options.emulator if windows else []
        done = subprocess.run([*prefix, program, *command], capture_output=True, timeout=90, cwd=cwd)
        return done.returncode, done.stdout, done.stderr

    def case(self, name, linux_command, windows_command, outputs=(), cwd=None, emu=False):
        """Runs one command on both programs; outputs are pairs of (Linux, Windows) files they write."""
        linux = self.run(linux_command, False, cwd, emu)
        windows = self.run(windows_command, True, cwd, emu)
        self.compared += 1
        problems = []
        for what, mine, theirs in zip(("exit status", "standard output", "standard error"), linux, windows):
            if mine != theirs:
                shown = (mine, theirs) if isinstance(mine, int) else (mine[:300], theirs[:300])
                problems.append(f"{what}: Linux {shown[0]!r}, Windows {shown[1]!r}")
        for linux_file, windows_file in outputs:
            mine = linux_file.read_bytes() if linux_file.exists() else None
            theirs = windows_file.read_bytes() if windows_file.exists() else None
            if mine != theirs:
                problems.append(f"{linux_file.name}: Linux {len(mine or b'')} bytes, Windows "
                                f"{len(theirs or b'')} bytes{'' if theirs is not None else ' (missing)'}")
        if problems:
            self.failures.append(f"{name}:\n    " + "\n    ".join(problems))
        return linux

    def input_cases(self, source, kind, folder, extra=()):
        # Seeds of different corpora may share a name.
        tag = f"{source.parent.name} {' '.join(extra)} {source.stem}".replace("  ", " ")
        path = folder / f"Datei \u00e4 {tag}{source.suffix}"
        shutil.copyfile(source, path)
        status, _, _ = self.case(f"dump {kind} {source.name}", ["dump", "--from", kind, *extra, str(path)],
                                 ["dump", "--from", kind, *extra, windows_path(path)])
        if status != 0:
            return
        for suffix in (".tql", ".mid", ".syx"):
            linux_out = folder / f"Linux \u00fc {tag}{suffix}"
            windows_out = folder / f"Windows \u00fc {tag}{suffix}"
            self.case(f"convert {kind} {source.name} to {suffix}",
                      ["convert", "--from", kind, *extra, str(path), str(linux_out)],
                      ["convert", "--from", kind, *extra, windows_path(path), windows_path(windows_out)],
                      [(linux_out, windows_out)])

    def program_cases(self, folder):
        self.case("--help", ["--help"], ["--help"])
        self.case("no command", [], [])
        self.case("unknown command", ["frobnicate"], ["frobnicate"])
        # The collection needs SQLite, which the Windows build lacks; its usage errors come before that.
        self.case("collection usage error", ["collection", "search", "--bogus"], ["collection", "search", "--bogus"])
        # A name echoed in a message: relative, so that both print the same text.
        self.case("unknown output kind", ["convert", "x.tql", "Ausgabe \u00e9\u65e5.xyz"],
                  ["convert", "x.tql", "Ausgabe \u00e9\u65e5.xyz"], cwd=folder)
        self.case("missing input", ["dump", str(folder / "fehlt \u00fc.tql")],
                  ["dump", windows_path(folder / "fehlt \u00fc.tql")])

    def emulator_cases(self, folder, library):
        self.case("tq550-emu --help", ["--help"], ["--help"], emu=True)
        self.case("tq550-emu usage error", ["--device-id", "33"], ["--device-id", "33"], emu=True)
        loaded = folder / "Speicher \u00e4 \u65e5\u672c.tql"
        shutil.copyfile(library, loaded)
        for path, expected in ((loaded, b"built without RtMidi"), (folder / "fehlt \u00e4.tql", b"cannot read")):
            status, _, err = self.run(["--load", windows_path(path)], True, emu=True)
            if status != 1 or expected not in err:
                self.failures.append(f"tq550-emu --load {path.name}: status {status}, error {err!r}")

    def ports(self):
        status, out, err = self.run(["ports"], True)
        if status != 0 or out or b"built without RtMidi" not in err:
            self.failures.append(f"ports: status {status}, output {out!r}, error {err!r}")

    def collection(self, folder):
        status, out, err = self.run(["collection", "search", "--db", windows_path(folder / "c.sqlite")], True)
        if status != 1 or out or err != b"This program was built without SQLite: it keeps no collection.\n":
            self.failures.append(f"collection: status {status}, output {out!r}, error {err!r}")

    def installed(self, work, sample):
        prefix = work / INSTALL_FOLDER
        shutil.rmtree(prefix, ignore_errors=True)
        subprocess.run([self.options.cmake, "--install", self.options.windows_build, "--prefix", str(prefix)],
                       check=True, capture_output=True, timeout=120)
        installed = prefix / "bin" / "tq550.exe"
        self.options.windows = str(installed)
        status, _, err = self.case("installed program, data beside it", ["dump", "--from", "smf", str(sample)],
                                   ["dump", "--from", "smf", windows_path(sample)])
        if status != 0 or NO_INITIAL_DATA.encode() in err:
            self.failures.append(f"installed program: status {status}, error {err!r}")
        # Alone in a folder, it has no data and says so: the lookup above did not find it elsewhere.
        alone = work / "allein \u00fc"
        alone.mkdir(exist_ok=True)
        shutil.copy(installed, alone / "tq550.exe")
        self.options.windows = str(alone / "tq550.exe")
        status, _, err = self.run(["dump", "--from", "smf", windows_path(sample)], True)
        if NO_INITIAL_DATA.encode() not in err:
            self.failures.append(f"program without its data: status {status}, error {err!r}")


def main():
    parser = argparse.ArgumentParser()
    for option in ("--linux", "--windows", "--linux-emu", "--windows-emu", "--corpus", "--work", "--cmake",
                   "--windows-build"):
        parser.add_argument(option, required=True)
    parser.add_argument("emulator", nargs="+")
    options = parser.parse_args()

    work = pathlib.Path(options.work)
    shutil.rmtree(work, ignore_errors=True)
    folder = work / FOLDER
    folder.mkdir(parents=True)
    comparison = Comparison(options)
    corpus = pathlib.Path(options.corpus)
    jobs = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        jobs.append(pool.submit(comparison.program_cases, folder))
        jobs.append(pool.submit(comparison.ports))
        jobs.append(pool.submit(comparison.collection, folder))
        jobs.append(pool.submit(comparison.emulator_cases, folder, corpus / "library_file" / "varied.tql"))
        for seeds, kind in INPUTS.items():
            for source in sorted((corpus / seeds).iterdir()):
                jobs.append(pool.submit(comparison.input_cases, source, kind, folder))
        device_17 = corpus / "smf_patches" / "export-199-device-17.mid"
        jobs.append(pool.submit(comparison.input_cases, device_17, "smf", folder, ["--device-id", "18"]))
        for job in jobs:
            job.result()
    comparison.installed(work, corpus / "smf_patches" / "export-0.mid")

    for failure in comparison.failures:
        print(failure)
    print(f"{comparison.compared} commands compared, {len(comparison.failures)} differences or failures")
    if comparison.compared < 60:
        print("fewer commands than expected: inputs are missing")
        return 1
    return 1 if comparison.failures else 0


if __name__ == "__main__":
    sys.exit(main())

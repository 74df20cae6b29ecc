"""Takes the screenshots of the user manual and of the README from the real desktop program.

Run by scripts/screenshots.sh, which provides a private JACK server (JACK_DEFAULT_SERVER):
    screenshots.py BUILD_FOLDER SOURCE_FOLDER [LANGUAGE...]

For each language (en, ja) it starts a private X server (Xvfb, no window manager), a virtual processor
(tq550-emu over JACK) holding a demonstration set of patches, and tq550-librarian with fresh settings,
drives the program with xdotool key and mouse events, and writes the pictures:
    res/manual/screenshots/NAME.png      (English)
    res/manual/screenshots-ja/NAME.png   (Japanese)
    res/screenshots/main-window.png, res/screenshots/main-window-ja.png
"""

import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "desktop"))
from desktop_support import XServer  # noqa: E402

# The X screen, and the program's window on it (top left corner, no decorations without a window manager).
# The manual's pages are about 620 pixels wide: wider pictures are scaled down to that.
SCREEN = (1024, 720)
FRAME = (800, 620)
# Memo columns wide enough for the demonstration memos (number and name keep their default widths).
COLUMN_WIDTHS = "0,0,112,112,104,96"
# The virtual processor's pacing during Read All: slow enough to photograph the progress dialog part way.
READ_RATE = 4
STEP_TIMEOUT = 60
READ_TIMEOUT = 300
MAGIC = b"TQLLibrarianFile0001" + b" " * 12

# The processor's user patches, from U01-1 on; the rest keep the initial patch.
DEVICE_NAMES = [
    "CLEAN CHORUS", "CRUNCH RHYTHM", "LEAD DELAY", "AMBIENT SWELL",
    "BLUES DRIVE", "FUNK WAH", "METAL CHUG", "JAZZ WARM",
    "COUNTRY TWANG", "SHOEGAZE WALL", "80S STACK", "ACOUSTIC SIM",
    "SLIDE SUSTAIN", "SURF SPRING", "DOUBLE TRACK", "OCTAVE FUZZ",
    "ROTARY CLEAN", "TREMOLO VERB", "SOLO BOOST", "DROP D RIFF",
    "VINTAGE PLEXI", "BRIT CRUNCH", "TIGHT GATE", "PHASER FUNK",
    "TAPE ECHO", "SHIMMER PAD", "ROCKABILLY", "BRIGHT STRUM",
    "WAH SOLO", "DOOM FUZZ", "CHICKEN PICKIN", "POP CLEAN",
    "GARAGE FUZZ", "REVERSE DELAY", "UNI-VIBE", "HIGH GAIN LEAD",
    "NASHVILLE COMP", "DUAL DELAY", "AUTO WAH", "DIRTY BLUES",
    "CATHEDRAL VERB", "PUNK BURN", "CLEAN BOOST", "THICK RHYTHM",
    "FLANGER SWEEP", "SOFT JAZZ", "ARENA LEAD", "PITCH HARMONY",
]

# Library files: (file name, [(name, memos in English, memos in Japanese)]). The Live Set holds the
# processor's first six patches with memos.
LIVE_SET = ("Live Set.tql", [
    ("CLEAN CHORUS", ("Intro, neck PU", "Night Drive", "Vol pedal 50%", ""),
     ("イントロ", "夜のドライブ", "ペダル半分", "")),
    ("CRUNCH RHYTHM", ("Verse riff", "Night Drive", "", ""),
     ("A メロのリフ", "夜のドライブ", "", "")),
    ("LEAD DELAY", ("Solo, bridge PU", "Night Drive", "Dotted 8th", "120 BPM"),
     ("ソロ、リア", "夜のドライブ", "付点 8 分", "120 BPM")),
    ("AMBIENT SWELL", ("Ballad intro", "Tides", "Volume swells", ""),
     ("バラードの前奏", "潮騒", "ボリューム奏法", "")),
    ("BLUES DRIVE", ("Shuffle", "Back Porch", "", ""),
     ("シャッフル", "裏庭", "", "")),
    ("FUNK WAH", ("Cutting", "Groove Line", "Wah on pedal", "Encore too"),
     ("カッティング", "グルーヴ", "ワウはペダル", "アンコールも")),
])
STUDIO = ("Studio.tql", [
    ("DOUBLE TRACK", ("Rhythm L", "", "", ""), ("リズム左", "", "", "")),
    ("TAPE ECHO", ("Slapback", "", "", ""), ("スラップバック", "", "", "")),
    ("VINTAGE PLEXI", ("Rhythm R", "", "", ""), ("リズム右", "", "", "")),
    ("ARENA LEAD", ("Main solo", "", "", ""), ("メインのソロ", "", "", "")),
])
# A library with repeated patches, for Select Duplicates.
REHEARSAL = ("Rehearsal.tql", [
    ("CLEAN CHORUS", ("Warm-up", "", "", ""), ("ウォームアップ", "", "", "")),
    ("BLUES DRIVE", ("Shuffle", "", "", ""), ("シャッフル", "", "", "")),
    ("FUNK WAH", ("Cutting", "", "", ""), ("カッティング", "", "", "")),
    ("CLEAN CHORUS", ("Ballad", "", "", ""), ("バラード", "", "", "")),
    ("TAPE ECHO", ("Slapback", "", "", ""), ("スラップバック", "", "", "")),
    ("BLUES DRIVE", ("Encore", "", "", ""), ("アンコール", "", "", "")),
    ("ARENA LEAD", ("Main solo", "", "", ""), ("メインのソロ", "", "", "")),
    ("CLEAN CHORUS", ("Outro", "", "", ""), ("エンディング", "", "", "")),
])
# Earlier reads of the processor in the device history: (file name, how many of the first patches were
# named otherwise then).
HISTORY = [("2026-11-20 19-02-11.tql", 31), ("2026-12-01 21-15-40.tql", 9)]
BLUES = ("Blues Night.tql", [
    ("BLUES DRIVE", ("Shuffle", "", "", ""), ("シャッフル", "", "", "")),
    ("DIRTY BLUES", ("Slow blues", "", "", ""), ("スロー・ブルース", "", "", "")),
    ("SLIDE SUSTAIN", ("Open G", "", "", ""), ("オープン G", "", "", "")),
])

# The keys of the commands, through the menus as a reader of the manual would find them: some menu mnemonics
# differ between the two languages.
KEYS = {
    "en": {"read_all": ["alt+m", "r"], "setup_midi": ["alt+s", "m"], "setup_grid": ["alt+s", "g"],
           "grid_on": ["alt+n"], "import": ["alt+f", "t"], "close": ["alt+f", "c"],
           "window_list": ["alt+w", "l"], "tile_horizontally": ["alt+w", "o"],
           "maximize_height": ["alt+w", "h"], "maximize_width": ["alt+w", "w"], "leave": ["alt+l"],
           "copy": ["alt+e", "c"], "insert": ["alt+e", "n"], "replace": ["alt+e", "r"],
           "select_all": ["alt+e", "a"], "undo": ["alt+e", "u"], "compare": ["alt+e", "m"],
           "duplicates": ["alt+e", "p"], "midi": ["alt+m"], "history": ["alt+f", "h"],
           "export_syx": ["alt+f", "y"], "collection": ["alt+w", "e"], "where_seen": ["alt+e", "w"],
           "favourite": ["alt+e", "v"], "add_folder": ["alt+f", "l"], "audition": ["alt+m", "a"],
           "audition_controls": ["alt+s", "a"]},
    "ja": {"read_all": ["alt+m", "b"], "setup_midi": ["alt+s", "m"], "setup_grid": ["alt+s", "g"],
           "grid_on": ["alt+n"], "import": ["alt+f", "t"], "close": ["alt+f", "c"],
           "window_list": ["alt+w", "l"], "tile_horizontally": ["alt+w", "t"],
           "maximize_height": ["alt+w", "h"], "maximize_width": ["alt+w", "i"], "leave": ["alt+l"],
           "copy": ["alt+e", "c"], "insert": ["alt+e", "v"], "replace": ["alt+e", "r"],
           "select_all": ["alt+e", "a"], "undo": ["alt+e", "u"], "compare": ["alt+e", "m"],
           "duplicates": ["alt+e", "p"], "midi": ["alt+m"], "history": ["alt+f", "h"],
           "export_syx": ["alt+f", "y"], "collection": ["alt+w", "o"], "where_seen": ["alt+e", "w"],
           "favourite": ["alt+e", "o"], "add_folder": ["alt+f", "l"], "audition": ["alt+m", "l"],
           "audition_controls": ["alt+s", "a"]},
}

# The collection: what is typed into its search field, the tag given to the first sound found, and a folder
# of downloaded files for Add Folder to Collection (a library of new sounds, copies of libraries already
# seen, a file that is no library and a text file, which is passed over).
COLLECTION_SEARCH = {"en": "night", "ja": "夜"}
COLLECTION_TAG = {"en": "live", "ja": "ライブ"}
DOWNLOADS = ("Friends Patches.tql", [
    ("SITAR DRONE", ("From Ken", "", "", ""), ("ケンから", "", "", "")),
    ("BARITONE TWANG", ("From Ken", "", "", ""), ("ケンから", "", "", "")),
    ("GLASS PAD", ("From Ken", "", "", ""), ("ケンから", "", "", "")),
])

# A remembered port pair that is not present, so that the port lists show an "(Unconnected)" entry: the
# MIDI through pair (logical ports 1), which the dialog keeps and lists.
ABSENT_PORT = "USB MIDI Interface MIDI 1"
# The frame drawn around each picture and around dialogs (there is no window manager to draw theirs).
EDGE = "#8a8a8a"


def log(text):
    print(text, flush=True)


def run(*args, check=True, timeout=60, env=None):
    done = subprocess.run([str(a) for a in args], capture_output=True, text=True, timeout=timeout, env=env)
    if check and done.returncode != 0:
        raise RuntimeError(f"{' '.join(map(str, args))} failed ({done.returncode}): {done.stderr.strip()}")
    return done


# --- Library files ---------------------------------------------------------------------------------------

def initial_block(build):
    """The 2178 data bytes of the initial patch, from the build's initial-data library; a plain block
    when it is missing."""
    path = os.path.join(build, "bin", "Script", "InitialData.tql")
    try:
        with open(path, "rb") as f:
            data = f.read()
        offset = 32 + 4 + 124
        (_length,) = struct.unpack_from(">I", data, offset)
        _sections, size = struct.unpack_from(">II", data, offset + 4)
        if size == 2178:
            return data[offset + 12:offset + 12 + size]
    except (OSError, struct.error):
        pass
    return bytes(2178)


def settings_of(block, name):
    """The patch data after the name: the initial patch's, with a few settings that follow from the name,
    so that different patches differ in more than their names (as Compare shows)."""
    data = bytearray(block[16:])
    seed = sum(name.encode("ascii"))
    for offset, step in ((4, 3), (5, 7), (284, 11), (285, 13), (286, 5), (1020, 17)):
        if offset < len(data):
            data[offset] = (seed * step + offset) % 128
    return bytes(data)


def record(block, name, memos=("", "", "", "")):
    assert len(name) <= 16 and name.isascii()
    data = name.ljust(16).encode("ascii") + settings_of(block, name)
    body = struct.pack(">II", 1, len(data)) + data + b"".join(m.encode("utf-8") + b"\0" for m in memos)
    return struct.pack(">I", len(body)) + body


def library_bytes(records):
    return MAGIC + struct.pack(">I", len(records)) + bytes(124) + b"".join(records)


def write_library(path, block, entries, language):
    records = [record(block, name, en if language == "en" else ja) for name, en, ja in entries]
    with open(path, "wb") as f:
        f.write(library_bytes(records))
    return path


# --- The X server and the program's windows --------------------------------------------------------------

class Rect:
    def __init__(self, x, y, w, h):
        self.x, self.y, self.w, self.h = x, y, w, h

    def union(self, other):
        x, y = min(self.x, other.x), min(self.y, other.y)
        right = max(self.x + self.w, other.x + other.w)
        bottom = max(self.y + self.h, other.y + other.h)
        return Rect(x, y, right - x, bottom - y)

    def grown(self, left, top=None, right=None, bottom=None):
        top = left if top is None else top
        right = left if right is None else right
        bottom = top if bottom is None else bottom
        return Rect(self.x - left, self.y - top, self.w + left + right, self.h + top + bottom)

    def clipped(self, to):
        x, y = max(self.x, to.x), max(self.y, to.y)
        right = min(self.x + self.w, to.x + to.w)
        bottom = min(self.y + self.h, to.y + to.h)
        return Rect(x, y, right - x, bottom - y)

    def __repr__(self):
        return f"{self.w}x{self.h}+{self.x}+{self.y}"


class Desktop:
    """xdotool and screenshots on one X server, for one program."""

    def __init__(self, display, work):
        self.env = dict(os.environ, DISPLAY=display)
        self.work = work
        self.pid = None
        self.shots = 0

    def xdo(self, *args, check=True):
        return run("xdotool", *args, check=check, env=self.env).stdout.strip()

    def windows(self, kind=None):
        """The program's visible windows, as {id: name}; of one kind only when given."""
        ids = self.xdo("search", "--onlyvisible", "--pid", str(self.pid), check=False).split()
        found = {}
        for wid in ids:
            if kind and self.kind(wid) != kind:
                continue
            name = run("xdotool", "getwindowname", wid, check=False, env=self.env)
            if name.returncode == 0:
                found[wid] = name.stdout.rstrip("\n")
        return found

    def all_visible(self):
        """Every visible window on the screen (menus included, which need not name their process)."""
        return set(self.xdo("search", "--onlyvisible", "--name", "", check=False).split())

    def kind(self, wid):
        text = run("xprop", "-id", wid, "_NET_WM_WINDOW_TYPE", check=False, env=self.env).stdout
        _, _, types = text.partition("=")
        first = types.split(",")[0].strip()
        return first.replace("_NET_WM_WINDOW_TYPE_", "") if first else None

    def geometry(self, wid):
        values = {}
        for line in self.xdo("getwindowgeometry", "--shell", wid).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value) if value.lstrip("-").isdigit() else value
        return Rect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"])

    def wait(self, what, predicate, timeout=STEP_TIMEOUT):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = predicate()
            if result:
                return result
            time.sleep(0.1)
        path = self.capture("failure")
        raise RuntimeError(f"{what} did not happen within {timeout} s (screen: {path})")

    def new_window(self, before, kind, what, name_test=lambda n: True, timeout=STEP_TIMEOUT):
        def find():
            for wid, name in self.windows(kind).items():
                if wid not in before and name_test(name):
                    return wid
            return None

        return self.wait(what, find, timeout)

    def gone(self, wid):
        return wid not in self.windows()

    def focus(self, wid):
        def focused():
            if self.xdo("getwindowfocus", check=False) == wid:
                return True
            self.xdo("windowfocus", wid, check=False)
            return False

        self.wait("the focus on window " + wid, focused, 20)

    def keys(self, *keys, pause=0.4):
        self.xdo("key", "--delay", "100", *keys)
        time.sleep(pause)

    def click(self, wid, x, y, button="1"):
        self.xdo("mousemove", "--window", wid, str(x), str(y), "click", button)
        time.sleep(0.3)

    def park_mouse(self):
        """The pointer out of the way, so that no tool tip comes up."""
        self.xdo("mousemove", str(SCREEN[0] - 1), str(SCREEN[1] - 1))

    def capture(self, name):
        """The whole screen as a PNG in the work folder."""
        self.shots += 1
        path = os.path.join(self.work, f"{self.shots:02d}-{name}.png")
        # import reads what is on the screen; xwd -root leaves windows that were mapped late black.
        run("import", "-display", self.env["DISPLAY"], "-window", "root", path, timeout=60)
        return path


def save_png(source, rect, target, outlines=()):
    """A part of a screen picture as a small PNG, with a thin frame around it and around each of the
    outlined rectangles (dialogs, which have no frame of their own here)."""
    os.makedirs(os.path.dirname(target), exist_ok=True)
    draw = []
    for o in outlines:
        x0, y0 = o.x - rect.x - 1, o.y - rect.y - 1
        draw += ["-draw", f"rectangle {x0},{y0} {x0 + o.w + 1},{y0 + o.h + 1}"]
    if draw:
        draw = ["-fill", "none", "-stroke", EDGE, "-strokewidth", "1"] + draw
    run("convert", source, "-crop", f"{rect.w}x{rect.h}+{rect.x}+{rect.y}", "+repage", *draw,
        "-bordercolor", EDGE, "-border", "1", "-strip", "-define", "png:exclude-chunks=date,time", target)
    # A palette, when it keeps the picture crisp, makes a much smaller file.
    reduced = target + ".tmp.png"
    run("convert", target, "-strip", "-dither", "None", "-colors", "256",
        "-define", "png:exclude-chunks=date,time", "PNG8:" + reduced)
    if os.path.getsize(reduced) < os.path.getsize(target):
        os.replace(reduced, target)
    else:
        os.remove(reduced)
    log(f"  {os.path.relpath(target)}: {rect.w + 2}x{rect.h + 2}, {os.path.getsize(target) // 1024} KB")


# --- One run of the program ------------------------------------------------------------------------------

class Run:
    def __init__(self, build, source, language, display, work):
        self.build = build
        self.source = source
        self.language = language
        self.keys_of = KEYS[language]
        self.work = work
        self.desk = Desktop(display, work)
        self.processes = []
        suffix = "" if language == "en" else "-ja"
        self.manual_dir = os.path.join(source, "res", "manual", "screenshots" + suffix)
        self.readme_png = os.path.join(source, "res", "screenshots", f"main-window{suffix}.png")
        self.block = initial_block(build)
        self.screen = Rect(0, 0, *SCREEN)

    # Preparation.

    def prepare_files(self):
        names = DEVICE_NAMES + ["INIT PATCH"] * (200 - len(DEVICE_NAMES))
        device = [record(self.block, name) for name in names]
        self.device_file = os.path.join(self.work, "device.tql")
        with open(self.device_file, "wb") as f:
            f.write(library_bytes(device))
        self.libraries = {}
        for file_name, entries in (LIVE_SET, STUDIO, BLUES, REHEARSAL):
            self.libraries[file_name] = write_library(os.path.join(self.work, file_name), self.block, entries,
                                                      self.language)
        self.downloads = os.path.join(self.work, "Downloads")
        os.makedirs(self.downloads)
        for file_name, entries in (DOWNLOADS, STUDIO, BLUES):
            write_library(os.path.join(self.downloads, file_name), self.block, entries, self.language)
        with open(os.path.join(self.downloads, "Old Set.tql"), "wb") as f:
            f.write(MAGIC + b"cut off")
        with open(os.path.join(self.downloads, "readme.txt"), "w") as f:
            f.write("Patches from Ken\n")
        # Earlier reads in the device history, each with some patches that were named otherwise then.
        self.data = os.path.join(self.work, "data")
        history = os.path.join(self.data, "Marlin", "TQ-550 Librarian", "History")
        os.makedirs(history)
        for file_name, renamed in HISTORY:
            earlier = [f"OLD SOUND {i + 1}" if i < renamed else name for i, name in enumerate(names)]
            with open(os.path.join(history, file_name), "wb") as f:
                f.write(library_bytes([record(self.block, name) for name in earlier]))

    def prepare_settings(self):
        """Fresh settings, with only the frame's size, the memo columns' widths and a remembered absent port
        pair given."""
        self.config = os.path.join(self.work, "config")
        self.runtime = os.path.join(self.work, "runtime")
        os.makedirs(os.path.join(self.config, "Marlin"))
        os.makedirs(self.runtime, mode=0o700)
        os.chmod(self.runtime, 0o700)
        w, h = FRAME
        with open(os.path.join(self.config, "Marlin", "TQ-550 Librarian.conf"), "w", encoding="utf-8") as f:
            f.write(f"[Window]\nPosition=\"0,0,{w},{h}\"\nMaximized=0\n\n"
                    f"[PatchListCtrl]\nColumnWidth=\"{COLUMN_WIDTHS}\"\n\n"
                    f"[MIDIInConnection]\nMIDIInDevice1={ABSENT_PORT}\n\n"
                    f"[MIDIOutConnection]\nMIDIOutDevice1={ABSENT_PORT}\n")

    def librarian_env(self):
        env = dict(self.desk.env, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=self.config, XDG_DATA_HOME=self.data,
                   TMPDIR=self.runtime, XDG_RUNTIME_DIR=self.runtime, LC_ALL="")
        for variable in ("LANGUAGE", "LC_MESSAGES", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI",
                         "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"):
            env.pop(variable, None)
        env["LANG"] = "en_US.UTF-8" if self.language == "en" else "ja_JP.UTF-8"
        return env

    def start_emulator(self):
        process = subprocess.Popen(
            [os.path.join(self.build, "bin", "tq550-emu"), "--api", "jack", "--rate", str(READ_RATE),
             "--load", self.device_file],
            stdout=subprocess.PIPE, stderr=open(os.path.join(self.work, "emulator.log"), "w"), text=True)
        self.processes.append(process)
        # A deadline of its own: readline() alone would wait for ever on an emulator that never answers.
        ready, _, _ = select.select([process.stdout], [], [], STEP_TIMEOUT)
        line = process.stdout.readline() if ready else ""
        if not line.startswith("ready"):
            raise RuntimeError(f"tq550-emu did not start: {line!r}")

    def start_librarian(self):
        process = subprocess.Popen(
            [os.path.join(self.build, "bin", "tq550-librarian"), "--api", "jack"], env=self.librarian_env(),
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.work, "librarian.log"), "w"))
        self.processes.append(process)
        self.desk.pid = process.pid
        self.librarian = process
        d = self.desk
        self.frame = d.wait("the main window", lambda: next(
            (w for w, n in d.windows("NORMAL").items() if n.startswith("TQ-550 Librarian")), None))
        time.sleep(1.5)
        d.park_mouse()

    def open_in_running_copy(self, file_name):
        """Opens a library file the way a file manager does: a second start hands it to the running copy."""
        done = run(os.path.join(self.build, "bin", "tq550-librarian"), "--api", "jack",
                   self.libraries[file_name], env=self.librarian_env(), check=False, timeout=60)
        if done.returncode != 0:
            raise RuntimeError(f"opening {file_name} failed: {done.stderr.strip()}")
        title = os.path.splitext(file_name)[0]
        self.desk.wait(f"the window of {file_name}", lambda: title in self.desk.xdo(
            "getwindowname", self.frame, check=False))
        time.sleep(0.8)

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    # Pictures.

    def frame_rect(self):
        return self.desk.geometry(self.frame)

    def shot(self, name, rect, outlines=(), readme=False):
        path = self.desk.capture(name)
        rect = rect.clipped(self.screen)
        save_png(path, rect, os.path.join(self.manual_dir, name + ".png"), outlines)
        if readme:
            save_png(path, rect, self.readme_png, outlines)

    def key(self, command, pause=0.4):
        self.desk.keys(*self.keys_of[command], pause=pause)

    def click_frame(self, x, y):
        """A click at a point of the program's window, then the pointer out of the way."""
        self.desk.click(self.frame, int(x), int(y))
        self.desk.park_mouse()

    def new_dialog(self, command, what):
        d = self.desk
        d.focus(self.frame)
        before = d.windows()
        self.key(command)
        dialog = d.new_window(before, "DIALOG", what)
        d.focus(dialog)
        time.sleep(0.6)
        return dialog

    def refresh_commands(self):
        """The tool bar's buttons brought up to date (the program does so when a menu opens), the pointer
        away and a moment for painting."""
        self.desk.keys("alt+v", pause=0.3)
        self.desk.keys("Escape", "Escape", pause=0.5)
        self.desk.park_mouse()

    # The steps, in the order they run.

    def maximize_main(self):
        """The Main window as large as the area allows (it is the only window)."""
        self.desk.focus(self.frame)
        self.key("maximize_height")
        self.key("maximize_width")

    def midi_setup(self):
        d = self.desk
        dialog = self.new_dialog("setup_midi", "the MIDI setup dialog")
        rect = outline = d.geometry(dialog)
        # The input list, opened: the ports present, "(none)", then the remembered absent one.
        visible = d.all_visible()
        d.keys("alt+Down", pause=0.8)
        for wid in d.all_visible() - visible:
            rect = rect.union(d.geometry(wid))
        self.shot("midi-setup", rect.grown(10), [outline])
        d.keys("Escape", pause=0.5)
        d.keys("Escape")
        d.wait("the MIDI setup dialog to close", lambda: d.gone(dialog))

    def read_all(self):
        d = self.desk
        d.focus(self.frame)
        before = d.windows()
        self.key("read_all")
        confirm = d.new_window(before, "DIALOG", "the confirmation of Read All")
        d.focus(confirm)
        time.sleep(0.6)
        rect = d.geometry(confirm)
        self.shot("confirm-read", rect)
        d.keys("Return", pause=0)
        progress = d.new_window(before, "DIALOG", "the progress dialog", lambda n: n.strip() == "")
        # About a quarter of the way.
        time.sleep(200 * 9 * 255 * 10 / (31250 * READ_RATE) / 4)
        rect = d.geometry(progress)
        self.shot("progress", rect.grown(rect.w // 3, rect.h).clipped(self.frame_rect()), [rect])
        d.wait("the end of Read All", lambda: d.gone(progress), READ_TIMEOUT)
        time.sleep(0.5)

    def open_menu(self, command):
        """Opens a menu (and a sub-menu) with keys; the rectangle of the frame's corner and what opened."""
        d = self.desk
        frame = self.frame_rect()
        visible = d.all_visible()
        self.key(command, pause=0.8)
        rect = Rect(frame.x, frame.y, 1, 1)
        for wid in d.all_visible() - visible:
            rect = rect.union(d.geometry(wid))
        return rect

    def write_changed(self):
        """Three rows of the Main window changed after Read All: their marks, and Write Changed in the MIDI
        menu; then the Device History dialog, which counts them too. Undo takes the change back."""
        d = self.desk
        frame = self.frame_rect()
        self.click_frame(frame.w // 2, frame.h * 2 // 3)
        d.keys("ctrl+Home", "Down", "Down")
        self.key("copy")
        d.keys("Down", "Down", "Down", "shift+Down", "shift+Down")
        self.key("replace")
        d.keys("Down", "Down", "Down")
        self.refresh_commands()
        rect = self.open_menu("midi")
        d.keys("Up", pause=0.6)
        self.shot("write-changed", rect.union(Rect(frame.x, frame.y, frame.w, frame.h * 3 // 4)))
        d.keys("Escape", "Escape")
        dialog = self.new_dialog("history", "the Device History dialog")
        # The counts come in entry by entry.
        time.sleep(2)
        self.shot("device-history", d.geometry(dialog))
        d.keys("Escape")
        d.wait("the Device History dialog to close", lambda: d.gone(dialog))
        d.focus(self.frame)
        self.key("undo")

    def compare(self):
        """U01-1 and U01-2 compared, the Compare window over the Main window."""
        d = self.desk
        frame = self.frame_rect()
        self.click_frame(frame.w // 2, frame.h * 2 // 3)
        d.keys("ctrl+Home", "shift+Down")
        before = d.windows()
        self.key("compare")
        window = d.new_window(before, "UTILITY", "the Compare window")
        time.sleep(0.8)
        d.park_mouse()
        rect = d.geometry(window)
        self.shot("compare", rect.grown(40, 30).clipped(self.frame_rect()).union(rect), [rect])
        d.focus(window)
        d.keys("Escape")
        d.wait("the Compare window to close", lambda: d.gone(window))

    def duplicates(self):
        """The Rehearsal library with its repeats selected, the status bar saying how many."""
        self.open_in_running_copy(REHEARSAL[0])
        self.desk.focus(self.frame)
        self.key("duplicates", pause=0.8)
        self.desk.park_mouse()
        time.sleep(0.5)
        self.shot("duplicates", self.frame_rect())
        self.key("close")

    def syx_menu(self):
        """The File menu with the Export SysEx File sub-menu, the Main window active."""
        frame = self.frame_rect()
        self.click_frame(frame.w // 2, frame.h // 3)
        rect = self.open_menu("export_syx")
        self.shot("syx-export", rect.grown(0, 0, 10, 10))
        self.desk.keys("Escape", "Escape", "Escape")

    def audition(self):
        """Audition turned on (its confirmation answered) and a patch of the Main window selected: the MIDI
        menu with Audition ticked over the window, and the status bar naming the patch the processor plays.
        Audition is turned off again; then the Audition Controls dialog."""
        d = self.desk
        frame = self.frame_rect()
        self.click_frame(frame.w // 2, frame.h // 3)
        d.keys("ctrl+Home", "Down", "Down", "Down")
        dialog = self.new_dialog("audition", "the confirmation of Audition")
        d.keys("Return")
        d.wait("the confirmation to close", lambda: d.gone(dialog))
        d.focus(self.frame)
        d.keys("Down")
        # The patch travels at the MIDI cable's pace (under a second).
        time.sleep(2.5)
        rect = self.open_menu("midi")
        d.keys("Up", pause=0.6)
        self.shot("audition", rect.union(frame))
        d.keys("Escape", "Escape")
        self.key("audition")
        dialog = self.new_dialog("audition_controls", "the Audition Controls dialog")
        self.shot("audition-controls", d.geometry(dialog))
        d.keys("Escape")
        d.wait("the Audition Controls dialog to close", lambda: d.gone(dialog))
        d.focus(self.frame)

    def main_window(self):
        """Memos from the Live Set library into the first rows, two rows selected, the Main window alone."""
        d = self.desk
        frame = self.frame_rect()
        self.open_in_running_copy(LIVE_SET[0])
        # The library window is active: all its patches to the clipboard; then it closes.
        self.key("select_all")
        self.key("copy")
        self.key("close")
        # Into the Main window's list; its first rows take the library's patches with their memos.
        self.click_frame(frame.w // 2, frame.h * 2 // 3)
        d.keys("ctrl+Home", *["shift+Down"] * (len(LIVE_SET[1]) - 1))
        self.key("replace")
        d.keys("ctrl+Home", *["Down"] * 8, "shift+Down")
        self.refresh_commands()
        self.shot("main-window", self.frame_rect())

    def library_window(self):
        """The two selected patches of the Main window go to the end of the Live Set library, which becomes
        modified; the two windows one above the other."""
        d = self.desk
        frame = self.frame_rect()
        self.key("copy")
        self.open_in_running_copy(LIVE_SET[0])
        self.key("tile_horizontally")
        # Into the library's list (the lower window), to its End of Line row, and insert there.
        self.click_frame(frame.w // 2, frame.h * 3 // 4)
        d.keys("ctrl+End")
        self.key("insert")
        self.refresh_commands()
        self.shot("library-window", self.frame_rect(), readme=True)

    def import_menu(self):
        d = self.desk
        frame = self.frame_rect()
        # The Main window active (upper window), so that every command of the File menu is available.
        self.click_frame(frame.w // 2, frame.h // 3)
        visible = d.all_visible()
        self.key("import", pause=0.8)
        rect = Rect(frame.x, frame.y, 1, 1)
        for wid in d.all_visible() - visible:
            rect = rect.union(d.geometry(wid))
        self.shot("import-menu", rect.grown(0, 0, 10, 10))
        d.keys("Escape", "Escape", "Escape")

    def grid(self):
        """Grid lines on, then the dialog again in front of the lists that show them."""
        d = self.desk
        dialog = self.new_dialog("setup_grid", "the Set Up Grid dialog")
        self.key("grid_on")
        d.keys("Return")
        d.wait("the Set Up Grid dialog to close", lambda: d.gone(dialog))
        dialog = self.new_dialog("setup_grid", "the Set Up Grid dialog again")
        rect = d.geometry(dialog)
        self.shot("font-grid", rect.grown(rect.w * 3 // 4, rect.h).clipped(self.frame_rect()), [rect])
        d.keys("Escape")
        d.wait("the Set Up Grid dialog to close", lambda: d.gone(dialog))

    def window_list(self):
        """Four windows, Studio minimised (Leave with the other three selected), Live Set selected."""
        d = self.desk
        self.open_in_running_copy(STUDIO[0])
        self.open_in_running_copy(BLUES[0])
        dialog = self.new_dialog("window_list", "the Window List dialog")
        # Lines in title order: Blues Night, Live Set, Main, Studio.
        d.keys("Home", "shift+Down", "shift+Down")
        self.key("leave", pause=0.8)
        d.focus(dialog)
        d.keys("Up", pause=0.6)
        rect = d.geometry(dialog)
        self.shot("window-list", rect)
        d.keys("Escape")

    def type(self, text):
        """Text typed as a keyboard does, letters outside ASCII too (xdotool reads it as UTF-8)."""
        run("xdotool", "type", "--delay", "60", text, env=dict(self.desk.env, LC_ALL="C.UTF-8"))
        time.sleep(0.5)

    def collection(self):
        """Window > Collection over the other windows, as large as the area allows: a word typed into its
        search field, the first sound found a favourite with a tag; then Where Seen of that sound, and the
        summary of Add Folder to Collection."""
        d = self.desk
        d.focus(self.frame)
        self.key("collection", pause=1.0)
        self.key("maximize_height")
        self.key("maximize_width")
        self.type(COLLECTION_SEARCH[self.language])
        # Into the list (its first row), the mark, then the tags (the sixth column) edited in place.
        d.keys("Return")
        self.key("favourite")
        d.keys(*["Right"] * 5, "F2")
        self.type(COLLECTION_TAG[self.language])
        d.keys("Return", "Home")
        self.refresh_commands()
        self.shot("collection", self.frame_rect())

        dialog = self.new_dialog("where_seen", "the Where Seen dialog")
        rect = d.geometry(dialog)
        self.shot("where-seen", rect)
        d.keys("Escape")
        d.wait("the Where Seen dialog to close", lambda: d.gone(dialog))

        chooser = self.new_dialog("add_folder", "the folder dialog")
        self.type(self.downloads)
        before = d.windows()
        d.keys("Return")
        d.wait("the folder dialog to close", lambda: d.gone(chooser))
        summary = d.new_window(before, "DIALOG", "the summary of Add Folder to Collection")
        time.sleep(1.0)
        d.park_mouse()
        rect = d.geometry(summary)
        self.shot("add-folder", rect)
        d.focus(summary)
        d.keys("Escape")

    def take(self):
        log(f"{self.language}: {self.work}")
        self.prepare_files()
        self.prepare_settings()
        self.start_emulator()
        self.start_librarian()
        self.maximize_main()
        self.midi_setup()
        self.read_all()
        self.write_changed()
        self.compare()
        self.duplicates()
        self.main_window()
        self.library_window()
        self.import_menu()
        self.syx_menu()
        self.audition()
        self.grid()
        self.window_list()
        self.collection()


def main(argv):
    build, source = (os.path.abspath(a) for a in argv[1:3])
    languages = argv[3:] or ["en", "ja"]
    if not os.environ.get("JACK_DEFAULT_SERVER"):
        sys.exit("screenshots.py runs under tests/e2e/jack-run.sh (use scripts/screenshots.sh)")
    keep = os.environ.get("TQ_SHOTS_KEEP")
    for language in languages:
        work = tempfile.mkdtemp(prefix=f"tq550-shots-{language}-")
        server = XServer(*SCREEN, extra=("-dpi", "96"))
        shots = Run(build, source, language, server.display, work)
        try:
            shots.take()
        finally:
            shots.stop()
            server.stop()
            if keep:
                log(f"{language}: work folder kept in {work}")
            else:
                shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(sys.argv)

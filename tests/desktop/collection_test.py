"""The collection of tq550-librarian on a real X server: two libraries opened, their patches found in Window >
Collection by text typed in Japanese and by a name typed in lower and in upper case, each found patch dragged
with the mouse into a library window, which is saved: the file holds what was dragged."""

import os
import subprocess
import sys
import time

import desktop_support as support
from desktop_support import DesktopTest

# The frame's place and size, so that the tiled windows fall where the test looks for them.
FRAME = (1200, 760)


class CollectionTest(DesktopTest):
    def keys(self, window, *keys):
        self.xdotool("windowfocus", "--sync", window)
        for key in keys:
            self.xdotool("key", "--window", window, key)
            time.sleep(0.3)

    def wait_title(self, frame, text, timeout=30):
        deadline = time.monotonic() + timeout
        while text not in self.window_name(frame):
            if time.monotonic() > deadline:
                self.screenshot(f"collection-no-{text}")
                raise AssertionError(f"the frame's title {self.window_name(frame)!r} never named {text!r}")
            time.sleep(0.2)

    def pixels(self):
        """The screen as rows of (r, g, b) triples."""
        shot = self.screenshot("collection-probe")
        raw = subprocess.run(["convert", shot, "-depth", "8", "rgb:-"], capture_output=True, timeout=30,
                             check=True).stdout
        width = int(subprocess.run(["identify", "-format", "%w", shot], capture_output=True, text=True,
                                   timeout=30, check=True).stdout)
        return raw, width

    def selected_row(self, left, right):
        """The middle of the lowest band of screen rows between the columns left and right that are mostly of
        one saturated colour: the selected row of the list (above it only the active window's title bar may be
        so); None when there is none."""
        raw, width = self.pixels()
        height = len(raw) // (3 * width)
        bands = []
        for y in range(height):
            row = {}
            for x in range(left, right):
                i = 3 * (y * width + x)
                r, g, b = raw[i], raw[i + 1], raw[i + 2]
                if max(r, g, b) - min(r, g, b) > 60:
                    row[(r, g, b)] = row.get((r, g, b), 0) + 1
            if row and max(row.values()) > (right - left) * 3 // 4:
                if bands and bands[-1][1] == y - 1:
                    bands[-1][1] = y
                else:
                    bands.append([y, y])
        return (bands[-1][0] + bands[-1][1]) // 2 if bands else None

    def search_and_drag(self, frame, text, collection_x, studio_x, drop_y):
        """Types text into the collection's search field (Find puts the focus there), goes on into the list
        (Return selects the first row found), selects every row found and drags them into the Studio
        window."""
        # Window > Collection brings the window to the front with its search text selected.
        self.keys(frame, "ctrl+shift+f", "BackSpace")
        # xdotool reads the text in the locale's encoding: UTF-8 whichever locales the system has.
        subprocess.run(["xdotool", "type", "--delay", "60", text], env=dict(self.env, LC_ALL="C.UTF-8"),
                       check=True, timeout=30)
        time.sleep(0.8)
        self.keys(frame, "Return", "ctrl+a")
        time.sleep(0.5)
        y = self.selected_row(collection_x - 60, collection_x + 60)
        self.assertIsNotNone(y, f"a patch found for {text!r}")
        self.screenshot(f"collection-found-{len(self.dragged)}")
        self.xdotool("mousemove", str(collection_x), str(y))
        self.xdotool("mousedown", "1")
        # A few pixels first: the list starts the drag once the pointer has moved that far while pressed.
        for nudge in (4, 8, 16, 24):
            self.xdotool("mousemove", str(collection_x - nudge), str(y))
            time.sleep(0.08)
        for step in range(1, 13):
            self.xdotool("mousemove", str(collection_x + (studio_x - collection_x) * step // 12),
                         str(y + (drop_y - y) * step // 12))
            time.sleep(0.08)
        time.sleep(0.3)
        self.xdotool("mouseup", "1")
        time.sleep(0.8)

    def test_found_patches_dragged_into_a_library_are_saved_with_it(self):
        os.makedirs(os.path.join(self.config, "Marlin"))
        with open(os.path.join(self.config, "Marlin", "TQ-550 Librarian.conf"), "w", encoding="utf-8") as f:
            f.write(f"[Window]\nPosition=\"0,0,{FRAME[0]},{FRAME[1]}\"\nMaximized=0\n")
        live = self.write("Live Set.tql", b"".join([
            support.MAGIC, (3).to_bytes(4, "big"), bytes(124),
            support.record("CLEAN TONE", ("クリーンなトーン".encode(), b"", b"", b""), 1),
            support.record("Crunch Rhythm", (b"verse", b"", b"", b""), 2),
            support.record("Lead Solo", (b"bridge", b"", b"", b""), 3)]))
        studio = self.write("Studio.tql", support.library(["GLASS PAD", "TAPE ECHO"]))

        program = self.start(live)
        frame = self.wait_for_window("^TQ-550 Librarian - Live Set")
        # The second library the way a file manager opens it: handed to the running copy.
        self.assertEqual(self.wait_exit(self.start(studio)), 0)
        self.wait_title(frame, "Studio")
        self.keys(frame, "ctrl+shift+f")
        self.wait_title(frame, "Collection")
        # Side by side in the order they were made: Live Set, Main, Studio, Collection.
        self.keys(frame, "alt+w", "v")
        time.sleep(1.0)
        geometry = {k: int(v) for k, v in (line.split("=") for line in
                    self.xdotool("getwindowgeometry", "--shell", frame).splitlines()) if v.isdigit()}
        width, height = geometry["WIDTH"], geometry["HEIGHT"]
        collection_x = width * 7 // 8
        studio_x = width * 5 // 8
        # Below the library's rows, in the empty part of its list: the patches go to its end.
        drop_y = height * 2 // 3
        self.dragged = []
        # Japanese, as an input method gives it: the memo of CLEAN TONE.
        self.search_and_drag(frame, "クリーン", collection_x, studio_x, drop_y)
        self.dragged.append("CLEAN TONE")
        # A name in lower case, then in upper case.
        self.search_and_drag(frame, "crunch rhythm", collection_x, studio_x, drop_y)
        self.dragged.append("Crunch Rhythm")
        self.search_and_drag(frame, "LEAD SOLO", collection_x, studio_x, drop_y)
        self.dragged.append("Lead Solo")
        self.screenshot("collection-dropped")

        # Into the Studio window's list, then Save.
        self.xdotool("mousemove", str(studio_x), str(drop_y), "click", "1")
        time.sleep(0.5)
        self.wait_title(frame, "Studio")
        self.keys(frame, "ctrl+s")
        deadline = time.monotonic() + 30
        while support.library_count(studio) != 5 and time.monotonic() < deadline:
            time.sleep(0.2)
        self.screenshot("collection-saved")
        self.assertEqual(support.library_names(studio), ["GLASS PAD", "TAPE ECHO"] + self.dragged)
        self.keys(frame, "alt+f", "x")
        self.assertEqual(self.wait_exit(program), 0)


if __name__ == "__main__":
    support.main(sys.argv)

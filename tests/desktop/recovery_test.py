"""tq550-librarian on a real X server killed with SIGKILL while a library has unsaved changes: the next start
offers the library again, and saving it gives the file what was edited."""

import glob
import os
import signal
import sys
import time

import desktop_support as support
from desktop_support import DesktopTest


class RecoveryTest(DesktopTest):
    def recovery_root(self):
        return os.path.join(self.data, "Marlin", "TQ-550 Librarian", "Recovery")

    def kept_counts(self):
        """The patch counts of the libraries in the recovery folder."""
        return [support.library_count(path) for path in glob.glob(os.path.join(self.recovery_root(), "*", "*.tql"))]

    def keys(self, window, *keys):
        self.xdotool("windowfocus", "--sync", window)
        for key in keys:
            self.xdotool("key", "--window", window, key)
            time.sleep(0.3)

    def test_a_killed_program_offers_its_unsaved_library_again(self):
        path = self.write("Live Set.tql", support.library(["CLEAN", "CRUNCH", "LEAD"]))
        env = dict(self.env, TQ_RECOVERY_INTERVAL_MS="1000")
        program = self.start(path, env=env)
        window = self.wait_for_window("^TQ-550 Librarian - Live Set")
        # Select All, Copy, Insert: the library holds its three patches twice, unsaved.
        self.keys(window, "ctrl+a", "ctrl+c", "ctrl+v")
        deadline = time.monotonic() + 30
        while 6 not in self.kept_counts() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertIn(6, self.kept_counts(), "the unsaved library was written to the recovery folder")
        self.screenshot("recovery-edited")
        program.send_signal(signal.SIGKILL)
        program.wait()
        self.assertEqual(support.library_count(path), 3, "the file itself was not saved")

        again = self.start(env=env)
        # The question's box, titled as the program; Return answers Yes.
        deadline = time.monotonic() + 60
        while True:
            question = self.wait_for_window("^TQ-550 Librarian$")
            time.sleep(1.5)  # painted
            if self.xdotool("getwindowname", question, check=False) == "TQ-550 Librarian":
                self.screenshot("recovery-offered")
                if self.xdotool("windowfocus", "--sync", question, check=False) is not None:
                    self.xdotool("key", "--window", question, "Return", check=False)
            time.sleep(0.5)
            if not self.xdotool("search", "--onlyvisible", "--name", "^TQ-550 Librarian$", check=False):
                break
            self.assertLess(time.monotonic(), deadline, "the question was not answered")
        window = self.wait_for_window("^TQ-550 Librarian - Live Set")
        self.screenshot("recovery-reopened")
        self.keys(window, "ctrl+s")
        deadline = time.monotonic() + 30
        while support.library_count(path) != 6 and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(support.library_names(path), ["CLEAN", "CRUNCH", "LEAD"] * 2)
        self.keys(window, "alt+f")
        self.xdotool("key", "x")
        self.assertEqual(self.wait_exit(again), 0)
        self.assertEqual(glob.glob(os.path.join(self.recovery_root(), "*")), [],
                         "a clean end after the save leaves nothing to recover")


if __name__ == "__main__":
    support.main(sys.argv)

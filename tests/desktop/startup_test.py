"""tq550-librarian on a real X server: start-up, files from the command line and from a second copy, and a
clean end."""

import base64
import glob
import os
import socket
import sys
import time

import desktop_support as support
from desktop_support import DesktopTest


class StartUpTest(DesktopTest):
    def quit(self, window, process):
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("key", "--window", window, "alt+f")
        time.sleep(0.5)
        self.xdotool("key", "x")
        return self.wait_exit(process)

    def sockets(self):
        return glob.glob(os.path.join(self.runtime, "tq550-librarian-*"))

    def test_starts_with_its_main_window_and_quits_cleanly(self):
        program = self.start()
        window = self.wait_for_window("^TQ-550 Librarian")
        self.assertEqual(self.window_name(window), "TQ-550 Librarian - Main")
        self.screenshot("startup-main-window")
        self.assertEqual(len(self.sockets()), 1, "the running copy listens for later copies")
        self.assertEqual(self.quit(window, program), 0)
        self.assertEqual(self.sockets(), [], "no socket is left behind")
        settings = self.settings()
        self.assertEqual(settings.get("Window", "Position").count(","), 3)
        self.assertEqual(settings.get("Option", "GridSw"), "0")
        self.assertEqual(settings.get("Option", "Mode"), "1")
        self.assertTrue(settings.has_option("Option", "FontFaceName"))
        self.assertTrue(settings.has_option("Version", "FileVersion"))

    def test_opens_the_library_named_on_its_command_line(self):
        path = self.write("Lead Sounds.tql", support.library(["CRUNCH", "SOLO"]))
        program = self.start(path)
        window = self.wait_for_window("^TQ-550 Librarian")
        self.screenshot("startup-with-library")
        # Accelerators right after the selection changed: Select All, Copy, Insert (before the selection),
        # Save. The file then holds the two patches twice.
        self.xdotool("windowfocus", "--sync", window)
        for key in ("ctrl+a", "ctrl+c", "ctrl+v", "ctrl+s"):
            self.xdotool("key", "--window", window, key)
            time.sleep(0.3)
        deadline = time.monotonic() + 30
        while support.library_count(path) != 4 and time.monotonic() < deadline:
            time.sleep(0.2)
        self.screenshot("startup-library-edited-by-keys")
        self.assertEqual(support.library_count(path), 4, "Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+S did their work")
        self.assertEqual(self.quit(window, program), 0)
        # An opened file goes to the top of the recent-file list.
        self.assertEqual(self.settings().get("Recent%20File%20List", "File1"), path)

    def test_the_patch_list_of_an_opened_library_takes_the_keyboard_at_once(self):
        path = self.write("keys.tql", support.library(["ONE", "TWO", "THREE"]))
        program = self.start(path)
        window = self.wait_for_window("^TQ-550 Librarian - keys")
        self.xdotool("windowfocus", "--sync", window)
        # No click and no Tab first: the arrows reach the list, Delete removes the second patch.
        for key in ("ctrl+Home", "Down", "Delete", "ctrl+s"):
            self.xdotool("key", "--window", window, key)
            time.sleep(0.3)
        deadline = time.monotonic() + 30
        while support.library_names(path) != ["ONE", "THREE"] and time.monotonic() < deadline:
            time.sleep(0.2)
        self.screenshot("startup-keys-reach-the-list")
        self.assertEqual(support.library_names(path), ["ONE", "THREE"])
        self.assertEqual(self.quit(window, program), 0)

    def test_a_second_copy_hands_its_file_to_the_first_and_ends(self):
        first = self.start()
        window = self.wait_for_window("^TQ-550 Librarian")
        path = self.write("second.tql", support.library(["HANDED OVER"]))
        second = self.start(path)
        self.assertEqual(self.wait_exit(second), 0, "the second copy ends after handing over its file")
        deadline = time.monotonic() + 20
        # The caption names the window the file opened in (the X server keeps no trailing blank).
        while self.window_name(window).rstrip() != "TQ-550 Librarian - second.tql" and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.window_name(window).rstrip(), "TQ-550 Librarian - second.tql")
        self.screenshot("startup-handed-over")
        # Without a file, a later copy only brings the first to the front.
        third = self.start()
        self.assertEqual(self.wait_exit(third), 0)
        self.assertEqual(first.poll(), None)
        self.assertEqual(self.quit(window, first), 0)

    def test_strangers_on_the_hand_over_socket_open_nothing_and_leave_the_program_answering(self):
        first = self.start()
        window = self.wait_for_window("^TQ-550 Librarian")
        [socket_path] = self.sockets()
        opened = self.write("opened-by-a-stranger.tql", support.library(["STRANGER"]))

        def connect():
            peer = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            peer.settimeout(10)
            peer.connect(socket_path)
            return peer

        # One says nothing and stays; one sends garbage ending like a request; one sends a request far too
        # long; one closes half-way through a well-formed request.
        silent = connect()
        garbage = connect()
        garbage.sendall(b"\x00\xffOPEN !!!\nEND\n")
        huge = connect()
        try:
            huge.sendall(b"OPEN " + b"A" * (4 << 20) + b"\nEND\n")
        except OSError:
            pass  # dropped before all of it arrived
        half = connect()
        request = b"OPEN " + base64.b64encode(opened.encode()) + b"\nEND\n"
        half.sendall(request[:len(request) // 2])
        half.close()
        for peer in (garbage, huge):
            try:
                self.assertEqual(peer.recv(16), b"", "a stranger gets no answer")
            except ConnectionResetError:
                pass
            peer.close()

        # While the silent one still holds its connection, a later copy hands its file over.
        path = self.write("second.tql", support.library(["HANDED OVER"]))
        second = self.start(path)
        self.assertEqual(self.wait_exit(second, timeout=30), 0, "the running copy answered the later copy")
        deadline = time.monotonic() + 20
        while self.window_name(window).rstrip() != "TQ-550 Librarian - second.tql" and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.window_name(window).rstrip(), "TQ-550 Librarian - second.tql")
        self.screenshot("startup-strangers-on-the-socket")
        # The silent connection is dropped after its deadline without an answer.
        try:
            self.assertEqual(silent.recv(16), b"")
        except ConnectionResetError:
            pass
        silent.close()
        self.assertEqual(self.quit(window, first), 0)
        # Every opened file goes into the recent-file list: only the handed-over one is there.
        recent = dict(self.settings().items("Recent%20File%20List"))
        self.assertEqual(list(recent.values()), [path], "no stranger opened a file")

    def test_a_relative_path_is_handed_over_from_the_folder_it_was_typed_in(self):
        # The two copies work in different folders: the path means the file beside the second one.
        home = self.path("home")
        patches = self.path("patches")
        os.makedirs(home)
        os.makedirs(patches)
        first = self.start(cwd=home)
        window = self.wait_for_window("^TQ-550 Librarian")
        self.write(os.path.join("patches", "live.tql"), support.library(["LIVE"]))
        second = self.start("live.tql", cwd=patches)
        self.assertEqual(self.wait_exit(second), 0, "the second copy ends after handing over its file")
        deadline = time.monotonic() + 20
        while self.window_name(window).rstrip() != "TQ-550 Librarian - live.tql" and time.monotonic() < deadline:
            time.sleep(0.2)
        self.screenshot("startup-relative-path-handed-over")
        self.assertEqual(self.window_name(window).rstrip(), "TQ-550 Librarian - live.tql")
        self.assertEqual(self.quit(window, first), 0)

    def test_a_missing_file_on_the_command_line_ends_the_start_after_its_message(self):
        program = self.start(self.path("absent.tql"))
        box = self.wait_for_window("^TQ-550 Librarian$")
        self.screenshot("startup-missing-file")
        self.xdotool("windowfocus", "--sync", box)
        self.xdotool("key", "Return")
        self.assertEqual(self.wait_exit(program), 0)
        self.assertEqual(self.sockets(), [])

    def test_starts_in_japanese_on_a_japanese_system(self):
        env = dict(self.env, LANG="ja_JP.UTF-8")
        program = self.start(env=env)
        window = self.wait_for_window("^TQ-550 Librarian")
        self.assertEqual(self.window_name(window), "TQ-550 Librarian - Main")
        self.screenshot("startup-japanese")
        program.terminate()
        self.wait_exit(program)


if __name__ == "__main__":
    support.main(sys.argv)

"""Audition in the desktop program on a real X server with tq550-emu over JACK at the wire's pace.

Run through jack-run.sh and xvfb-run (see CMakeLists.txt):
    audition_e2e_test.py LIBRARIAN EMULATOR TQ550 MIDI_SEND ARTIFACT_FOLDER

MIDI > Audition turned on with real keys and its confirmation; Down pressed twenty times quickly in a library
window: the emulator ends up holding the selected patch, and its log shows at most three writes of its
temporary patch; a foot switch (a Control Change from a second JACK port, learned in the settings) steps the
selection and the emulator follows; the emulator goes away during audition: a notice, no message box per
selection, and the program goes on. Screenshots of every step are kept in ARTIFACT_FOLDER.
"""

import os
import re
import signal
import subprocess
import sys
import time
import unittest

import librarian_e2e_test as base

MIDI_SEND = None
BEGINS = re.compile(r"^tq550-emu: temporary patch write \d+ begins")
NOW = re.compile(r'^tq550-emu: temporary patch now "(.*)"')


class AuditionSession(base.LibrarianSession):
    def emulator_log(self):
        with open(self.path("emulator.log")) as log:
            return log.read().splitlines()

    def writes_begun(self):
        return sum(1 for line in self.emulator_log() if BEGINS.match(line))

    def temporary_patch(self):
        """The name of the last temporary patch the emulator received whole."""
        names = [m.group(1) for m in map(NOW.match, self.emulator_log()) if m]
        return names[-1] if names else None

    def start_pedal(self):
        process = subprocess.Popen([MIDI_SEND, "Pedal", "Out"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   text=True)
        self.processes.append(process)
        self.assertEqual(process.stdout.readline().strip(), "ready", "the pedal's port did not open")
        return process

    def press(self, pedal, message):
        pedal.stdin.write(message + "\n")
        pedal.stdin.flush()
        self.assertEqual(pedal.stdout.readline().strip(), "sent")

    def write_settings(self, text):
        folder = os.path.join(self.path("config"), "Marlin")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "TQ-550 Librarian.conf"), "w") as f:
            f.write(text)

    def test_audition_follows_the_keys_and_a_foot_switch_and_survives_the_processor_going(self):
        s = self.session
        names = [f"AUD {i:02d}" for i in range(30)]
        blocks = [n.ljust(16).encode() + bytes((i * 7 + b) % 128 for b in range(2178 - 16))
                  for i, n in enumerate(names)]
        live = self.path("live.tql")
        with open(live, "wb") as f:
            f.write(base.library(blocks))
        emulator = self.start_emulator("--rate", "1", "--verbose")
        pedal = self.start_pedal()
        # The foot switch as Setup > Audition Controls... stores it: Control Change 64 (value 64 or more) on
        # any channel steps down, Control Change 65 steps up.
        self.write_settings(PEDAL_SETTINGS)
        librarian = self.start_librarian(live)
        main = s.wait("the main window", lambda: next(
            (w for w, n in s.windows("NORMAL").items() if n.startswith("TQ-550 Librarian")), None))
        time.sleep(1)

        # MIDI > Audition asks the temporary write's confirmation once.
        s.focus(main)
        before = s.windows()
        s.keys("alt+m", "a")
        self.confirm(before, "audition")
        geometry = s.geometry(main)
        base.xdo("mousemove", "--window", main, str(geometry["WIDTH"] // 2), str(geometry["HEIGHT"] // 3),
                 "click", "1")
        base.xdo("mousemove", "--window", main, str(geometry["WIDTH"] - 2), "2")
        # Ctrl+Home moves the current row alone; Down and Up select.
        s.keys("ctrl+Home", "Down", "Up")
        s.wait("the first patch to be auditioned", lambda: self.temporary_patch() == "AUD 00", 30)
        s.screenshot("audition-first")

        # Twenty rows down, 50 ms apart.
        begun = self.writes_begun()
        base.xdo("key", "--delay", "50", *["Down"] * 20)
        s.wait("the twentieth patch to be auditioned", lambda: self.temporary_patch() == "AUD 20", 30)
        time.sleep(2)
        s.screenshot("audition-after-twenty")
        self.assertEqual(self.temporary_patch(), "AUD 20")
        self.assertLessEqual(self.writes_begun() - begun, 3, "too many temporary writes for twenty rows")

        # The foot switch: next, next, previous.
        self.press(pedal, "B0 40 7F")
        s.wait("the foot switch to step down", lambda: self.temporary_patch() == "AUD 21", 30)
        self.press(pedal, "B3 40 7F")
        s.wait("the foot switch to step down again", lambda: self.temporary_patch() == "AUD 22", 30)
        # Released (a value below 64): nothing.
        self.press(pedal, "B0 40 00")
        self.press(pedal, "B0 41 7F")
        s.wait("the foot switch to step up", lambda: self.temporary_patch() == "AUD 21", 30)
        s.screenshot("audition-foot-switch")

        # The processor goes away: a notice, no message box, and the program goes on.
        emulator.send_signal(signal.SIGTERM)
        self.assertEqual(emulator.wait(timeout=base.STEP_TIMEOUT), 0)
        s.focus(main)
        s.keys("Down")
        notice = s.new_window({}, "UTILITY", lambda n: n.strip() == "", "a notice")
        s.screenshot("audition-processor-gone")
        s.keys("Down", "Down")
        time.sleep(3)
        self.assertEqual([w for w, n in s.windows("DIALOG").items() if n == "TQ-550 Librarian"], [],
                         "a message box came up")
        self.assertIsNone(librarian.poll(), "the program ended")
        del notice
        s.focus(main)
        s.keys("alt+f", "x")
        self.assertEqual(librarian.wait(timeout=base.STEP_TIMEOUT), 0)


PEDAL_SETTINGS = """[AuditionControls]
InPort="Pedal:Out"
NextKind=2
NextNumber=64
NextChannel=-1
PreviousKind=2
PreviousNumber=65
PreviousChannel=-1
"""

if __name__ == "__main__":
    base.LIBRARIAN, base.EMULATOR, base.TQ550, MIDI_SEND, base.ARTIFACTS = sys.argv[1:6]
    del sys.argv[1:6]
    os.makedirs(base.ARTIFACTS, exist_ok=True)
    unittest.main(verbosity=2, defaultTest="AuditionSession.test_audition_follows_the_keys_and_a_foot_switch_"
                                           "and_survives_the_processor_going")

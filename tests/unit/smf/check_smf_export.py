#!/usr/bin/env python3
"""Checks the Standard MIDI Files that `tq550` writes with two independent readers (mido and midicsv), and
that `tq550` reads a file written by mido.

Usage: check_smf_export.py TQ550 WORKDIR
"""
import json
import os
import shutil
import subprocess
import sys

import mido

PATCH_SIZE = 2178
CHUNK = 242


def fail(text):
    print("FAIL: " + text)
    sys.exit(1)


def run(args, expect=0):
    result = subprocess.run(args, capture_output=True)
    if result.returncode != expect:
        fail("%s exited %d (expected %d): %s" % (" ".join(args), result.returncode, expect,
                                                  result.stderr.decode(errors="replace")))
    return result


def patch_address(number, offset):
    value = 0x02000000 + number * 0x4000 + offset
    return [(value >> 21) & 0x7F, (value >> 14) & 0x7F, (value >> 7) & 0x7F, value & 0x7F]


def data_set(number, offset, data):
    """The bytes between F0 and F7 of a data-set message for the TQ-550 with device id 0."""
    address = patch_address(number, offset)
    checksum = (-(sum(address) + sum(data))) & 0x7F
    return [0x41, 0x00, 0x00, 0x00, 0x60, 0x12] + address + list(data) + [checksum]


def pattern(number):
    image = [(i * 5 + number * 3) & 0x7F for i in range(PATCH_SIZE)]
    image[0:16] = list(b"PATCH %03d       " % number)[:16]
    return image


def main():
    tq550, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    source = os.path.join(work, "from_mido.mid")
    exported = os.path.join(work, "exported.mid")
    numbers = [0, 199]
    images = {n: pattern(n) for n in numbers}

    # mido writes a file of data sets; tq550 reads it as the Main window's import would.
    track = mido.MidiTrack()
    track.append(mido.MetaMessage("set_tempo", tempo=500000, time=0))
    for n in numbers:
        for k in range(9):
            track.append(mido.Message("sysex", data=data_set(n, k * CHUNK, images[n][k * CHUNK:(k + 1) * CHUNK]),
                                      time=20))
    track.append(mido.MetaMessage("end_of_track", time=20))
    written = mido.MidiFile(type=0, ticks_per_beat=96)
    written.tracks.append(track)
    written.save(source)

    dump = json.loads(run([tq550, "dump", "--from", "smf", "--initial-data", "none", source]).stdout)
    patches = dump["patches"]
    if len(patches) != 200:
        fail("dump --from smf printed %d patches" % len(patches))
    for n in numbers:
        if patches[n]["data"] != bytes(images[n]).hex():
            fail("patch %d read from the mido file differs" % n)
        if patches[n]["memos"] != ["", "", "", ""]:
            fail("patch %d kept memos" % n)
    initial = (b"INIT PATCH      " + bytes(PATCH_SIZE - 16)).hex()
    if patches[1]["data"] != initial or patches[198]["data"] != initial:
        fail("patches the file does not address are not in their initial state")

    # tq550 exports patches 0 and 199; mido and midicsv read the file back.
    run([tq550, "convert", "--from", "smf", "--to", "smf", "--initial-data", "none", "--patches", "0,199", source,
         exported])
    midi = mido.MidiFile(exported)
    if midi.type != 0 or midi.ticks_per_beat != 96 or len(midi.tracks) != 1:
        fail("header: type %d, division %d, %d tracks" % (midi.type, midi.ticks_per_beat, len(midi.tracks)))
    events = list(midi.tracks[0])
    if len(events) != 20:
        fail("%d events instead of 20" % len(events))
    if events[0].type != "set_tempo" or events[0].tempo != 500000 or events[0].time != 0:
        fail("first event is not tempo 120 at delta 0: %s" % events[0])
    index = 0
    for n in numbers:
        for k in range(9):
            event = events[1 + index]
            expected = data_set(n, k * CHUNK, images[n][k * CHUNK:(k + 1) * CHUNK])
            if event.type != "sysex" or list(event.data) != expected:
                fail("message %d differs: %s" % (index, str(event)[:80]))
            if len(event.data) + 2 != 255:
                fail("message %d is not 255 bytes long" % index)
            if event.time != (0 if index == 0 else 20):
                fail("message %d at delta %d" % (index, event.time))
            index += 1
    if events[19].type != "end_of_track" or events[19].time != 20:
        fail("last event is not End of Track at delta 20: %s" % events[19])

    csv = run(["midicsv", exported]).stdout.decode().splitlines()
    rows = [[field.strip() for field in line.split(",")] for line in csv]
    sysex_rows = [row for row in rows if row[2] == "System_exclusive"]
    if rows[0][:6] != ["0", "0", "Header", "0", "1", "96"]:
        fail("midicsv header row: %s" % rows[0])
    if not any(row[2] == "Tempo" and row[3] == "500000" for row in rows):
        fail("midicsv found no tempo 500000")
    if len(sysex_rows) != 18 or any(row[3] != "254" for row in sysex_rows):
        fail("midicsv found %d System Exclusive events" % len(sysex_rows))
    if [int(row[1]) for row in sysex_rows] != [20 * i for i in range(18)]:
        fail("midicsv times: %s" % [row[1] for row in sysex_rows])
    end = [row for row in rows if row[2] == "End_track"]
    if len(end) != 1 or end[0][1] != "360":
        fail("midicsv End_track: %s" % end)

    # Reading the export gives the same patches back.
    again = json.loads(run([tq550, "dump", "--from", "smf", "--initial-data", "none", exported]).stdout)
    if again != dump:
        fail("the exported file does not read back into the same patches")

    # Failures: an unparseable file cannot be loaded; a file that cannot be written leaves nothing behind.
    result = run([tq550, "dump", "--from", "smf", "--initial-data", "none", __file__], expect=1)
    if b"This file could not be loaded." not in result.stderr:
        fail("unparseable file: %s" % result.stderr)
    blocked = os.path.join(work, "blocked.mid")
    os.makedirs(blocked)
    before = sorted(os.listdir(work))
    result = run([tq550, "convert", "--from", "smf", "--to", "smf", "--initial-data", "none", "--patches", "0", source,
                  blocked], expect=1)
    if b"This file could not be saved." not in result.stderr:
        fail("unwritable file: %s" % result.stderr)
    if sorted(os.listdir(work)) != before or os.listdir(blocked):
        fail("a failed save left files behind: %s" % sorted(os.listdir(work)))
    print("ok")


if __name__ == "__main__":
    main()

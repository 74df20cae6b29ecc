#!/usr/bin/env bash
# Audition of the desktop program (its own start-up, a library window and Audition on, on a real X server
# under Xvfb) against tq550-emu at the MIDI wire rate over a private JACK server:
#   bench/audition_timing.sh [BUILD_FOLDER] [RUNS]
# Per run, for 20 selection changes 50 ms apart: the temporary patches the emulator began to receive, the
# one it holds at the end, the time from the last change to the last byte of that patch, and the longest
# stall of the user-interface thread meanwhile; then the time from one selection after a rest to the last
# byte of its patch (one send's time: the identity check, then nine data sets of 81 ms of wire time, each
# followed by the writer's 20 ms pause but the last), and the patch's wire time alone (nine data sets).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
runs="${2:-5}"

if [ -z "${JACK_DEFAULT_SERVER:-}" ]; then
    exec "$here/../tests/e2e/jack-run.sh" "$0" "$build" "$runs"
fi

. "$here/emulator_session.sh"
emulator_log="$work/emulator.log"
start_emulator --rate 1 --verbose

XDG_CONFIG_HOME="$work" XDG_DATA_HOME="$work" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/bin/audition_timing" "$runs" >"$work/times"

# Nine data sets of 253 bytes (242 data bytes and 11 of framing) at 3125 bytes a second.
wire=$(echo "9 * 253 * 1000 / 3125" | bc)
printf 'one patch on the wire: %d ms; goal for the last change to the last byte: %d ms\n' "$wire" "$((wire + 100))"
grep FAILED "$work/times" >&2 || true
# The emulator's lines: "temporary patch write N begins at T ms", "temporary patch now "NAME" at T ms".
awk -v log_file="$work/emulator.log" '
    BEGIN {
        while ((getline line < log_file) > 0) {
            if (line ~ /temporary patch write [0-9]+ begins at/) { split(line, w, " "); begins[++nb] = w[8] }
            if (line ~ /temporary patch now "/) {
                match(line, /"[^"]*"/); name = substr(line, RSTART + 1, RLENGTH - 2)
                n = split(line, w, " "); nows[++nn] = w[n - 1]; names[nn] = name
            }
        }
    }
    # What began, and the last patch held whole with when, from a to b.
    function window(a, b,   i) {
        sent = 0; at = -1; hn = ""
        for (i = 1; i <= nb; ++i) if (begins[i] >= a && begins[i] <= b) ++sent
        for (i = 1; i <= nn; ++i) if (nows[i] >= a && nows[i] <= b) { at = nows[i]; hn = names[i] }
    }
    $3 == "burst" {
        window($4, $6 + 20)
        printf "run %s: 20 changes 50 ms apart: %d patches begun, holds \"%s\", last change to last byte %d ms, longest stall %.1f ms\n", $2, sent, hn, at - $5, $8
    }
    $3 == "single" {
        window($4, $5 + 20)
        printf "run %s: one selection after a rest to the last byte of its patch: %d ms (\"%s\", %d begun)\n", $2, at - $4, hn, sent
    }
' "$work/times"

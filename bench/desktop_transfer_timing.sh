#!/usr/bin/env bash
# Times Read All, Write Changed of three edited patches and Write All of the desktop program's Main window
# (its own start-up, commands, transfer jobs and progress dialog, on a real X server under Xvfb) against
# tq550-emu over a private JACK server, and compares them with the ideal time, the wire time of what travels;
# each line also gives the longest stall of the user-interface thread meanwhile (a 5 ms timer's longest gap):
#   bench/desktop_transfer_timing.sh [BUILD_FOLDER] [RATE] [--read-only]
# RATE is the emulator's pacing as a multiple of the MIDI wire rate (default 10). Reads are paced by the
# emulator's answers; writes by the program's own wire-time wait (at the MIDI wire rate) plus 20 ms a message.
# --read-only leaves out Write All (three minutes).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
rate="${2:-10}"
mode="${3:-}"

if [ -z "${JACK_DEFAULT_SERVER:-}" ]; then
    exec "$here/../tests/e2e/jack-run.sh" "$0" "$build" "$rate" "$mode"
fi

. "$here/emulator_session.sh"
start_emulator --rate "$rate"

XDG_CONFIG_HOME="$work" XDG_DATA_HOME="$work" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/bin/desktop_transfer_timing" $mode | tee "$work/times"

# As bench/device_transfer_timing.sh: nine 255-byte answers per patch at the emulator's rate plus the 5 ms of
# each 17-byte request; per data-set message written, 81 ms of wire time and the 20 ms pause.
ideal_read=$(echo "200 * 9 * 255 * 10 / (31250 * $rate) + 200 * 5 / 1000" | bc -l)
ideal_write=$(echo "1800 * (81 + 20) / 1000" | bc -l)
ideal_changed=$(echo "27 * (81 + 20) / 1000" | bc -l)
while read -r what rest; do
    seconds=$(echo "$rest" | awk '{for (i = 1; i <= NF; ++i) if ($(i + 1) == "s") { print $i; exit }}')
    case "$what" in
        read) ideal=$ideal_read ;;
        write) ideal=$ideal_write ;;
        changed) ideal=$ideal_changed ;;
        *) continue ;;
    esac
    label=$(echo "$rest" | awk '{for (i = 1; i <= NF && $i !~ /^[0-9.]+$/; ++i) printf "%s ", $i}')
    printf '%-6s %-24s ideal %7.2f s   ratio %.3f\n' "$what" "$label" "$ideal" "$(echo "$seconds / $ideal" | bc -l)"
done <"$work/times"

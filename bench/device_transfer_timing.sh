#!/usr/bin/env bash
# Times `tq550 read` and `tq550 write` of all 200 user patches against tq550-emu over a private JACK server
# and compares them with the ideal time, the wire time of what travels:
#   bench/device_transfer_timing.sh [BUILD_FOLDER] [RATE]
# RATE is the emulator's pacing as a multiple of the MIDI wire rate (default 10, that is 312 500 bit/s).
# Reads are paced by the emulator's answers; writes by the program's own wire-time wait plus 20 ms a message.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
rate="${2:-10}"

if [ -z "${JACK_DEFAULT_SERVER:-}" ]; then
    exec "$here/../tests/e2e/jack-run.sh" "$0" "$build" "$rate"
fi

. "$here/emulator_session.sh"
start_emulator --rate "$rate"

now() { date +%s.%N; }
port="VELA TQ-550"

start=$(now)
"$build/bin/tq550" read --api jack --in "$port" --out "$port" --initial-data none "$work/all.tql"
read_seconds=$(echo "$(now) - $start" | bc -l)

start=$(now)
"$build/bin/tq550" write --api jack --in "$port" --out "$port" "$work/all.tql"
write_seconds=$(echo "$(now) - $start" | bc -l)

# Ideal read: nine 255-byte answers per patch at the emulator's rate, and the program's wait after each
# 17-byte request at the wire rate (10 bits a byte, 31 250 bit/s: 17 × 1000 / 3125 = 5 whole ms).
ideal_read=$(echo "200 * 9 * 255 * 10 / (31250 * $rate) + 200 * 5 / 1000" | bc -l)
# Ideal write: per data-set message the wait of 255 × 1000 / 3125 = 81 whole ms, then the 20 ms pause.
ideal_write=$(echo "1800 * (81 + 20) / 1000" | bc -l)

printf 'read 200 patches:  %6.2f s   ideal %6.2f s   ratio %.3f\n' "$read_seconds" "$ideal_read" \
    "$(echo "$read_seconds / $ideal_read" | bc -l)"
printf 'write 200 patches: %6.2f s   ideal %6.2f s   ratio %.3f\n' "$write_seconds" "$ideal_write" \
    "$(echo "$write_seconds / $ideal_write" | bc -l)"

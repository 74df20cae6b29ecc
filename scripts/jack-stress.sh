#!/usr/bin/env bash
# Opens, uses and closes the backend's JACK ports CYCLES times over a private JACK server, and prints the
# cycles run, the crashes, the hangs, the failed cycles, the time per cycle and the servers used:
#   scripts/jack-stress.sh CYCLES [SEED]
# Builds the program (tests/e2e/jack_port_stress.cpp) in the build folder first: TQ_BUILD, default build/.
# The servers are named tq550-stress-1 or -2, not from the tests' pool, so that a run of hours leaves the
# tests both of theirs, and run with a period of 32 frames (TQ_JACK_PERIOD), 1500 periods a second: the
# process threads then run often enough for a teardown that races with them to show within a few hundred
# cycles (at the tests' 256 frames RtMidi's JACK ports ran 16,000 cycles without a crash). When the program ends early because the server became unusable (after a hang, for
# one), the remaining cycles go on with a new server. Exit status 0 only when every cycle ran and none
# crashed, hung or failed.
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${TQ_BUILD:-$here/build}"
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 CYCLES [SEED]" >&2; exit 2; }
total=$1
seed=${2:-1}
cmake --build "$build" --target jack_port_stress >/dev/null || exit 1

run=0 crashes=0 hangs=0 failed=0 seconds=0 servers=0
while [ "$run" -lt "$total" ]; do
    line=$(TQ_JACK_NAMES="tq550-stress-1 tq550-stress-2" TQ_JACK_PERIOD="${TQ_JACK_PERIOD:-32}" \
        "$here/tests/e2e/jack-run.sh" "$build/bin/jack_port_stress" $((total - run)) "$seed" "$run" | tail -n 1)
    servers=$((servers + 1))
    # cycles N crashes C hangs H failed F seconds S ms-per-cycle M
    read -r _ cycles _ c _ h _ f _ s _ <<<"$line"
    if ! [[ "${cycles:-}" =~ ^[0-9]+$ ]] || [ "$cycles" -eq 0 ]; then
        echo "$0: no cycle ran on server $servers: ${line:-no result}" >&2
        break
    fi
    run=$((run + cycles)) crashes=$((crashes + c)) hangs=$((hangs + h)) failed=$((failed + f))
    seconds=$(awk -v a="$seconds" -v b="$s" 'BEGIN { print a + b }')
done
awk -v r="$run" -v c="$crashes" -v h="$hangs" -v f="$failed" -v s="$seconds" -v n="$servers" 'BEGIN {
    printf "cycles %d crashes %d hangs %d failed %d seconds %.1f ms-per-cycle %.1f servers %d\n",
           r, c, h, f, s, r ? 1000 * s / r : 0, n }'
[ "$run" -eq "$total" ] && [ "$crashes" -eq 0 ] && [ "$hangs" -eq 0 ] && [ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Runs a command with a private JACK server (dummy driver, synchronous mode, no real-time scheduling):
#   tests/e2e/jack-run.sh COMMAND [ARGUMENTS...]
# The server's name comes from the same fixed pool as the C++ test fixture (tq550-test-1 and -2), claimed
# with a lock file; JACK_DEFAULT_SERVER names it for the command. The server is stopped cleanly afterwards,
# and the command's exit status is passed on. TQ_JACK_NAMES gives another pool (names separated by spaces),
# for long runs that should not hold one of the tests' servers for hours; TQ_JACK_PERIOD another period in
# frames (256 by default, at 48 kHz).
set -uo pipefail
[ $# -ge 1 ] || { echo "usage: $0 COMMAND [ARGUMENTS...]" >&2; exit 2; }

claim() {
    local candidate
    for candidate in ${TQ_JACK_NAMES:-tq550-test-1 tq550-test-2}; do
        exec {lock}>"/tmp/$candidate.lock" || continue
        # A server that answers although nobody holds its name is not ours: leave that name alone.
        if flock -n "$lock"; then
            if [ "$(jack_wait -s "$candidate" -c 2>/dev/null)" != "running" ]; then
                name="$candidate"
                return 0
            fi
            flock -u "$lock"
        fi
        exec {lock}>&-
    done
    return 1
}

name=""
for _ in $(seq 3000); do claim && break; sleep 0.2; done
[ -n "$name" ] || { echo "$0: no JACK server name of the pool became free" >&2; exit 1; }

# jackd can die of SIGPIPE when it shuts down; an ignored signal stays ignored across exec.
(trap '' PIPE; exec {lock}>&-; exec jackd -S -n "$name" --no-realtime -t 5000 -d dummy -r 48000 -p "${TQ_JACK_PERIOD:-256}" >"/tmp/$name.log" 2>&1) &
server=$!
# A server whose clients hung or crashed can hang in its shutdown: after 15 s it is killed.
stop_server() {
    kill -TERM "$server" 2>/dev/null
    for _ in $(seq 150); do
        case "$(ps -o stat= -p "$server" 2>/dev/null)" in '' | Z*) break ;; esac
        sleep 0.1
    done
    kill -KILL "$server" 2>/dev/null
    wait "$server" 2>/dev/null
}
trap stop_server EXIT

if ! jack_wait -s "$name" -w -t 20 >/dev/null 2>&1; then
    echo "$0: jackd did not start; see /tmp/$name.log" >&2
    exit 1
fi
export JACK_DEFAULT_SERVER="$name"
"$@"

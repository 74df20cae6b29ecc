#!/usr/bin/env bash
# Opens, uses and closes the backend's JACK ports CYCLES times over a private JACK server, and prints the
# cycles run, the crashes, the hangs, the failed cycles and the time per cycle:
#   scripts/jack-stress.sh CYCLES [SEED]
# Builds the program (tests/e2e/jack_port_stress.cpp) in the build folder first: TQ_BUILD, default build/.
# A cycle takes a tenth of a second or so; 100,000 cycles take a few hours, mostly waiting on the server.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${TQ_BUILD:-$here/build}"
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 CYCLES [SEED]" >&2; exit 2; }
cmake --build "$build" --target jack_port_stress >/dev/null
exec "$here/tests/e2e/jack-run.sh" "$build/bin/jack_port_stress" "$@"

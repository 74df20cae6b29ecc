#!/usr/bin/env bash
# Runs the MIDI input timing over a private JACK server:
#   bench/midi_jack_timing.sh [BUILD_FOLDER] [MESSAGE_COUNT]
# Builds nothing; the program is BUILD_FOLDER/bench/midi_jack_timing (default build/).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
count="${2:-10000}"
exec "$here/../tests/e2e/jack-run.sh" "$build/bench/midi_jack_timing" "$count"

#!/usr/bin/env bash
# Takes the screenshots of the user manual and the README from the real desktop program, in English and in
# Japanese:
#   scripts/screenshots.sh [BUILD_FOLDER] [LANGUAGE...]      (default: build, en ja)
# It builds nothing: the build folder must hold bin/tq550-librarian and bin/tq550-emu. It runs them on a
# private X server (Xvfb) and a private JACK server, with fresh settings, and drives the program with
# xdotool (scripts/screenshots.py). It writes res/manual/screenshots/*.png, res/manual/screenshots-ja/*.png
# and res/screenshots/main-window{,-ja}.png. TQ_SHOTS_KEEP=1 keeps the work folders (full-screen pictures,
# the programs' output).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
shift || true

for program in tq550-librarian tq550-emu; do
    [ -x "$build/bin/$program" ] || { echo "$0: $build/bin/$program is missing; build first" >&2; exit 1; }
done
for tool in Xvfb xdotool xprop import convert jackd jack_wait python3; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing (see scripts/packages.sh)" >&2; exit 1; }
done

# A JACK server of its own for each language: the clients of one run, ended by signals, can leave a server
# that no longer answers a new client.
[ $# -gt 0 ] || set -- en ja
for language in "$@"; do
    "$root/tests/e2e/jack-run.sh" python3 "$here/screenshots.py" "$build" "$root" "$language"
done

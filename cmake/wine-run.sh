#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, without a display:
#
#   cmake/wine-run.sh PREFIX [--terminal] PROGRAM.exe [ARGUMENTS...]
#
# The cross-build (cmake/mingw-w64-x86_64.cmake) runs its programs and tests through it. The first run makes
# the prefix, which takes some seconds; runs that start meanwhile wait for it. Wine's own messages are
# silenced, and it is kept from looking for Mono, Gecko and a desktop to register menus with.
# --terminal runs the program on a pseudo-terminal of its own, which Wine makes the program's console (without
# a display Wine has no other console that shows text); the exit status is the program's.
set -eu
prefix=$1
shift
terminal=
if [ "${1:-}" = --terminal ]; then
    terminal=1
    shift
fi
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
if [ ! -e "$prefix/.tq550-ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -e "$prefix/.tq550-ready" ]; then
            wineboot --init >/dev/null 2>&1
            # The registry reaches the disk when the server ends.
            wineserver --wait
            touch "$prefix/.tq550-ready"
        fi
    ) 9>"$prefix.lock"
fi
if [ -n "$terminal" ]; then
    printf -v command '%q ' wine "$@"
    exec script --quiet --return --command "$command" /dev/null </dev/null
fi
exec wine "$@"

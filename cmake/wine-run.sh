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
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -e "$prefix/.tq550-ready" ]; then
        # The lock is not handed on: a server that kept it would hold up every later run.
        wineboot --init >/dev/null 2>&1 9>&-
        # The registry reaches the disk when the server ends.
        wineserver --wait 9>&-
        touch "$prefix/.tq550-ready"
    fi
    # Debian's Wine ends its server as soon as the last program has ended, and a program that starts in that
    # moment is cut off ("wine client error ... Connection reset by peer"). The server is started to stay
    # half a minute after the last program instead (when one runs already, this does nothing), and a new
    # one starts the session's background programs at once, away from the output of the program run here,
    # which they would otherwise hold open for as long as they run.
    if wineserver --persistent=30 </dev/null >/dev/null 2>&1 9>&-; then
        wine wineboot </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$prefix.lock"
if [ -n "$terminal" ]; then
    printf -v command '%q ' wine "$@"
    exec script --quiet --return --command "$command" /dev/null </dev/null
fi
exec wine "$@"

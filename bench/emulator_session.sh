# Sourced by the benchmarks that run tq550-emu over a private JACK server, once $build is set: a work folder
# ($work) removed at the end, and start_emulator OPTIONS..., which starts tq550-emu on JACK with those
# options (its standard error to $emulator_log when set), waits for its "ready" and ends it at the end.
work=$(mktemp -d)
emulator_pid=""
cleanup() {
    [ -n "$emulator_pid" ] && kill -TERM "$emulator_pid" 2>/dev/null && wait "$emulator_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

start_emulator() {
    mkfifo "$work/ready"
    "$build/bin/tq550-emu" --api jack "$@" >"$work/ready" 2>"${emulator_log:-/dev/null}" &
    emulator_pid=$!
    local line
    read -r line <"$work/ready"
    case "$line" in ready*) ;; *) echo "tq550-emu did not start" >&2; exit 1 ;; esac
}

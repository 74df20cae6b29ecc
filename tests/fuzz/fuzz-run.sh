#!/usr/bin/env bash
# Runs one fuzz target on its seed corpus:
#   tests/fuzz/fuzz-run.sh BINARY WORKDIR --runs N|--seconds S [LIBFUZZER OPTIONS...]
# The seeds (tests/fuzz/corpus/NAME/) are only read; inputs that find new coverage go to WORKDIR/NAME/corpus,
# and a crash, a broken invariant, a leak, a slow input or an allocation over the limits leaves its input in
# WORKDIR/NAME/ (crash-..., leak-..., timeout-..., oom-...) and fails the run. The log is WORKDIR/NAME/log.
set -uo pipefail
[ $# -ge 4 ] || { echo "usage: $0 BINARY WORKDIR --runs N|--seconds S [OPTIONS...]" >&2; exit 2; }
binary=$1 work=$2 limit=$3 amount=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
target=$(basename "$binary")
name=${target#fuzz_}
case $limit in
    --runs) limit=(-runs="$amount") ;;
    --seconds) limit=(-max_total_time="$amount") ;;
    *) echo "$0: give --runs N or --seconds S" >&2; exit 2 ;;
esac

# MIDI input needs room for more than 2048 one-byte events and for System Exclusive messages over 2048 bytes.
max_len=4096
[ "$name" = midi_input ] && max_len=8192

dir=$work/$name
# A run of a fixed number of inputs starts from the seeds alone, so that it does the same every time.
[ "${limit[0]}" != "${limit[0]#-runs=}" ] && rm -rf "$dir/corpus"
mkdir -p "$dir/corpus"
options=(-rss_limit_mb=512 -malloc_limit_mb=256 -max_len="$max_len" -timeout=25 -print_final_stats=1
         -artifact_prefix="$dir/")
[ -f "$here/dict/$name.dict" ] && options+=(-dict="$here/dict/$name.dict")
# A small quarantine keeps the resident size of long runs well under the 512 MB limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=32}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$binary" "${options[@]}" "${limit[@]}" "$@" "$dir/corpus" "$here/corpus/$name" >"$dir/log" 2>&1
status=$?
if [ $status -ne 0 ]; then
    tail -n 60 "$dir/log"
    echo "$0: $target failed (exit $status); see $dir/log" >&2
else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+.*DONE)' "$dir/log"
fi
exit $status

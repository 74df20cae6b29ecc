#!/bin/bash
# tq550 collection add of the benchmark's 10,000 library files (made by collection_timing, once) into a new
# collection, then the same files again, against the program just loading them: collection_timing's load
# alone (each file recognised and read, as the collector reads it, in one process, the file cache warm) plus
# what tq550 itself takes to start, open the collection and end (an add of an empty folder). Elapsed and
# processor (user + system) seconds; the machine's other work lengthens the first more than the second.
#   bench/collection_timing.sh [BUILD] [FOLDER] [RUNS]     (defaults: build, /tmp/collection-bench, 3)
build=${1:-build}
folder=${2:-/tmp/collection-bench}
runs=${3:-3}
load=$("$build/bench/collection_timing" "$folder" 10000 20 --load-only | grep '^load alone') || exit 1
echo "$load"
load_wall=$(echo "$load" | sed 's/load alone: \([0-9.]*\) s.*/\1/')
load_cpu=$(echo "$load" | sed 's/.*processor \([0-9.]*\) s.*/\1/')
db="$folder/cli.sqlite"
empty="$folder/empty"
mkdir -p "$empty"
TIMEFORMAT='%R %U %S'
timed() {  # prints "elapsed processor" of the command, its output to stderr
    local t
    t=$( { time "$@" >&2; } 2>&1 >/dev/null | tail -1) || return 1
    echo "$t" | awk '{printf "%.2f %.2f", $1, $2 + $3}'
}
for run in $(seq "$runs"); do
    rm -f "$db" "$db-wal" "$db-shm"
    read -r start_wall start_cpu < <(timed "$build/bin/tq550" collection add --db "$db" "$empty" 2>/dev/null)
    base_wall=$(echo "$load_wall + $start_wall" | bc -l)
    base_cpu=$(echo "$load_cpu + $start_cpu" | bc -l)
    echo "run $run: start and end of tq550 $start_wall s, processor $start_cpu s; baseline (load alone + that)" \
        "$(printf '%.2f' "$base_wall") s, processor $(printf '%.2f' "$base_cpu") s"
    for which in first second; do
        read -r wall cpu < <(timed "$build/bin/tq550" collection add --db "$db" "$folder/files" 2>/dev/null)
        printf '  tq550 collection add, %s time: %s s (%.2f x baseline), processor %s s (%.2f x)\n' "$which" \
            "$wall" "$(echo "$wall / $base_wall" | bc -l)" "$cpu" "$(echo "$cpu / $base_cpu" | bc -l)"
    done
done
"$build/bin/tq550" collection add --db "$db" "$folder/files"
ls -l "$db"

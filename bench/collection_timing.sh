#!/bin/bash
# tq550 collection add of the benchmark's 10,000 library files (made by collection_timing, once): into a new
# collection, then the same files again.
#   bench/collection_timing.sh [BUILD] [FOLDER]     (defaults: build, /tmp/collection-bench)
build=${1:-build}
folder=${2:-/tmp/collection-bench}
[ -d "$folder/files" ] || "$build/bench/collection_timing" "$folder" >/dev/null || exit 1
db="$folder/cli.sqlite"
rm -f "$db" "$db-wal" "$db-shm"
for run in first second; do
    start=$(date +%s.%N)
    "$build/bin/tq550" collection add --db "$db" "$folder/files" || exit 1
    end=$(date +%s.%N)
    echo "tq550 collection add, $run time: $(echo "$end - $start" | bc) s"
done
ls -l "$db"

#!/usr/bin/env bash
# Builds the fuzz targets in build-fuzz/ (Clang, libFuzzer, AddressSanitizer and UBSan) and runs each for
# SECONDS (default 60), at most JOBS at a time (default 2), with nice:
#   scripts/fuzz.sh [SECONDS] [TARGET...]        TARGET: library_file, midi_input, ... (default all)
# Inputs that find new coverage stay in build-fuzz/fuzz-long/NAME/corpus and are used again by the next run;
# a failing input and the log are in build-fuzz/fuzz-long/NAME/. Add a failing input to
# tests/fuzz/corpus/NAME/ once its fault is fixed.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tq_ensure_packages || exit 1

seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(library_file earlier_file smf_read smf_patches syx_file tq4_dump tq2_dump marlin_message
                                    midi_input)
jobs=${JOBS:-2}

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTQ_CORE_ONLY=ON \
    -DTQ_FUZZ=ON >/dev/null || exit 1
cmake --build build-fuzz -j"$(nproc)" || exit 1

work=$PWD/build-fuzz/fuzz-long
printf '%s\n' "${targets[@]}" |
    xargs -P "$jobs" -I{} sh -c 'echo "== {}"; nice tests/fuzz/fuzz-run.sh build-fuzz/bin/fuzz_{} "$0" --seconds "$1" ||
                                  echo "== {} FAILED"' "$work" "$seconds" |
    tee build-fuzz/fuzz-long.log
! grep -q FAILED build-fuzz/fuzz-long.log

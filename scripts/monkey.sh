#!/usr/bin/env bash
# Drives the desktop program at random for MINUTES minutes (default 30) with AddressSanitizer and
# UndefinedBehaviorSanitizer, built in build-asan-gui/ (only the random driver and what it links):
#   scripts/monkey.sh [MINUTES] [FIRST-SEED]
# The regression seeds of tests/gui/monkey/regression_seeds.txt run first, then new seeds from FIRST-SEED (default:
# from the clock), 300 steps each. A failing seed is printed with its last steps and appended to
# build-asan-gui/monkey-failures.txt; add it to the regression list once its fault is fixed. The log is in
# build-asan-gui/monkey.log. With TQ_MONKEY_BUILD=build, the ordinary build in build/ is driven instead.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tq_ensure_packages || exit 1

minutes=${1:-30}
build=${TQ_MONKEY_BUILD:-build-asan-gui}
if [ "$build" = build-asan-gui ]; then
    cmake -S . -B build-asan-gui -DCMAKE_BUILD_TYPE=Debug -DTQ_SANITIZE=ON -DTQ_WERROR=ON >/dev/null || exit 1
fi
cmake --build "$build" -j"$(nproc)" --target gui_monkey || exit 1

seed=()
[ $# -gt 1 ] && seed=(--seed "$2")
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build"/bin/gui_monkey --regressions tests/gui/monkey/regression_seeds.txt --minutes "$minutes" "${seed[@]}" \
    --failures "$PWD/$build/monkey-failures.txt" 2>&1 | tee "$build/monkey.log"

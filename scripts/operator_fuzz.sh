#!/usr/bin/env bash
# Runs the random operator against the real main window on a real X display (Xvfb), with a
# random device on a pseudo-terminal. Builds the target first when needed. Any finding, crash,
# hang or sanitizer report fails the run; the seed and the last steps are printed to replay it.
#
#   scripts/operator_fuzz.sh [SECONDS] [SEED] [BUILD_DIR] [more arguments for the program]
#
# SECONDS defaults to 30, SEED to one taken from the time, BUILD_DIR to build-asan (made as the
# sanitizer build when missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
seed=${2:-}
build=${3:-$root/build-asan}
shift $(($# < 3 ? $# : 3))

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARRENDEL_SANITIZE=ON \
        -DQUARRENDEL_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target operator_fuzz

args=("--seconds=$seconds")
if [[ -n "$seed" ]]; then
    args+=("--seed=$seed")
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=xcb
# The exit status is the program's: non-zero for a finding or a sanitizer report.
# Past its own watchdog, a run that outlasts its length by five minutes is stopped.
timeout $((seconds + 300)) xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/operator_fuzz" \
    "${args[@]}" "$@"

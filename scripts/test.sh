#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a plain build and once with
# AddressSanitizer and UndefinedBehaviorSanitizer, where any report fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)

run_suite() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" -j "$jobs" --output-on-failure
}

echo "== plain build"
run_suite "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [[ -x "$root/scripts/fuzz.sh" ]]; then
    echo "== fuzz targets, briefly"
    "$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-20}"
fi

echo "== sanitizer build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
run_suite "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DQUARRENDEL_SANITIZE=ON \
    -DQUARRENDEL_BENCH=OFF


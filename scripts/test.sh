#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a plain build and once with
# AddressSanitizer and UndefinedBehaviorSanitizer, where any report fails the run. The GUI test
# programs run on the offscreen platform and again on xcb under Xvfb, where the clipboard,
# focus and the menu bar's keyboard mode are a desktop's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)
gui_tests=(test_framework_gui test_program)

build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

offscreen() {
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" -j "$jobs" --output-on-failure
}

# Each program on a display of its own, so no other test takes its window's focus. The whole
# program runs at once, out of CTest's reach, so it has a time limit of its own.
on_x11() {
    local t
    for t in "${gui_tests[@]}"; do
        echo "-- $t on xcb under Xvfb"
        QT_QPA_PLATFORM=xcb \
            LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
            UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
            timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" "$1/tests/$t" --gtest_brief=1
    done
}

echo "== plain build"
build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
offscreen "$root/build"
on_x11 "$root/build"

if [[ -x "$root/scripts/fuzz.sh" ]]; then
    echo "== fuzz targets, briefly"
    "$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-20}"
fi

echo "== sanitizer build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
build "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DQUARRENDEL_SANITIZE=ON -DQUARRENDEL_BENCH=OFF
on_x11 "$root/build-asan"
if [[ -x "$root/scripts/operator_fuzz.sh" ]]; then
    # A fixed seed, so one commit gives one verdict; other seeds are for runs by hand.
    echo "== operator fuzz, sanitizer build"
    "$root/scripts/operator_fuzz.sh" "${OPERATOR_FUZZ_SECONDS:-30}" "${OPERATOR_FUZZ_SEED:-1}" \
        "$root/build-asan"
fi
offscreen "$root/build-asan"

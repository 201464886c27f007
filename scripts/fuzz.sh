#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds (default
# 20), side by side, on a copy of its seed corpus in a temporary folder, so a run never writes
# into the repository. Any finding (crash, sanitizer report, broken property, an allocation past
# the limit, a hang) fails the run and keeps the folder with the failing input.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
build="$root/build-fuzz"
targets=(property_record_fuzz receive_fuzz)

# The libraries under test carry coverage and sanitizers too; the targets add libFuzzer itself.
sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$sanitize -fno-omit-frame-pointer" \
    -DQUARRENDEL_FUZZ=ON -DQUARRENDEL_TESTS=OFF -DQUARRENDEL_BENCH=OFF \
    -DQUARRENDEL_SANITIZE=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/quarrendel-fuzz.XXXXXX")
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# Inputs are at most 4 KB: no single allocation may come near 16 MB, whatever a record claims.
for t in "${targets[@]}"; do
    mkdir -p "$work/$t"
    cp -r "$root/fuzz/corpus/$t" "$work/$t/corpus"
    "$build/fuzz/$t" "$work/$t/corpus" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -malloc_limit_mb=16 -dict="$root/fuzz/$t.dict" \
        -artifact_prefix="$work/$t/" -print_final_stats=1 >"$work/$t/log" 2>&1 &
    echo $! >"$work/$t/pid"
done

failed=0
for t in "${targets[@]}"; do
    if wait "$(cat "$work/$t/pid")"; then
        log="$work/$t/log"
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
        last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
        cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
        ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
        echo "fuzz: $t ran $runs runs in $took s, no finding (cov: $cov, ft: $ft)"
    else
        failed=1
        echo "fuzz: $t FOUND A FAULT; log and failing input kept in $work/$t" >&2
        tail -n 40 "$work/$t/log" >&2
    fi
done

if ((failed)); then
    exit 1
fi
rm -rf "$work"

#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer with the address and undefined-behaviour
# sanitizers) and runs each for a bounded time, starting from its committed corpus. A crash,
# an input slower than 10 s (a hang), a leak or undefined behaviour fails the run and leaves the
# input under build/fuzz/artifacts/. New inputs are kept under build/fuzz/found/ (fold them into
# fuzz/corpus as fuzz/README.md says); the committed corpus is not changed.
# usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(reader dates format merge editor)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

mkdir -p build/fuzz/artifacts
failed=()
for t in "${targets[@]}"; do
    mkdir -p "build/fuzz/found/$t"
    dict=()
    if [[ -f "fuzz/$t.dict" ]]; then
        dict=("-dict=fuzz/$t.dict")
    fi
    log="build/fuzz/$t.log"
    if build/fuzz/bin/fuzz_"$t" "${dict[@]}" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=4096 -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$t-" "build/fuzz/found/$t" "fuzz/corpus/$t" \
        >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz_$t: clean after ${runs:-?} inputs in ${seconds} s"
    else
        echo "fuzz_$t: FAILED (log build/fuzz/$t.log):"
        grep -E "ERROR|check failed|runtime error|Test unit written" "$log" | head -n 10 || true
        failed+=("$t")
    fi
done
if ((${#failed[@]} > 0)); then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi

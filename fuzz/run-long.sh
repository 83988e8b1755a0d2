#!/usr/bin/env bash
# The long fuzzing runs, not part of tools/test: every target (or those named) in turn, one
# at a time and at low priority, for 10 million executions each (QUILLET_FUZZ_RUNS to change
# that), under AddressSanitizer and UndefinedBehaviorSanitizer. Each target keeps its corpus in
# build/fuzz/fuzz/corpus/<target>, as the short runs of tools/test do, so a rerun goes on from
# there. Prints one line per target: executions, time, corpus files and bytes. A finding stops
# the script; libFuzzer has written the input to build/fuzz/fuzz/ and its report to the log.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${QUILLET_FUZZ_RUNS:-10000000}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

echo "| target | executions | time | corpus |"
echo "|---|---|---|---|"
for target in "${targets[@]}"; do
    work=build/fuzz/fuzz/corpus/$target
    log=build/fuzz/run-long-$target.log
    mkdir -p "$work"
    start=$(date +%s)
    if ! (cd build/fuzz/fuzz && nice -n 10 "./$target" -runs="$runs" -rss_limit_mb=2048 \
            -print_final_stats=1 "corpus/$target" "../../../fuzz/corpus/$target") >"$log" 2>&1; then
        echo "$target: a finding, see $log" >&2
        exit 1
    fi
    seconds=$(($(date +%s) - start))
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    files=$(find "$work" -type f | wc -l)
    bytes=$(find "$work" -type f -printf '%s\n' | awk '{sum += $1} END {print sum + 0}')
    printf '| %s | %s | %dh %02dm | %s files, %s bytes |\n' "$target" "$executed" \
        $((seconds / 3600)) $((seconds % 3600 / 60)) "$files" "$bytes"
done

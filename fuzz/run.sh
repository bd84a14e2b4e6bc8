#!/usr/bin/env bash
# Every fuzz target: first the committed seeds, one run each, then fuzzing
# for the given time from the seeds and what earlier runs here found. Prints
# executions, coverage and crashes per target; fails when any target failed.
#   fuzz/run.sh BUILD_DIR SECONDS
set -uo pipefail
build=$1
seconds=$2
seeds_root=$(cd "$(dirname "$0")" && pwd)/corpus
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=0
printf '%-16s %6s %12s %6s %6s %7s %s\n' target seeds executions cov ft crashes result
for bin in "$build"/fuzz_*; do
    [ -x "$bin" ] || continue
    name=${bin##*/fuzz_}
    seeds=$seeds_root/$name
    found=$build/corpus/$name
    crashes=$build/crashes/$name
    log=$build/$name.log
    rm -rf "$crashes"
    mkdir -p "$found" "$crashes"
    result=ok
    seed_count=$(find "$seeds" -type f | wc -l)
    if ! "$bin" -artifact_prefix="$crashes/" "$seeds"/* >"$log" 2>&1; then
        result="seed failed"
    elif ! "$bin" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
            -artifact_prefix="$crashes/" "$found" "$seeds" >>"$log" 2>&1; then
        result="failed"
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
    cov=$(echo "$coverage" | awk '{print $2}')
    ft=$(echo "$coverage" | awk '{print $4}')
    crash_count=$(find "$crashes" -type f | wc -l)
    if [ "$result" != ok ] || [ "$crash_count" -ne 0 ]; then
        failed=1
        [ "$result" = ok ] && result="crashes kept"
        result="$result (see $log)"
    fi
    printf '%-16s %6s %12s %6s %6s %7s %s\n' "$name" "$seed_count" "${executions:-0}" "${cov:--}" "${ft:--}" \
        "$crash_count" "$result"
done
exit $failed

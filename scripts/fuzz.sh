#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz (clang, HV_FUZZ=ON) and runs them.
#   scripts/fuzz.sh [SECONDS] [TARGET...]  fuzz each target for SECONDS (default 60), starting
#                                          from fuzz/corpus/TARGET; new inputs are kept in
#                                          build-fuzz/corpus/TARGET, failing ones in
#                                          build-fuzz/findings/
#   scripts/fuzz.sh --replay [TARGET...]   run each committed seed once
# Prints the executions of each target; exits 1 when a target fails.
set -euo pipefail
cd "$(dirname "$0")/.."

all=(text roster rival managers save_header options slot_names export preview check csv)
mode=fuzz
seconds=60
if [ "${1:-}" = "--replay" ]; then
    mode=replay
    shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DHV_FUZZ=ON -DHV_BUILD_GUI=OFF \
    -DHV_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p build-fuzz/findings build-fuzz/logs
failed=0
total=0
for t in "${targets[@]}"; do
    log=build-fuzz/logs/$t.log
    if [ "$mode" = replay ]; then
        args=(-runs=0 "fuzz/corpus/$t")
    else
        mkdir -p "build-fuzz/corpus/$t"
        args=(-max_total_time="$seconds" -dict=fuzz/hv.dict "build-fuzz/corpus/$t" "fuzz/corpus/$t")
    fi
    # The targets' scratch files go to memory where possible, and are removed afterwards.
    scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
    if TMPDIR=$scratch "build-fuzz/fuzz/fuzz_$t" -print_final_stats=1 \
        -artifact_prefix="build-fuzz/findings/$t-" "${args[@]}" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        total=$((total + ${runs:-0}))
        printf '%-12s %12s executions\n' "$t" "${runs:-?}"
    else
        failed=1
        printf '%-12s FAILED, see %s\n' "$t" "$log"
        grep -m5 -E 'ERROR|property broken|SUMMARY' "$log" || true
    fi
    rm -rf "$scratch"
done
printf '%-12s %12s executions\n' total "$total"
exit $failed

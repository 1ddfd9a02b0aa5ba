#!/bin/sh
# Runs one fuzzer for a bounded time over a copy of its seed corpus. Fails on a crash, a hang
# (an input slower than 10 s), a single allocation over 64 MB (every reader is bounded; no input may
# make one take more), a leak or a sanitizer report; exit 77 when the fuzzers were not built.
set -u
build=$1
target=$2
seeds=$3
seconds=$4
exe=$build/fuzz_$target
if [ ! -x "$exe" ]; then
    echo "SKIP: $exe was not built"
    exit 77
fi
work=$build/corpus/$target
artefacts=$build/artefacts
mkdir -p "$work" "$artefacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$(dirname "$0")/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
"$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=64 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$artefacts/$target-" "$work" "$seeds" 2>&1 | tee "$build/$target.log" |
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY|Done|runtime error|==[0-9]+==' | head -40
status=$(grep -c -E 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer)|runtime error:|SUMMARY: ' "$build/$target.log")
done_line=$(grep -c '^Done [0-9]* runs' "$build/$target.log")
if [ "$status" -ne 0 ] || [ "$done_line" -eq 0 ]; then
    echo "FAIL: fuzz_$target found a problem; see $build/$target.log and $artefacts"
    exit 1
fi
runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$build/$target.log" | awk '{print $2}')
echo "fuzz_$target: $runs executions in ${seconds}s, no finding"

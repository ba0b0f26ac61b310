#!/usr/bin/env bash
# scripts/fuzz.sh [seconds] [gateway...]
#
# Builds the libFuzzer harnesses (clang, ASan + UBSan, into ./build-fuzz) and
# runs every fuzzer -- or the named ones -- for the given number of seconds
# each (default 60; with FUZZ_RUNS=n set, a fuzzer also stops after n
# executions), then prints per gateway the executions and the findings.
# The working corpus grows in build-fuzz/fuzz-corpus/<gateway>/, starting
# from the committed seeds in tests/fuzz/corpus/<name>/; every finding is
# written to build-fuzz/fuzz-findings/<gateway>/ (crash-*, timeout-*, oom-*,
# leak-*).  Replay one with build-fuzz/tests/fuzz/fuzz_<gateway> <file>, or
# without sanitizers with build/tests/fuzz/fuzz_<gateway> <file>.  Add a
# fixed finding to tests/fuzz/corpus/<name>/ so that ctest replays it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
cd "$top"

if [ ! -f build-fuzz/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGATEBOX_FUZZ=ON -DGATEBOX_BENCH=OFF -DGATEBOX_OCTAVE=OFF > build-fuzz.log 2>&1 \
    || { tail -30 build-fuzz.log; exit 1; }
fi
cmake build-fuzz >> build-fuzz.log 2>&1 || { tail -30 build-fuzz.log; exit 1; }
if [ $# -gt 0 ]; then fuzzers=("$@"); else mapfile -t fuzzers < build-fuzz/tests/fuzz/fuzzers.txt; fi
targets=()
for stem in "${fuzzers[@]}"; do [ -n "$stem" ] && targets+=("fuzz_$stem"); done
cmake --build build-fuzz -j2 --target "${targets[@]}" >> build-fuzz.log 2>&1 || { tail -30 build-fuzz.log; exit 1; }

# A small quarantine and short allocation stacks keep the sanitized host fast;
# every access is still checked.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=4:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

printf '%-16s %12s %9s  %s\n' gateway executions findings artifacts
total_findings=0
for stem in "${fuzzers[@]}"; do
  [ -z "$stem" ] && continue
  exe=build-fuzz/tests/fuzz/fuzz_$stem
  name=${stem%_win}; name=${name%_r12}
  work=build-fuzz/fuzz-corpus/$stem findings=build-fuzz/fuzz-findings/$stem
  mkdir -p "$work" "$findings"
  seeds=tests/fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=
  before=$(ls "$findings" | wc -l)
  log=build-fuzz/fuzz-$stem.log
  # -timeout: no call may take longer (a hang is a finding); -rss_limit_mb:
  # nor may memory grow without bound.
  "$exe" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs=$FUZZ_RUNS} -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" $seeds > "$log" 2>&1 || true
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  after=$(ls "$findings" | wc -l)
  new=$((after - before))
  total_findings=$((total_findings + new))
  printf '%-16s %12s %9s  %s\n' "$stem" "${runs:-?}" "$new" "$( [ "$new" -gt 0 ] && echo "$findings (log: $log)" )"
done
exit $(( total_findings > 0 ))

#!/bin/bash
# Long run of cr_log and cr_exp against MPFR (1e8 arguments each by default),
# in the background of a build tree:  bash tests/tools/crmath_longrun.sh build [N]
set -euo pipefail
build=${1:-build}
n=${2:-100000000}
cmake --build "$build" --target crmath_longrun
nice "$build/tests/crmath_longrun" log "$n" > "$build/crmath_longrun_log.txt" &
nice "$build/tests/crmath_longrun" exp "$n" > "$build/crmath_longrun_exp.txt" &
wait
tail -n 1 "$build/crmath_longrun_log.txt" "$build/crmath_longrun_exp.txt"

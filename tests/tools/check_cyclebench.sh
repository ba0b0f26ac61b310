#!/usr/bin/env bash
# check_cyclebench.sh COMMAND...
# Runs cyclebench through COMMAND (the program, or a runner such as wine
# followed by it) and checks its output: exit status 0 and exactly the ten
# lines, in order, with tick counts and, on lines 4 to 10 only, ratios.  A
# Windows console program ends its lines with CR LF and prints infinities and
# NaNs the way its runtime library does (1.#INF, -1.#IND, 1.#QNAN).
set -u
out=$("$@")
status=$?
if [ $status -ne 0 ]; then echo "cyclebench exited with status $status"; exit 1; fi
tab=$'\t'
tick='-?[0-9]+'
ratio="${tab}"'flops=(-?[0-9.]+(e[-+][0-9]+)?|-?inf|-?nan|-?1\.#(INF|IND|QNAN)[0-9]*)'
names=("loop" "multiply" "add" "<" "==" "sqrt" "exp" "log" "fake pow" "pow")
mapfile -t lines < <(printf '%s\n' "$out" | tr -d '\r')
printf '%s\n' "${lines[@]}"
if [ ${#lines[@]} -ne 10 ]; then echo "FAIL: ${#lines[@]} lines, want 10"; exit 1; fi
fail=0
for k in "${!names[@]}"; do
  want="time for ${names[$k]}: ${tab}${tick}"
  [ "$k" -ge 3 ] && want+="$ratio"
  if ! [[ "${lines[$k]}" =~ ^${want}$ ]]; then echo "FAIL line $((k + 1)): ${lines[$k]}"; fail=1; fi
done
exit $fail

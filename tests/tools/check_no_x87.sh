#!/usr/bin/env bash
# check_no_x87.sh OBJDUMP BUILD_DIR
# The 32-bit x86 build does its double arithmetic in SSE2 (the toolchain's
# -msse2 -mfpmath=sse): fails when the project's own objects (the support
# library, gatekit, the gateways, the host) hold x87 arithmetic or 80-bit
# (long double) loads and stores.  Allowed: moving doubles through the x87
# stack (the calling convention's return register) and integer conversions
# (fild, fist/fisttp), including GCC's unsigned 64-bit to double conversion,
# fild followed by the addition of 2^64 (exact in the x87 register, rounded
# once when stored).
set -u
objdump=$1 build=$2
files=$(find "$build/util" "$build/gatekit" "$build/gateways" "$build/host" -name '*.obj' -o -name '*.a' | sort)
[ -n "$files" ] || { echo "no objects under $build"; exit 1; }
bad=0
for f in $files; do
  out=$("$objdump" -d --no-show-raw-insn "$f" | awk -v file="$f" '
    $2 ~ /^fild/ { after_fild = 1; next }
    $2 ~ /^f(add|sub|subr|mul|div|divr|sqrt|sin|cos|sincos|ptan|patan|yl2x|yl2xp1|2xm1|prem|prem1|scale|rndint|xtract)[slp]?$/ {
      if (after_fild && $2 == "fadds") { after_fild = 0; next }
      print file ": " $0; next }
    $2 ~ /^f(ld|stp?)t$/ { print file ": " $0; next }
    $2 ~ /^f/ { after_fild = 0 }')
  if [ -n "$out" ]; then echo "$out"; bad=1; fi
done
n=$(echo "$files" | wc -l)
[ $bad -eq 0 ] && echo "no x87 arithmetic in $n object files"
exit $bad

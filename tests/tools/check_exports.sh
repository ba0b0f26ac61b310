#!/usr/bin/env bash
# check_exports.sh BUILD_DIR
# Every gateway library exports exactly its entry point and mexVersion under
# one symbol version: MEX for mexFunction gateways, FMEX for the by-reference
# (mexfunction_) gateway.  Nothing of the support library may leak out.
set -u
build=$1
status=0 count=0
while IFS= read -r lib; do
  count=$((count + 1))
  # Defined dynamic symbols with their versions, without the version node itself.
  syms=$(objdump -T "$lib" | awk '$2 != "" && $0 ~ /DF|DO/ && $0 !~ /\*UND\*/ && $0 !~ /\*ABS\*/ {print $(NF-1) " " $NF}' \
         | grep -v -E '^(Base|\(Base\))' | sort)
  if grep -q 'mexfunction_' <<<"$syms"; then
    want=$'FMEX mexVersion\nFMEX mexfunction_'
  else
    want=$'MEX mexFunction\nMEX mexVersion'
  fi
  if [ "$syms" != "$want" ]; then
    echo "FAIL $lib exports:"; echo "$syms" | sed 's/^/  /'
    status=1
  fi
done < <(find "$build/host" "$build/octave" -name '*.mex' 2>/dev/null | sort)
if [ "$count" -eq 0 ]; then echo "no gateway libraries found below $build"; exit 1; fi
echo "$count gateway libraries checked"
exit $status

#!/usr/bin/env bash
# compare_sweep.sh NATIVE_SWEEP COMMAND...
# Runs the build machine's gatebox_sweep and the cross-built one (COMMAND: a
# runner such as wine followed by the program) and demands the same lines:
# every stream and sweep the same bits on both platforms.  For each stream
# that differs, both builds dump it and the native program counts the values
# that differ and shows the first.  Exit 77 (skipped) without a native sweep.
set -u
native=$1
shift
if [ -z "$native" ] || [ ! -x "$native" ]; then
  echo "compare_sweep.sh: no native gatebox_sweep (configure with -DGATEBOX_NATIVE_SWEEP=<path>)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$native" > native.txt || { echo "native sweep failed"; exit 1; }
"$@" | tr -d '\r' > cross.txt
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then echo "cross-built sweep exited with status $status"; exit 1; fi
if [ "$(wc -l < native.txt)" -ne "$(wc -l < cross.txt)" ]; then
  echo "different streams:"; diff native.txt cross.txt; exit 1
fi
fail=0
while read -r n_name n_count n_hash <&3 && read -r c_name c_count c_hash <&4; do
  if [ "$n_name $n_count $n_hash" = "$c_name $c_count $c_hash" ]; then
    echo "same      $n_name $n_count $n_hash"
    continue
  fi
  fail=1
  echo "DIFFERENT $n_name: native $n_count $n_hash, cross-built $c_name $c_count $c_hash"
  if [ "$n_name" = "$c_name" ] && "$native" --dump "$n_name" native.bin && "$@" --dump "$n_name" cross.bin; then
    echo "          $("$native" --diff native.bin cross.bin)"
  fi
done 3< native.txt 4< cross.txt
exit $fail

#!/usr/bin/env bash
# check_dll_exports.sh OBJDUMP BUILD_DIR MANIFEST [ALLOWED_RUNTIME_DLLS...]
# Every Windows gateway DLL exports exactly its entry point (nothing of the
# support library or the compiler runtime), takes the MEX interface from the
# own host's DLL, and needs no compiler runtime DLL but the ones listed (the
# 32-bit build's shared libgcc): the rest of the runtime is linked in.
# MANIFEST lines: "<path below BUILD_DIR> <entry point> <ON|OFF resources>".
set -u
objdump=$1 build=$2 manifest=$3
shift 3
allowed=$(printf '%s\n' "$@" | tr 'A-Z' 'a-z')
status=0 count=0
while read -r rel entry _; do
  [ -z "$rel" ] && continue
  count=$((count + 1))
  dll="$build/$rel" bad=0
  if [ ! -f "$dll" ]; then echo "FAIL $rel: not built"; status=1; continue; fi
  headers=$("$objdump" -p "$dll") || { echo "FAIL $rel: objdump"; status=1; continue; }
  # Names of the export table: the lines after "[Ordinal/Name Pointer] Table".
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next} on && NF == 0 {on = 0}
                 on {print $NF}' <<<"$headers" | sort)
  imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers" | sort -u)
  if [ "$exports" != "$entry" ]; then
    echo "FAIL $rel exports (want only $entry):"; echo "${exports:-<nothing>}" | sed 's/^/  /'
    bad=1
  fi
  if ! grep -qx 'libgateboxhost.dll' <<<"$imports"; then
    echo "FAIL $rel does not import the host DLL libgateboxhost.dll"; bad=1
  fi
  runtime=$(grep -E '^(libstdc\+\+|libgcc|libwinpthread)' <<<"$imports" | grep -vxF "${allowed:-<none>}")
  if [ -n "$runtime" ]; then
    echo "FAIL $rel needs compiler runtime DLLs: $runtime"; bad=1
  fi
  if [ $bad -ne 0 ]; then status=1; continue; fi
  echo "ok $rel exports $exports; imports $(tr '\n' ' ' <<<"$imports")"
done <"$manifest"
if [ "$count" -eq 0 ]; then echo "no gateway libraries listed in $manifest"; exit 1; fi
echo "$count gateway libraries checked"
exit $status

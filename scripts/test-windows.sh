#!/usr/bin/env bash
# The Windows build and its tests: cross-compiles the gateways (.mexw64 DLLs),
# the own host DLL and the test programs with mingw-w64 into ./build-win and
# runs the test suite under wine64.  Installs what is missing from Debian's
# packages (scripts/packages-windows.txt).  Extra arguments go to ctest.
# The exit status is ctest's.
#
# --i686 first also cross-builds the 32-bit DLLs (.mexw32) into ./build-win32
# and checks their export tables; running them needs wine32, which Debian
# offers only through i386 multiarch, so their suite is not run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
i686=0
if [ "${1:-}" = "--i686" ]; then i686=1; shift; fi

missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < scripts/packages-windows.txt
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build="$top/build-win"
mkdir -p "$build"
log="$build/build.log"
{ cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
  cmake --build "$build" -j"$(nproc)"; } > "$log" 2>&1 || { tail -50 "$log"; exit 1; }
echo "Cross-built into $build (log: $log)"
if [ $i686 -eq 1 ]; then
  mkdir -p "$top/build-win32"
  { cmake -S . -B "$top/build-win32" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DGATEBOX_MINGW_ARCH=i686 \
          -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
    cmake --build "$top/build-win32" -j"$(nproc)"; } > "$top/build-win32/build.log" 2>&1 || { tail -50 "$top/build-win32/build.log"; exit 1; }
  (cd "$top/build-win32" && ctest --output-on-failure -R windows_exports)
fi

# One wine server for the whole run (in the build's own prefix), so that each
# test program does not start and stop one; stopped again on the way out.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true  # a server left over from an earlier run
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
bash tests/tools/wine_run.sh "$WINEPREFIX" cmd /c exit 0 >/dev/null 2>&1 || true  # sets the prefix up once
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"

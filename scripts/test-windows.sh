#!/usr/bin/env bash
# The Windows builds and their tests: cross-compiles the gateways, the own
# host DLL and the test programs with mingw-w64, for x86-64 (.mexw64) into
# ./build-win and for 32-bit x86 (.mexw32) into ./build-win32, and runs both
# test suites under wine (the 32-bit one through Debian's wine32, i386
# multiarch).  Both compare the support library's streams and sweeps with
# the build machine's own build (gatebox_sweep of ./build, built here when
# missing): the same bits on every platform.  Installs what is missing from
# Debian's packages (scripts/packages-windows.txt).  Extra arguments go to
# both ctest runs.  The exit status is 0 when both suites pass.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
start=$SECONDS

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < scripts/packages-windows.txt
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"

  # wine32 is an i386 package: Debian offers it to amd64 machines through
  # multiarch only.
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync can serve an index that fails its
  # checksum (seen with the i386 security index); apt then holds the i386
  # libraries at older versions than their amd64 twins and refuses wine32.
  # Another try can get a consistent mirror (else see pool_twins below).
  for try in 1 2; do
    $SUDO apt-get update -qq -o Acquire::Retries=3 || true  # the other indexes are still fresh
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" && break
    [ $try = 2 ] || { echo "apt failed (try $try of 2); again in 30 s"; sleep 30; }
  done
fi
# When the i386 index of an archive stays broken, the amd64 libraries that
# came from that archive (security updates) have no i386 twin of the same
# version in apt's view, and Multi-Arch: same needs one.  The twins are in
# the archive's pool beside the amd64 files, under the same names with
# _i386: they are fetched from there into a local repository and wine32 is
# installed again with it.  The files' checksums cannot be checked against
# the broken index, so this is done only after apt itself failed.
pool_twins() {
  local dir="$top/build-win/i386-twins"
  rm -rf "$dir"; mkdir -p "$dir"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends apt-utils >/dev/null
  # The Multi-Arch: same libraries installed for amd64 that wine32 needs ...
  apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
      --no-replaces --no-enhances wine32:i386 2>/dev/null |
    awk '/^[^ <]/ { sub(/:i386$/, ""); print }' | sort -u > "$dir/closure"
  dpkg-query -W -f='${Package}\t${Architecture}\t${Multi-Arch}\n' |
    awk -F'\t' '$2 == "amd64" && $3 == "same" { print $1 }' | sort -u > "$dir/same"
  comm -12 "$dir/closure" "$dir/same" > "$dir/names"
  # ... whose amd64 candidate has no i386 twin of the same version.
  # shellcheck disable=SC2046
  apt-cache policy $(cat "$dir/names") $(sed 's/$/:i386/' "$dir/names") 2>/dev/null |
    awk '/^[^ ]/ { p = $1; sub(/:$/, "", p) }
         /^  Candidate:/ { cand[p] = $2 }
         END { for (p in cand) if (p !~ /:i386$/ && cand[p] != "(none)" && cand[p ":i386"] != cand[p])
                 print p "\t" cand[p] }' > "$dir/twins"
  local pkg ver uri n=0
  while IFS=$'\t' read -r pkg ver; do
    uri=$(apt-get download --print-uris "$pkg:amd64=$ver" 2>/dev/null | awk '{ print $1 }' | tr -d "'")
    [[ "$uri" == *_amd64.deb ]] || continue
    if curl -fsSL --retry 3 -o "$dir/$(basename "${uri%_amd64.deb}_i386.deb")" "${uri%_amd64.deb}_i386.deb"; then
      n=$((n + 1))
    else
      echo "no i386 twin of $pkg $ver in the pool"
    fi
  done < "$dir/twins"
  echo "i386 twins fetched from the pool: $n"
  [ $n -gt 0 ] || return 1
  (cd "$dir" && apt-ftparchive packages . > Packages)
  echo "deb [trusted=yes] file:$dir ./" | $SUDO tee /etc/apt/sources.list.d/gatebox-i386-twins.list >/dev/null
  $SUDO apt-get update -qq -o Acquire::Retries=3 || true
  local rc=0
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends wine32:i386 || rc=1
  $SUDO rm -f /etc/apt/sources.list.d/gatebox-i386-twins.list
  $SUDO apt-get update -qq -o Acquire::Retries=3 || true
  return $rc
}
if printf '%s\n' "${missing[@]}" | grep -q '^wine32:i386$' &&
   ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  amd64=()
  for pkg in "${missing[@]}"; do [[ "$pkg" == *:i386 ]] || amd64+=("$pkg"); done
  if [ ${#amd64[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${amd64[@]}"
  fi
  pool_twins || echo "the i386 twins from the pool did not make wine32 installable"
fi
# The 32-bit suite needs wine32; when the mirror still could not provide it,
# the 64-bit suite runs alone and the 32-bit one is reported as not run.
win32=yes
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  # Install the 64-bit packages alone, then.
  amd64=()
  for pkg in "${missing[@]}"; do [[ "$pkg" == *:i386 ]] || amd64+=("$pkg"); done
  if [ ${#amd64[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${amd64[@]}"
  fi
  win32=no
  echo "WARNING: wine32 (i386) could not be installed from the mirror: the 32-bit Windows suite is NOT run"
fi

# The reference sweep, from the build machine's own build: ./build when it is
# configured (scripts/test.sh makes it), else a small build of its own.
native="$top/build"
if [ ! -f "$native/CMakeCache.txt" ]; then
  native="$top/build-native"
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGATEBOX_BENCH=OFF -DGATEBOX_OCTAVE=OFF \
    > "$top/build-native.log" 2>&1 || { tail -50 "$top/build-native.log"; exit 1; }
fi
cmake --build "$native" -j"$(nproc)" --target gatebox_sweep > "$top/build-sweep.log" 2>&1 ||
  { tail -50 "$top/build-sweep.log"; exit 1; }
sweep="$native/tests/platform/gatebox_sweep"

# One wine prefix for both builds (a 64-bit prefix runs 32-bit programs
# through wine32), set up once.
prefix="$top/build-win/wineprefix"
emulator="bash;$top/tests/tools/wine_run.sh;$prefix"
builds=("build-win:x86_64")
[ $win32 = yes ] && builds+=("build-win32:i686")
for b in "${builds[@]}"; do
  dir="$top/${b%%:*}" arch=${b##*:}
  mkdir -p "$dir"
  { cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DGATEBOX_MINGW_ARCH="$arch" \
          -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGATEBOX_NATIVE_SWEEP="$sweep" \
          -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" &&
    cmake --build "$dir" -j"$(nproc)"; } > "$dir/build.log" 2>&1 || { tail -50 "$dir/build.log"; exit 1; }
  echo "Cross-built $arch into $dir (log: $dir/build.log) at $((SECONDS - start)) s"
done

# One wine server for the whole run, so that each test program does not start
# and stop one; stopped again on the way out.
export WINEPREFIX="$prefix" WINEDEBUG=-all
# A prefix made while wine32 was missing has no 32-bit system (syswow64):
# made again for the 32-bit suite.
if [ $win32 = yes ] && [ -d "$WINEPREFIX/drive_c/windows" ] && [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true  # a server left over from an earlier run
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
bash tests/tools/wine_run.sh "$WINEPREFIX" cmd /c exit 0 >/dev/null 2>&1 || true  # sets the prefix up once
status=0
for b in "${builds[@]}"; do
  dir="$top/${b%%:*}"
  echo "== ${b##*:}: tests under wine in $dir"
  # Under 32-bit wine a test program sometimes stays at its exit after every
  # test has passed (seen with gammafns_test); it is given a short timeout
  # and up to two more runs there.
  retry=()
  [ "${b##*:}" = i686 ] && retry=(--timeout 120 --repeat until-pass:3)
  (cd "$dir" && ctest --output-on-failure -j"$(nproc)" "${retry[@]}" "$@") || status=1
done
echo "Windows builds and tests: $((SECONDS - start)) s"
[ $win32 = yes ] || echo "WARNING: the 32-bit Windows suite was NOT run (wine32 missing)"
exit $status

#!/usr/bin/env bash
# build_parity_test.sh CMAKE_OCTAVE_DIR BUILD_GATEBOX_DIR PACKAGE_PREFIX
# The three builds of the gateways for GNU Octave, all made from the one
# description gatebox.build: CMake's (build/octave), build_gatebox's (run by
# octave-cli, kept by build_gatebox_test.sh) and the package's (installed by
# `pkg install` into a prefix, kept by octave_package_test.sh).  They must
# hold the same set of MEX files (subfolders included) and each MEX file the
# same exported symbols with the same symbol versions, and the same
# mexVersion text.
set -u
cmake_dir=$1 user_dir=$2 prefix=$3

# The installed package's folder: the one holding its build script.
pkg_dir=$(dirname "$(find "$prefix" -name build_gatebox.m -print -quit)")
if [ -z "$pkg_dir" ] || [ "$pkg_dir" = . ]; then
  echo "no installed package below $prefix"; exit 1
fi

# "<relative path>: <version> <symbol>, ... [<mexVersion text>]" for every
# MEX file below $1;
# the test and benchmark gateways (testing/, bench/) are not the toolbox's.
exports() {
  local root=$1 lib rel syms text
  while IFS= read -r lib; do
    rel=${lib#"$root/"}
    syms=$(objdump -T "$lib" | awk '$0 ~ /DF|DO/ && $0 !~ /\*UND\*/ && $0 !~ /\*ABS\*/ {print $(NF-1) " " $NF}' \
           | sort | paste -sd, -)
    text=$(strings "$lib" | grep -E -o 'MATLAB (R1[0-9] native|5 compatible)' | sort -u | paste -sd/ -)
    echo "$rel: $syms [$text]"
  done < <(find "$root" \( -path "$root/testing" -o -path "$root/bench" \) -prune -o -name '*.mex' -print | sort)
}

status=0
want=$(exports "$cmake_dir" | sort)
if [ -z "$want" ]; then echo "no MEX files below $cmake_dir"; exit 1; fi
for pair in "build_gatebox:$user_dir" "package:$pkg_dir"; do
  name=${pair%%:*} dir=${pair#*:}
  # The package keeps gamma.mex in standin/, which its PKG_ADD puts on the
  # path ahead of the built-in (so loading prints no shadowing warning).
  got=$(exports "$dir" | sed 's#^standin/##' | sort)
  if [ "$got" != "$want" ]; then
    echo "FAIL $name ($dir) differs from the CMake build ($cmake_dir):"
    diff <(echo "$want") <(echo "$got") | sed 's/^/  /'
    status=1
  fi
done
if [ $status -eq 0 ]; then
  echo "$(echo "$want" | wc -l) MEX files with the same exports in all three builds:"
  echo "$want" | sed 's/^/  /'
fi
exit $status

#!/usr/bin/env bash
# build_gatebox_test.sh OCTAVE_CLI BUILD_DIR SOURCE_DIR [KEEP_DIR]
# Builds the toolbox with the users' build script (mfiles/build_gatebox.m) in
# GNU Octave into a temporary folder and checks it against the CMake build:
# the same gateways, the same result from a call of each, help beside every
# MEX file, the same exports and the same mexVersion text.  With KEEP_DIR the
# build goes to KEEP_DIR/octave instead (emptied first) and is kept, for the
# comparison of all three builds (build_parity_test.sh).
set -u
octave=$1 build=$2 src=$3 keep=${4:-}
if [ -n "$keep" ]; then
  tmp=$keep
  rm -rf "$tmp" && mkdir -p "$tmp"
else
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
fi
"$octave" --no-gui --norc --no-window-system --quiet --eval "
  addpath('$src/tests/tools');
  try
    check_build_gatebox('$build/octave', '$src/mfiles', '$tmp/octave');
  catch err
    disp(err.message); exit(1);
  end
  exit(0);" || exit 1
bash "$src/tests/tools/check_exports.sh" "$tmp" || exit 1
status=0
while IFS= read -r lib; do
  rel=${lib#"$tmp/octave/"}
  want=$(strings "$build/octave/$rel" | grep -E -o 'MATLAB (R1[0-9] native|5 compatible)' | sort -u)
  got=$(strings "$lib" | grep -E -o 'MATLAB (R1[0-9] native|5 compatible)' | sort -u)
  if [ -z "$got" ] || [ "$want" != "$got" ]; then
    echo "FAIL $rel: mexVersion text '$got', CMake build has '$want'"; status=1
  fi
done < <(find "$tmp/octave" -name '*.mex' | sort)
exit $status

#!/usr/bin/env bash
# octave_package_test.sh OCTAVE_CLI PACKAGE.tar.gz BUILD_DIR SOURCE_DIR [KEEP_DIR]
# Installs the Octave package into a temporary prefix with its own package
# lists (HOME too points there, so the user's package list is never read or
# written), loads it with `pkg load gatebox`, calls every function it built
# and compares the result with the CMake build, and checks that `help` shows
# each function's help text, then uninstalls it.  With KEEP_DIR (emptied
# first) the prefix is KEEP_DIR/prefix and a copy of the installed package,
# taken before the uninstallation, is kept in KEEP_DIR/installed for the
# comparison of all three builds (build_parity_test.sh).
set -u
octave=$1 package=$2 build=$3 src=$4 keep=${5:-}
if [ -n "$keep" ]; then
  rm -rf "$keep" && mkdir -p "$keep/prefix"
  tmp=$keep/prefix
else
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
fi
export HOME=$tmp
"$octave" --no-gui --norc --no-window-system --quiet --eval "
  warning('off', 'Octave:shadowed-function');
  pkg prefix '$tmp/share' '$tmp/arch';
  pkg local_list '$tmp/octave_packages';
  pkg global_list '$tmp/global_packages';
  try
    pkg install -local -nodeps '$package';
    pkg load gatebox;
    addpath('$src/tests/tools');
    check_package('$tmp/share', '$build/octave');
    if (! isempty ('$keep'))
      copyfile ('$tmp/share', '$keep/installed');
    end
    addpath('$src/tests/octave');
    package_checks('$tmp');
  catch err
    disp(err.message); exit(1);
  end
  exit(0);"

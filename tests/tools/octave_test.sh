#!/usr/bin/env bash
# octave_test.sh OCTAVE_CLI GATEWAY_DIR MFILES_DIR FILE.tst
# Runs one Octave test file against the built gateways.  Judged by the exit
# code: Octave 7.3 may print unrelated warnings when it exits.
set -u
octave=$1 gateways=$2 mfiles=$3 file=$4
dir=$(dirname "$file")
name=$(basename "$file" .tst)
exec "$octave" --no-gui --norc --no-window-system --quiet --eval "
  addpath('$mfiles'); addpath('$gateways'); addpath('$dir');
  [n, nmax] = test('$file', 'quiet', stdout);
  printf('%s: %d of %d Octave tests passed\n', '$name', n, nmax);
  exit(double(n != nmax || nmax == 0));"

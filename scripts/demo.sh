#!/usr/bin/env bash
# The demo: builds the toolbox and runs it in GNU Octave, printing results
# and timings against the nearest Octave built-ins.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
cd "$top"
exec octave-cli --no-gui --norc --quiet --eval "warning('off', 'Octave:shadowed-function'); addpath('$top/mfiles'); addpath('$top/build/octave'); gatebox_demo"

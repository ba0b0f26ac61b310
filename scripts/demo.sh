#!/usr/bin/env bash
# The demo: builds the toolbox and runs it in GNU Octave, printing results
# and timings against the nearest Octave built-ins.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
# The built-ins the demo compares with run on Octave's BLAS: Debian's octave
# recommends OpenBLAS, which a --no-install-recommends install leaves out
# (the reference BLAS would then make linsolve look about ten times slower).
if ! dpkg-query -W -f='${Status}' libopenblas0-pthread 2>/dev/null | grep -q "install ok installed"; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends libopenblas0-pthread
fi
cd "$top"
# One thread, as the gateways use and as scripts/bench.sh measures.
export OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1
exec octave-cli --no-gui --norc --quiet --eval "warning('off', 'Octave:shadowed-function'); addpath('$top/mfiles'); addpath('$top/build/octave'); gatebox_demo"

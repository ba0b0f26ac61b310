#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, runs every test.
# The kernels' own tests, which compare the fast paths with the plain loops
# to the bit, also run on a Release build (build-release: the unit suites
# only), since the optimisation level changes what the compiler makes of
# the vector code.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
cd "$top"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
mkdir -p build-release
log=build-release/build.log
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DGATEBOX_OCTAVE=OFF -DGATEBOX_BENCH=OFF \
  -DGATEBOX_FUZZ=OFF "${launcher[@]}" > $log 2>&1 || { cat $log; exit 1; }
cmake --build build-release -j"$(nproc)" --target unit_tests >> $log 2>&1 || { tail -50 $log; exit 1; }
ctest --test-dir build-release -L unit --output-on-failure -j"$(nproc)"
cd "$top/build"
ctest --output-on-failure -j"$(nproc)" "$@"

#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
cd "$top/build"
ctest --output-on-failure -j"$(nproc)" "$@"

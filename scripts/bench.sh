#!/usr/bin/env bash
# The benchmark report: builds, runs every Octave comparison
# bench/octave/bench_<name>.m (each in a fresh octave-cli, single-threaded
# BLAS), right after each one its numpy/scipy counterpart
# bench/python/bench_<name>.py where there is one (Debian's python3, the same
# input sizes and distributions), and every Google Benchmark program in
# build/bench/, and writes the table with the machine and date into
# BENCHMARKS.md (between its markers; the rest of the file is kept) and the
# plot bench/speed_ratios.png from the same rows.  Raw output stays in
# build/bench-results/.
#   bash scripts/bench.sh                 everything (about 5 minutes once built)
#   bash scripts/bench.sh trigamma gamma  rerun only bench_trigamma.m and
#                                         bench_gamma.m (and their .py); the other
#                                         rows of the last run in
#                                         build/bench-results/ are kept
# GATEBOX_BENCH_NO_INSTALL=1 skips installing the packages below when missing
# (then rows whose peer is missing fail, and are listed as failed).
# Not part of the test suite: CI never times.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
# Needed here only, not by the tests: gnuplot for the plot,
# the statistics package (binornd, mnrnd: the sampling gateways' peers), and
# OpenBLAS, the BLAS Debian's octave recommends, under the triangular solves'
# peer linsolve (a --no-install-recommends install has the reference BLAS),
# and numpy and scipy, the other peers, on the same OpenBLAS.
need=()
dpkg-query -W -f='${Status}' libopenblas0-pthread 2>/dev/null | grep -q "install ok installed" \
  || need+=(libopenblas0-pthread)
command -v gnuplot > /dev/null || need+=(gnuplot-nox)
dpkg-query -W -f='${Status}' octave-statistics 2>/dev/null | grep -q "install ok installed" \
  || need+=(octave-statistics)
for pkg in python3-numpy python3-scipy; do
  dpkg-query -W -f='${Status}' $pkg 2>/dev/null | grep -q "install ok installed" || need+=($pkg)
done
if [ ${#need[@]} -gt 0 ] && [ -n "${GATEBOX_BENCH_NO_INSTALL:-}" ]; then
  echo "bench.sh: not installing ${need[*]} (GATEBOX_BENCH_NO_INSTALL is set)"
elif [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq -o Acquire::Retries=3 || true  # a stale index elsewhere need not stop the install
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
cd "$top"
export OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1
py=/usr/bin/python3   # Debian's, with its numpy and scipy (not a python3 earlier on PATH)
export PYTHONDONTWRITEBYTECODE=1
out=build/bench-results
if [ $# -eq 0 ]; then rm -rf "$out"; fi
mkdir -p "$out/rows"

octave_run() {
  octave-cli --no-gui --norc --no-window-system --quiet --eval "
    warning('off', 'Octave:shadowed-function');
    addpath('$top/bench/octave'); addpath('$top/build/octave');
    if exist('$top/build/octave/bench', 'dir') addpath('$top/build/octave/bench'); end
    $1"
}

if [ $# -gt 0 ]; then
  scripts=(); for n in "$@"; do scripts+=("bench/octave/bench_$n.m"); done
else
  scripts=(bench/octave/bench_*.m)
fi
for f in "${scripts[@]}"; do
  name=$(basename "$f" .m)
  echo "== $name"
  octave_run "$name" 2>&1 | tee "$out/$name.log" || true
  grep -o $'gatebox-bench\t.*' "$out/$name.log" > "$out/rows/$name.tsv" || rm -f "$out/rows/$name.tsv"
  if [ -f "bench/python/$name.py" ]; then
    echo "== $name.py"
    "$py" "bench/python/$name.py" 2>&1 | tee "$out/$name.py.log" || true
    grep -o $'gatebox-peer\t.*' "$out/$name.py.log" > "$out/rows/$name.py.tsv" || rm -f "$out/rows/$name.py.tsv"
  fi
done
# The rows of every script run so far (a partial run replaces only its own),
# and the scripts that gave none.
shopt -s nullglob
cat /dev/null "$out"/rows/*.tsv > "$out/rows.tsv"
: > "$out/failed.txt"
for f in bench/octave/bench_*.m; do
  name=$(basename "$f" .m)
  [ -s "$out/rows/$name.tsv" ] || echo "$name" >> "$out/failed.txt"
done
for f in bench/python/bench_*.py; do
  name=$(basename "$f")
  [ -s "$out/rows/$name.tsv" ] || echo "$name" >> "$out/failed.txt"
done

if [ $# -eq 0 ]; then
  for prog in build/bench/*; do
    [ -f "$prog" ] && [ -x "$prog" ] || continue
    name=$(basename "$prog")
    echo "== $name"
    "$prog" --benchmark_min_time=0.2 --benchmark_format=console \
            --benchmark_out="$out/$name.json" --benchmark_out_format=json \
      || echo "$name (Google Benchmark)" >> "$out/failed.txt"
  done
fi

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
mem=$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)
os=$(. /etc/os-release && echo "$PRETTY_NAME")
oct=$(octave-cli --norc --quiet --eval 'printf("%s", version())')
blas=$(octave-cli --norc --quiet --eval 'v = version("-blas"); t = regexp(v, "config: ([^ ]+ [0-9.]+)", "tokens", "once"); if isempty(t) t = {strtrim(strtok(v, "("))}; end; printf("%s", t{1})')
pyv=$("$py" bench/python/gatebox_bench.py 2>/dev/null || echo "numpy/scipy: not found")
echo "$cpu, $(nproc --all) cores, $mem, $os, GNU Octave $oct, BLAS $blas; $pyv" > "$out/machine.txt"
octave_run "gatebox_bench_report('$out', 'BENCHMARKS.md', 'bench/speed_ratios.png')"

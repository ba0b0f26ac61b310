"""numpy's bincount on the workload of bench_tallybins.m: 1e7 integers
uniform in 1..1000, counted into 1000 bins.  bincount counts 0-based
non-negative integers (int64, numpy's native index type; it refuses
doubles), so the values are 0..999 with minlength=1000.  Process CPU-time
median of 11 runs after a warm-up (the Octave script's cputime, 11 runs).
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_tallybins.py"""
import numpy as np
from gatebox_bench import median_time, peer_row, show

x = np.random.default_rng(2).integers(0, 1000, 10**7)
h = np.bincount(x, minlength=1000)
assert h.shape == (1000,) and h.sum() == 10**7
t = median_time(lambda: np.bincount(x, minlength=1000), 11, cpu=True)
show("bincount(x, minlength=1000)", t)
peer_row("tallybins", "1e7 integers in 1..1000, n = 1000 (CPU time)", "numpy bincount(x, minlength=1000), x 0-based int64", t)

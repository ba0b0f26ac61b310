"""scipy.special.gamma(x) on the workload of bench_gamma.m: 1e6 values
uniform in (-50, 170); wall-clock median of 15 runs after a warm-up (the
Octave script's tic/toc, 15 runs).
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_gamma.py"""
import numpy as np
import scipy.special as sc
from gatebox_bench import median_time, peer_row, show

x = -50 + 220 * np.random.default_rng(1).random(10**6)
t = median_time(lambda: sc.gamma(x), 15)
show("scipy.special.gamma(x)", t)
peer_row("gamma", "1e6 values uniform in (-50, 170)", "scipy.special.gamma(x)", t)

"""scipy.special.polygamma(1, x) on the workload of bench_trigamma.m: 1e6
values uniform in (0, 100); wall-clock median of 15 runs after a warm-up
(the Octave script's tic/toc, 15 runs).
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_trigamma.py"""
import numpy as np
import scipy.special as sc
from gatebox_bench import median_time, peer_row, show

x = 100 * np.random.default_rng(1).random(10**6)
t = median_time(lambda: sc.polygamma(1, x), 15)
show("scipy.special.polygamma(1, x)", t)
peer_row("trigamma", "1e6 values uniform in (0, 100)", "scipy.special.polygamma(1, x)", t)

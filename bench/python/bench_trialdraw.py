"""numpy's Generator.binomial(100, p) on the workload of bench_trialdraw.m:
1e6 probabilities uniform in (0, 1); wall-clock median of 7 runs after a
warm-up (the Octave script's tic/toc, 7 runs).
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_trialdraw.py"""
import numpy as np
from gatebox_bench import median_time, peer_row, show

rng = np.random.default_rng(2)
p = rng.random(10**6)
t = median_time(lambda: rng.binomial(100, p), 7)
show("binomial(100, p)", t)
peer_row("trialdraw", "1e6 probabilities, n = 100", "numpy Generator.binomial(n, p)", t)

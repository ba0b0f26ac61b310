"""numpy's Generator.standard_gamma(a) on the workloads of bench_shapedraw.m:
1e6 shapes uniform in (0.1, 10), and 1e6 shapes all 5; wall-clock medians of
9 runs after a warm-up (the Octave script's tic/toc, 9 runs).
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_shapedraw.py"""
import numpy as np
from gatebox_bench import median_time, peer_row, show

rng = np.random.default_rng(1)
work = [("1e6 shapes uniform in (0.1, 10)", 0.1 + 9.9 * rng.random(10**6)),
        ("1e6 shapes all 5", np.full(10**6, 5.0))]
for label, a in work:
    t = median_time(lambda: rng.standard_gamma(a), 9)
    show("standard_gamma(a), %s" % label, t)
    peer_row("shapedraw", label, "numpy Generator.standard_gamma(a)", t)

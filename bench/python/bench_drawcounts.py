"""numpy's Generator.multinomial(1000, P.T) on the workload of
bench_drawcounts.m: P 10 x 1e5 uniform numbers, each column scaled to sum 1
(numpy takes one probability vector per row, so it gets the transpose, each
vector contiguous as a column of P is in Octave); wall-clock median of 5 runs
after a warm-up (the Octave script's tic/toc, 5 runs).
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_drawcounts.py"""
import numpy as np
from gatebox_bench import median_time, peer_row, show

rng = np.random.default_rng(3)
PT = rng.random((10**5, 10))
PT /= PT.sum(axis=1, keepdims=True)
h = rng.multinomial(1000, PT)
assert h.shape == (10**5, 10) and (h.sum(axis=1) == 1000).all()
t = median_time(lambda: rng.multinomial(1000, PT), 5)
show("multinomial(1000, P.T)", t)
peer_row("drawcounts", "10 x 1e5 probabilities, n = 1000", "numpy Generator.multinomial(n, P.T)", t)

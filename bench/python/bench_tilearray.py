"""numpy's tile on the workloads of bench_tilearray.m.  numpy arrays are
row-major, so each Octave (column-major) array is held as its transpose with
the dimensions reversed: np.tile(a, reps[::-1]) then writes the same bytes in
the same order as repmat(A, reps) does, without converting memory order.
Wall-clock medians of 7 runs after a warm-up (the Octave script's tic/toc, 7
rounds); the small output is timed per call over 1e4 calls.
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_tilearray.py"""
import numpy as np
from gatebox_bench import median_time, peer_row, show

rng = np.random.default_rng(1)
# label, Octave dimensions of A, Octave replication counts, calls per round
work = [("1000x1000 [3 4]", (1000, 1000), (3, 4), 1),
        ("10x10 [300 300]", (10, 10), (300, 300), 1),
        ("1e6x1 [1 1 8]", (10**6, 1), (1, 1, 8), 1),
        ("10x10 [3 4] (9.6 KB), per call (1e4 calls)", (10, 10), (3, 4), 10**4)]
for label, dims, reps, calls in work:
    nd = max(len(dims), len(reps))
    dims = dims + (1,) * (nd - len(dims))
    reps = reps + (1,) * (nd - len(reps))
    a = rng.random(dims[::-1])
    y = np.tile(a, reps[::-1])
    assert y.shape == tuple(d * r for d, r in zip(dims, reps))[::-1]
    del y
    t = median_time(lambda: np.tile(a, reps[::-1]), 7, calls=calls)
    show("np.tile, %s" % label, t)
    peer_row("tilearray", label + " (Octave copies the result)",
             "numpy tile(A, c), A transposed (row-major)", t)

"""numpy's sum on the workloads of bench_axisfold.m.  Octave stores arrays
column-major, so the arrays are built in Fortran order: A.sum(axis=(1, 3))
on a 100x200x50x20 array reads memory in the same pattern as Octave's
reduction over dimensions [2 4], and A.sum(axis=0) on a 2000x2000 array sums
contiguous columns as sum(A, 1) does.  Process CPU-time medians of 15 runs
after a warm-up (the Octave script's cputime, 15 runs).
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_axisfold.py"""
import numpy as np
from gatebox_bench import median_time, peer_row, show

rng = np.random.default_rng(1)
A = np.asfortranarray(rng.random((100, 200, 50, 20)))
assert A.flags.f_contiguous
t = median_time(lambda: A.sum(axis=(1, 3)), 15, cpu=True)
show("A.sum(axis=(1, 3)), Fortran order", t)
peer_row("axisfold", "100x200x50x20 over [2 4] (CPU time)", "numpy A.sum(axis=(1, 3)), A in Fortran order", t)
del A
B = np.asfortranarray(rng.random((2000, 2000)))
t = median_time(lambda: B.sum(axis=0), 15, cpu=True)
show("A.sum(axis=0), Fortran order", t)
peer_row("axisfold", "2000x2000 over dim 1 (CPU time)", "numpy A.sum(axis=0), A in Fortran order", t)

"""scipy.linalg.solve_triangular (LAPACK dtrtrs on numpy's BLAS) on the
workloads of bench_triangular.m, the peer of uppersubst, lowersubst and
backapply: T = triu(rand(2000)) + 2000*eye(2000) with b = rand(2000, 100),
the lower problem with T' and the same b; and order 50 with one right-hand
side, per call over 1e4 calls.  Every array is in Fortran order, as Octave
holds it, so LAPACK solves the same system in place of a transposed one.
Both the default call (which first checks every element is finite) and
check_finite=False are timed.  Process CPU-time medians (the Octave script's
cputime): 15 rounds for order 2000, 5 rounds of 1e4 calls for order 50,
after a warm-up.
  OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_triangular.py"""
import numpy as np
from scipy.linalg import solve_triangular
from gatebox_bench import median_time, peer_row, show


def report(name, gateways, T, b, lower, rounds, calls):
    peers = [("scipy.linalg.solve_triangular(T, b%s)" % (", lower=True" if lower else ""),
              lambda: solve_triangular(T, b, lower=lower)),
             ("scipy.linalg.solve_triangular(T, b%s, check_finite=False)" % (", lower=True" if lower else ""),
              lambda: solve_triangular(T, b, lower=lower, check_finite=False))]
    print(name)
    for label, f in peers:
        t = median_time(f, rounds, cpu=True, calls=calls)
        show(label, t)
        for fn in gateways:
            peer_row(fn, name + " (CPU time)", label, t)


rng = np.random.default_rng(1)
m = 2000
U = np.asfortranarray(np.triu(rng.random((m, m))) + m * np.eye(m))
L = np.asfortranarray(U.T)
b = np.asfortranarray(rng.random((m, 100)))
x = solve_triangular(U, b)
assert np.abs(U @ x - b).max() < 1e-10
report("upper, T 2000x2000, b 2000x100", ["uppersubst", "backapply"], U, b, False, 15, 1)
report("lower, T 2000x2000, b 2000x100", ["lowersubst", "backapply"], L, b, True, 15, 1)

m = 50
A = rng.random((m, m)) / m + np.diag(1 + rng.random(m))
U = np.asfortranarray(np.triu(A))
L = np.asfortranarray(np.tril(A))
b = np.asfortranarray(rng.standard_normal((m, 1)))
report("upper, T 50x50, one rhs, per call (1e4 calls)", ["uppersubst", "backapply"], U, b, False, 5, 10**4)
report("lower, T 50x50, one rhs, per call (1e4 calls)", ["lowersubst", "backapply"], L, b, True, 5, 10**4)

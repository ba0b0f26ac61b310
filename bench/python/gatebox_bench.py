"""Timing and row printing shared by the numpy/scipy comparisons.

Each bench/python/bench_<name>.py measures the numpy/scipy peer of the
workloads that bench/octave/bench_<name>.m gives gatebox, on inputs of the
same sizes and distributions, and prints one machine-readable line per peer:

    gatebox-peer <TAB> function <TAB> workload <TAB> peer <TAB> seconds

The function and workload are written exactly as the Octave script writes
them, so that scripts/bench.sh can put the peer beside gatebox's row.
Run with Debian's python3 (numpy, scipy), single-threaded BLAS:
    OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 /usr/bin/python3 bench/python/bench_<name>.py
Run as a program, this module prints the numpy and scipy versions and the
BLAS that numpy and scipy have loaded.
"""
import ctypes
import os
import statistics
import sys
import time


def peer_row(fn, workload, peer, seconds):
    clean = lambda s: s.replace("\t", " ").replace("\n", " ")
    print("gatebox-peer\t%s\t%s\t%s\t%.6g" % (clean(fn), clean(workload), clean(peer), seconds))
    sys.stdout.flush()


def median_time(f, reps, cpu=False, calls=1):
    """Median over `reps` rounds of the time per call of f(), after one
    warm-up call.  Each round times `calls` calls in a row; cpu=True uses the
    process CPU time (the Octave scripts' cputime), else the wall clock (tic,
    toc).  Each result is released before the next call starts, outside the
    timed span when calls == 1."""
    clock = time.process_time if cpu else time.perf_counter
    y = f()
    del y
    t = []
    for _ in range(reps):
        if calls == 1:
            t0 = clock()
            y = f()
            t.append(clock() - t0)
            del y
        else:
            t0 = clock()
            for _ in range(calls):
                f()
            t.append((clock() - t0) / calls)
    return statistics.median(t)


def show(label, seconds):
    print("  %-52s %10.3f ms" % (label, 1e3 * seconds))
    sys.stdout.flush()


def blas_description():
    """The BLAS libraries this process has mapped (after importing numpy and
    scipy.linalg), with OpenBLAS's own configuration string and thread count
    where the library is OpenBLAS."""
    import numpy  # noqa: F401
    import scipy.linalg  # noqa: F401
    libs = []
    with open("/proc/self/maps") as maps:
        for line in maps:
            path = line.split()[-1] if len(line.split()) >= 6 else ""
            base = os.path.basename(path)
            if ("blas" in base or "lapack" in base) and path not in libs:
                libs.append(path)
    found = []
    for path in libs:
        real = os.path.realpath(path)
        try:
            lib = ctypes.CDLL(path)
            lib.openblas_get_config.restype = ctypes.c_char_p
            config = lib.openblas_get_config().decode().split()
            threads = lib.openblas_get_num_threads()
            found.append("%s %s (%d thread%s)" % (config[0], config[1], threads,
                                                  "" if threads == 1 else "s"))
        except (OSError, AttributeError):
            if "lapack" not in os.path.basename(real):
                found.append(real)
    return ", ".join(dict.fromkeys(found)) or "unknown"


if __name__ == "__main__":
    import numpy
    import scipy
    print("numpy %s, scipy %s, BLAS %s" % (numpy.__version__, scipy.__version__, blas_description()))

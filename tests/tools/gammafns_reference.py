#!/usr/bin/env python3
"""Reference values of gammaln, digamma and trigamma for tests/unit/gammafns_test.cpp.

    python3 tests/tools/gammafns_reference.py > tests/data/gammafns_reference.csv

(mpmath 1.3.0, Debian python3-mpmath).  Each line is

    function,region,x,value

with x a double written by repr() (it round-trips exactly) and value the
function at the exact binary value of x, from mpmath at 50 digits, printed
to 25 significant digits.  The inputs of each region are either drawn from a
fixed-seed generator (uniform or log-uniform between the region's bounds) or
the doubles next to a bound of the algorithm (the small-argument forms, the
recurrence thresholds, Cody's split points), so that both formulas meeting at
a bound are checked there.  The last line, "# rows N", is the number of rows
the test must read.
"""
import math
import random

import mpmath

mpmath.mp.dps = 50

FUNCTIONS = {
    "gammaln": lambda x: mpmath.loggamma(x),
    "digamma": lambda x: mpmath.psi(0, x),
    "trigamma": lambda x: mpmath.psi(1, x),
}

# (function, region, lo, hi, log_spaced, count): inputs drawn in [lo, hi].
SAMPLED = [
    ("gammaln", "tiny", 1e-300, 1e-8, True, 200),
    ("gammaln", "to 0.5", 1e-8, 0.5, True, 200),
    ("gammaln", "split", 0.5, 0.68, False, 200),
    ("gammaln", "to 1.5", 0.68, 0.95, False, 200),
    ("gammaln", "near 2", 1.6, 1.9, False, 200),
    ("gammaln", "to 4", 2.1, 4.0, False, 200),
    ("gammaln", "to 12", 4.0, 12.0, False, 200),
    ("gammaln", "series", 12.0, 1e6, True, 200),
    ("gammaln", "huge", 1e6, 1e300, True, 200),
    ("digamma", "small form", 1e-12, 1e-6, True, 200),
    ("digamma", "recurrence", 1e-6, 12.0, True, 200),
    ("digamma", "series", 12.0, 1e12, True, 200),
    ("digamma", "reflection", -30.0, -1e-3, False, 200),
    ("trigamma", "small form", 1e-12, 1e-4, True, 200),
    ("trigamma", "recurrence", 1e-4, 8.0, True, 200),
    ("trigamma", "series", 8.0, 1e12, True, 200),
    ("trigamma", "reflection", -30.0, -1e-3, False, 200),
]


def neighbours(b, k=4):
    """The k doubles below b, b itself and the k doubles above it."""
    out = [b]
    lo = hi = b
    for _ in range(k):
        lo, hi = math.nextafter(lo, -math.inf), math.nextafter(hi, math.inf)
        out += [lo, hi]
    return sorted(out)


# (function, region, inputs): the doubles around each bound of the algorithm.
BOUNDS = [
    ("gammaln", "zeros at 1 and 2", [0.9 + i / 1024 for i in range(1229)]),
    ("gammaln", "bounds", [x for b in (0.5, 0.6796875, 1.5, 4.0, 12.0) for x in neighbours(b)]
     + [x for b in (2.0 ** -52, 2.0 ** -53) for x in neighbours(b)]),
    ("digamma", "bounds", [x for b in (1e-6, 12.0) for x in neighbours(b)]),
    ("trigamma", "bounds", [x for b in (1e-4, 8.0) for x in neighbours(b)]),
]


def sample(lo, hi, log_spaced, count, rng):
    xs = []
    for _ in range(count):
        t = rng.random()
        xs.append(math.exp(math.log(lo) + t * (math.log(hi) - math.log(lo))) if log_spaced else lo + t * (hi - lo))
    return xs


def main():
    rng = random.Random(12345)
    tables = [(f, r, sample(lo, hi, ls, n, rng)) for f, r, lo, hi, ls, n in SAMPLED] + BOUNDS
    rows = 0
    print("# function,region,x,value  (python3 tests/tools/gammafns_reference.py)")
    for f, region, xs in tables:
        for x in xs:
            v = FUNCTIONS[f](mpmath.mpf(x))
            print(f"{f},{region},{x!r},{mpmath.nstr(v, 25, min_fixed=1, max_fixed=0)}")
            rows += 1
    print(f"# rows {rows}")


if __name__ == "__main__":
    main()

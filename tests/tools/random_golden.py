#!/usr/bin/env python3
"""Golden random streams for the sampling tests, written from the published
algorithms independently of the C++ sources.

    python3 tests/tools/random_golden.py tests/data

writes, each stream starting from the generator's initial seeds
(101, 1001, 10001):

  rand_stream.csv        i, ix, iy, iz, u            (first 1000 uniforms)
  gamma_stream.csv       shape, draw                 (one stream, shapes cycled)
  bino_stream.csv        p, n, count                 (one stream, cases cycled)
  multi_stream.csv       n; p column; counts         (one stream, one column a line)
  multi_stream_win.csv   the same with the Windows build's NaN handling

Floats are written with repr(), which round-trips exactly.  Python's float
is IEEE double; log and exp are the correctly rounded ones (mpmath at 200
bits, then rounded to nearest), as in the C++ build, so the values are those
of every build to the bit.
"""
import math
import os
import struct
import sys

import mpmath

mpmath.mp.prec = 200

TINY = 2.0 ** -52
ALMOST_ONE = 0.9999999999999998


def ln(x):
    """The correctly rounded natural logarithm."""
    return float(mpmath.log(x)) if x > 0.0 else -math.inf


def cr_exp(x):
    """The correctly rounded exponential (the sampler's arguments are far
    from overflow and from the subnormal range)."""
    return float(mpmath.exp(x))


def div(a, b):
    """IEEE division (Python raises on a zero divisor)."""
    if b != 0.0:
        return a / b
    if a == 0.0 or math.isnan(a):
        return math.nan
    return math.copysign(math.inf, a) * math.copysign(1.0, b)


def to_float32(x):
    return struct.unpack('f', struct.pack('f', x))[0]


class Stream:
    """Wichmann-Hill (AS 183), the sum rounded to single precision."""

    def __init__(self):
        self.ix, self.iy, self.iz = 101, 1001, 10001
        self.count = 0

    def rand(self):
        self.ix = 171 * self.ix % 30269
        self.iy = 172 * self.iy % 30307
        self.iz = 170 * self.iz % 30323
        self.count += 1
        s = self.ix / 30269.0 + self.iy / 30307.0 + self.iz / 30323.0
        f = to_float32(s)
        return f - math.floor(f)  # exact: f is a float32 in [0, 3]

    def gamma(self, a):
        """Cheng and Feast GKM1 (a <= 2.5) / GKM2, boost U^(1/a) below 1."""
        if math.isnan(a):
            return a
        if a < TINY:
            return 0.0
        if a == math.inf:
            return a
        if abs(a - 1.0) < TINY:
            return -ln(self.rand())
        boost = 1.0
        if a < 1.0:
            boost = cr_exp(ln(self.rand()) / a)
            a = a + 1.0
        d = a - 1.0
        c1 = (a - 1.0 / (6.0 * a)) / d
        c2 = 2.0 / d
        c3 = c2 + 2.0
        c4 = 1.0 / math.sqrt(a)
        scale = boost * d
        while True:
            u1 = self.rand()
            u2 = self.rand()
            if a > 2.5:
                u1 = u2 + c4 * (1.0 - 1.86 * u1)
            if u1 <= 0.0 or u1 >= 1.0:
                continue
            w = c1 * u2 / u1
            if c2 * u1 + w + div(1.0, w) <= c3:
                return scale * w
            if c2 * ln(u1) - ln(w) + w < 1.0:
                return scale * w

    def beta(self, a, b):
        g1 = self.gamma(a)
        g2 = self.gamma(b)
        return div(g1, g1 + g2)

    def bino(self, p, n):
        if n < 0:
            return 0
        if math.isnan(p) or p < TINY:
            return 0
        if p >= ALMOST_ONE:
            return n
        if p > 0.5 and n <= 14:
            return sum(1 for _ in range(n) if self.rand() < p)
        if n * p >= 10.0:
            k = math.floor(p * (n + 1.0))
            y = self.beta(float(k), n + 1.0 - k)
            if p >= y:
                return k + self.bino(div(p - y, 1.0 - y), n - k)
            return (k - 1) - self.bino(div(y - p, y), k - 1)
        q = -ln(1.0 - p)
        s = div(-ln(self.rand()), float(n))
        if s > q:
            return 0
        m = n
        while True:
            m -= 1
            if m == 0:
                return n
            s = s - ln(self.rand()) / m
            if s > q:
                return n - m

    def multi(self, p, n, windows):
        counts = [0] * len(p)
        r, left = 1.0, n
        for k in range(len(p) - 1):
            b = self.bino(div(p[k], r), left)
            counts[k] = b
            r = r - p[k]
            left -= b
            if r == 0.0 or (windows and math.isnan(r)):
                return counts  # the rest stay 0
        counts[-1] = left
        return counts


GAMMA_SHAPES = [0.3, 1.0, 1.7, 2.5, 2.6, 7.5, 0.9999999999999999, 1e-3, 0.05, 25.0,
                300.0, 1e6, 0.0, -2.0, math.nan, math.inf, 0.999, 1.0000000000000002, 4.0]

BINO_CASES = [(0.51, 14), (0.5, 14), (0.51, 15), (0.5, 20), (0.2, 100), (0.3, 1000),
              (0.9, 5), (0.05, 50), (0.7, 1000000), (1e-17, 5), (1.7, 9), (-0.3, 4),
              (math.nan, 3), (0.3, 0), (0.7, 0), (0.999, 100), (0.25, 39),
              (0.999999, 2147483647), (0.0001, 2147483647), (0.5, 60), (0.02, 499)]

MULTI_CASES = [
    (1000, [0.1, 0.2, 0.3, 0.4]),
    (1000, [0.5, 0.5, 0.0, 0.0]),
    (17, [0.2, 0.3, 99.0]),
    (50, [1.0]),
    (100, [0.25, math.nan, 0.25, 0.5]),
    (1000, [0.1] * 10),
    (0, [0.3, 0.7]),
    (30, [0.6, -0.1, 0.5]),
    (2000000, [0.001, 0.499, 0.3, 0.2]),
    (12, [0.05, 0.9, 0.05]),
]


def fmt(x):
    return repr(float(x))


def main(outdir):
    os.makedirs(outdir, exist_ok=True)
    header = '# made by tests/tools/random_golden.py; every stream starts from (101, 1001, 10001)\n'

    st = Stream()
    with open(os.path.join(outdir, 'rand_stream.csv'), 'w') as f:
        f.write(header + '# i,ix,iy,iz,u\n')
        for i in range(1, 1001):
            u = st.rand()
            f.write('%d,%d,%d,%d,%s\n' % (i, st.ix, st.iy, st.iz, fmt(u)))

    st = Stream()
    with open(os.path.join(outdir, 'gamma_stream.csv'), 'w') as f:
        f.write(header + '# shape,draw\n')
        for i in range(40 * len(GAMMA_SHAPES)):
            a = GAMMA_SHAPES[i % len(GAMMA_SHAPES)]
            f.write('%s,%s\n' % (fmt(a), fmt(st.gamma(a))))

    st = Stream()
    with open(os.path.join(outdir, 'bino_stream.csv'), 'w') as f:
        f.write(header + '# p,n,count\n')
        for i in range(20 * len(BINO_CASES)):
            p, n = BINO_CASES[i % len(BINO_CASES)]
            f.write('%s,%d,%d\n' % (fmt(p), n, st.bino(p, n)))

    for name, windows in (('multi_stream.csv', False), ('multi_stream_win.csv', True)):
        st = Stream()
        with open(os.path.join(outdir, name), 'w') as f:
            f.write(header + '# n;p column;counts (one drawcounts call a line)\n')
            for i in range(5 * len(MULTI_CASES)):
                n, p = MULTI_CASES[i % len(MULTI_CASES)]
                c = st.multi(p, n, windows)
                f.write('%d;%s;%s\n' % (n, ' '.join(fmt(x) for x in p), ' '.join(str(x) for x in c)))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'data'))

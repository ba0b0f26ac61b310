#!/usr/bin/env python3
"""Reference values of the gamma function for tests/gateways/gamma_test.cpp.

Each argument is a double; Gamma is evaluated by mpmath at the exact binary
value of that double with 40 significant digits and printed to 20, so the
table is independent of any double-precision gamma routine.

    python3 tests/tools/gamma_reference.py     (mpmath 1.3.0, Debian python3-mpmath)
"""
import mpmath

mpmath.mp.dps = 40

REGIONS = [
    ("tiny: reciprocal path and just above it", [1e-300, 1e-200, 1e-17, 2.2e-16, 1e-10, 1e-5]),
    ("(0, 1): rational form at z = x", [0.001, 0.1, 0.25, 0.5, 0.75, 0.999]),
    ("[1, 12): rational form and recurrence", [1.0000001, 1.5, 2.5, 3.25, 7.7, 11.99, 11.999999999]),
    ("[12, 171.624]: Stirling series", [12.0, 12.5, 24.0, 50.5, 100.1, 150.3, 170.5, 171.0, 171.6, 171.62]),
    ("negative, away from the poles", [-0.5, -1.5, -2.25, -10.1, -49.9, -100.5, -150.25, -169.5, -170.5]),
    ("negative, near the poles", [-1e-10, -0.999999, -1.000001, -4.999999, -5.000001, -20.0001, -99.9999]),
]

for title, xs in REGIONS:
    print(f"    // {title}")
    for x in xs:
        g = mpmath.gamma(mpmath.mpf(x))
        print(f"    {{{x!r}, {mpmath.nstr(g, 20, min_fixed=1, max_fixed=0)}}},")

// Correctly rounded elementary functions of the project's own.
//
// Each returns the double nearest to the exact mathematical value (round to
// nearest, ties to even) for every double argument, so every build of the
// toolbox, on every platform and with every C library, computes the same
// bits.  IEEE-754 double arithmetic only: no long double, no fused
// multiply-add, no dependence on the platform's libm beyond sqrt and floor.
// Special values follow C99 Annex F (log(+-0) = -inf, log(x<0) = NaN,
// exp overflow to +inf, sin/tan(+-inf) = NaN, signed zeros kept).
//
// The methods and their references are given with each function in
// crlog.cpp, crexp.cpp and crtrig.cpp.
#pragma once

double cr_log(double x);
double cr_exp(double x);
double cr_sin(double x);
double cr_tan(double x);

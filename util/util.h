// gatebox support library: special functions, random variates, Pochhammer
// sums and small helpers.  Every gateway library that links it carries its
// own copy, with its own generator state and caches.  The routines know
// nothing of any host array; they take and return plain values.
#pragma once

// ---- Special functions (special.cpp) -------------------------------------

// ln Gamma(x) for x > 0 (Cody's rational approximations).
double gammaln(double x);
// psi(x), the derivative of ln Gamma, for every real x that is not a pole.
double digamma(double x);
// psi'(x), the second derivative of ln Gamma, for every real x that is not a pole.
double trigamma(double x);

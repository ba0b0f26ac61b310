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

// ---- Random variates (random.cpp) -----------------------------------------
// One Wichmann-Hill uniform stream per library, turned into gamma, beta and
// binomial variates.  The order in which every sampler consumes uniforms is
// part of its contract: a given state yields one fixed sequence of variates.

#include <cstdint>

// The generator's three multiplicative congruential components, each kept
// in 1 .. m-1 of its modulus (30269, 30307, 30323).
struct WHState {
  int32_t ix, iy, iz;
};
// The state every library's stream starts from when the library is loaded.
inline constexpr WHState kWHInitialState = {101, 1001, 10001};

// The samplers on an explicit state (for tests and callers with a stream of
// their own).  Rand: uniform on [0, 1) on a single-precision grid.
// GammaRand: shape a, unit scale.  BetaRand: Beta(a, b) as g1/(g1 + g2).
// BinoRand: successes in n trials of probability p, an int in 0 .. n.
double Rand(WHState &state);
double GammaRand(WHState &state, double a);
double BetaRand(WHState &state, double a, double b);
int BinoRand(WHState &state, double p, int n);

// The same samplers on the library's own stream.  It starts from
// kWHInitialState and changes only by drawing; it cannot be set or read.
double Rand();
double GammaRand(double a);
double BetaRand(double a, double b);
int BinoRand(double p, int n);

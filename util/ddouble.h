// Error-free transformations and double-double arithmetic in plain IEEE
// double operations (no fused multiply-add, so every build gives the same
// bits).  A double-double value is hi + lo with |lo| <= ulp(hi)/2.
//
// References: T. J. Dekker, "A floating-point technique for extending the
// available precision", Numer. Math. 18 (1971) 224-242 (Split, TwoProduct,
// FastTwoSum); D. E. Knuth, TAOCP vol. 2, 4.2.2 (TwoSum).
#pragma once

namespace dd {

struct DD {
  double hi, lo;
};

// s + e == a + b exactly; requires |a| >= |b| or a == 0 (Dekker).
inline DD fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// s + e == a + b exactly, for any a and b (Knuth).
inline DD two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a == hi + lo with hi and lo of at most 26 significant bits (Veltkamp).
// Valid for |a| < 2^996.
inline DD split(double a) {
  const double c = 134217729.0 * a;  // 2^27 + 1
  const double hi = c - (c - a);
  return {hi, a - hi};
}

// p + e == a * b exactly, barring overflow and underflow (Dekker).
inline DD two_prod(double a, double b) {
  const double p = a * b;
  const DD x = split(a), y = split(b);
  const double e = ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo;
  return {p, e};
}

// Double-double sum and products, relative error below 2^-103 or so
// (the bounds are in the callers' error analyses).
inline DD add(DD a, DD b) {
  const DD s = two_sum(a.hi, b.hi);
  const DD t = two_sum(a.lo, b.lo);
  DD r = fast_two_sum(s.hi, s.lo + t.hi);
  return fast_two_sum(r.hi, r.lo + t.lo);
}

inline DD mul(DD a, DD b) {
  const DD p = two_prod(a.hi, b.hi);
  return fast_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DD mul(DD a, double b) {
  const DD p = two_prod(a.hi, b);
  return fast_two_sum(p.hi, p.lo + a.lo * b);
}

}  // namespace dd

// Log-gamma, digamma and trigamma of one real argument.
//
// All three are pure functions: no state, no allocation, a bounded amount of
// work.  The order of the tests below fixes which formula serves which
// argument, and with it every result to the bit.
#include "util.h"
#include "crmath.h"

#include <cmath>

namespace {

// Coefficients of W. J. Cody's log-gamma routine ALGAMA (SPECFUN, 1988):
// rational approximations near 1 (p1/q1), near 2 (p2/q2) and on [4, 12]
// (p4/q4); the Stirling-series table is kCodyStirling, below.
const double p1[8] = {4.945235359296727,  201.8112620856775,  2290.8383738313464, 11319.672059033808,
                      28557.246356716354, 38484.962284437934, 26377.487876241954, 7225.813979700288};
const double q1[8] = {67.48212550303778,  1113.3323938571993, 7738.757056935398, 27639.870744033407,
                      54993.102062261576, 61611.22180066002,  36351.2759150194,  8785.536302431014};
const double p2[8] = {4.974607845568932,  542.4138599891071, 15506.93864978365, 184793.29044456323,
                      1088204.7694688288, 3338152.96798703,  5106661.678927353, 3074109.0548505397};
const double q2[8] = {183.03283993705926, 7765.049321445006, 133190.38279660742, 1136705.8213219696,
                      5267964.117437947,  13467014.543111017, 17827365.303532742, 9533095.591844354};
const double p4[8] = {14745.0216605994,   2426813.3694867045, 121475557.40450932, 2663432449.630977,
                      29403789566.34554,  170266573776.5399,  492612579337.7431,  560625185622.3951};
const double q4[8] = {2690.5301758708993, 639388.5654300093,  41355999.30241388,   1120872109.616148,
                      14886137286.788137, 101680358627.24382, 341747634550.73773, 446315818741.9713};

const double d1 = -0.5772156649015329;  // minus Euler's constant: slope at 1
const double d2 = 0.42278433509846713;  // 1 - Euler's constant: slope at 2
const double d4 = 1.791759469228055;    // ln 6 = ln Gamma(4)
const double split = 0.6796875;         // between the near-1 and near-2 forms below 1.5
const double ln_sqrt_2pi = 0.9189385332046728;

const double pi = 3.141592653589793;
const double euler = 0.5772156649015329;
const double pi2_over_6 = 1.6449340668482264;
const double minus_2_zeta3 = -2.4041138063191885;

// t * (num/den) with num, den from the Horner pass of Cody's routine.
double cody_ratio(double t, const double *P, const double *Q, double den) {
  double num = 0.0;
  for (int i = 0; i < 8; ++i) {
    num = num * t + P[i];
    den = den * t + Q[i];
  }
  return num / den;
}

}  // namespace

// The coefficients of the asymptotic (Stirling) series of ln Gamma in Cody's
// ALGAMA and GAMMA, index 6 the leading term.
const double kCodyStirling[7] = {-0.001910444077728,     0.00084171387781295,  -0.0005952379913043012,
                                 0.0007936507935003503,  -0.0027777777777776816, 0.08333333333333333,
                                 0.0057083835261};

// gammaln: ln Gamma(x) for x > 0.
// Method: W. J. Cody and K. E. Hillstrom's rational approximations as coded
// in Cody's SPECFUN routine ALGAMA (1988): near 1 on (0, 0.68] u (0.68, 1.5],
// near 2 up to 4, one form on (4, 12], Stirling's series above.  Accuracy
// about 3e-15 relative (absolute near the zeros at 1 and 2).  There is no
// separate test for zero, negatives or infinity: ln Gamma(+-0) = +inf,
// negative x = NaN, +inf = NaN (inf - inf in the series); NaN falls through
// every comparison into the series and stays NaN.
double gammaln(double x) {
  if (x <= 0.5 || (x > split && x <= 1.5)) {
    double corr, t;
    if (x <= 0.5) {
      corr = -cr_log(x);
      t = x;
      if (1.0 + x == 1.0) return corr;  // ln Gamma(x) = -ln x to double precision
    } else {
      corr = 0.0;
      t = (x - 0.5) - 0.5;
    }
    return corr + t * (d1 + t * cody_ratio(t, p1, q1, 1.0));
  }
  if (x <= split || (x > 1.5 && x <= 4.0)) {
    double corr, t;
    if (x <= split) {  // ln Gamma(x + 1) - ln x
      corr = -cr_log(x);
      t = (x - 0.5) - 0.5;
    } else {
      corr = 0.0;
      t = x - 2.0;
    }
    return corr + t * (d2 + t * cody_ratio(t, p2, q2, 1.0));
  }
  if (x <= 12.0) {
    double t = x - 4.0;
    return d4 + t * cody_ratio(t, p4, q4, -1.0);
  }
  double L = cr_log(x), r = 1.0 / x, r2 = r * r;
  double S = kCodyStirling[6];
  for (int i = 0; i < 6; ++i) S = S * r2 + kCodyStirling[i];
  return (x * (L - 1.0) - 0.5 * L + ln_sqrt_2pi) + S * r;
}

// digamma: psi(x).
// Method: reflection psi(x) = psi(1 - x) + pi / tan(-pi x) for x < 0, the
// series -gamma - 1/x + (pi^2/6) x for 0 < x <= 1e-6, the recurrence
// psi(x) = psi(x + 1) - 1/x up to x >= 12, then the asymptotic expansion
// ln x - 1/(2x) - sum B_2k / (2k x^2k) (Abramowitz and Stegun 6.3.18).
double digamma(double x) {
  if (std::isnan(x) || x == -INFINITY) return NAN;       // digamma(NaN) = digamma(-inf) = NaN
  if (x <= 0.0 && std::floor(x) == x) return -INFINITY;  // poles at 0, -1, -2, ...
  if (x < 0.0) return digamma(1.0 - x) + pi / cr_tan(-pi * x);
  if (x <= 1e-6) return (-euler - 1.0 / x) + pi2_over_6 * x;
  double sum = 0.0;
  while (x < 12.0) {
    sum = sum - 1.0 / x;
    x = x + 1.0;
  }
  double r = 1.0 / x, r2 = r * r;
  return (cr_log(x) - 0.5 * r + sum) -
         r2 * (0.08333333333333333 -
               r2 * (0.008333333333333333 -
                     r2 * (0.003968253968253968 - r2 * (0.004166666666666667 - r2 * 0.007575757575757576))));
}

// trigamma: psi'(x).
// Method: reflection psi'(x) = (pi / sin(-pi x))^2 - psi'(1 - x) for x < 0,
// the series 1/x^2 + pi^2/6 - 2 zeta(3) x for 0 < x <= 1e-4, the recurrence
// psi'(x) = psi'(x + 1) + 1/x^2 up to x >= 8, then the asymptotic expansion
// 1/x + 1/(2x^2) + sum B_2k / x^(2k+1) (Abramowitz and Stegun 6.4.12).
double trigamma(double x) {
  if (std::isnan(x) || x == -INFINITY) return NAN;      // trigamma(NaN) = trigamma(-inf) = NaN
  if (x <= 0.0 && std::floor(x) == x) return INFINITY;  // poles at 0, -1, -2, ...
  if (x < 0.0) {
    double s = pi / cr_sin(-pi * x);
    return s * s - trigamma(1.0 - x);
  }
  if (x <= 1e-4) return 1.0 / (x * x) + pi2_over_6 + minus_2_zeta3 * x;
  double sum = 0.0;
  while (x < 8.0) {
    sum = sum + 1.0 / (x * x);
    x = x + 1.0;
  }
  double e = 1.0 / (x * x);
  return sum + (0.5 * e +
                (1.0 + e * (0.16666666666666666 +
                            e * (-0.03333333333333333 +
                                 e * (0.023809523809523808 + e * (-0.03333333333333333 + e * 0.07575757575757576))))) /
                    x);
}

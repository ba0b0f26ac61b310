// Goodness-of-fit helpers for the sampling tests: the exact binomial pmf,
// the regularised incomplete gamma function (Numerical Recipes 6.2: series
// below a + 1, Lentz's continued fraction above), a chi-square test against
// expected counts with sparse tails pooled, and the one-sample
// Kolmogorov-Smirnov test with its asymptotic p-value (Stephens 1970).
#pragma once

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace stats {

inline double binomial_pmf(int n, double p, int k) {
  if (k < 0 || k > n) return 0.0;
  double lc = std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
  return std::exp(lc + k * std::log(p) + (n - k) * std::log1p(-p));
}

// P(a, x), the regularised lower incomplete gamma function.
inline double gamma_p(double a, double x) {
  if (x <= 0.0) return 0.0;
  double lead = -x + a * std::log(x) - std::lgamma(a);
  if (x < a + 1.0) {
    double term = 1.0 / a, sum = term;
    for (int n = 1; n < 10000 && std::fabs(term) > std::fabs(sum) * 1e-16; ++n) {
      term *= x / (a + n);
      sum += term;
    }
    return sum * std::exp(lead);
  }
  const double tiny = 1e-300;
  double b = x + 1.0 - a, c = 1.0 / tiny, d = 1.0 / b, h = d;
  for (int i = 1; i < 10000; ++i) {
    double an = -i * (i - a);
    b += 2.0;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0 / d;
    double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1.0) < 1e-16) break;
  }
  return 1.0 - std::exp(lead) * h;
}

// p-value of a chi-square statistic with df degrees of freedom.
inline double chi2_pvalue(double chi2, int df) { return 1.0 - gamma_p(df / 2.0, chi2 / 2.0); }

// Chi-square p-value of observed counts against probabilities (summing to
// about 1) over `total` draws; cells with an expectation below 5 are pooled
// with their neighbours toward the middle.
inline double chi2_test(const std::vector<double> &observed, const std::vector<double> &prob, double total) {
  std::vector<double> o, e;
  double po = 0, pe = 0;
  for (std::size_t i = 0; i < prob.size(); ++i) {
    po += observed[i];
    pe += prob[i] * total;
    if (pe >= 5.0) {
      o.push_back(po);
      e.push_back(pe);
      po = pe = 0;
    }
  }
  if (!e.empty()) {  // the pooled upper tail joins the last cell
    o.back() += po;
    e.back() += pe;
  }
  if (e.size() < 2) return 1.0;
  double chi2 = 0;
  for (std::size_t i = 0; i < e.size(); ++i) chi2 += (o[i] - e[i]) * (o[i] - e[i]) / e[i];
  return chi2_pvalue(chi2, static_cast<int>(e.size()) - 1);
}

// Kolmogorov-Smirnov p-value of a sample against a continuous CDF.
inline double ks_test(std::vector<double> x, const std::function<double(double)> &cdf) {
  std::sort(x.begin(), x.end());
  double n = static_cast<double>(x.size()), d = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    double f = cdf(x[i]), below = static_cast<double>(i) / n, above = static_cast<double>(i + 1) / n;
    d = std::max({d, f - below, above - f});
  }
  double sq = std::sqrt(n), lambda = (sq + 0.12 + 0.11 / sq) * d, q = 0;
  if (lambda < 0.2) return 1.0;  // the series needs many terms there; p is 1 to 1e-9
  for (int k = 1; k <= 100; ++k) q += 2.0 * ((k % 2) ? 1.0 : -1.0) * std::exp(-2.0 * k * k * lambda * lambda);
  return std::min(1.0, std::max(0.0, q));
}

// Lines of a golden data file, comment lines (#) skipped, split at `sep`.
inline std::vector<std::vector<std::string>> read_table(const std::string &path, char sep) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream ss(line);
    std::string f;
    while (std::getline(ss, f, sep)) fields.push_back(f);
    rows.push_back(fields);
  }
  return rows;
}

inline std::vector<double> numbers(const std::string &text) {
  std::vector<double> v;
  std::stringstream ss(text);
  std::string f;
  while (ss >> f) v.push_back(std::strtod(f.c_str(), nullptr));
  return v;
}

}  // namespace stats

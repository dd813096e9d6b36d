#include "fitting/f_distribution.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTiny = 1e-300;
constexpr double kEpsilon = 1e-15;
constexpr int kMaxTerms = 1000;

// The continued fraction of I_x(a, b), converging fast for x < (a + 1) / (a + b + 2).
double beta_continued_fraction(double a, double b, double x) {
  const double qab = a + b, qap = a + 1.0, qam = a - 1.0;
  double c = 1.0;
  double d = 1.0 - qab * x / qap;
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m <= kMaxTerms; ++m) {
    const int m2 = 2 * m;
    double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
    d = 1.0 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1.0 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    h *= d * c;
    aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d = 1.0 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1.0 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1.0 / d;
    const double del = d * c;
    h *= del;
    if (std::fabs(del - 1.0) < kEpsilon) break;
  }
  return h;
}

}  // namespace

double regularized_incomplete_beta(double a, double b, double x) {
  if (!(a > 0.0) || !(b > 0.0) || !(x >= 0.0) || !(x <= 1.0)) return kNaN;
  if (x == 0.0) return 0.0;
  if (x == 1.0) return 1.0;
  // x^a (1-x)^b / B(a, b), in logarithms so large degrees of freedom do not overflow.
  const double logFront = std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) +
                          b * std::log1p(-x);
  const double front = std::exp(logFront);
  if (x < (a + 1.0) / (a + b + 2.0)) return front * beta_continued_fraction(a, b, x) / a;
  return 1.0 - front * beta_continued_fraction(b, a, 1.0 - x) / b;
}

double f_distribution_cdf(double f, double d1, double d2) {
  if (!(d1 > 0.0) || !(d2 > 0.0) || std::isnan(f)) return kNaN;
  if (f <= 0.0) return 0.0;
  if (std::isinf(f)) return 1.0;
  return regularized_incomplete_beta(0.5 * d1, 0.5 * d2, d1 * f / (d1 * f + d2));
}

double f_distribution_quantile(double p, double d1, double d2) {
  if (!(d1 > 0.0) || !(d2 > 0.0) || !(p >= 0.0) || !(p < 1.0)) return kNaN;
  if (p == 0.0) return 0.0;
  // I_x(d1/2, d2/2) rises monotonically from 0 to 1 on [0, 1]; x = d1 f / (d1 f + d2).
  double lo = 0.0, hi = 1.0;
  for (int i = 0; i < 200 && hi - lo > 1e-17; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (regularized_incomplete_beta(0.5 * d1, 0.5 * d2, mid) < p)
      lo = mid;
    else
      hi = mid;
  }
  const double x = 0.5 * (lo + hi);
  return d2 * x / (d1 * (1.0 - x));
}

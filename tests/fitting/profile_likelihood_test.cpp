// The F quantile against tabulated values, and profile-likelihood intervals on a straight
// line, where the profile is exactly quadratic and the interval has a closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "fitting/f_distribution.h"
#include "fitting/profile_likelihood.h"

namespace {

TEST(FDistribution, QuantilesMatchTables) {
  // Tabulated upper points of F (and t^2 for d1 = 1): t(0.975, 10) = 2.228139,
  // t(0.84, inf) = 0.994458 (so F(0.68; 1, large) -> 0.98894).
  struct Case {
    double p, d1, d2, f;
  } const cases[] = {{0.95, 1, 10, 4.964603}, {0.95, 1, 100, 3.936143}, {0.95, 2, 5, 5.786135},
                     {0.99, 5, 10, 5.636326}, {0.95, 1, 1, 161.4476},   {0.5, 1, 1, 1.0},
                     {0.68, 1, 1e7, 0.988946}};
  for (const Case& c : cases) {
    const double f = f_distribution_quantile(c.p, c.d1, c.d2);
    EXPECT_NEAR(f, c.f, 2e-6 * c.f) << "p " << c.p << " d1 " << c.d1 << " d2 " << c.d2;
    EXPECT_NEAR(f_distribution_cdf(f, c.d1, c.d2), c.p, 1e-10);
  }
  EXPECT_EQ(f_distribution_quantile(0.0, 1, 5), 0.0);
  EXPECT_TRUE(std::isnan(f_distribution_quantile(1.0, 1, 5)));
  EXPECT_TRUE(std::isnan(f_distribution_quantile(0.5, 0, 5)));
  EXPECT_TRUE(std::isnan(regularized_incomplete_beta(1, 1, 1.5)));
  EXPECT_DOUBLE_EQ(regularized_incomplete_beta(1, 1, 0.3), 0.3);  // uniform
  EXPECT_NEAR(regularized_incomplete_beta(2, 3, 0.4), 0.5248, 1e-12);  // 1 - (1-x)^4 - 4x(1-x)^3
}

TEST(ProfileThreshold, NeedsDegreesOfFreedom) {
  EXPECT_NEAR(profile_threshold(10.0, 12, 2, 0.95), 10.0 * (1 + 4.964603 / 10), 1e-5);
  EXPECT_TRUE(std::isinf(profile_threshold(10.0, 3, 3, 0.95)));
}

double line(double x, double, Vec& a, int, Vec& dyda) {
  dyda[1] = 1;
  dyda[2] = x;
  return a[1] + a[2] * x;
}

// For a model linear in its parameters, S(v) - S_min = (v - v^)^2 / C_vv (unit weights), so
// the interval is v^ +- t((1 + L) / 2; n - p) x sqrt(C_vv S_min / (n - p)): the covariance
// interval with Student's t, on both levels and both sides.
TEST(ProfileIntervals, StraightLineGivesTheStudentInterval) {
  const int n = 12;
  Vec x(n), y(n), Y(n), sigma(n);
  std::mt19937 rng(5);
  std::normal_distribution<double> noise(0.0, 0.3);
  for (int i = 1; i <= n; ++i) x[i] = i, y[i] = 1.0 + 0.7 * i + noise(rng), Y[i] = sigma[i] = 1;
  Vec a(2), sd(2);
  a[1] = a[2] = 1;
  IVec ia(2);
  ia[1] = ia[2] = 1;
  Mat covar(2, 2), alpha(2, 2);
  double chisq = 0;
  ASSERT_EQ(fit_parameters(line, x, y, Y, sigma, n, a, ia, 2, covar, alpha, chisq), 0);
  const double s = std::sqrt(chisq / (n - 2));
  for (int k = 1; k <= 2; ++k) sd[k] = std::sqrt(covar[k][k]) * s;
  ProfileRequest request;
  request.makeModel = [] { return ModelFunction(line); };
  request.kinds = {SlotKind::Response, SlotKind::Response, SlotKind::Response};
  request.chisqMin = chisq;
  const auto intervals = profile_intervals(request, FitData{x, y, Y, sigma, n}, a, ia, 2, sd);
  ASSERT_EQ(intervals.size(), 2u);
  const double t68 = std::sqrt(f_distribution_quantile(0.68, 1, n - 2));
  const double t95 = std::sqrt(f_distribution_quantile(0.95, 1, n - 2));
  for (const ProfileInterval& p : intervals) {
    const int k = p.slot;
    ASSERT_TRUE(p.lo68 && p.hi68 && p.lo95 && p.hi95) << "slot " << k;
    EXPECT_DOUBLE_EQ(p.value, a[k]);
    EXPECT_NEAR(*p.hi68 - a[k], t68 * sd[k], 0.005 * t68 * sd[k]) << "slot " << k;
    EXPECT_NEAR(a[k] - *p.lo68, t68 * sd[k], 0.005 * t68 * sd[k]) << "slot " << k;
    EXPECT_NEAR(*p.hi95 - a[k], t95 * sd[k], 0.005 * t95 * sd[k]) << "slot " << k;
    EXPECT_NEAR(a[k] - *p.lo95, t95 * sd[k], 0.005 * t95 * sd[k]) << "slot " << k;
  }
}

// y = A x / (1 + K x) sampled only where K x << 1 fixes A K but not K: above some K the fit
// can always compensate, so the upper side of log K stays open and the lower side closes.
double saturating(double x, double, Vec& a, int, Vec& dyda) {
  const double d = 1.0 + a[2] * x;
  dyda[1] = x / d;
  dyda[2] = -a[1] * x * x / (d * d);
  return a[1] * x / d;
}

TEST(ProfileIntervals, OneSidedValleyLeavesTheFarSideOpen) {
  const int n = 15;
  Vec x(n), y(n), Y(n), sigma(n);
  std::mt19937 rng(9);
  std::normal_distribution<double> noise(0.0, 0.02);
  // True A = 2, K = 0.001 (internal units), x up to 10: K x <= 0.01, a straight line.
  for (int i = 1; i <= n; ++i) x[i] = i * 10.0 / n, y[i] = 2.0 * x[i] / (1 + 0.001 * x[i]) + noise(rng), Y[i] = sigma[i] = 1;
  Vec a(2), sd(2);
  a[1] = 2.0;
  a[2] = 0.001;
  IVec ia(2);
  ia[1] = ia[2] = 1;
  Mat covar(2, 2), alpha(2, 2);
  double chisq = 0;
  fit_parameters(saturating, x, y, Y, sigma, n, a, ia, 2, covar, alpha, chisq);
  ProfileRequest request;
  request.makeModel = [] { return ModelFunction(saturating); };
  request.kinds = {SlotKind::Response, SlotKind::Response, SlotKind::AssociationConstant};
  request.chisqMin = chisq;
  const auto intervals = profile_intervals(request, FitData{x, y, Y, sigma, n}, a, ia, 2, sd);
  ASSERT_EQ(intervals.size(), 2u);
  const ProfileInterval& logK = intervals[1];
  EXPECT_FALSE(logK.lo95.has_value()) << "a weaker binding is never rejected by these data";
  ASSERT_TRUE(logK.hi95.has_value());
  EXPECT_GT(*logK.hi95, logK.value);
}

}  // namespace

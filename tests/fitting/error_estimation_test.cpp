// The jackknife: left-out draws, reproducibility with a seed, unfitted slots, and its scale
// against the covariance error on noisy straight lines.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "fitting/error_estimation.h"

namespace {

double line(double x, double, Vec& a, int, Vec& dyda) {
  dyda[1] = 1;
  dyda[2] = x;
  return a[1] + a[2] * x;
}

ModelFunction line_maker() { return line; }

struct LineData {
  int n;
  Vec x, y, Y, sigma;
  LineData(int n, double noise, std::mt19937& rng) : n(n), x(n), y(n), Y(n), sigma(n) {
    std::normal_distribution<double> gauss(0.0, noise);
    for (int i = 1; i <= n; ++i) x[i] = i, y[i] = 2.0 + 0.5 * i + gauss(rng), Y[i] = sigma[i] = 1;
  }
};

}  // namespace

TEST(Jackknife, LeftOutCountAndPositions) {
  EXPECT_EQ(jackknife_left_out_count(3), 1);
  EXPECT_EQ(jackknife_left_out_count(25), 3);
  EXPECT_EQ(jackknife_left_out_count(99), 10);
  std::mt19937 rng(7);
  for (int n : {3, 25, 99}) {
    const int d = jackknife_left_out_count(n);
    IVec leftOut(1, n);
    IVec seen(1, n);
    for (int draw = 0; draw < 2000; ++draw) {
      draw_left_out_positions(n, d, rng, leftOut);
      int flagged = 0;
      for (int p = 1; p <= n; ++p) {
        flagged += leftOut[p];
        seen[p] += leftOut[p];
      }
      ASSERT_EQ(flagged, d) << "n " << n;
      ASSERT_EQ(leftOut[n], 0) << "the last point was left out, n " << n;
    }
    for (int p = 1; p < n; ++p) EXPECT_GT(seen[p], 0) << "position " << p << " never drawn";
  }
}

TEST(Jackknife, SeedReproducesAndUnfittedSlotsGetZero) {
  std::mt19937 rng(11);
  LineData data(25, 0.3, rng);
  Vec a(2), err1(2), err2(2), err3(2);
  a[1] = 2;
  a[2] = 0.5;
  IVec ia(2);
  ia[1] = 0;
  ia[2] = 1;
  int repetitions = 0;
  JackknifeOptions options;
  options.seed = 42u;
  options.onRepetition = [&](int) { ++repetitions; };
  const FitData fitData{data.x, data.y, data.Y, data.sigma, data.n};
  estimate_errors_jackknife(err1, line_maker, fitData, a, ia, 2, options);
  options.onRepetition = {};
  options.threads = 3;  // another thread count gives the same numbers
  estimate_errors_jackknife(err2, line_maker, fitData, a, ia, 2, options);
  options.seed = 43u;
  estimate_errors_jackknife(err3, line_maker, fitData, a, ia, 2, options);
  EXPECT_EQ(repetitions, kJackknifeRepetitions);
  EXPECT_EQ(err1[1], 0.0);
  EXPECT_GT(err1[2], 0.0);
  EXPECT_EQ(err1[2], err2[2]);
  EXPECT_NE(err1[2], err3[2]);
  EXPECT_EQ(a[2], 0.5);  // the fitted vector itself is not touched
}

TEST(Jackknife, StandardErrorMatchesTheCovarianceErrorOfTheFullFit) {
  // Straight lines with Gaussian noise of SD 0.2, n = 41 (d = 5): the covariance error
  // scaled by the noise SD is the true standard error of the slope. The delete-d jackknife
  // error should agree on average; the plain spread of the subset fits would be
  // sqrt(d / (n - d)) = 0.37 of it.
  std::mt19937 rng(2024);
  const double noise = 0.2;
  double ratioSum = 0;
  const int datasets = 10;
  for (int set = 0; set < datasets; ++set) {
    LineData data(41, noise, rng);
    Vec a(2), err(2), covErr(2);
    a[1] = 1;
    a[2] = 1;
    IVec ia(2);
    ia[1] = ia[2] = 1;
    Mat covar(2, 2), alpha(2, 2);
    double chisq = 0;
    ASSERT_EQ(fit_parameters(line, data.x, data.y, data.Y, data.sigma, data.n, a, ia, 2, covar,
                             alpha, chisq),
              0);
    covariance_errors(covar, 2, false, noise, covErr);
    JackknifeOptions options;
    options.seed = 1000u + set;
    estimate_errors_jackknife(err, line_maker, FitData{data.x, data.y, data.Y, data.sigma, data.n}, a, ia, 2,
                              options);
    ratioSum += err[2] / covErr[2];
  }
  const double meanRatio = ratioSum / datasets;
  EXPECT_GT(meanRatio, 0.8);
  EXPECT_LT(meanRatio, 1.25);
}

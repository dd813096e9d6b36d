// The least-squares core on small problems whose steps can be worked by hand: the damped
// 1x1 step, the positivity rule by slot number, the driver's stop rule, singular and
// non-finite matrices and the covariance layout.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fitting/levenberg_marquardt.h"

namespace {

// y = a1 + a2 x + a3 x^2 (only the first ma slots are used).
double polynomial(double x, double, Vec& a, int ma, Vec& dyda) {
  double value = 0, power = 1;
  for (int k = 1; k <= ma; ++k, power *= x) {
    dyda[k] = power;
    value += a[k] * power;
  }
  return value;
}

struct Data {
  explicit Data(int n) : n(n), x(n), y(n), Y(n), sigma(n) {
    for (int i = 1; i <= n; ++i) {
      x[i] = i;
      Y[i] = 1;
      sigma[i] = 1;
    }
  }
  int n;
  Vec x, y, Y, sigma;
};

IVec flags(std::initializer_list<int> values) {
  IVec ia(static_cast<int>(values.size()));
  int k = 1;
  for (int v : values) ia[k++] = v;
  return ia;
}

}  // namespace

TEST(LevenbergMarquardt, OneFittedSlotTakesTheDamped1x1Step) {
  // y = a1 x, data y = 2 x at x = 1..4, start a1 = 1 (slot 1 may take any sign):
  // alpha = sum x^2 = 30, beta = sum (y - x) x = 30, da = beta / (alpha (1 + 0.001)).
  Data d(4);
  for (int i = 1; i <= 4; ++i) d.y[i] = 2 * d.x[i];
  Vec a(1);
  a[1] = 1;
  IVec ia = flags({1});
  Mat covar(1, 1), alpha(1, 1);
  MarquardtState state;
  double chisq = 0, lambda = -1;
  auto proportional = [](double x, double, Vec& p, int, Vec& dyda) {
    dyda[1] = x;
    return p[1] * x;
  };
  ASSERT_EQ(marquardt_step(proportional, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 1, covar, alpha,
                           chisq, lambda, state),
            0);
  EXPECT_DOUBLE_EQ(a[1], 1 + 30.0 / (30.0 * 1.001));
  EXPECT_DOUBLE_EQ(lambda, 0.0001);
  EXPECT_NEAR(chisq, 30 * std::pow(1 - 1 / 1.001, 2), 1e-15);
  lambda = 0;
  ASSERT_EQ(marquardt_step(proportional, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 1, covar, alpha,
                           chisq, lambda, state),
            0);
  EXPECT_DOUBLE_EQ(covar[1][1], 1.0 / 30.0);
  EXPECT_DOUBLE_EQ(alpha[1][1], 30.0);
}

TEST(LevenbergMarquardt, StepsToZeroOrBelowAreHalvedFromSlotThreeOn) {
  // Data from y = -1 - x - x^2; start from slots 1 and 2 exact-but-positive and slot 3 = +1.
  // Slots 1 and 2 follow their steps into negative values; slot 3 is halved to 0.5.
  Data d(6);
  for (int i = 1; i <= d.n; ++i) d.y[i] = -1 - d.x[i] - d.x[i] * d.x[i];
  Vec a(3);
  a[1] = 1;
  a[2] = 1;
  a[3] = 1;
  IVec ia = flags({1, 1, 1});
  Mat covar(3, 3), alpha(3, 3);
  MarquardtState state;
  double chisq = 0, lambda = -1;
  ASSERT_EQ(marquardt_step(polynomial, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 3, covar, alpha, chisq,
                           lambda, state),
            0);
  EXPECT_LT(a[1], 0);
  EXPECT_LT(a[2], 0);
  EXPECT_EQ(a[3], 0.5);
  // With every slot sign-free the same step takes slot 3 below zero.
  a[1] = a[2] = a[3] = 1;
  MarquardtState free(3);
  lambda = -1;
  marquardt_step(polynomial, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 3, covar, alpha, chisq, lambda,
                 free);
  EXPECT_LT(a[3], -0.5);
}

TEST(LevenbergMarquardt, SmallChangeRule) {
  EXPECT_TRUE(is_small_chisq_change(180.00009, 180.0));  // -0.00009, relative 5e-7
  EXPECT_TRUE(is_small_chisq_change(0.18009, 0.18));     // -0.00009, relative 0.0005
  EXPECT_FALSE(is_small_chisq_change(180.0002, 180.0));  // -0.0002 is not small
  EXPECT_FALSE(is_small_chisq_change(0.011, 0.01));      // relative 0.1 is not small
  EXPECT_TRUE(is_small_chisq_change(5.0, 5.0));          // a rejected step
  EXPECT_TRUE(is_small_chisq_change(0.0, 0.0));          // 0/0
}

namespace {

// A model whose chi-square is dictated per normal-equations pass: it counts the passes over
// its single point and returns sqrt(chisqOfPass(pass)) for data y = 0.
struct ScriptedModel {
  int evaluations = 0;
  double (*chisqOfPass)(int pass);
  double operator()(double, double, Vec&, int, Vec& dyda) {
    dyda[1] = 1;
    return std::sqrt(chisqOfPass(++evaluations));
  }
};

int passes_of_one_run(double (*chisqOfPass)(int)) {
  Data d(1);
  d.y[1] = 0;
  Vec a(1);
  a[1] = 1;
  IVec ia = flags({1});
  Mat covar(1, 1), alpha(1, 1);
  double chisq = 0;
  ScriptedModel model{0, chisqOfPass};
  fit_parameters(model, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 1, covar, alpha, chisq);
  return model.evaluations;
}

}  // namespace

TEST(LevenbergMarquardt, DriverStopsAtTheSecondSmallChangeOrAfter51Steps) {
  // Start call: 2 passes; then one pass per loop step; the closing call needs none.
  // Never improving: the loop ends after its second step.
  EXPECT_EQ(passes_of_one_run([](int) { return 10.0; }), 2 + 2);
  // Always improving by a lot: 51 loop steps.
  EXPECT_EQ(passes_of_one_run([](int pass) { return 1e6 / pass; }), 2 + 51);
  // Small changes are counted over the whole loop, never reset: small, large, small.
  EXPECT_EQ(passes_of_one_run([](int pass) {
              static const double script[] = {0, 100, 90, 89.99995, 80, 79.99995, 70, 60};
              return script[pass];
            }),
            2 + 3);
}

TEST(LevenbergMarquardt, NoFittedSlotLeavesParametersAndReturnsZero) {
  Data d(5);
  for (int i = 1; i <= d.n; ++i) d.y[i] = 3 + d.x[i];
  Vec a(2);
  a[1] = 1;
  a[2] = 2;
  IVec ia = flags({0, 0});
  Mat covar(2, 2), alpha(2, 2);
  covar[1][2] = 7;
  double chisq = 0;
  EXPECT_EQ(fit_parameters(polynomial, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 2, covar, alpha, chisq),
            0);
  EXPECT_EQ(a[1], 1);
  EXPECT_EQ(a[2], 2);
  EXPECT_DOUBLE_EQ(chisq, 1 + 0 + 1 + 4 + 9);  // residuals 2 - x
  for (int j = 1; j <= 2; ++j)
    for (int k = 1; k <= 2; ++k) EXPECT_EQ(covar[j][k], 0) << j << k;
}

TEST(LevenbergMarquardt, CovarianceOfUnfittedSlotsIsZeroAndTheRestIsTheInverse) {
  // y = a1 + a2 x + a3 x^2 with slot 2 held: fitted columns 1 and x^2 at x = 1..3.
  // J^T J = [[3, 14], [14, 98]], inverse = [[98, -14], [-14, 3]] / 98.
  Data d(3);
  for (int i = 1; i <= d.n; ++i) d.y[i] = 1 + 0.5 * d.x[i] + 2 * d.x[i] * d.x[i];
  Vec a(3);
  a[1] = 0.5;
  a[2] = 0.5;
  a[3] = 1.5;
  IVec ia = flags({1, 0, 1});
  Mat covar(3, 3), alpha(3, 3);
  double chisq = 0;
  ASSERT_EQ(fit_parameters(polynomial, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 3, covar, alpha, chisq),
            0);
  EXPECT_NEAR(a[1], 1, 1e-6);
  EXPECT_EQ(a[2], 0.5);
  EXPECT_NEAR(a[3], 2, 1e-6);
  const double expected[3][3] = {{1, 0, -14 / 98.0}, {0, 0, 0}, {-14 / 98.0, 0, 3 / 98.0}};
  const double curvature[3][3] = {{3, 0, 14}, {0, 0, 0}, {14, 0, 98}};
  for (int j = 1; j <= 3; ++j) {
    for (int k = 1; k <= 3; ++k) {
      EXPECT_NEAR(covar[j][k], expected[j - 1][k - 1], 1e-12) << j << "," << k;
      EXPECT_NEAR(alpha[j][k], curvature[j - 1][k - 1], 1e-9) << j << "," << k;
    }
  }
}

TEST(LevenbergMarquardt, GaussJordanInvertsAndSolves) {
  // A = [[2, 1, 0], [1, 3, 1], [0, 1, 4]], b = A (1, 2, 3)^T = (4, 10, 14)^T.
  Mat A(3, 3), B(3, 1);
  const double values[3][3] = {{2, 1, 0}, {1, 3, 1}, {0, 1, 4}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) A[i][j] = values[i - 1][j - 1];
  B[1][1] = 4;
  B[2][1] = 10;
  B[3][1] = 14;
  ASSERT_EQ(gauss_jordan(A, 3, B, 1), 0);
  for (int i = 1; i <= 3; ++i) EXPECT_NEAR(B[i][1], i, 1e-14);
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) {
      double product = 0;
      for (int k = 1; k <= 3; ++k) product += values[i - 1][k - 1] * A[k][j];
      EXPECT_NEAR(product, i == j ? 1 : 0, 1e-14);
    }
  }
}

TEST(LevenbergMarquardt, GaussJordanReportsSingularAndNonFiniteMatrices) {
  Mat A(2, 2), B(2, 1);
  A[1][1] = 1;
  A[1][2] = 2;
  A[2][1] = 2;
  A[2][2] = 4;
  EXPECT_NE(gauss_jordan(A, 2, B, 1), 0);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double bad : {nan, std::numeric_limits<double>::infinity()}) {
    Mat N(3, 3), R(3, 1);
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) N[i][j] = bad;
    EXPECT_EQ(gauss_jordan(N, 3, R, 1), kEliminationZeroPivot);
    Mat M(2, 2), S(2, 1);
    M[1][1] = 1;
    M[2][2] = 1;
    S[2][1] = bad;  // a non-finite right-hand side is refused as well
    EXPECT_EQ(gauss_jordan(M, 2, S, 1), kEliminationZeroPivot);
  }
  // m = 0: nothing to eliminate.
  Mat E(1, 1), F(1, 1);
  EXPECT_EQ(gauss_jordan(E, 0, F, 1), 0);
}

TEST(LevenbergMarquardt, DriverReturnsTheSingularCodeOfItsClosingCall) {
  // y = (a1 + a2) x: the damped matrix is regular, the undamped one is singular.
  Data d(4);
  for (int i = 1; i <= d.n; ++i) d.y[i] = 3 * d.x[i];
  Vec a(2);
  a[1] = 1;
  a[2] = 1;
  IVec ia = flags({1, 1});
  Mat covar(2, 2), alpha(2, 2);
  double chisq = 0;
  auto sum = [](double x, double, Vec& p, int, Vec& dyda) {
    dyda[1] = dyda[2] = x;
    return (p[1] + p[2]) * x;
  };
  const int code = fit_parameters(sum, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 2, covar, alpha, chisq);
  EXPECT_TRUE(code == kEliminationSingularColumn || code == kEliminationZeroPivot) << code;
  EXPECT_NEAR(a[1] + a[2], 3, 1e-6);  // the fit itself still moved to the minimum
}

TEST(LevenbergMarquardt, NonFiniteModelValuesEndTheRunWithACode) {
  // An electrode model at total Ca 0 reads log10(0): the normal equations hold infinities.
  Data d(3);
  Vec a(1);
  a[1] = 1;
  IVec ia = flags({1});
  Mat covar(1, 1), alpha(1, 1);
  double chisq = 0;
  auto logarithm = [](double x, double, Vec& p, int, Vec& dyda) {
    dyda[1] = std::log10(x - 1);
    return p[1] * std::log10(x - 1);
  };
  EXPECT_EQ(fit_parameters(logarithm, d.x, d.y, d.Y, d.sigma, d.n, a, ia, 1, covar, alpha, chisq),
            kEliminationZeroPivot);
  EXPECT_EQ(a[1], 1);
}

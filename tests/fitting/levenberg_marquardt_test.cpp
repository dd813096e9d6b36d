// The least-squares core on problems whose steps can be worked by hand: the damped 1x1 step,
// the positivity rule by slot number, the driver's stop rule, singular and non-finite
// matrices, and the covariance layout.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fitting/levenberg_marquardt.h"

namespace {

// y = a1 + a2 x + a3 x^2 + ... over the first ma slots.
double polynomial(double x, double, Vec& a, int ma, Vec& dyda) {
  double value = 0, power = 1;
  for (int k = 1; k <= ma; ++k, power *= x) value += a[k] * (dyda[k] = power);
  return value;
}

// Points x = 1..n with unit weights and y from f.
struct Data {
  Data(int n, double (*f)(double)) : n(n), x(n), y(n), Y(n), sigma(n) {
    for (int i = 1; i <= n; ++i) x[i] = i, y[i] = f(i), Y[i] = sigma[i] = 1;
  }
  int n;
  Vec x, y, Y, sigma;
};

struct LmRun {
  explicit LmRun(std::initializer_list<double> start, std::initializer_list<int> fit)
      : ma(static_cast<int>(start.size())), a(ma), ia(ma), covar(ma, ma), alpha(ma, ma) {
    int k = 1;
    for (double v : start) a[k++] = v;
    k = 1;
    for (int f : fit) ia[k++] = f;
  }
  int fit(FitModelRef model, const Data& d) {
    return fit_parameters(model, d.x, d.y, d.Y, d.sigma, d.n, a, ia, ma, covar, alpha, chisq);
  }
  int step(FitModelRef model, const Data& d, MarquardtState& state) {
    return marquardt_step(model, d.x, d.y, d.Y, d.sigma, d.n, a, ia, ma, covar, alpha, chisq,
                          lambda, state);
  }
  int ma;
  Vec a;
  IVec ia;
  Mat covar, alpha;
  double chisq = 0, lambda = -1;
};

}  // namespace

TEST(LevenbergMarquardt, OneFittedSlotTakesTheDamped1x1Step) {
  // y = a1 x with data y = 2 x at x = 1..4 from a1 = 1: alpha = sum x^2 = 30,
  // beta = sum (y - x) x = 30, da = beta / (alpha (1 + 0.001)).
  Data proportional(4, [](double x) { return 2 * x; });
  LmRun p({1}, {1});
  auto line = [](double x, double, Vec& a, int, Vec& dyda) { return a[1] * (dyda[1] = x); };
  MarquardtState s1;
  ASSERT_EQ(p.step(line, proportional, s1), 0);
  EXPECT_DOUBLE_EQ(p.a[1], 1 + 30.0 / (30.0 * 1.001));
  EXPECT_DOUBLE_EQ(p.lambda, 0.0001);  // accepted: lambda / 10
  p.lambda = 0;
  ASSERT_EQ(p.step(line, proportional, s1), 0);
  EXPECT_DOUBLE_EQ(p.covar[1][1], 1.0 / 30.0);
}

TEST(LevenbergMarquardt, StepsToZeroOrBelowAreHalvedFromSlotThreeOn) {
  // Data y = -1 - x - x^2 from a = (1, 1, 1): slots 1 and 2 follow their steps below zero,
  // slot 3 is halved, whatever it means to the model; sign-free slots all follow the step.
  Data d(6, [](double x) { return -1 - x - x * x; });
  LmRun r({1, 1, 1}, {1, 1, 1});
  MarquardtState state;
  ASSERT_EQ(r.step(polynomial, d, state), 0);
  EXPECT_LT(r.a[1], 0);
  EXPECT_LT(r.a[2], 0);
  EXPECT_EQ(r.a[3], 0.5);
  LmRun free({1, 1, 1}, {1, 1, 1});
  MarquardtState allFree(3);
  free.step(polynomial, d, allFree);
  EXPECT_LT(free.a[3], -0.5);
}

namespace {

// A model whose chi-square is scripted per normal-equations pass over its single point.
struct ScriptedModel {
  double (*chisqOfPass)(int pass);
  int passes = 0;
  double operator()(double, double, Vec&, int, Vec& dyda) {
    dyda[1] = 1;
    return std::sqrt(chisqOfPass(++passes));
  }
};

int passes_of_one_run(double (*chisqOfPass)(int)) {
  Data d(1, [](double) { return 0.0; });
  LmRun r({1}, {1});
  ScriptedModel model{chisqOfPass};
  r.fit(model, d);
  return model.passes;
}

}  // namespace

TEST(LevenbergMarquardt, DriverStopsAtTheSecondSmallChangeOrAfter51Steps) {
  EXPECT_TRUE(is_small_chisq_change(0.18009, 0.18));     // -0.00009, relative 0.0005
  EXPECT_FALSE(is_small_chisq_change(180.0002, 180.0));  // -0.0002 is not small
  EXPECT_FALSE(is_small_chisq_change(0.011, 0.01));      // relative 0.1 is not small
  EXPECT_TRUE(is_small_chisq_change(0.0, 0.0));          // 0/0
  // Start call: 2 passes, then one per loop step; the closing call needs none.
  EXPECT_EQ(passes_of_one_run([](int) { return 10.0; }), 2 + 2);  // every step rejected
  EXPECT_EQ(passes_of_one_run([](int pass) { return 1e6 / pass; }), 2 + 51);
  // The count is never reset: small, large, small ends the loop.
  EXPECT_EQ(passes_of_one_run([](int pass) {
              static const double script[] = {0, 100, 90, 89.99995, 80, 79.99995, 70, 60};
              return script[pass];
            }),
            2 + 3);
}

TEST(LevenbergMarquardt, UnfittedSlotsStayAndHaveZeroCovariance) {
  // Nothing fitted: a unchanged, chi-square of the start (residuals 2 - x), zero covariance.
  Data d(5, [](double x) { return 3 + x; });
  LmRun none({1, 2}, {0, 0});
  none.covar[1][2] = 7;
  EXPECT_EQ(none.fit(polynomial, d), 0);
  EXPECT_EQ(none.a[1], 1);
  EXPECT_EQ(none.a[2], 2);
  EXPECT_DOUBLE_EQ(none.chisq, 1 + 0 + 1 + 4 + 9);
  EXPECT_EQ(none.covar[1][2], 0);

  // y = 1 + 0.5 x + 2 x^2 at x = 1..3 with slot 2 held: J^T J = [[3, 14], [14, 98]],
  // inverse [[98, -14], [-14, 3]] / 98 in rows and columns 1 and 3.
  Data q(3, [](double x) { return 1 + 0.5 * x + 2 * x * x; });
  LmRun r({0.5, 0.5, 1.5}, {1, 0, 1});
  ASSERT_EQ(r.fit(polynomial, q), 0);
  EXPECT_NEAR(r.a[1], 1, 1e-6);
  EXPECT_EQ(r.a[2], 0.5);
  EXPECT_NEAR(r.a[3], 2, 1e-6);
  const double covariance[3][3] = {{1, 0, -14 / 98.0}, {0, 0, 0}, {-14 / 98.0, 0, 3 / 98.0}};
  const double curvature[3][3] = {{3, 0, 14}, {0, 0, 0}, {14, 0, 98}};
  for (int j = 1; j <= 3; ++j) {
    for (int k = 1; k <= 3; ++k) {
      EXPECT_NEAR(r.covar[j][k], covariance[j - 1][k - 1], 1e-12) << j << "," << k;
      EXPECT_NEAR(r.alpha[j][k], curvature[j - 1][k - 1], 1e-9) << j << "," << k;
    }
  }
}

TEST(LevenbergMarquardt, SingularAndNonFiniteMatricesReturnCodes) {
  Mat A(2, 2), B(2, 1);
  A[1][1] = 1, A[1][2] = 2, A[2][1] = 2, A[2][2] = 4;
  EXPECT_NE(gauss_jordan(A, 2, B, 1), 0);
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    Mat N(3, 3), R(3, 1);
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) N[i][j] = bad;
    EXPECT_EQ(gauss_jordan(N, 3, R, 1), kEliminationZeroPivot);
  }
  // y = (a1 + a2) x: the damped matrices are regular, the closing undamped one is not.
  Data d(4, [](double x) { return 3 * x; });
  LmRun sum({1, 1}, {1, 1});
  const int code = sum.fit([](double x, double, Vec& a, int, Vec& dyda) {
    dyda[1] = dyda[2] = x;
    return (a[1] + a[2]) * x;
  }, d);
  EXPECT_TRUE(code == kEliminationSingularColumn || code == kEliminationZeroPivot) << code;
  EXPECT_NEAR(sum.a[1] + sum.a[2], 3, 1e-6);
  // A model value of -inf (an electrode at total Ca 0) ends the run with a code, a unchanged.
  LmRun electrode({1}, {1});
  EXPECT_EQ(electrode.fit([](double x, double, Vec& a, int, Vec& dyda) {
    return a[1] * (dyda[1] = std::log10(x - 1));
  }, d), kEliminationZeroPivot);
  EXPECT_EQ(electrode.a[1], 1);
}

namespace {

// Asks to stop at its polls-th poll.
struct StopAfter : StopCheck {
  explicit StopAfter(int polls) : left(polls) {}
  bool StopRequested() override { return --left <= 0; }
  int left;
};

// y = a1 x while a1 <= 10; beyond, the response no longer depends on a1 (derivative 0).
double saturating(double x, double, Vec& a, int, Vec& dyda) {
  const bool alive = a[1] <= 10;
  dyda[1] = alive ? x : 0.0;
  return (alive ? a[1] : 10.0) * x;
}

}  // namespace

TEST(LeastSquaresRun, EachStopReason) {
  Data quadratic(6, [](double x) { return 1 + 0.5 * x + 2 * x * x; });
  LmRun converges({0.5, 0.5, 1.5}, {1, 1, 1});
  const LeastSquaresRun ok = least_squares_run(polynomial, quadratic.x, quadratic.y, quadratic.Y, quadratic.sigma,
                                               quadratic.n, converges.a, converges.ia, 3, converges.covar,
                                               converges.alpha, converges.chisq);
  EXPECT_EQ(ok.stop, FitStop::Converged);
  EXPECT_NEAR(converges.a[3], 2, 1e-6);

  Data one(1, [](double) { return 0.0; });
  LmRun falling({1}, {1});
  ScriptedModel alwaysFalling{[](int pass) { return 1e6 / pass; }};
  EXPECT_EQ(least_squares_run(alwaysFalling, one.x, one.y, one.Y, one.sigma, 1, falling.a, falling.ia, 1,
                              falling.covar, falling.alpha, falling.chisq)
                .stop,
            FitStop::StepLimit);

  Data line(4, [](double x) { return 3 * x; });
  LmRun sum({1, 1}, {1, 1});
  auto twoSlotsOneEffect = [](double x, double, Vec& a, int, Vec& dyda) {
    dyda[1] = dyda[2] = x;
    return (a[1] + a[2]) * x;
  };
  const LeastSquaresRun singular = least_squares_run(twoSlotsOneEffect, line.x, line.y, line.Y, line.sigma, 4, sum.a,
                                                     sum.ia, 2, sum.covar, sum.alpha, sum.chisq);
  EXPECT_EQ(singular.stop, FitStop::Singular);
  EXPECT_NE(singular.code, kEliminationOk);

  LmRun nan({1}, {1});
  auto undefinedAtTheStart = [](double x, double, Vec& a, int, Vec& dyda) {
    return a[1] * (dyda[1] = std::sqrt(x - 10));  // NaN at every point x = 1..4
  };
  EXPECT_EQ(least_squares_run(undefinedAtTheStart, line.x, line.y, line.Y, line.sigma, 4, nan.a, nan.ia, 1, nan.covar,
                              nan.alpha, nan.chisq)
                .stop,
            FitStop::NonFinite);
  EXPECT_EQ(nan.a[1], 1);

  LmRun stopped({0.5, 0.5, 1.5}, {1, 1, 1});
  StopAfter third(3);
  const LeastSquaresRun cut = least_squares_run(polynomial, quadratic.x, quadratic.y, quadratic.Y, quadratic.sigma,
                                                quadratic.n, stopped.a, stopped.ia, 3, stopped.covar, stopped.alpha,
                                                stopped.chisq, &third);
  EXPECT_EQ(cut.stop, FitStop::Stopped);
  EXPECT_EQ(cut.steps, 1) << "asked before the second step";
  StopAfter first(1);
  EXPECT_EQ(polish_until_converged(polynomial, quadratic.x, quadratic.y, quadratic.Y, quadratic.sigma, quadratic.n,
                                   stopped.a, stopped.ia, 3, stopped.covar, stopped.alpha, stopped.chisq, &first)
                .stop,
            FitStop::Stopped);
}

TEST(LeastSquaresRun, AStepThatWouldZeroAColumnFailsInsteadOfEndingSingular) {
  // Data y = 20 x: the first step from a1 = 1 lands near 20, where chi-square is lower than at
  // 1 but the derivative column is zero. Accepted, every later system would be singular.
  Data steep(4, [](double x) { return 20 * x; });
  LmRun r({1}, {1});
  const LeastSquaresRun run = least_squares_run(saturating, steep.x, steep.y, steep.Y, steep.sigma, 4, r.a, r.ia, 1,
                                                r.covar, r.alpha, r.chisq);
  EXPECT_NE(run.stop, FitStop::Singular);
  EXPECT_EQ(run.code, kEliminationOk);
  EXPECT_GT(r.a[1], 9.0);
  EXPECT_LE(r.a[1], 10.0);
  EXPECT_GT(r.covar[1][1], 0.0);
}

TEST(LeastSquaresRun, PolishGoesOnUntilChiSquareStopsFallingOrTheRunCap) {
  // Every run of the scripted model falls for ever: the cap ends the polish as a step limit.
  Data one(1, [](double) { return 0.0; });
  LmRun r({1}, {1});
  ScriptedModel alwaysFalling{[](int pass) { return 1e6 / pass; }};
  int reported = 0;
  const PolishOutcome capped = polish_until_converged(alwaysFalling, one.x, one.y, one.Y, one.sigma, 1, r.a, r.ia, 1,
                                                      r.covar, r.alpha, r.chisq, nullptr, 3,
                                                      [&](int run) { reported = run; });
  EXPECT_EQ(capped.stop, FitStop::StepLimit);
  EXPECT_EQ(capped.runs, 3);
  EXPECT_EQ(reported, 3);

  // An exact fit: the second run cannot lower chi-square 0 and ends the polish.
  Data quadratic(6, [](double x) { return 1 + 0.5 * x + 2 * x * x; });
  LmRun exact({1, 0.5, 2}, {1, 1, 1});
  const PolishOutcome flat = polish_until_converged(polynomial, quadratic.x, quadratic.y, quadratic.Y, quadratic.sigma,
                                                    quadratic.n, exact.a, exact.ia, 3, exact.covar, exact.alpha,
                                                    exact.chisq);
  EXPECT_EQ(flat.stop, FitStop::Converged);
  EXPECT_EQ(flat.runs, 1);
  EXPECT_EQ(exact.chisq, 0.0);
}

// Binding models: worked values, reductions between families, dilution, electrodes, the
// fit evaluation, and the free-Ca solvers against an independent bisection.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "fitting/models.h"

namespace {

Vec params(std::initializer_list<double> values) {
  Vec a(1, 11);
  int k = 1;
  for (double v : values) a[k++] = v;
  return a;
}

struct Point {
  double R, bound, freeCa;
};

Point at(int model, double X, const Vec& a, double Y = 1, bool dilution = false) {
  const ModelInfo& m = model_info(model);
  Vec bound(1, 2), freeCa(1, 2);
  const double R = model_response(m.family, m.electrode, dilution, X, a, Y, bound, freeCa, 1);
  return {R, bound[1], freeCa[1]};
}

const Vec& example(int model) {  // one realistic vector per model, internal units
  static const Vec examples[] = {
      params({1, 2, 1000, 0.001}),
      params({1, 3, 2000, 150, 0.01, 0.1, 1000}),
      params({1, 2, 3, 2000, 0.01, 0.1}),
      params({1, 3, 2000, 150, 0.01, 0.1, 0.02, 0.3, 1000}),
      params({1, 3, 2000, 150, 40, 0.01, 0.1, 1000, 500}),
      params({1, 3, 2000, 150, 0.01, 0.1, 0.02, 0.3, 0.5, 0.9, 1000}),
      params({25, 3, 1000, 0.001}),
      params({25, 3, 2000, 0.01, 0.1, 0, 0, 0}),
      params({25, 3, 2000, 0.01, 0.1, 0.02, 0.3}),
      params({25, 3, 2000, 0.01, 0.1, 0.02, 0.3, 0.5, 0.9})};
  return examples[model - 1];
}

}  // namespace

TEST(Models, WorkedPointsAndTheCaFreeState) {
  // Model 1, R0 = 1, R1 = 2, P = 1000 nM, log K = 6, X = 1000 nM: x = sqrt(500^2 + 1e6) - 500.
  const Point p = at(1, 1000, params({1, 2, 1000, logK_to_internal(6)}));
  EXPECT_NEAR(p.freeCa, 618.0339887, 1e-6);
  EXPECT_NEAR(p.bound, 0.381966, 1e-6);
  EXPECT_NEAR(p.R, 1.381966, 1e-6);
  EXPECT_EQ(logKd_to_internal(0), 999999999.9999999);  // the log Kd factor 1 / 1e-9
  // Total Ca 0: model 1 returns R0 undiluted; the others the Ca-free response, diluted.
  EXPECT_EQ(at(1, 0, example(1), 0.5, true).R, 1);
  for (int model = 2; model <= 6; ++model) {
    const Point z = at(model, 0, example(model), 0.5, true);
    EXPECT_EQ(z.R, 0.5) << model;
    EXPECT_EQ(z.freeCa, 0) << model;
    EXPECT_EQ(z.bound, 0) << model;
  }
}

TEST(Models, MissingStepsReduceToSmallerProteins) {
  const Vec twoSites = params({1, 2, 7, 1500, 0.004, 0}), oneSite = params({1, 2, 1500, 0.004});
  const Vec sixSites = params({1, 2, 1000, 200, 0.01, 0.03, 0.002, 0.2, 0, 0.5, 800});
  const Vec fourSites = params({1, 2, 1000, 200, 0.01, 0.03, 0.002, 0.2, 800});
  for (double X : {1.0, 300.0, 2000.0, 5000.0, 1e5}) {
    EXPECT_NEAR(at(3, X, twoSites, 0.8).R, at(1, X, oneSite, 0.8).R, 1e-12) << X;
    const Point six = at(6, X, sixSites, 0.9), four = at(4, X, fourSites, 0.9);
    EXPECT_NEAR(six.R, four.R, 1e-12) << X;
    EXPECT_NEAR(six.freeCa, four.freeCa, 1e-10 * X) << X;
  }
}

TEST(Models, DilutionHalvesAndElectrodesReadLogFreeCa) {
  for (int model = 1; model <= kModelCount; ++model)
    EXPECT_DOUBLE_EQ(at(model, 2500, example(model), 0.5, true).R,
                     0.5 * at(model, 2500, example(model), 0.5).R) << model;
  // Without protein all Ca is free: s log10(X / 1000 nM) + E0.
  EXPECT_NEAR(at(7, 1000, params({1, 0, 0, 0.001})).R, 0.0, 1e-12);
  EXPECT_NEAR(at(9, 1e5, params({2, 5, 0, 0.01, 0.1, 0.02, 0.3})).R, 9.0, 1e-12);
  EXPECT_NEAR(at(10, 10, params({1, 0, 0, 0.01, 0.1, 0.02, 0.3, 0.5, 0.9})).R, -2.0, 1e-12);
  // Model 7's fourth slot is an association constant, as model 1's.
  EXPECT_NEAR(at(7, 1000, params({1, 0, 1000, logK_to_internal(6)})).freeCa, 618.0339887, 1e-6);
}

TEST(Models, FitEvaluationRestoresParametersAndDifferentiatesEverySlot) {
  Vec bound(1, 2), freeCa(1, 2), dyda(1, 8);
  Vec a = params({1.25, 2.5, 0, 1800, 0.004, 0.02});  // model 3 with R2 = 0 (h = 1e-9)
  const double R = model_fit_evaluation(ModelFamily::TwoSite, false, false, 900, a, 1, 6, dyda,
                                        bound, freeCa);
  EXPECT_EQ(a[3], 0);
  EXPECT_EQ(a[5], 0.004);
  EXPECT_DOUBLE_EQ(R, at(3, 900, a).R);
  // The response is linear in R0, R1, R2 with the species fractions as coefficients.
  const double x = freeCa[1], pol = 1 + 0.004 * x + 0.004 * 0.02 * x * x;
  const double f1 = 0.004 * x / pol, f2 = 0.004 * 0.02 * x * x / pol;
  EXPECT_NEAR(dyda[1], 1 - f1 - f2, 1e-8);
  EXPECT_NEAR(dyda[2], f1, 1e-8);
  EXPECT_NEAR(dyda[3], f2, 1e-6);  // h = 1e-9: rounding ~ 1e-16 / 1e-9
  // The protein and constants move the response; model 8's spare slots do not.
  Vec e = params({25, 3, 2000, 0.01, 0.1, 7, 7, 0});
  model_fit_evaluation(ModelFamily::TwoSiteChelator, true, false, 900, e, 1, 8, dyda, bound,
                       freeCa);
  for (int k = 3; k <= 5; ++k) EXPECT_NE(dyda[k], 0.0) << k;
  for (int k = 6; k <= 8; ++k) EXPECT_EQ(dyda[k], 0.0) << k;
}

namespace {

// The mass balance X = x + Pt sum(k t_k) / Pol + sum_j C_j x / (x + Kd_j), written out here.
struct Balance {
  std::vector<double> K;  // stepwise association constants, nM^-1
  double Pt = 0;
  std::vector<double> C, Kd;
  double excess(double X, double x) const {
    double pol = 1, t = 1, bound = 0;
    for (size_t k = 0; k < K.size(); ++k) pol += t *= K[k] * x, bound += (k + 1) * t;
    double F = X - x - Pt * bound / pol;
    for (size_t j = 0; j < C.size(); ++j) F -= C[j] * x / (x + Kd[j]);
    return F;
  }
  double bisect(double X) const {
    double lo = 0, hi = X;
    for (double mid = X / 2; mid > lo && mid < hi; mid = 0.5 * (lo + hi))
      (excess(X, mid) > 0 ? lo : hi) = mid;
    return 0.5 * (lo + hi);
  }
};

// Random realistic parameters for a model and the balance they describe at dilution Y:
// log K 3..10 (half the draws cooperative, rising), protein and chelators 10 nM..100 uM.
Balance draw(int model, Vec& a, double Y, std::mt19937& rng) {
  auto logU = [&rng](double lo, double hi) {
    return std::pow(10.0, std::uniform_real_distribution<double>(lo, hi)(rng));
  };
  const ModelInfo& m = model_info(model);
  const int sites = m.family == ModelFamily::FourSiteChelator  ? 4
                    : m.family == ModelFamily::SixSiteChelator ? 6 : 2;
  const int chelators = m.electrode || m.family == ModelFamily::TwoSite ? 0
                        : m.family == ModelFamily::TwoSiteTwoChelators ? 2 : 1;
  const int proteinSlot = m.family == ModelFamily::TwoSite ? 4 : 3;
  const int firstK = m.electrode ? 4 : 4 + chelators + (m.family == ModelFamily::TwoSite);
  Balance b;
  for (int k = 0; k < sites; ++k) b.K.push_back(logU(-6, 1));
  if (rng() % 2) std::sort(b.K.begin(), b.K.end());
  for (int k = 0; k < sites; ++k) a[firstK + k] = b.K[k];
  a[proteinSlot] = logU(1, 5);
  b.Pt = a[proteinSlot] * Y;
  for (int j = 0; j < chelators; ++j) {
    a[4 + j] = logU(0, 4);
    a[firstK + sites + j] = logU(1, 5);
    b.Kd.push_back(a[4 + j]);
    b.C.push_back(a[firstK + sites + j] * Y);
  }
  return b;
}

}  // namespace

TEST(Models, FreeCaMatchesIndependentBisectionForEveryPolynomialFamily) {
  std::mt19937 rng(20240601);
  for (int model : {2, 3, 4, 5, 6, 8, 9, 10}) {
    const ModelInfo& m = model_info(model);
    Vec keptBound(1, 2), keptFree(1, 2);  // kept across cases: warm starts from other points
    for (int trial = 0; trial < 1000; ++trial) {
      const double Y = std::uniform_real_distribution<double>(0.6, 1.0)(rng);
      Vec a = params({1, 2});
      const Balance b = draw(model, a, Y, rng);
      for (double X : {0.0, 1e-9, 1e-3, std::pow(10.0, std::uniform_real_distribution<double>(0, 6)(rng))}) {
        const double expected = X == 0 ? 0 : b.bisect(X);
        model_response(m.family, m.electrode, false, X, a, Y, keptBound, keptFree, 1);
        for (double got : {at(model, X, a, Y).freeCa, keptFree[1]})
          ASSERT_LE(std::fabs(got - expected), 1e-10 * expected)
              << "model " << model << " X " << X << " trial " << trial;
      }
    }
  }
}

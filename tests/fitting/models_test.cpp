// Binding models: worked values, reductions between families, dilution, electrodes, and the
// free-Ca solvers against an independent bisection of the same mass balance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "fitting/models.h"

namespace {

struct Results {
  Vec bound{1, 2};
  Vec freeCa{1, 2};
};

Vec params(std::initializer_list<double> values) {
  Vec a(1, 11);
  int k = 1;
  for (double v : values) a[k++] = v;
  return a;
}

double response(int model, double X, const Vec& a, double Y, Results& r, bool dilution = false) {
  const ModelInfo& m = model_info(model);
  return model_response(m.family, m.electrode, dilution, X, a, Y, r.bound, r.freeCa, 1);
}

}  // namespace

TEST(Models, OneSiteWorkedPoint) {
  // R0 = 1, R1 = 2, P = 1000 nM, log K = 6, X = 1000 nM: b = 500,
  // x = sqrt(500^2 + 1000 * 1000) - 500.
  Results r;
  const Vec a = params({1, 2, 1000, logK_to_internal(6)});
  const double x = std::sqrt(500.0 * 500.0 + 1e6) - 500.0;  // 618.0339887...
  const double R = response(1, 1000, a, 1, r);
  EXPECT_NEAR(r.freeCa[1], x, 1e-9);
  EXPECT_NEAR(r.bound[1], x / (1000 + x), 1e-12);
  EXPECT_NEAR(R, 1.381966, 1e-6);
  EXPECT_NEAR(r.freeCa[1], 618.03, 0.005);
}

TEST(Models, ZeroTotalCaGivesTheCaFreeState) {
  Results r;
  // Model 1 returns R0 without the dilution factor.
  EXPECT_EQ(response(1, 0, params({1.5, 2, 1000, 0.001}), 0.5, r, true), 1.5);
  // The polynomial families, with the previous free Ca still in the result vector.
  const Vec chelated = params({1.5, 3, 2000, 150, 0.01, 0.1, 0.02, 0.3, 0.5, 0.9, 1000});
  for (int model : {2, 4, 6}) {
    r.freeCa[1] = 123.0;
    EXPECT_EQ(response(model, 0, chelated, 0.5, r, true), 0.75) << "model " << model;
    EXPECT_EQ(r.freeCa[1], 0.0);
    EXPECT_EQ(r.bound[1], 0.0);
  }
  const Vec twoChelators = params({1.5, 3, 2000, 150, 40, 0.01, 0.1, 1000, 500});
  EXPECT_EQ(response(5, 0, twoChelators, 1, r), 1.5);
  EXPECT_EQ(response(3, 0, params({1.5, 3, 4, 2000, 0.01, 0.1}), 1, r), 1.5);
}

TEST(Models, TwoSiteWithoutSecondStepIsOneSite) {
  Results r3, r1;
  const Vec two = params({1, 2, 7, 1500, 0.004, 0});
  const Vec one = params({1, 2, 1500, 0.004});
  for (double X : {1.0, 300.0, 1500.0, 5000.0, 1e5}) {
    EXPECT_NEAR(response(3, X, two, 0.8, r3), response(1, X, one, 0.8, r1), 1e-12) << X;
    EXPECT_NEAR(r3.freeCa[1], r1.freeCa[1], 1e-10 * X) << X;
  }
}

TEST(Models, SixSitesWithoutFifthStepAreFourSites) {
  Results r6, r4;
  const Vec six = params({1, 2, 1000, 200, 0.01, 0.03, 0.002, 0.2, 0, 0.5, 800});
  const Vec four = params({1, 2, 1000, 200, 0.01, 0.03, 0.002, 0.2, 800});
  for (double X : {0.5, 100.0, 2000.0, 4000.0, 20000.0}) {
    EXPECT_NEAR(response(6, X, six, 0.9, r6), response(4, X, four, 0.9, r4), 1e-12) << X;
    EXPECT_NEAR(r6.freeCa[1], r4.freeCa[1], 1e-10 * X) << X;
    EXPECT_NEAR(r6.bound[1], r4.bound[1], 1e-12) << X;
  }
}

TEST(Models, SignalDilutionScalesEveryResponse) {
  const Vec byModel[] = {
      params({1, 2, 1000, 0.001}),
      params({1, 3, 2000, 150, 0.01, 0.1, 1000}),
      params({1, 2, 3, 2000, 0.01, 0.1}),
      params({1, 3, 2000, 150, 0.01, 0.1, 0.02, 0.3, 1000}),
      params({1, 3, 2000, 150, 40, 0.01, 0.1, 1000, 500}),
      params({1, 3, 2000, 150, 0.01, 0.1, 0.02, 0.3, 0.5, 0.9, 1000}),
      params({25, 3, 1000, 0.001}),
      params({25, 3, 2000, 0.01, 0.1, 0, 0, 0}),
      params({25, 3, 2000, 0.01, 0.1, 0.02, 0.3}),
      params({25, 3, 2000, 0.01, 0.1, 0.02, 0.3, 0.5, 0.9}),
  };
  for (int model = 1; model <= kModelCount; ++model) {
    Results r;
    const double plain = response(model, 2500, byModel[model - 1], 0.5, r, false);
    const double diluted = response(model, 2500, byModel[model - 1], 0.5, r, true);
    EXPECT_DOUBLE_EQ(diluted, 0.5 * plain) << "model " << model;
  }
}

TEST(Models, ElectrodeReadsLogOfFreeCaInMicromolar) {
  // Without protein all Ca is free: 1000 nM = 1 uM reads s log10(1) + E0.
  Results r;
  EXPECT_NEAR(response(7, 1000, params({1, 0, 0, 0.001}), 1, r), 0.0, 1e-12);
  EXPECT_NEAR(response(8, 1000, params({1, 0, 0, 0.01, 0.1}), 1, r), 0.0, 1e-12);
  EXPECT_NEAR(response(9, 1e5, params({2, 5, 0, 0.01, 0.1, 0.02, 0.3}), 1, r), 9.0, 1e-12);
  EXPECT_NEAR(response(10, 10, params({1, 0, 0, 0.01, 0.1, 0.02, 0.3, 0.5, 0.9}), 1, r),
              -2.0, 1e-12);
  // Model 7's fourth slot is an association constant: log K 6 at P = 1000 nM, X = 1000 nM
  // leaves the worked point's 618.03 nM free.
  response(7, 1000, params({1, 0, 1000, logK_to_internal(6)}), 1, r);
  EXPECT_NEAR(r.freeCa[1], 618.0339887, 1e-6);
}

TEST(Models, ConversionsUseTheStatedFactors) {
  EXPECT_DOUBLE_EQ(logK_to_internal(6), 0.001);
  EXPECT_DOUBLE_EQ(logKd_to_internal(-7), 100.0);
  EXPECT_EQ(logKd_to_internal(0), 999999999.9999999);
  EXPECT_DOUBLE_EQ(internal_to_logK(logK_to_internal(7.3)), 7.3);
  EXPECT_DOUBLE_EQ(internal_to_logKd(logKd_to_internal(-6.2)), -6.2);
  EXPECT_EQ(uM_to_internal(2.5), 2500.0);
  EXPECT_EQ(internal_to_uM(2500.0), 2.5);
  // Spare slots exist only in electrode models.
  for (int model = 1; model <= kModelCount; ++model) {
    for (int slot = 1; slot <= model_info(model).slots; ++slot) {
      if (slot_kind(model, slot) == SlotKind::Spare) EXPECT_TRUE(model_info(model).electrode);
    }
  }
  EXPECT_EQ(slot_kind(7, 4), SlotKind::AssociationConstant);
  EXPECT_EQ(slot_kind(5, 5), SlotKind::DissociationConstant);
  EXPECT_EQ(slot_kind(3, 3), SlotKind::Plain);
  EXPECT_EQ(slot_kind(3, 4), SlotKind::Concentration);
}

TEST(Models, FitEvaluationRestoresParametersAndDifferentiatesEverySlot) {
  Results r;
  Vec a = params({1.25, 2.5, 0, 1800, 0.004, 0.02});  // model 3 with R2 = 0 (h = 1e-9)
  const std::vector<double> before = {a[1], a[2], a[3], a[4], a[5], a[6]};
  Vec dyda(1, 6);
  const double R = model_fit_evaluation(ModelFamily::TwoSite, false, false, 900, a, 1, 6, dyda,
                                        r.bound, r.freeCa);
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(a[k], before[k - 1]) << "slot " << k;
  Results fresh;
  EXPECT_DOUBLE_EQ(R, response(3, 900, a, 1, fresh));
  // The response is linear in R0, R1, R2 with the species fractions as coefficients.
  const double x = r.freeCa[1], K1 = a[5], K2 = a[6];
  const double pol = 1 + K1 * x + K1 * K2 * x * x;
  const double f1 = K1 * x / pol, f2 = K1 * K2 * x * x / pol;
  EXPECT_NEAR(dyda[1], 1 - f1 - f2, 1e-8);
  EXPECT_NEAR(dyda[2], f1, 1e-8);
  EXPECT_NEAR(dyda[3], f2, 1e-6);  // h = 1e-9 for a zero slot: rounding ~ 1e-16 / 1e-9
  // Model 8's spare slots do not influence the response.
  Vec e = params({25, 3, 2000, 0.01, 0.1, 7, 7, 0});
  Vec de(1, 8);
  model_fit_evaluation(ModelFamily::TwoSiteChelator, true, false, 900, e, 1, 8, de, r.bound,
                       r.freeCa);
  for (int k = 6; k <= 8; ++k) EXPECT_EQ(de[k], 0.0) << "slot " << k;
  EXPECT_NE(de[4], 0.0);
}

// ---- Solvers against plain bisection of the same mass balance, written out here.

namespace {

struct Balance {
  std::vector<double> K;  // stepwise association constants, nM^-1
  double Pt = 0;          // nM
  std::vector<double> C, Kd;
};

double mass_balance(const Balance& b, double X, double x) {
  double pol = 1, t = 1, bound = 0;
  for (size_t k = 0; k < b.K.size(); ++k) {
    t *= b.K[k] * x;
    pol += t;
    bound += (k + 1) * t;
  }
  double F = X - x - b.Pt * bound / pol;
  for (size_t j = 0; j < b.C.size(); ++j) F -= b.C[j] * x / (x + b.Kd[j]);
  return F;
}

double bisect(const Balance& b, double X) {
  double lo = 0, hi = X;
  while (true) {
    const double mid = 0.5 * (lo + hi);
    if (mid <= lo || mid >= hi) return mid;
    (mass_balance(b, X, mid) > 0 ? lo : hi) = mid;
  }
}

// The parameter vector of a model and the balance it describes, at dilution Y.
struct Case {
  int model;
  Vec a{1, 11};
  Balance balance;
};

Case make_case(int model, std::mt19937& rng, double Y) {
  auto logU = [&rng](double lo, double hi) {
    return std::pow(10.0, std::uniform_real_distribution<double>(lo, hi)(rng));
  };
  Case c;
  c.model = model;
  const ModelInfo& m = model_info(model);
  const int sites = m.family == ModelFamily::FourSiteChelator   ? 4
                    : m.family == ModelFamily::SixSiteChelator ? 6
                                                               : 2;
  // Constants from log K 3 to 10 (M^-1); half the cases cooperative (rising constants).
  const bool cooperative = std::uniform_int_distribution<int>(0, 1)(rng) == 1;
  std::vector<double> K;
  for (int k = 0; k < sites; ++k) K.push_back(logU(-6, 1));
  if (cooperative) std::sort(K.begin(), K.end());
  c.a[1] = 1;
  c.a[2] = 2;
  c.a[3] = logU(1, 5);  // protein 10 nM .. 100 uM
  int firstK = 5;
  if (m.electrode) {
    firstK = 4;
  } else if (m.family == ModelFamily::TwoSite) {
    c.a[3] = 3;
    c.a[4] = logU(1, 5);
  } else if (m.family == ModelFamily::TwoSiteTwoChelators) {
    c.a[4] = logU(0, 4);
    c.a[5] = logU(0, 4);
    c.a[8] = logU(1, 5);
    c.a[9] = logU(1, 5);
    firstK = 6;
    c.balance.C = {c.a[8] * Y, c.a[9] * Y};
    c.balance.Kd = {c.a[4], c.a[5]};
  } else {
    c.a[4] = logU(0, 4);
    const int chelatorSlot = firstK + sites;
    c.a[chelatorSlot] = logU(1, 5);
    c.balance.C = {c.a[chelatorSlot] * Y};
    c.balance.Kd = {c.a[4]};
  }
  for (int k = 0; k < sites; ++k) c.a[firstK + k] = K[k];
  c.balance.K = K;
  c.balance.Pt = (m.family == ModelFamily::TwoSite ? c.a[4] : c.a[3]) * Y;
  return c;
}

}  // namespace

TEST(Models, FreeCaMatchesIndependentBisectionForEveryPolynomialFamily) {
  std::mt19937 rng(20240601);
  for (int model : {2, 3, 4, 5, 6, 8, 9, 10}) {
    // Result vectors kept across evaluations, as in a fit: every solve starts warm from the
    // previous case's free Ca, which belongs to other parameters.
    Results kept;
    double worst = 0;
    int cases = 0;
    for (int trial = 0; trial < 400; ++trial) {
      const double Y = std::uniform_real_distribution<double>(0.6, 1.0)(rng);
      Case c = make_case(model, rng, Y);
      std::vector<double> totals = {0.0, 1e-9, 1e-3};
      for (int j = 0; j < 6; ++j)
        totals.push_back(std::pow(10.0, std::uniform_real_distribution<double>(0, 6)(rng)));
      for (double X : totals) {
        Results cold;
        response(model, X, c.a, Y, cold);
        response(model, X, c.a, Y, kept);
        const double expected = X == 0 ? 0 : bisect(c.balance, X);
        for (double got : {cold.freeCa[1], kept.freeCa[1]}) {
          const double err = X == 0 ? std::fabs(got) : std::fabs(got - expected) / expected;
          worst = std::max(worst, err);
          ++cases;
          if (err > 1e-10)
            ADD_FAILURE() << "model " << model << " X " << X << " free Ca " << got
                          << " bisection " << expected;
        }
      }
    }
    std::printf("model %d: %d solves, worst relative error %.2e\n", model, cases, worst);
  }
}

// Fits that recover the parameters a series was simulated from, one per model, through the
// binding-model adapter with each point's own dilution factor.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fitting/levenberg_marquardt.h"
#include "fitting/models.h"

namespace {

struct Series {
  int n;
  Vec x, y, V, Y, sigma;
  explicit Series(int n) : n(n), x(n), y(n), V(n), Y(n), sigma(n) {}
};

// A titration of n points: total Ca from 0 (or a small first addition for electrodes) to
// maxCa nM, volume from 2 ml growing by 1 % per step, responses from the true vector.
Series simulate(int model, const Vec& truth, double maxCa, int n, bool dilution) {
  const ModelInfo& m = model_info(model);
  Series s(n);
  Vec bound(1, 2), freeCa(1, 2);
  for (int i = 1; i <= n; ++i) {
    s.V[i] = 2.0 * (1.0 + 0.01 * (i - 1));
    s.x[i] = maxCa * (m.electrode ? i : i - 1) / n;
    s.sigma[i] = 1;
  }
  dilution_factors(s.V, n, s.Y);
  for (int i = 1; i <= n; ++i)
    s.y[i] = model_response(m.family, m.electrode, dilution, s.x[i], truth, s.Y[i], bound, freeCa, 1);
  return s;
}

struct Recovery {
  int model;
  std::vector<double> truth;  // internal units
  double maxCa;               // nM
  bool dilution;
};

// Start: responses +5 %, concentrations +10 %, constants x 1.5; repeated full fits as the
// fit command schedules them. Returns the worst relative error of a fitted slot.
double recover(const Recovery& r) {
  const ModelInfo& m = model_info(r.model);
  const int ma = m.slots;
  Vec truth(1, ma), a(1, ma);
  IVec ia(1, ma);
  for (int k = 1; k <= ma; ++k) truth[k] = r.truth[k - 1];
  const Series s = simulate(r.model, truth, r.maxCa, 40, r.dilution);
  for (int k = 1; k <= ma; ++k) {
    const SlotKind kind = slot_kind(r.model, k);
    ia[k] = kind != SlotKind::Spare;
    const double factor = kind == SlotKind::Plain           ? 1.05
                          : kind == SlotKind::Concentration ? 1.1
                          : kind == SlotKind::Spare         ? 1.0
                                                            : 1.5;
    a[k] = truth[k] * factor;
  }
  Mat covar(ma, ma), alpha(ma, ma);
  Vec bound(1, 2), freeCa(1, 2);
  BindingFitModel model{m.family, m.electrode, r.dilution, bound, freeCa};
  double chisq = 0;
  for (int run = 0; run < 30; ++run)
    fit_parameters(model, s.x, s.y, s.Y, s.sigma, s.n, a, ia, ma, covar, alpha, chisq);
  double worst = 0;
  for (int k = 1; k <= ma; ++k) {
    if (!ia[k]) {
      EXPECT_EQ(a[k], truth[k]) << "model " << r.model << " spare slot " << k << " moved";
      continue;
    }
    worst = std::max(worst, std::fabs(a[k] - truth[k]) / std::fabs(truth[k]));
  }
  return worst;
}

double K(double logK) { return logK_to_internal(logK); }
double Kd(double logKd) { return logKd_to_internal(logKd); }

}  // namespace

TEST(Recovery, EveryModelRecoversItsSimulatedParameters) {
  const Recovery cases[] = {
      {1, {1.0, 2.0, 2000, K(6.5)}, 8000, false},
      {2, {0.2, 3.0, 3000, Kd(-6.7), K(7.0), K(6.0), 1000}, 15000, true},
      {3, {1.0, 1.5, 2.5, 5000, K(6.0), K(5.5)}, 30000, false},
      {4, {0.2, 3.0, 2000, Kd(-6.5), K(7.5), K(7.0), K(6.0), K(6.5), 1000}, 20000, false},
      {5, {0.2, 3.0, 2000, Kd(-6.5), Kd(-8.0), K(7.0), K(6.3), 800, 1500}, 15000, true},
      {6, {0.2, 3.0, 1000, Kd(-6.5), K(7.5), K(7.0), K(6.0), K(6.5), K(5.5), K(6.0), 1000},
       20000, false},
      {7, {25.0, 10.0, 2000, K(6.5)}, 8000, false},
      {8, {25.0, 10.0, 3000, K(7.0), K(6.0), 0, 0, 0}, 15000, false},
      {9, {25.0, 10.0, 2000, K(7.5), K(7.0), K(6.0), K(6.5), 0, 0}, 20000, false},
      {10, {25.0, 10.0, 1000, K(7.5), K(7.0), K(6.0), K(6.5), K(5.5), K(6.0), 0, 0}, 20000, false},
  };
  for (const Recovery& r : cases)
    EXPECT_LT(recover(r), 1e-4) << "model " << r.model;
}

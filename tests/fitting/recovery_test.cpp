// Fits that recover the parameters a 40-point series was simulated from, one per model,
// through the binding-model adapter with each point's own dilution factor.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fitting/levenberg_marquardt.h"
#include "fitting/models.h"

namespace {

double K(double logK) { return logK_to_internal(logK); }
double Kd(double logKd) { return logKd_to_internal(logKd); }

// Total Ca from 0 (electrodes: from the first addition) to maxCa nM, volume +1 % per step.
// Start: responses +5 %, concentrations +10 %, constants x 1.5; 30 full fits as the fit
// command repeats them. Returns the worst relative error of a fitted slot.
double recover(int model, const std::vector<double>& truthValues, double maxCa, bool dilution) {
  const ModelInfo& m = model_info(model);
  const int n = 40, ma = m.slots;
  Vec x(n), y(n), V(n), Y(n), sigma(n), truth(ma), a(ma), bound(1, 2), freeCa(1, 2);
  IVec ia(ma);
  for (int k = 1; k <= ma; ++k) {
    const SlotKind kind = slot_kind(model, k);
    truth[k] = truthValues[k - 1];
    ia[k] = kind != SlotKind::Spare;
    a[k] = truth[k] * (is_signal_slot(kind) ? 1.05 : kind == SlotKind::Concentration ? 1.1 : kind == SlotKind::Spare ? 1.0 : 1.5);
  }
  for (int i = 1; i <= n; ++i)
    V[i] = 2.0 * (1 + 0.01 * (i - 1)), x[i] = maxCa * (m.electrode ? i : i - 1) / n, sigma[i] = 1;
  dilution_factors(V, n, Y);
  for (int i = 1; i <= n; ++i)
    y[i] = model_response(m.family, m.electrode, dilution, x[i], truth, Y[i], bound, freeCa, 1);
  Mat covar(ma, ma), alpha(ma, ma);
  double chisq = 0, worst = 0;
  for (int run = 0; run < 30; ++run)
    fit_parameters(BindingFitModel{m.family, m.electrode, dilution, bound, freeCa}, x, y, Y, sigma,
                   n, a, ia, ma, covar, alpha, chisq);
  for (int k = 1; k <= ma; ++k)
    worst = std::max(worst, ia[k] ? std::fabs(a[k] / truth[k] - 1) : std::fabs(a[k] - truth[k]));
  return worst;
}

}  // namespace

TEST(Recovery, EveryModelRecoversItsSimulatedParameters) {
  EXPECT_LT(recover(1, {1.0, 2.0, 2000, K(6.5)}, 8000, false), 1e-4);
  EXPECT_LT(recover(2, {0.2, 3.0, 3000, Kd(-6.7), K(7.0), K(6.0), 1000}, 15000, true), 1e-4);
  EXPECT_LT(recover(3, {1.0, 1.5, 2.5, 5000, K(6.0), K(5.5)}, 30000, false), 1e-4);
  EXPECT_LT(recover(4, {0.2, 3.0, 2000, Kd(-6.5), K(7.5), K(7.0), K(6.0), K(6.5), 1000}, 20000,
                    false), 1e-4);
  EXPECT_LT(recover(5, {0.2, 3.0, 2000, Kd(-6.5), Kd(-8.0), K(7.0), K(6.3), 800, 1500}, 15000,
                    true), 1e-4);
  EXPECT_LT(recover(6, {0.2, 3.0, 1000, Kd(-6.5), K(7.5), K(7.0), K(6.0), K(6.5), K(5.5),
                        K(6.0), 1000}, 20000, false), 1e-4);
  EXPECT_LT(recover(7, {25.0, 10.0, 2000, K(6.5)}, 8000, false), 1e-4);
  EXPECT_LT(recover(8, {25.0, 10.0, 3000, K(7.0), K(6.0), 0, 0, 0}, 15000, false), 1e-4);
  EXPECT_LT(recover(9, {25.0, 10.0, 2000, K(7.5), K(7.0), K(6.0), K(6.5), 0, 0}, 20000, false),
            1e-4);
  EXPECT_LT(recover(10, {25.0, 10.0, 1000, K(7.5), K(7.0), K(6.0), K(6.5), K(5.5), K(6.0), 0, 0},
                    20000, false), 1e-4);
}

// Fitting engine timings per model family on a 99-point titration: one model_response, one
// normal_equations pass (99 x (2 ma + 1) model evaluations) and one fit_parameters run.
#include <benchmark/benchmark.h>

#include <vector>

#include "fitting/levenberg_marquardt.h"
#include "fitting/models.h"

namespace {

constexpr int kPoints = 99;

double K(double logK) { return logK_to_internal(logK); }
double Kd(double logKd) { return logKd_to_internal(logKd); }

struct Setup {
  int model;
  std::vector<double> truth;
  double maxCa;  // nM
};

// One representative model of each family (argument = index), plus the six-site electrode.
const Setup kSetups[] = {
    {1, {1.0, 2.0, 2000, K(6.5)}, 8000},
    {2, {0.2, 3.0, 3000, Kd(-6.7), K(7.0), K(6.0), 1000}, 15000},
    {3, {1.0, 1.5, 2.5, 5000, K(6.0), K(5.5)}, 30000},
    {4, {0.2, 3.0, 2000, Kd(-6.5), K(7.5), K(7.0), K(6.0), K(6.5), 1000}, 20000},
    {5, {0.2, 3.0, 2000, Kd(-6.5), Kd(-8.0), K(7.0), K(6.3), 800, 1500}, 15000},
    {6, {0.2, 3.0, 1000, Kd(-6.5), K(7.5), K(7.0), K(6.0), K(6.5), K(5.5), K(6.0), 1000}, 20000},
    {10, {25.0, 10.0, 1000, K(7.5), K(7.0), K(6.0), K(6.5), K(5.5), K(6.0), 0, 0}, 20000},
};

struct Problem {
  const ModelInfo& info;
  int ma;
  Vec truth, start, x, y, V, Y, sigma;
  IVec ia;
  Vec bound{1, 2}, freeCa{1, 2};

  explicit Problem(const Setup& s)
      : info(model_info(s.model)), ma(info.slots), truth(ma), start(ma), x(kPoints),
        y(kPoints), V(kPoints), Y(kPoints), sigma(kPoints), ia(ma) {
    for (int k = 1; k <= ma; ++k) {
      truth[k] = s.truth[k - 1];
      const SlotKind kind = slot_kind(s.model, k);
      ia[k] = kind != SlotKind::Spare;
      start[k] = truth[k] * (is_signal_slot(kind) ? 1.05 : kind == SlotKind::Spare ? 1.0 : 1.3);
    }
    for (int i = 1; i <= kPoints; ++i) {
      V[i] = 2.0 + 0.01 * (i - 1);
      x[i] = s.maxCa * i / kPoints;  // from the first addition on (electrodes need Ca > 0)
      sigma[i] = 1;
    }
    dilution_factors(V, kPoints, Y);
    for (int i = 1; i <= kPoints; ++i)
      y[i] = model_response(info.family, info.electrode, false, x[i], truth, Y[i], bound, freeCa, 1);
  }
  BindingFitModel model() { return {info.family, info.electrode, false, bound, freeCa}; }
};

void set_label(benchmark::State& state, const Problem& p) {
  state.SetLabel(p.info.fitName);
}

// Walks the series so each evaluation starts warm from the previous point, as a curve does.
void BM_ModelResponse(benchmark::State& state) {
  Problem p(kSetups[state.range(0)]);
  int i = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model_response(p.info.family, p.info.electrode, false, p.x[i],
                                            p.truth, p.Y[i], p.bound, p.freeCa, 1));
    i = i == kPoints ? 1 : i + 1;
  }
  set_label(state, p);
}

void BM_NormalEquations(benchmark::State& state) {
  Problem p(kSetups[state.range(0)]);
  Mat alpha(p.ma, p.ma);
  Vec beta(p.ma), dyda(p.ma);
  double chisq = 0;
  for (auto _ : state) {
    normal_equations(p.model(), p.x, p.y, p.Y, p.sigma, kPoints, p.start, p.ia, p.ma, alpha, beta,
                     chisq, dyda);
    benchmark::DoNotOptimize(chisq);
  }
  set_label(state, p);
}

void BM_FitParameters(benchmark::State& state) {
  Problem p(kSetups[state.range(0)]);
  Mat covar(p.ma, p.ma), alpha(p.ma, p.ma);
  Vec a(p.ma);
  double chisq = 0;
  for (auto _ : state) {
    for (int k = 1; k <= p.ma; ++k) a[k] = p.start[k];
    fit_parameters(p.model(), p.x, p.y, p.Y, p.sigma, kPoints, a, p.ia, p.ma, covar, alpha, chisq);
    benchmark::DoNotOptimize(chisq);
  }
  set_label(state, p);
}

}  // namespace

BENCHMARK(BM_ModelResponse)->DenseRange(0, 6);
BENCHMARK(BM_NormalEquations)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FitParameters)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

// Whole Fit commands over a 99-point series: each family's standard schedule, and the
// six-site model with the broad search, without and with the jackknife errors; and the
// precision predicted for a 99-point plan (Generate Data's Predict, run on the UI thread).
#include <benchmark/benchmark.h>

#include <random>

#include "commands/display_values.h"
#include "commands/fit_command.h"
#include "fitting/parallel_refit.h"
#include "commands/precision_prediction.h"
#include "fitting/models.h"

namespace {

struct BenchModel {
  int model;
  double rows[kValueRows + 1];
  double lastCaUM;
};

const BenchModel kModels[] = {
    {1, {0, 1.0, 2.0, 10.0, 6.0}, 60},
    {2, {0, 0.1, 1.0, 20.0, -6.0, 6.5, 6.0, 25.0}, 120},
    {3, {0, 1.0, 1.5, 2.2, 10.0, 6.0, 5.5}, 80},
    {4, {0, 0.1, 1.0, 10.0, -6.0, 6.6, 6.2, 5.8, 5.5, 20.0}, 150},
    {5, {0, 0.1, 1.0, 15.0, -6.0, -6.5, 6.5, 6.0, 20.0, 10.0}, 120},
    {6, {0, 0.1, 1.0, 5.0, -6.0, 6.5, 6.3, 6.1, 5.9, 5.7, 5.5, 20.0}, 150},
};

// 99 rows from the model with noise (SD 0.002), volumes 2 ml + 5 ul per row.
void write_series(Titration& doc, const BenchModel& m) {
  double slots[ParamSet::kSlots];
  const int n = convert_start_values(m.model, m.rows, slots);
  Vec a(n), bound(2), freeCa(2);
  for (int k = 1; k <= n; ++k) a[k] = slots[k];
  const ModelInfo& info = model_info(m.model);
  std::mt19937 rng(3);
  std::normal_distribution<double> noise(0.0, 0.002);
  for (int i = 0; i < Titration::kRows; ++i) {
    const double added = m.lastCaUM * i / (Titration::kRows - 1), V = 2.0 + 0.005 * i;
    const double y = model_response(info.family, false, true, added * 1000.0, a, 2.0 / V, bound, freeCa, 1);
    doc.m_cells[i][0].SetText(c_printf("%.10g", y + noise(rng)));
    doc.m_cells[i][1].SetText(c_printf("%.10g", added));
    doc.m_cells[i][2].SetText(c_printf("%.10g", V));
  }
}

// The Fit dialog with the model just chosen and start values a user would type.
FitJob job_for(const BenchModel& m, bool extensive, bool jackknife, bool profile = false) {
  Titration doc;
  write_series(doc, m);
  FitSettings s;
  s.m_nModelIndex = m.model - 1;
  fit_dialog_open(s, doc);
  for (int r = 1; r <= kValueRows; ++r) {
    s.m_dValue[r] = m.rows[r];
    if (r <= model_info(m.model).slots && slot_kind(m.model, r) == SlotKind::AssociationConstant) s.m_dValue[r] += 0.5;
  }
  s.m_bExtensive = extensive;
  s.m_bProfile = profile;
  if (jackknife) {
    s.m_bEstimateErrors = 1;
    fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
  }
  return *prepare_fit(doc, s);
}

void BM_StandardSchedule(benchmark::State& state) {
  const BenchModel& m = kModels[state.range(0)];
  const FitJob job = job_for(m, false, false);
  int runs = 0;
  for (auto _ : state) {
    FitResult r = compute_fit(job, nullptr);
    runs = r.runs;
    benchmark::DoNotOptimize(r.params[0]);
  }
  state.SetLabel("model " + std::to_string(m.model) + ", " + std::to_string(runs) + " runs");
}
BENCHMARK(BM_StandardSchedule)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_SixSiteBroadSearch(benchmark::State& state) {
  const bool jackknife = state.range(0) != 0;
  const FitJob job = job_for(kModels[5], true, jackknife);
  FitOptions options;
  options.jackknifeSeed = 5;
  for (auto _ : state) {
    FitResult r = compute_fit(job, nullptr, options);
    benchmark::DoNotOptimize(r.params[0]);
  }
  state.SetLabel(std::string(jackknife ? "with converged jackknife errors" : "covariance or no errors") + ", " +
                 std::to_string(refit_thread_count()) + " threads");
}
BENCHMARK(BM_SixSiteBroadSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Profile-likelihood intervals of every fitted row of the six-site model (standard schedule
// first; the schedule alone is BM_StandardSchedule/5).
void BM_SixSiteProfiles(benchmark::State& state) {
  const FitJob job = job_for(kModels[5], false, false, true);
  int refits = 0;
  for (auto _ : state) {
    FitResult r = compute_fit(job, nullptr);
    refits = static_cast<int>(r.diagnostics.profile.size());
    benchmark::DoNotOptimize(r.params[0]);
  }
  state.SetLabel(std::to_string(refits) + " rows profiled, " + std::to_string(refit_thread_count()) + " threads");
}
BENCHMARK(BM_SixSiteProfiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// Arguments: the model's index in kModels, and 1 for jackknife errors.
void BM_PredictPlan(benchmark::State& state) {
  const BenchModel& m = kModels[state.range(0)];
  const bool jackknife = state.range(1) != 0;
  Titration plan;
  write_series(plan, m);
  FitSettings s;
  s.m_nModelIndex = m.model - 1;
  fit_dialog_open(s, plan);
  for (int r = 1; r <= kValueRows; ++r) s.m_dValue[r] = m.rows[r];
  if (jackknife) fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
  for (auto _ : state) {
    PrecisionPrediction p = predict_precision(plan, s, 0.002);
    benchmark::DoNotOptimize(p.rows.data());
  }
  state.SetLabel("model " + std::to_string(m.model) + (jackknife ? ", jackknife" : ", covariance"));
}
BENCHMARK(BM_PredictPlan)->Args({1, 0})->Args({1, 1})->Args({5, 0})->Args({5, 1})->Unit(benchmark::kMillisecond);

}  // namespace

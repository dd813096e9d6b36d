// The analyses beyond one fit, on 99-point titrations: automatic start values and the
// comparison of the three one-chelator models; the global fit of three four-site titrations
// (two chelators and a second protein concentration) sharing four constants, alone and with
// the profile intervals of every fitted parameter.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "commands/fit_command.h"
#include "commands/global_fit.h"
#include "commands/model_comparison.h"
#include "fitting/models.h"

namespace {

// 99 rows of the model with the given dialog values, noise SD 0.002, volumes 2 ml + 5 ul per row.
Titration series(int model, std::vector<double> rows, double lastCaUM, unsigned seed) {
  Titration doc;
  rows.resize(kValueRows + 1, 0.0);
  double slots[ParamSet::kSlots];
  const int n = convert_start_values(model, rows.data(), slots);
  Vec a(n), bound(2), freeCa(2);
  for (int k = 1; k <= n; ++k) a[k] = slots[k];
  const ModelInfo& info = model_info(model);
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0.0, 0.002);
  for (int i = 0; i < Titration::kRows; ++i) {
    const double added = lastCaUM * i / (Titration::kRows - 1), V = 2.0 + 0.005 * i;
    const double y = model_response(info.family, false, true, added * 1000.0, a, 2.0 / V, bound, freeCa, 1);
    doc.m_cells[i][0].SetText(c_printf("%.10g", y + noise(rng)));
    doc.m_cells[i][1].SetText(c_printf("%.10g", added));
    doc.m_cells[i][2].SetText(c_printf("%.10g", V));
  }
  return doc;
}

void fit_from_truth(Titration& doc, int model, const std::vector<double>& rows) {
  FitSettings s;
  s.m_nModelIndex = model - 1;
  fit_dialog_open(s, doc);
  for (std::size_t r = 1; r < rows.size(); ++r) s.m_dValue[r] = rows[r];
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  s.m_dConstantSD = 0.002;
  run_fit_command(doc, s, nullptr);
}

void BM_CompareOneChelatorModels(benchmark::State& state) {
  const std::vector<double> truth = {0, 0.1, 1.0, 10.0, -6.0, 6.6, 6.2, 5.8, 5.5, 20.0};
  Titration doc = series(4, truth, 150, 3);
  fit_from_truth(doc, 4, truth);
  for (auto _ : state) benchmark::DoNotOptimize(compare_models(doc, {}));
}
BENCHMARK(BM_CompareOneChelatorModels)->Unit(benchmark::kMillisecond)->UseRealTime();

// Three titrations of one four-site protein (two chelators and a second protein
// concentration), each fitted on its own from the truth.
std::vector<Titration> three_four_site_titrations() {
  const std::vector<std::vector<double>> designs = {
      {0, 0.1, 1.0, 10.0, -6.0, 6.6, 6.2, 5.8, 5.5, 20.0},
      {0, 0.2, 1.2, 10.0, -7.0, 6.6, 6.2, 5.8, 5.5, 20.0},
      {0, 0.1, 1.0, 30.0, -6.0, 6.6, 6.2, 5.8, 5.5, 20.0}};
  std::vector<Titration> docs;
  for (std::size_t i = 0; i < designs.size(); ++i) {
    docs.push_back(series(4, designs[i], 200, 10 + static_cast<unsigned>(i)));
    fit_from_truth(docs.back(), 4, designs[i]);
  }
  return docs;
}

GlobalFitRequest covariance_request() {
  GlobalFitRequest request;
  fit_dialog_choose_error_radio(request.errors, ErrorRadio::ConstantSD);
  request.errors.m_dConstantSD = 0.002;
  return request;
}

void BM_GlobalFitThreeFourSiteTitrations(benchmark::State& state) {
  const std::vector<Titration> docs = three_four_site_titrations();
  std::vector<GlobalFitInput> inputs;
  for (const Titration& d : docs) inputs.push_back({"titration", &d});
  const GlobalFitRequest request = covariance_request();
  for (auto _ : state) benchmark::DoNotOptimize(run_global_fit(inputs, request));
}
BENCHMARK(BM_GlobalFitThreeFourSiteTitrations)->Unit(benchmark::kMillisecond);

// The same global fit with the profile intervals of all its fitted parameters (four shared
// constants, each titration's two responses and protein), on the given thread count.
void BM_GlobalFitProfilesThreeFourSiteTitrations(benchmark::State& state) {
  const std::vector<Titration> docs = three_four_site_titrations();
  std::vector<GlobalFitInput> inputs;
  for (const Titration& d : docs) inputs.push_back({"titration", &d});
  GlobalFitRequest request = covariance_request();
  request.profileIntervals = true;
  request.threads = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(run_global_fit(inputs, request));
}
BENCHMARK(BM_GlobalFitProfilesThreeFourSiteTitrations)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

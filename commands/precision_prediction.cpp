#include "commands/precision_prediction.h"

#include <cmath>
#include <random>

#include "commands/fit_command.h"
#include "commands/fit_record_settings.h"
#include "fitting/models.h"

namespace {

constexpr int kResponseCol = 0, kAddCaCol = 1, kVolumeCol = 2;

// Writes the model's response at every planned row (one with a volume) into the Response
// column of sim, with noise of the given SD when noise is on.
int simulate_readings(Titration& sim, const FitSettings& expected, double noiseSD, bool noise, std::uint32_t seed) {
  const int model = expected.m_nModelIndex + 1;
  double slots[ParamSet::kSlots];
  const int ma = convert_start_values(model, expected.m_dValue, slots);
  Vec a(ma), bound(2), freeCa(2);
  for (int k = 1; k <= ma; ++k) a[k] = slots[k];
  const ModelInfo& info = model_info(model);
  std::mt19937 rng(seed);
  std::normal_distribution<double> gauss(0.0, noiseSD);
  double V1 = 0.0;
  int n = 0;
  for (int r = 0; r < Titration::kRows; ++r) {
    const double V = sim.m_cells[r][kVolumeCol].GetValue();
    if (V == 0.0) {
      sim.m_cells[r][kResponseCol].SetText("");
      continue;
    }
    if (V1 == 0.0) V1 = V;
    const double X = (sim.m_cells[r][kAddCaCol].GetValue() + expected.m_dStartCa * V1 / V) * 1000.0;  // nM
    double y = model_response(info.family, info.electrode, expected.m_bDilution != 0, X, a, V1 / V, bound, freeCa, 1);
    if (!std::isfinite(y)) y = 0.0;  // an electrode at total Ca 0: the fit leaves the row out
    if (noise && y != 0.0) y += gauss(rng);
    sim.m_cells[r][kResponseCol].SetText(c_printf("%.10g", y));
    ++n;
  }
  return n;
}

}  // namespace

PrecisionPrediction predict_precision(const Titration& plan, const FitSettings& expected, double noiseSD,
                                      std::uint32_t seed) {
  PrecisionPrediction out;
  const int model = expected.m_nModelIndex + 1;
  if (!is_valid_model(model) || !(noiseSD > 0.0) || !std::isfinite(noiseSD)) {
    out.message = "Type the reading noise (one standard deviation, above 0) to predict the errors.";
    return out;
  }
  FitSettings s = expected;
  const bool jackknife = s.m_bUseJackknife != 0;
  s.m_bExtensive = 0;
  s.m_bEstimateErrors = jackknife ? 1 : 0;
  if (!jackknife) {
    fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
    s.m_dConstantSD = noiseSD;
  }
  Titration sim = plan;
  out.n = simulate_readings(sim, s, noiseSD, jackknife, seed);
  FitOptions options;
  options.jackknifeSeed = seed;
  const std::optional<FitJob> job = prepare_fit(sim, s);
  if (!job) {
    out.message = "The plan has fewer than 3 rows with a volume: add runs with Generate Data first.";
    return out;
  }
  const FitResult fit = compute_fit(*job, nullptr, options);
  if (!fit.haveErrors) {
    out.message = "The planned series does not determine the fitted rows: the fit found no errors.";
    return out;
  }
  for (int k = 1; k <= job->ma && k <= kValueRows; ++k)
    if (job->flags[k])
      out.rows.push_back({k, dialog_value(model, k, fit.params[k]), dialog_error(model, k, fit.params[k], fit.errors[k])});
  out.ok = true;
  return out;
}

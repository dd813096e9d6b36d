#include "outputview/plan_prediction.h"

#include <algorithm>
#include <cmath>

#include "commands/fit_record_settings.h"
#include "document/c_text.h"
#include "fitting/model_registry.h"

namespace {

bool has_typed_constants(const FitSettings& s) {
  if (!is_valid_model(s.m_nModelIndex + 1)) return false;
  for (int row = 1; row <= kValueRows; ++row)
    if (s.m_dValue[row] != 0.0) return true;
  return false;
}

// The fields show, as the dialog prints them, a run the plan already holds (as on opening or
// after choosing a list line). Applying it again, as "Add" would, cuts every later run.
bool plan_holds_run(const Titration& doc, const GenerateRequest& run) {
  const auto same = [](double a, double b) { return c_printf("%7.3f", a) == c_printf("%7.3f", b); };
  if (run.m_nVolUnit != doc.m_nGenVolUnit || run.m_nConcUnit != doc.m_nGenConcUnit ||
      !same(run.m_dVolStart, doc.m_dGenStartVolume))
    return false;
  const int steps = std::clamp(doc.m_nGenSteps, 0, Titration::kMaxGenSteps);
  for (int i = 1; i <= steps; ++i) {
    const GenStep& step = doc.m_genSteps[i];
    if (step.m_nStart == run.m_nStartCell && step.m_nAdditions == run.m_nAdditionCount &&
        same(step.m_dVolume, run.m_dVolAdded) && same(step.m_dConc, run.m_dConcAdded))
      return true;
  }
  return false;
}

std::string row_line(int model, const PredictedRow& r) {
  const std::optional<DialogRow> row = fit_dialog_row(model, r.row);
  const std::string label = row ? row->label : c_printf("Row %d:", r.row);
  const std::string unit = row && *row->unit ? std::string(" ") + row->unit : std::string();
  if (!std::isfinite(r.error)) return c_printf("%s %.4g%s, error not determined", label.c_str(), r.value, unit.c_str());
  return c_printf("%s %.4g \u00b1 %.2g%s", label.c_str(), r.value, r.error, unit.c_str());
}

}  // namespace

PlanPredictionRequest plan_prediction_request(const Titration& doc, const GenerateRequest& run,
                                              const FitSettings& fitDialog, const std::string& noiseText) {
  PlanPredictionRequest out;
  out.plan = doc;
  if (!plan_holds_run(doc, run)) {
    std::vector<std::string> scratchLines;
    const GenerateOutcome generated = take_generate_request(out.plan, run, scratchLines);
    if (!generated.generated) {
      out.message = generated.message;
      return out;
    }
  }
  if (!parse_number_field(noiseText, &out.noiseSD) || !(out.noiseSD > 0.0)) {
    out.message = kPredictNoiseMessage;
    return out;
  }
  // A hidden fit, or one New kept in memory, is not what the user sees: the Fit dialog's
  // values are.
  if (doc.m_bShowFit && is_valid_model(doc.m_fit.m_nModel)) {
    out.expected = settings_from_fit_record(doc, fitDialog);
  } else if (has_typed_constants(fitDialog)) {
    out.expected = fitDialog;
    fit_dialog_open(out.expected, out.plan);  // the check boxes a fit would use
  } else {
    out.message = kPredictNoConstantsMessage;
    return out;
  }
  out.ok = true;
  return out;
}

std::vector<std::string> prediction_lines(const PlanPredictionRequest& request, const PrecisionPrediction& prediction) {
  if (!request.ok) return {request.message};
  if (!prediction.ok) return {prediction.message};
  const int model = request.expected.m_nModelIndex + 1;
  std::vector<std::string> lines;
  lines.push_back(c_printf("Model %d, %d planned points, reading noise %g, %s errors:", model, prediction.n,
                           request.noiseSD, request.expected.m_bUseJackknife ? "jackknife" : "covariance"));
  for (const PredictedRow& r : prediction.rows) lines.push_back(row_line(model, r));
  return lines;
}

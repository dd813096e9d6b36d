#include "commands/model_comparison.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <thread>

#include "commands/auto_start.h"
#include "commands/fit_record_settings.h"
#include "fitting/f_distribution.h"
#include "fitting/models.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

const std::vector<std::vector<int>>& kinds() {
  static const std::vector<std::vector<int>> k = {{1, 3}, {2, 4, 6}, {5}, {7, 8, 9, 10}};
  return k;
}

// What a row means across models: the same label, with the Ca-saturated response of the
// two-site model ("Response w two Ca:") matching the one-site model's "Response w Ca:".
// Binding constants are never carried over: each candidate estimates its own.
std::string shared_role(int model, int row) {
  const DialogModelLayout layout = fit_dialog_layout(model - 1);
  if (row > layout.rowsShown || slot_kind(model, row) == SlotKind::AssociationConstant) return {};
  const std::string label = layout.labels[row];
  return label == "Response w two Ca:" ? "Response w Ca:" : label;
}

void fit_candidate(const Titration& doc, CandidateFit& c, const ComparisonOptions& options) {
  c.settings = candidate_settings(doc, c.model, options.errors);
  const AutoStartOutcome start = estimate_start_values(doc, c.settings);
  if (!start.ok) {
    c.message = start.message;
    return;
  }
  c.job = prepare_fit(doc, c.settings);
  FitOptions fitOptions;
  fitOptions.jackknifeSeed = options.jackknifeSeed;
  c.result = compute_fit(*c.job, nullptr, fitOptions);
  c.fitted = std::isfinite(c.result.params[0]);
  if (!c.fitted) {
    c.message = "The fit ended without a finite chi-square.";
    return;
  }
  c.n = static_cast<int>(c.job->x.size());
  for (int k = 1; k <= c.job->ma; ++k) c.p += c.job->flags[k] ? 1 : 0;
  c.chiSquare = c.result.params[0];
  for (int k = 1; k <= c.job->ma && k <= kValueRows; ++k) c.values[k] = dialog_value(c.model, k, c.result.params[k]);
}

void rank(ModelComparison& out) {
  double bestAicc = kInfinity;
  for (CandidateFit& c : out.candidates) {
    if (!c.fitted) continue;
    c.aicc = aicc(c.chiSquare, c.n, c.p);
    c.bic = bic(c.chiSquare, c.n, c.p);
    bestAicc = std::min(bestAicc, c.aicc);
  }
  double sum = 0.0;
  for (CandidateFit& c : out.candidates) {
    c.weight = c.fitted && std::isfinite(c.aicc) ? std::exp(-0.5 * (c.aicc - bestAicc)) : 0.0;
    sum += c.weight;
  }
  double bestWeight = -1.0;
  for (CandidateFit& c : out.candidates) {
    if (sum > 0.0) c.weight /= sum;
    if (c.fitted && c.weight > bestWeight) bestWeight = c.weight, out.best = c.model;
  }
}

void run_f_tests(ModelComparison& out) {
  for (const CandidateFit& s : out.candidates)
    for (const CandidateFit& c : out.candidates)
      if (s.fitted && c.fitted && is_nested_pair(s.model, c.model) && c.p > s.p && c.n > c.p)
        out.fTests.push_back(extra_sum_of_squares_test(s, c));
}

std::string format_number(const char* format, double v) { return c_printf(format, v); }

std::string ratio_text(double ratio) {
  if (!std::isfinite(ratio) || ratio > 1e6) return "more than a million times";
  return format_number(ratio >= 10.0 ? "%.0f" : "%.1f", ratio) + " times";
}

const FTestResult* f_test_between(const ModelComparison& out, int a, int b) {
  for (const FTestResult& t : out.fTests)
    if ((t.simple == a && t.complex == b) || (t.simple == b && t.complex == a)) return &t;
  return nullptr;
}

}  // namespace

// "Model 4 is 40 times more likely than model 2 (Akaike weights 0.976 / 0.024); the F test
// prefers it at p = 0.0003", and what is doubtful about the recommended candidate's fit.
std::string comparison_verdict(const ModelComparison& out) {
  std::vector<const CandidateFit*> fitted;
  for (const CandidateFit& c : out.candidates)
    if (c.fitted) fitted.push_back(&c);
  if (fitted.empty()) return "No candidate model could be fitted.";
  std::sort(fitted.begin(), fitted.end(), [](auto* a, auto* b) { return a->weight > b->weight; });
  const CandidateFit& best = *fitted[0];
  const std::string doubt = doubtful_fit_sentence(best);
  if (fitted.size() == 1) return c_printf("Only model %i could be fitted.", best.model) + (doubt.empty() ? "" : " " + doubt);
  const CandidateFit& next = *fitted[1];
  std::string text = c_printf("Model %i is ", best.model) + ratio_text(best.weight / next.weight) +
                     c_printf(" more likely than model %i (Akaike weights %.3f / %.3f)", next.model, best.weight, next.weight);
  if (const FTestResult* t = f_test_between(out, best.model, next.model)) {
    const bool complexBest = t->complex == best.model;
    const std::string p = format_number("%.2g", t->p);
    if (complexBest && t->p < 0.05) text += "; the F test prefers it at p = " + p;
    else if (complexBest) text += "; the F test does not find the extra sites significant (p = " + p + ")";
    else if (t->p < 0.05) text += c_printf("; the F test prefers model %i at p = ", t->complex) + p;
    else text += "; the F test agrees: the extra sites are not significant (p = " + p + ")";
  }
  return text + "." + (doubt.empty() ? "" : " " + doubt);
}

std::vector<const FitWarning*> doubtful_warnings(const CandidateFit& candidate) {
  std::vector<const FitWarning*> out;
  if (!candidate.fitted) return out;
  for (const char* kind : {"not_converged", "unbounded", "correlated"})
    for (const FitWarning& w : candidate.Warnings())
      if (w.kind == kind) out.push_back(&w);
  return out;
}

std::string doubtful_fit_sentence(const CandidateFit& candidate) {
  const std::vector<const FitWarning*> doubts = doubtful_warnings(candidate);
  if (doubts.empty()) return {};
  if (doubts.size() == 1) return "Its fit has a warning: " + doubts.front()->text + ".";
  return c_printf("Its fit has %zu warnings; the first: ", doubts.size()) + doubts.front()->text + ".";
}

std::vector<int> models_of_same_kind(int model) {
  for (const std::vector<int>& kind : kinds())
    if (std::find(kind.begin(), kind.end(), model) != kind.end()) return kind;
  return {};
}

bool is_nested_pair(int simple, int complex) {
  if (simple == 5 || complex == 5 || simple >= complex) return false;
  const std::vector<int> kind = models_of_same_kind(simple);
  return std::find(kind.begin(), kind.end(), complex) != kind.end();
}

double aicc(double chiSquare, int n, int p) {
  const double k = p + 1.0, nn = n;
  if (nn - k - 1.0 <= 0.0 || !(chiSquare > 0.0)) return kInfinity;
  return nn * std::log(chiSquare / nn) + 2.0 * k + 2.0 * k * (k + 1.0) / (nn - k - 1.0);
}

double bic(double chiSquare, int n, int p) {
  const double k = p + 1.0, nn = n;
  if (!(chiSquare > 0.0) || n <= 0) return kInfinity;
  return nn * std::log(chiSquare / nn) + k * std::log(nn);
}

FTestResult extra_sum_of_squares_test(const CandidateFit& simple, const CandidateFit& complex) {
  FTestResult t;
  t.simple = simple.model;
  t.complex = complex.model;
  const double d1 = complex.p - simple.p, d2 = complex.n - complex.p;
  t.F = ((simple.chiSquare - complex.chiSquare) / d1) / (complex.chiSquare / d2);
  // A larger model that fits worse (it did not reach its minimum) gains nothing.
  t.p = t.F > 0.0 ? 1.0 - f_distribution_cdf(t.F, d1, d2) : 1.0;
  return t;
}

FitSettings candidate_settings(const Titration& doc, int model, const FitSettings& errors) {
  const FitSettings fitted = settings_from_fit_record(doc, errors);
  FitSettings s = errors;
  s.m_nModelIndex = model - 1;
  s.m_nLastModel = 18;  // as if just chosen: the model's own fit-flag defaults
  for (int row = 1; row <= kValueRows; ++row) s.m_bFitSlot[row] = 1;
  Titration scratch;
  fit_dialog_configure(s, scratch);
  const int fitModel = doc.m_fit.m_nModel;
  for (int row = 1; row <= kValueRows; ++row) s.m_dValue[row] = 0.0;
  for (int row = 1; row <= model_info(model).slots && row <= kValueRows; ++row) {
    const std::string role = shared_role(model, row);
    if (role.empty()) continue;
    for (int k = 1; k <= model_info(fitModel).slots && k <= kValueRows; ++k)
      if (shared_role(fitModel, k) == role) s.m_dValue[row] = fitted.m_dValue[k];
  }
  s.m_dStartCa = fitted.m_dStartCa;
  s.m_bDilution = fitted.m_bDilution;
  s.m_dTemperature = fitted.m_dTemperature;
  s.m_bExtensive = 0;
  return s;
}

ModelComparison compare_models(const Titration& doc, const ComparisonOptions& options) {
  if (!is_valid_model(doc.m_fit.m_nModel))
    throw std::invalid_argument("The document holds no fit to compare other models with.");
  const std::vector<int> kind = models_of_same_kind(doc.m_fit.m_nModel);
  std::vector<int> models = options.models.empty() ? kind : options.models;
  for (int m : models)
    if (std::find(kind.begin(), kind.end(), m) == kind.end())
      throw std::invalid_argument(c_printf("Model %i is not measured like the fitted model %i and cannot be compared with it.",
                                           m, doc.m_fit.m_nModel));
  ModelComparison out;
  out.candidates.resize(models.size());
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < models.size(); ++i) {
    out.candidates[i].model = models[i];
    workers.emplace_back([&doc, &options, &c = out.candidates[i]] { fit_candidate(doc, c, options); });
  }
  for (std::thread& w : workers) w.join();
  for (const CandidateFit& c : out.candidates)
    if (c.fitted) out.n = c.n;
  rank(out);
  run_f_tests(out);
  out.verdict = comparison_verdict(out);
  return out;
}

void apply_candidate(Titration& doc, const CandidateFit& candidate) {
  if (candidate.fitted && candidate.job) apply_fit(doc, *candidate.job, candidate.result);
}

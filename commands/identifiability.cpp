#include "commands/identifiability.h"

#include <algorithm>
#include <cmath>

#include "commands/display_values.h"
#include "commands/fit_command.h"
#include "commands/fit_settings.h"
#include "document/c_text.h"
#include "fitting/error_estimation.h"
#include "fitting/model_registry.h"
#include "fitting/models.h"

namespace {

bool is_log_row(SlotKind kind) {
  return kind == SlotKind::AssociationConstant || kind == SlotKind::DissociationConstant;
}

// Text of a row value in its unit: log rows to two decimals, concentrations in uM.
std::string value_text(SlotKind kind, double userValue, const char* logFormat = "%.2f") {
  if (kind == SlotKind::Concentration) return format_c("%.4g", userValue) + " uM";
  if (is_log_row(kind)) return format_c(logFormat, userValue);
  return format_c("%.4g", userValue);
}

// SD of a row in log10 units of its internal value (constants and concentrations).
double log_error(const FitReviewInput& in, int k) {
  const double var = (*in.covar)[k][k] * in.errorScale * in.errorScale;
  return std::sqrt(var) / (in.params[k] * std::log(10.0));
}

void add_unbounded_from_profile(const FitReviewInput& in, FitDiagnostics& d) {
  for (const ProfileInterval& p : *in.profile) {
    if (p.lo95 && p.hi95) continue;
    const SlotKind kind = slot_kind(in.model, p.slot);
    const std::string name = fit_row_name(in.model, p.slot);
    std::string text = name + " is not determined by these data: ";
    if (p.lo95)
      text += "only a lower bound, " + name + " > " + value_text(kind, *p.lo95, "%.1f");
    else if (p.hi95)
      text += "only an upper bound, " + name + " < " + value_text(kind, *p.hi95, "%.1f");
    else
      text += "no bound within the searched range";
    d.warnings.push_back({"unbounded", {p.slot}, text});
  }
}

void add_unbounded_from_covariance(const FitReviewInput& in, FitDiagnostics& d) {
  if (!in.covar) return;
  for (int k = 1; k <= in.ma; ++k) {
    const SlotKind kind = slot_kind(in.model, k);
    if (!in.flags[k] || !(is_log_row(kind) || kind == SlotKind::Concentration) || !(in.params[k] > 0.0)) continue;
    const double e = log_error(in, k);
    if (!(e > kUnboundedLogError)) continue;
    const std::string name = fit_row_name(in.model, k);
    d.warnings.push_back({"unbounded", {k},
                          name + " is not determined by these data: its error is " + format_c("%.1f", e) +
                              " log units"});
  }
}

// Two log-constant rows moving together: the data fix their sum (negative correlation) or
// their difference (positive correlation).
std::string correlated_text(const FitReviewInput& in, int i, int j, double r) {
  const std::string a = fit_row_name(in.model, i), b = fit_row_name(in.model, j);
  std::string text = a + " and " + b + " are not separately determined";
  const SlotKind ki = slot_kind(in.model, i), kj = slot_kind(in.model, j);
  if (!(is_log_row(ki) && ki == kj)) return text + " (correlation " + format_c("%.3f", r) + ")";
  const double ln10 = std::log(10.0), s2 = in.errorScale * in.errorScale;
  const double vi = (*in.covar)[i][i] * s2 / std::pow(in.params[i] * ln10, 2);
  const double vj = (*in.covar)[j][j] * s2 / std::pow(in.params[j] * ln10, 2);
  const double cij = (*in.covar)[i][j] * s2 / (in.params[i] * in.params[j] * ln10 * ln10);
  const double ui = internal_to_user(ki, in.params[i]), uj = internal_to_user(kj, in.params[j]);
  const bool sum = r < 0.0;
  const double value = sum ? ui + uj : ui - uj;
  const double sd = std::sqrt(std::max(vi + vj + (sum ? 2.0 : -2.0) * cij, 0.0));
  return text + "; " + a + (sum ? " + " : " - ") + b + " = " + format_c("%.2f", value) + " \u00b1 " +
         format_c("%.2f", sd);
}

void add_correlation(const FitReviewInput& in, FitDiagnostics& d) {
  if (!in.covar) return;
  IVec ia(in.ma);
  for (int k = 1; k <= in.ma; ++k) ia[k] = in.flags[k];
  Mat corr(in.ma, in.ma);
  correlation_matrix(*in.covar, ia, in.ma, corr);
  for (int k = 1; k <= in.ma; ++k)
    if (in.flags[k]) d.correlationRows.push_back(k);
  for (int i : d.correlationRows) {
    std::vector<double> line;
    for (int j : d.correlationRows) line.push_back(corr[i][j]);
    d.correlation.push_back(line);
  }
  for (std::size_t a = 0; a < d.correlationRows.size(); ++a)
    for (std::size_t b = a + 1; b < d.correlationRows.size(); ++b) {
      const int i = d.correlationRows[a], j = d.correlationRows[b];
      if (std::fabs(corr[i][j]) > kCorrelatedLimit)
        d.warnings.push_back({"correlated", {i, j}, correlated_text(in, i, j, corr[i][j])});
    }
}

void add_at_bound(const FitReviewInput& in, FitDiagnostics& d) {
  for (int k = 1; k <= in.ma; ++k) {
    if (!in.flags[k] || slot_kind(in.model, k) != SlotKind::Concentration) continue;
    if (!(in.start[k] > 0.0) || in.params[k] > kAtBoundFraction * in.start[k]) continue;
    const std::string name = fit_row_name(in.model, k);
    d.warnings.push_back({"at_bound", {k},
                          name + " was driven towards zero (" + value_text(SlotKind::Concentration, internal_to_uM(in.params[k])) +
                              "): the positivity limit holds it there, not the data"});
  }
}

}  // namespace

std::string fit_row_label(int model, int row) {
  const std::optional<DialogRow> r = fit_dialog_row(model, row);
  return r ? r->label : "";
}

std::string fit_row_name(int model, int row) {
  std::string name = fit_row_label(model, row);
  // Two rows of the two-site model share the label "Response w Ca:"; the Fit dialog's labels
  // ("Response w one Ca:", "Response w two Ca:") tell them apart in a sentence.
  const int rows = is_valid_model(model) ? std::min(fit_dialog_layout(model - 1).rowsShown, kValueRows) : 0;
  for (int other = 1; other <= rows; ++other)
    if (other != row && fit_row_label(model, other) == name) {
      name = fit_dialog_row(model, row)->dialogLabel;
      break;
    }
  while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
  return name;
}

FitDiagnostics review_fit(const FitReviewInput& in) {
  FitDiagnostics d;
  d.valid = true;
  for (int k = 1; k <= in.ma; ++k)
    if (in.flags[k]) d.fittedRows.push_back(k);
  if (in.profile) {
    d.haveProfile = true;
    for (const ProfileInterval& p : *in.profile)
      d.profile.push_back({p.slot, fit_row_label(in.model, p.slot), p.value, p.lo68, p.hi68, p.lo95, p.hi95});
    add_unbounded_from_profile(in, d);
  } else {
    add_unbounded_from_covariance(in, d);
  }
  add_correlation(in, d);
  if (!in.converged) d.warnings.push_back({"not_converged", {}, "The fit did not converge: " + in.stopText});
  add_at_bound(in, d);
  return d;
}

namespace {

std::string bound_text(SlotKind kind, double v) {
  return is_log_row(kind) ? format_c("%.1f", v) : value_text(kind, v);
}

std::string plain_value_text(SlotKind kind, double v) {
  if (kind == SlotKind::Concentration) return format_c("%.4g", v);
  return value_text(kind, v);
}

std::string interval_pair(SlotKind kind, const std::optional<double>& lo, const std::optional<double>& hi) {
  if (lo && hi) return plain_value_text(kind, *lo) + "–" + plain_value_text(kind, *hi);
  if (lo) return "> " + bound_text(kind, *lo);
  if (hi) return "< " + bound_text(kind, *hi);
  return "not determined";
}

}  // namespace

std::string interval_text(int model, const RowInterval& r) {
  const SlotKind kind = slot_kind(model, r.row);
  if (!r.lo68 || !r.hi68) return interval_pair(kind, r.lo68, r.hi68);
  return plain_value_text(kind, r.value) + " (" + interval_pair(kind, r.lo68, r.hi68) + ")";
}

FitReviewLines fit_review_lines(const Titration& doc) {
  FitReviewLines out;
  const ParamSet& fit = doc.m_fit;
  if (!doc.m_bShowFit || !is_valid_model(fit.m_nModel)) return out;
  const int model = fit.m_nModel;
  out.title = model_info(model).fitName;
  const FitDiagnostics& d = doc.m_fitDiagnostics;
  out.run = fit_run_lines(doc.m_fitRun);
  // A fit read from a file carries no review: show its values as they were stored.
  if (!d.valid) {
    out.rows = simulation_parameter_lines(fit).lines;
    return out;
  }
  const std::string units[] = {"", " uM"};
  for (int row : d.fittedRows) {
    const SlotKind kind = slot_kind(model, row);
    const std::string unit = kind == SlotKind::Concentration ? units[1] : units[0];
    std::string line = fit_row_label(model, row) + "  ";
    const RowInterval* r = d.IntervalOf(row);
    if (r) {
      line += interval_text(model, *r) + unit + ";  95 %: " + interval_pair(kind, r->lo95, r->hi95) + unit;
    } else {
      line += plain_value_text(kind, internal_to_user(kind, fit.m_p[row])) + unit;
    }
    out.rows.push_back(line);
  }
  for (std::size_t i = 0; i < d.correlationRows.size(); ++i)
    for (std::size_t j = i + 1; j < d.correlationRows.size(); ++j) {
      const double r = d.correlation[i][j];
      if (std::fabs(r) < 0.9) continue;
      out.correlations.push_back(fit_row_name(model, d.correlationRows[i]) + " / " +
                                 fit_row_name(model, d.correlationRows[j]) + ":  r = " + format_c("%.3f", r));
    }
  for (const FitWarning& w : d.warnings) out.warnings.push_back(w.text);
  return out;
}

std::string warnings_summary_line(const FitDiagnostics& d) {
  if (d.warnings.empty()) return "";
  std::string line = d.warnings.front().text;
  if (d.warnings.size() > 1) line += c_printf(" (+%d more)", static_cast<int>(d.warnings.size() - 1));
  return line;
}

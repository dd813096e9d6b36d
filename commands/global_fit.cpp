#include "commands/global_fit.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "commands/fit_record_settings.h"
#include "commands/identifiability.h"
#include "fitting/error_estimation.h"
#include "fitting/global_problem.h"
#include "fitting/models.h"

namespace {

// A constant whose error exceeds this many log units is not determined by its titration.
constexpr double kUndeterminedLogError = 2.0;

struct Prepared {
  FitSettings settings;
  FitJob job;
};

std::string row_name(int model, int row) {
  const std::optional<DialogRow> r = fit_dialog_row(model, row);
  return r ? r->label : "";
}

int common_model(const std::vector<GlobalFitInput>& inputs) {
  if (inputs.empty()) throw std::invalid_argument("A global fit needs at least one document.");
  for (const GlobalFitInput& in : inputs)
    if (!is_valid_model(in.doc->m_fit.m_nModel))
      throw std::invalid_argument(in.name + ": the document holds no fit; fit it first, its fit supplies the start values.");
  const int model = inputs.front().doc->m_fit.m_nModel;
  for (const GlobalFitInput& in : inputs)
    if (in.doc->m_fit.m_nModel != model)
      throw std::invalid_argument(in.name + c_printf(": its fit uses model %i, ", in.doc->m_fit.m_nModel) + inputs.front().name +
                                  c_printf("'s uses model %i; a global fit needs one model.", model));
  return model;
}

std::vector<Prepared> prepare_all(const std::vector<GlobalFitInput>& inputs, const FitSettings& errors) {
  std::vector<Prepared> out;
  for (const GlobalFitInput& in : inputs) {
    Prepared p{settings_from_fit_record(*in.doc, errors), {}};
    std::optional<FitJob> job = prepare_fit(*in.doc, p.settings);
    if (!job) throw std::invalid_argument(in.name + ": fewer than 3 rows with a response and a volume.");
    p.job = std::move(*job);
    out.push_back(std::move(p));
  }
  return out;
}

void check_shared_rows(const std::vector<GlobalFitInput>& inputs, const std::vector<Prepared>& prepared,
                       const std::vector<int>& rows, int model) {
  for (int row : rows) {
    if (row < 1 || row > model_info(model).slots || slot_kind(model, row) == SlotKind::Spare)
      throw std::invalid_argument(c_printf("Row %i cannot be shared: model %i has no such row.", row, model));
    for (std::size_t t = 0; t < prepared.size(); ++t)
      if (!prepared[t].job.flags[row])
        throw std::invalid_argument(inputs[t].name + ": row " + std::to_string(row) + " (" + row_name(model, row) +
                                    ") is shared but this titration's fit does not fit it.");
  }
}

// A titration's own value of a row counts towards the shared start unless its fit says the
// data do not determine it.
bool determined(const Titration& doc, int row) {
  const ParamSet& fit = doc.m_fit;
  if (!fit.m_bErrors) return true;
  const double e = dialog_error(fit.m_nModel, row, fit.m_p[row], fit.m_err[row]);
  const SlotKind kind = slot_kind(fit.m_nModel, row);
  const bool logRow = kind == SlotKind::AssociationConstant || kind == SlotKind::DissociationConstant;
  return !logRow || (std::isfinite(e) && e <= kUndeterminedLogError);
}

// The mean in the dialog's units (log K for constants), converted back to internal units.
double shared_start(const std::vector<GlobalFitInput>& inputs, const std::vector<Prepared>& prepared, int row, int model) {
  double sum = 0.0, sumAll = 0.0;
  int count = 0;
  for (std::size_t t = 0; t < prepared.size(); ++t) {
    const double v = prepared[t].settings.m_dValue[row];
    sumAll += v;
    if (determined(*inputs[t].doc, row)) sum += v, ++count;
  }
  const double mean = count > 0 ? sum / count : sumAll / static_cast<double>(prepared.size());
  return user_to_internal(slot_kind(model, row), mean);
}

GlobalSeries series_of(const FitJob& job) {
  GlobalSeries s;
  s.model = job.model;
  s.dilution = job.dilution;
  s.x = job.x, s.y = job.y, s.Y = job.Y, s.sigma = job.sigma;
  s.start.assign(job.start, job.start + job.ma + 1);
  s.flags.assign(job.flags, job.flags + job.ma + 1);
  return s;
}

Vec parameter_errors(const GlobalProblem& problem, const GlobalFitOutcome& fit, const Prepared& first,
                     const GlobalFitRequest& request, bool& have) {
  const int m = problem.parameter_count();
  Vec err(m);
  have = false;
  if (first.job.jackknifeErrors) {
    const std::uint32_t seed = request.jackknifeSeed ? *request.jackknifeSeed : clock_seed();
    err = global_jackknife_errors(problem, fit.a, seed, request.stop);
    have = true;
  } else if (first.job.covarianceErrors && fit.code == 0) {
    covariance_errors(fit.covar, m, first.job.usePercent, first.job.constantSD, err);
    have = true;
  }
  return err;
}

GlobalTitrationPart titration_part(GlobalProblem& problem, const GlobalFitOutcome& fit, const Vec& err, bool haveErrors,
                                   int t, const std::string& name, const FitJob& job) {
  GlobalTitrationPart part;
  part.name = name;
  part.n = static_cast<int>(job.x.size());
  part.chiSquare = problem.series_chi_square(fit.a, t);
  part.job = job;
  FitResult& r = part.result;
  r.params[0] = part.chiSquare;
  r.haveErrors = haveErrors;
  r.status = fit.code;
  r.stop = fit.stop;
  r.runs = fit.runs;
  const std::vector<double> local = problem.local_values(fit.a, t);
  for (int k = 1; k <= job.ma; ++k) {
    r.params[k] = local[static_cast<std::size_t>(k)];
    r.errors[k] = haveErrors ? err[problem.global_index(t, k)] : 0.0;
    if (k > kValueRows) continue;
    part.values[k] = dialog_value(job.model, k, r.params[k]);
    part.errors[k] = haveErrors && job.flags[k] ? dialog_error(job.model, k, r.params[k], r.errors[k]) : 0.0;
  }
  sample_fit_curve(job, r.params, r.curve);
  return part;
}

// A titration's part reviewed as a fit of its own: the correlations from its block of the
// global covariance, its rows' intervals and the warnings they give, so that an applied part
// brings them to its document's Parameters dialog, results panel and report.
void review_part(const GlobalProblem& problem, const GlobalFitOutcome& fit, const std::vector<ProfileInterval>* profile,
                 double errorScale, int t, GlobalTitrationPart& part) {
  const int ma = part.job.ma;
  Mat covar(ma, ma);
  for (int k = 1; k <= ma; ++k)
    for (int l = 1; l <= ma; ++l) covar[k][l] = fit.covar[problem.global_index(t, k)][problem.global_index(t, l)];
  std::vector<ProfileInterval> local;
  for (int k = 1; profile && k <= ma; ++k)
    for (const ProfileInterval& p : *profile)
      if (part.job.flags[k] && p.slot == problem.global_index(t, k)) {
        local.push_back(p);
        local.back().slot = k;
      }
  FitReviewInput in;
  in.model = part.job.model;
  in.ma = ma;
  in.flags = part.job.flags;
  in.params = part.result.params;
  in.start = part.job.start;
  in.covar = fit.code == 0 ? &covar : nullptr;
  in.errorScale = errorScale;
  in.converged = fit.stop == FitStop::Converged;
  in.stopText = fit_stop_text(fit.stop);
  in.profile = profile ? &local : nullptr;
  part.result.diagnostics = review_fit(in);
}

// Each titration's fitted rows take the interval of the global parameter they stand for.
void attach_intervals(const GlobalProblem& problem, const std::vector<ProfileInterval>& profile, int model,
                      GlobalFitResult& out) {
  for (int t = 0; t < problem.series_count(); ++t) {
    GlobalTitrationPart& part = out.titrations[static_cast<std::size_t>(t)];
    for (int k = 1; k <= part.job.ma && k <= kValueRows; ++k) {
      if (!part.job.flags[k]) continue;
      const int j = problem.global_index(t, k);
      for (const ProfileInterval& p : profile)
        if (p.slot == j) part.intervals[k] = RowInterval{k, row_name(model, k), p.value, p.lo68, p.hi68, p.lo95, p.hi95};
    }
  }
  for (GlobalSharedRow& s : out.shared) s.interval = out.titrations.front().intervals[s.row];
}

}  // namespace

std::vector<int> default_shared_rows(int model) {
  std::vector<int> rows;
  for (int row = 1; is_valid_model(model) && row <= model_info(model).slots; ++row)
    if (slot_kind(model, row) == SlotKind::AssociationConstant) rows.push_back(row);
  return rows;
}

GlobalFitResult run_global_fit(const std::vector<GlobalFitInput>& inputs, const GlobalFitRequest& request) {
  const int model = common_model(inputs);
  std::vector<Prepared> prepared = prepare_all(inputs, request.errors);
  const std::vector<int> rows = request.sharedRows.empty() ? default_shared_rows(model) : request.sharedRows;
  check_shared_rows(inputs, prepared, rows, model);

  std::vector<GlobalSeries> series;
  for (const Prepared& p : prepared) series.push_back(series_of(p.job));
  GlobalProblem problem(std::move(series), rows);
  std::vector<double> sharedStart;
  for (int row : rows) sharedStart.push_back(shared_start(inputs, prepared, row, model));
  GlobalFitOptions options;
  options.extensive = request.extensive;
  options.stop = request.stop;
  const GlobalFitOutcome fit = fit_global_problem(problem, problem.start_vector(sharedStart), options);

  GlobalFitResult out;
  out.model = model;
  out.n = problem.point_count();
  const IVec ia = problem.flag_vector();
  for (int j = 1; j <= problem.parameter_count(); ++j) out.p += ia[j] ? 1 : 0;
  out.chiSquare = fit.chiSquare;
  out.stop = fit.stop;
  out.runs = fit.runs;
  Vec err(problem.parameter_count());
  if (fit.stop != FitStop::Stopped) err = parameter_errors(problem, fit, prepared.front(), request, out.haveErrors);
  std::vector<ProfileInterval> profile;
  if (request.profileIntervals && fit.stop != FitStop::Stopped && !(request.stop && request.stop->StopRequested()))
    profile = global_profile_intervals(problem, fit, request.threads, request.stop);
  // A jackknife or profile search cut short gives errors from too few refits and open sides
  // that were never searched: the whole result is incomplete.
  if (request.stop && request.stop->StopRequested()) {
    out.stop = FitStop::Stopped;
    out.haveErrors = false;
    err = Vec(problem.parameter_count());
    profile.clear();
  }
  out.haveProfile = request.profileIntervals && out.stop != FitStop::Stopped;
  for (int t = 0; t < problem.series_count(); ++t)
    out.titrations.push_back(titration_part(problem, fit, err, out.haveErrors, t, inputs[static_cast<std::size_t>(t)].name,
                                            prepared[static_cast<std::size_t>(t)].job));
  for (int row : rows) {
    const GlobalTitrationPart& first = out.titrations.front();
    out.shared.push_back({row, row_name(model, row), first.values[row], first.errors[row], std::nullopt});
  }
  if (out.haveProfile) attach_intervals(problem, profile, model, out);
  if (out.stop != FitStop::Stopped) {
    // Covariance errors are scaled as the single fit scales them: by the SD the user gave,
    // or else by the residual SD of the global fit.
    const FitJob& first = prepared.front().job;
    const double scale = first.covarianceErrors ? (first.usePercent ? 1.0 : first.constantSD)
                                                : std::sqrt(out.chiSquare / std::max(out.n - out.p, 1));
    for (int t = 0; t < problem.series_count(); ++t)
      review_part(problem, fit, out.haveProfile ? &profile : nullptr, scale, t, out.titrations[static_cast<std::size_t>(t)]);
  }
  return out;
}

std::vector<FitWarning> global_fit_warnings(const GlobalFitResult& result) {
  std::vector<FitWarning> out;
  auto shared = [&result](int row) {
    return std::any_of(result.shared.begin(), result.shared.end(), [row](const GlobalSharedRow& s) { return s.row == row; });
  };
  for (std::size_t t = 0; t < result.titrations.size(); ++t) {
    const GlobalTitrationPart& part = result.titrations[t];
    for (const FitWarning& w : part.result.diagnostics.warnings) {
      if (w.kind == "not_converged" || w.rows.empty()) continue;
      const bool allShared = std::all_of(w.rows.begin(), w.rows.end(), shared);
      if (allShared && t > 0) continue;
      out.push_back(allShared ? w : FitWarning{w.kind, w.rows, part.name + ": " + w.text});
    }
  }
  return out;
}

void apply_global_part(Titration& doc, const GlobalTitrationPart& part) { apply_fit(doc, part.job, part.result); }

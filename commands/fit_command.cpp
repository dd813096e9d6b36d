#include "commands/fit_command.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "document/titration_edit.h"
#include "commands/identifiability.h"
#include "fitting/parallel_refit.h"
#include "fitting/error_estimation.h"
#include "fitting/levenberg_marquardt.h"
#include "fitting/models.h"

namespace {

constexpr int kResponseCol = 0;
constexpr int kAddCaCol = 1;
constexpr int kVolumeCol = 2;

// The stated progress scheme, kept below 100 until the fit has finished (the long schedules
// would pass it).
class ProgressTracker {
 public:
  explicit ProgressTracker(FitProgress* sink) : sink_(sink) {}
  void Set(int position) {
    position_ = position;
    if (sink_) sink_->SetPosition(std::clamp(position_, 0, 99));
  }
  void Add(int step) { Set(position_ + step); }
  void Finish() {
    if (sink_) sink_->SetPosition(100);
  }
  StopCheck* stop_check() const { return sink_; }

 private:
  FitProgress* sink_;
  int position_ = 0;
};

std::vector<GridPoint> gather_points(const Titration& doc) {
  std::vector<GridPoint> points;
  for (int r = 0; r < Titration::kRows; ++r) {
    const double response = doc.m_cells[r][kResponseCol].GetValue();
    const double volume = doc.m_cells[r][kVolumeCol].GetValue();
    if (response != 0.0 && volume != 0.0) points.push_back({doc.m_cells[r][kAddCaCol].GetValue(), response, volume});
  }
  return points;
}

// Covariance errors are on with a positive percentage while "Estimate errors" is checked, or
// with a positive constant SD; the jackknife, when chosen and checked, replaces them. The
// weights follow the percentage when it switched the covariance errors on.
void decide_errors(FitJob& job, const FitSettings& s) {
  job.covarianceErrors = (s.m_bEstimateErrors && s.m_dPercentError > 0.0) ||
                         (s.m_bUseConstantSD && s.m_dConstantSD > 0.0);
  job.usePercent = s.m_bUsePercent != 0;
  job.constantSD = s.m_dConstantSD;
  const bool percentWeights = job.covarianceErrors && job.usePercent && s.m_dPercentError > 0.0;
  for (std::size_t i = 0; i < job.y.size(); ++i)
    job.sigma[i] = percentWeights ? job.y[i] * s.m_dPercentError * 0.01 : 1.0;
  job.profileIntervals = s.m_bProfile != 0;
  if (s.m_bUseJackknife && s.m_bEstimateErrors) {
    job.jackknifeErrors = true;
    job.covarianceErrors = false;
  }
}

void fill_series(FitJob& job, double startCaUM) {
  const double V1 = job.gathered.front().v;
  const bool electrode = model_info(job.model).electrode;
  for (const GridPoint& p : job.gathered) {
    const double totalCa = (p.x + startCaUM * V1 / p.v) * 1000.0;  // nM
    job.xAll.push_back(totalCa);
    job.vAll.push_back(p.v);
    if (electrode && totalCa == 0.0) continue;
    job.x.push_back(totalCa);
    job.y.push_back(p.y);
    job.Y.push_back(V1 / p.v);
    job.sigma.push_back(1.0);
  }
}

Vec to_vec(const std::vector<double>& v) {
  Vec out(static_cast<int>(v.size()));
  for (std::size_t i = 0; i < v.size(); ++i) out[static_cast<int>(i) + 1] = v[i];
  return out;
}

// Thrown through the schedule's nested loops when the caller asked to stop.
struct FitStoppedSignal {};

// A binding model with its own result vectors, one per worker thread.
ModelMaker binding_model_maker(const FitJob& job) {
  const ModelInfo& info = model_info(job.model);
  const ModelFamily family = info.family;
  const bool electrode = info.electrode, dilution = job.dilution;
  return [=] {
    auto bound = std::make_shared<Vec>(2);
    auto freeCa = std::make_shared<Vec>(2);
    return ModelFunction([=](double X, double Y, Vec& a, int ma, Vec& dyda) {
      return model_fit_evaluation(family, electrode, dilution, X, a, Y, ma, dyda, *bound, *freeCa);
    });
  };
}

// The schedule of one fit: every run shares the data, the covariance work matrices and the
// model's result vectors (so warm starts carry over from run to run).
class Schedule {
 public:
  Schedule(const FitJob& job, ProgressTracker& progress)
      : job_(job), info_(model_info(job.model)), progress_(progress), n_(static_cast<int>(job.x.size())), ma_(job.ma),
        x_(to_vec(job.x)), y_(to_vec(job.y)), Y_(to_vec(job.Y)), sigma_(to_vec(job.sigma)),
        a_(ma_), E_(ma_), F_(ma_), ia_(ma_), mask_(ma_), covar_(ma_, ma_), alpha_(ma_, ma_),
        bound_(2), freeCa_(2),
        model_{model_info(job.model).family, model_info(job.model).electrode, job.dilution, bound_, freeCa_} {
    for (int k = 1; k <= ma_; ++k) {
      a_[k] = E_[k] = F_[k] = job.start[k];
      ia_[k] = job.flags[k];
    }
  }

  void Run(FitResult& result) {
    switch (info_.family) {
      case ModelFamily::OneSite: RunOneSite(); break;
      case ModelFamily::TwoSiteChelator: RunTwoSiteChelator(); break;
      case ModelFamily::TwoSite: RunStandard(2, 1); break;
      case ModelFamily::FourSiteChelator: RunStandard(3, 1); break;
      case ModelFamily::TwoSiteTwoChelators: RunStandard(3, 1); break;
      case ModelFamily::SixSiteChelator: RunStandard(3, 1); break;
    }
    Polish();
    result.params[0] = chisqA_;
    for (int k = 1; k <= ma_; ++k) result.params[k] = a_[k];
    result.status = status_;
    result.stop = stop_;
    result.runs = runs_;
    result.polishRuns = polishRuns_;
  }

  void CovarianceErrors(FitResult& result, int nParams) {
    Vec err(ma_);
    covariance_errors(covar_, nParams, job_.usePercent, job_.constantSD, err);
    for (int k = 1; k <= nParams; ++k) result.errors[k] = err[k];
  }

  void JackknifeErrors(FitResult& result, int nParams, const FitOptions& options) {
    Vec err(ma_);
    JackknifeOptions jackknife;
    jackknife.seed = options.jackknifeSeed;
    jackknife.threads = options.threads;
    jackknife.stopCheck = progress_.stop_check();
    const bool finished = estimate_errors_jackknife(err, binding_model_maker(job_), Data(), a_, ia_, ma_, jackknife);
    if (!finished) throw FitStoppedSignal{};
    for (int k = 1; k <= nParams; ++k) result.errors[k] = err[k];
  }

  // Profiles around the fit polished until converged, whose chi-square is the minimum the
  // thresholds refer to.
  std::vector<ProfileInterval> Profiles(const FitOptions& options) {
    Vec a(ma_);
    for (int k = 1; k <= ma_; ++k) a[k] = a_[k];
    Mat covar(ma_, ma_), alpha(ma_, ma_);
    double chisq = 0.0;
    if (polish_until_converged(model_, x_, y_, Y_, sigma_, n_, a, ia_, ma_, covar, alpha, chisq, progress_.stop_check())
            .stop == FitStop::Stopped)
      throw FitStoppedSignal{};
    const double residualSD = std::sqrt(chisq / std::max(n_ - FittedCount(), 1));
    Vec sd(ma_);
    for (int k = 1; k <= ma_; ++k) sd[k] = ia_[k] ? std::sqrt(std::max(covar[k][k], 0.0)) * residualSD : 0.0;
    ProfileRequest request;
    request.makeModel = binding_model_maker(job_);
    request.kinds.assign(static_cast<std::size_t>(ma_) + 1, SlotKind::Response);
    for (int k = 1; k <= ma_; ++k) request.kinds[static_cast<std::size_t>(k)] = slot_kind(job_.model, k);
    request.chisqMin = chisq;
    request.threads = options.threads;
    request.stopCheck = progress_.stop_check();
    std::vector<ProfileInterval> intervals = profile_intervals(request, Data(), a, ia_, ma_, sd);
    StopIfAsked();
    return intervals;
  }

  // The correlation and the warnings, from the last full run's covariance matrix.
  FitDiagnostics Review(const FitResult& result, const std::vector<ProfileInterval>* profile) {
    FitReviewInput in;
    in.model = job_.model;
    in.ma = ma_;
    in.flags = job_.flags;
    in.params = result.params;
    in.start = job_.start;
    in.covar = status_ == 0 ? &covar_ : nullptr;
    in.errorScale = job_.covarianceErrors ? (job_.usePercent ? 1.0 : job_.constantSD)
                                          : std::sqrt(chisqA_ / std::max(n_ - FittedCount(), 1));
    in.converged = result.stop == FitStop::Converged;
    in.stopText = fit_stop_text(result.stop);
    in.profile = profile;
    return review_fit(in);
  }

  // Response of the fitted parameters at (X nM, Y), for the curve.
  double Response(double X, double Y) {
    return model_response(model_.family, model_.electrode, model_.dilution, X, a_, Y, bound_, freeCa_, 1);
  }

 private:
  void StopIfAsked() {
    if (StopCheck* check = progress_.stop_check(); check && check->StopRequested()) throw FitStoppedSignal{};
  }

  FitData Data() const { return FitData{x_, y_, Y_, sigma_, n_}; }
  int FittedCount() const {
    int p = 0;
    for (int k = 1; k <= ma_; ++k) p += ia_[k] ? 1 : 0;
    return p;
  }

  int FitRun(Vec& v, const IVec& flags, double& chisq) {
    ++runs_;
    const LeastSquaresRun run =
        least_squares_run(model_, x_, y_, Y_, sigma_, n_, v, flags, ma_, covar_, alpha_, chisq, progress_.stop_check());
    if (run.stop == FitStop::Stopped) throw FitStoppedSignal{};
    return run.code;
  }

  // Runs from the best point until chi-square no longer falls: the schedule's fixed run
  // count can end on a flat valley floor well above the minimum.
  void Polish() {
    const PolishOutcome polish =
        polish_until_converged(model_, x_, y_, Y_, sigma_, n_, a_, ia_, ma_, covar_, alpha_, chisqA_,
                               progress_.stop_check(), kMaxPolishRuns, [this](int) { progress_.Add(1); });
    runs_ += polish.runs;
    polishRuns_ = polish.runs;
    if (polish.stop == FitStop::Stopped) throw FitStoppedSignal{};
    status_ = polish.code;
    stop_ = polish.stop;
  }

  // Each selected slot alone, in slot order.
  void PreFit(Vec& v, double& chisq, int step) {
    for (int k = 1; k <= ma_; ++k) {
      if (!ia_[k]) continue;
      for (int j = 1; j <= ma_; ++j) mask_[j] = j == k ? 1 : 0;
      FitRun(v, mask_, chisq);
      progress_.Add(step);
    }
  }

  void FullFits(Vec& v, double& chisq, int count, int step) {
    for (int i = 0; i < count; ++i) {
      status_ = FitRun(v, ia_, chisq);
      progress_.Add(step);
    }
  }

  void RunOneSite() {
    progress_.Set(5);
    PreFit(a_, chisqA_, 5);
    FullFits(a_, chisqA_, 10, 5);
  }

  void RunStandard(int startPosition, int step) {
    progress_.Set(startPosition);
    PreFit(a_, chisqA_, step);
    FullFits(a_, chisqA_, 3, step);
    if (job_.extensive) BroadSearch();
  }

  void RunTwoSiteChelator() {
    progress_.Set(1);
    PreFit(a_, chisqA_, 1);
    FullFits(a_, chisqA_, 5, 1);
    const int protein = info_.ProteinSlot(), k1 = info_.searchSlots[0], k2 = info_.searchSlots[1];
    if (ia_[protein] && ia_[k1] && ia_[k2]) Reseed(protein, k1, k2);
    FullFits(a_, chisqA_, 1, 1);
    if (job_.extensive) BroadSearch();
  }

  // A second start with half the protein and the two constants a factor 2 either side of
  // the larger one (order kept); it replaces the fit when it ends lower.
  void Reseed(int protein, int k1, int k2) {
    for (int k = 1; k <= ma_; ++k) E_[k] = a_[k];
    E_[protein] = a_[protein] * 0.5;
    const double L = std::log10(std::max(a_[k1], a_[k2]) * 1e9);
    const double high = std::pow(10.0, L + 0.3) * 1e-9, low = std::pow(10.0, L - 0.3) * 1e-9;
    E_[k1] = a_[k1] > a_[k2] ? high : low;
    E_[k2] = a_[k1] > a_[k2] ? low : high;
    for (int j = 1; j <= ma_; ++j) mask_[j] = j == protein ? 1 : 0;
    FitRun(E_, mask_, chisqE_);
    progress_.Add(3);
    PreFit(E_, chisqE_, 3);
    FullFits(E_, chisqE_, 5, 3);
    if (chisqE_ < chisqA_) {
      for (int k = 1; k <= ma_; ++k) a_[k] = E_[k];
      chisqA_ = chisqE_;
    }
  }

  // Every combination of the model's trial constants moved -0.5, +0.5 (and, with three
  // levels, 0) log units from the start values, the first trial slot outermost; the best full
  // fit wins.
  void BroadSearch() {
    const std::vector<int>& slots = info_.searchSlots;
    const int levels = info_.searchLevels;
    double best = chisqA_;
    int combinations = 1;
    for (std::size_t i = 0; i < slots.size(); ++i) combinations *= levels;
    for (int c = 0; c < combinations; ++c) {
      int rest = c;
      for (int i = static_cast<int>(slots.size()) - 1; i >= 0; --i) {
        const int level = rest % levels;
        rest /= levels;
        const int k = slots[static_cast<std::size_t>(i)];
        if (!ia_[k] || level == 2) continue;
        const double shift = level == 0 ? -0.5 : 0.5;
        E_[k] = std::pow(10.0, std::log10(E_[k] * 1e9) + shift) * 1e-9;
      }
      status_ = FitRun(E_, ia_, chisqE_);
      progress_.Add(2);
      if (chisqE_ < best) {
        for (int k = 1; k <= ma_; ++k) a_[k] = E_[k];
        best = chisqE_;
      }
      for (int k = 1; k <= ma_; ++k) E_[k] = F_[k];
    }
    PreFit(a_, chisqA_, 1);
    FullFits(a_, chisqA_, 3, 1);
  }

  const FitJob& job_;
  const ModelInfo& info_;
  ProgressTracker& progress_;
  int n_, ma_;
  Vec x_, y_, Y_, sigma_;
  Vec a_, E_, F_;
  IVec ia_, mask_;
  Mat covar_, alpha_;
  Vec bound_, freeCa_;
  BindingFitModel model_;
  double chisqA_ = 0.0, chisqE_ = 0.0;
  int status_ = 0;
  FitStop stop_ = FitStop::Converged;
  int runs_ = 0, polishRuns_ = 0;
};

// 0.2 % .. 99.6 % of the larger of the first and last total Ca, volumes alongside; response(X
// nM, dilution V1/V) gives each point's value.
template <typename Response>
void fill_fit_curve(const FitJob& job, Response&& response, FitPoint curve[Titration::kCurvePoints]) {
  const double sx = 0.002 * std::max(job.xAll.front(), job.xAll.back());
  const double V1 = job.vAll.front();
  const double sV = 0.002 * (job.vAll.back() - V1);
  for (int l = 1; l <= Titration::kCurvePoints; ++l) {
    const double Ca = l * sx;
    const double V = V1 + l * sV;
    curve[l - 1].y = response(Ca, V1 / V);
    curve[l - 1].x = Ca * 0.001;
  }
}

void sample_fit_curve(const FitJob& job, Schedule& schedule, FitResult& result) {
  fill_fit_curve(job, [&schedule](double X, double Y) { return schedule.Response(X, Y); }, result.curve);
}

bool protein_too_high(const FitJob& job, const FitResult& result) {
  const ModelInfo& info = model_info(job.model);
  if (info.family == ModelFamily::OneSite) return false;
  return result.params[info.ProteinSlot()] > 1200.0 * job.proteinStartUM;
}

// The curve, the errors and the messages of a fit whose schedule has run.
void FinishResult(const FitJob& job, Schedule& schedule, ProgressTracker& tracker, const FitOptions& options,
                  FitResult& result) {
  const int nParams = fit_record_param_count(job.model);
  if (protein_too_high(job, result)) result.messages.push_back(kFitProteinHighMessage);
  sample_fit_curve(job, schedule, result);
  // A singular final matrix leaves no covariance to take errors from.
  const bool singular = result.status == 1 || result.status == 2;
  if (job.covarianceErrors && !singular) {
    schedule.CovarianceErrors(result, nParams);
    result.haveErrors = true;
  }
  if (job.jackknifeErrors) {
    schedule.JackknifeErrors(result, nParams, options);
    result.haveErrors = true;
  }
  std::vector<ProfileInterval> profile;
  if (job.profileIntervals && !singular) profile = schedule.Profiles(options);
  result.diagnostics = schedule.Review(result, job.profileIntervals && !singular ? &profile : nullptr);
  if (singular) result.messages.push_back(kFitTooFarMessage);
  tracker.Finish();
}

}  // namespace

const char* fit_stop_text(FitStop stop) {
  switch (stop) {
    case FitStop::Converged: return "Converged";
    case FitStop::StepLimit: return "Stopped at the run limit";
    case FitStop::Singular: return "Singular matrix";
    case FitStop::NonFinite: return "Non-finite values";
    case FitStop::Stopped: return "Stopped";
  }
  return "";
}

std::vector<std::string> fit_run_lines(const FitRunRecord& run) {
  if (!run.known) return {"Fit ended: not known (read from a file)"};
  return {std::string("Fit ended: ") + fit_stop_text(run.stop), "Least-squares runs: " + std::to_string(run.runs)};
}

std::optional<FitJob> prepare_fit(const Titration& doc, const FitSettings& s) {
  const int model = s.m_nModelIndex + 1;
  if (!is_valid_model(model)) return std::nullopt;
  FitJob job;
  job.model = model;
  job.gathered = gather_points(doc);
  if (job.gathered.size() <= 2) return std::nullopt;
  fill_series(job, s.m_dStartCa);
  if (job.x.size() <= 2) return std::nullopt;
  job.ma = convert_start_values(model, s.m_dValue, job.start);
  fit_flags_for_model(model, s.m_bFitSlot, job.flags);
  job.proteinStartUM = s.m_dValue[model_info(model).ProteinSlot()];
  job.dilution = s.m_bDilution != 0;
  job.extensive = s.m_bExtensive != 0;
  job.startCaUM = s.m_dStartCa;
  job.temperatureK = static_cast<float>(s.m_dTemperature + 273.15);
  decide_errors(job, s);
  return job;
}

FitResult compute_fit(const FitJob& job, FitProgress* progress, const FitOptions& options) {
  FitResult result;
  ProgressTracker tracker(progress);
  tracker.Set(0);
  Schedule schedule(job, tracker);
  try {
    schedule.Run(result);
    FinishResult(job, schedule, tracker, options, result);
  } catch (const FitStoppedSignal&) {
    FitResult stopped;
    stopped.stop = FitStop::Stopped;
    return stopped;
  }
  return result;
}

void apply_fit(Titration& doc, const FitJob& job, const FitResult& result) {
  TitrationEdit edit(doc, EditKind::Experiment, "Fit");
  doc.MarkChanged();
  for (int i = 0; i < Titration::kRows; ++i)
    doc.m_points[i] = i < static_cast<int>(job.gathered.size()) ? job.gathered[static_cast<std::size_t>(i)] : GridPoint{};
  ParamSet& fit = doc.m_fit;
  fit.m_nModel = job.model;
  doc.m_fitRun = {true, result.stop, result.runs};
  fit.m_nParams = fit_record_param_count(job.model);
  fit.m_bElectrode = model_info(job.model).electrode ? 1 : 0;
  fit.m_bDilution = job.dilution ? 1 : 0;
  fit.m_dStartCa = job.startCaUM;
  fit.m_bErrors = result.haveErrors ? 1 : 0;
  for (int k = 0; k < ParamSet::kSlots; ++k) {
    fit.m_p[k] = k <= fit.m_nParams ? result.params[k] : 0.0;
    fit.m_err[k] = (k >= 1 && k <= fit.m_nParams) ? result.errors[k] : 0.0;
  }
  doc.m_dStartCa = job.startCaUM;
  doc.m_fTemperature = job.temperatureK;
  std::copy(std::begin(result.curve), std::end(result.curve), std::begin(doc.m_fitCurve));
  doc.m_bShowFit = 1;
  doc.m_fitDiagnostics = result.diagnostics;
}

FitOutcome run_fit_command(Titration& doc, const FitSettings& settings, FitProgress* progress,
                           const FitOptions& options) {
  FitOutcome outcome;
  std::optional<FitJob> job = prepare_fit(doc, settings);
  if (!job) return outcome;
  outcome.result = compute_fit(*job, progress, options);
  if (outcome.result.stop == FitStop::Stopped) return outcome;
  apply_fit(doc, *job, outcome.result);
  outcome.fitted = true;
  return outcome;
}

void sample_fit_curve(const FitJob& job, const double params[ParamSet::kSlots], FitPoint curve[Titration::kCurvePoints]) {
  const ModelInfo& info = model_info(job.model);
  Vec a(job.ma), bound(2), freeCa(2);
  for (int k = 1; k <= job.ma; ++k) a[k] = params[k];
  fill_fit_curve(job, [&](double X, double Y) {
    return model_response(info.family, info.electrode, job.dilution, X, a, Y, bound, freeCa, 1);
  }, curve);
}

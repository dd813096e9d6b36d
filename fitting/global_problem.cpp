#include "fitting/global_problem.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <stdexcept>

#include "fitting/error_estimation.h"
#include "fitting/levenberg_marquardt.h"

namespace {

// The least-squares step keeps slots above the first two positive: the binding models' slots
// 1 and 2 are the responses (or electrode factor and offset), which may take any sign.
constexpr int kSignFreeLocalSlots = 2;

Vec copy_of(const Vec& v, int n) {
  Vec out(n);
  for (int i = 1; i <= n; ++i) out[i] = v[i];
  return out;
}

bool is_shared(const std::vector<int>& shared, int slot) {
  return std::find(shared.begin(), shared.end(), slot) != shared.end();
}

}  // namespace

GlobalProblem::GlobalProblem(std::vector<GlobalSeries> series, std::vector<int> sharedSlots)
    : series_(std::move(series)), shared_(std::move(sharedSlots)) {
  if (series_.empty()) throw std::invalid_argument("a global fit needs at least one titration");
  for (const GlobalSeries& s : series_)
    if (s.model != series_.front().model || s.ma() != series_.front().ma())
      throw std::invalid_argument("every titration of a global fit must use the same model");
  global_.assign(series_.size(), std::vector<int>(static_cast<std::size_t>(series_.front().ma()) + 1, 0));
  Assign(true);
  signFree_ = m_;
  Assign(false);
  pointSeries_.resize(1);
  for (std::size_t t = 0; t < series_.size(); ++t) {
    const GlobalSeries& s = series_[t];
    for (std::size_t i = 0; i < s.x.size(); ++i) pointSeries_.push_back({static_cast<int>(t), static_cast<int>(i)});
    local_.emplace_back(s.ma());
    localDyda_.emplace_back(s.ma());
    bound_.emplace_back(2);
    freeCa_.emplace_back(2);
  }
}

// Numbers the sign-free slots first, so that the positivity rule of the step, which goes by
// parameter number, applies to the same slots as in a single fit.
void GlobalProblem::Assign(bool signFreePass) {
  const int ma = series_.front().ma();
  for (int k = 1; k <= ma; ++k) {
    if ((k <= kSignFreeLocalSlots) != signFreePass) continue;
    if (is_shared(shared_, k)) {
      ++m_;
      for (auto& g : global_) g[static_cast<std::size_t>(k)] = m_;
      continue;
    }
    for (auto& g : global_) g[static_cast<std::size_t>(k)] = ++m_;
  }
}

int GlobalProblem::global_index(int t, int slot) const {
  return global_[static_cast<std::size_t>(t)][static_cast<std::size_t>(slot)];
}

Vec GlobalProblem::start_vector(const std::vector<double>& sharedStart) const {
  Vec a(m_);
  for (int t = 0; t < series_count(); ++t)
    for (int k = 1; k <= series(t).ma(); ++k) a[global_index(t, k)] = series(t).start[static_cast<std::size_t>(k)];
  for (std::size_t i = 0; i < shared_.size() && i < sharedStart.size(); ++i) a[global_index(0, shared_[i])] = sharedStart[i];
  return a;
}

IVec GlobalProblem::flag_vector() const {
  IVec ia(m_);
  for (int t = 0; t < series_count(); ++t)
    for (int k = 1; k <= series(t).ma(); ++k)
      if (series(t).flags[static_cast<std::size_t>(k)]) ia[global_index(t, k)] = 1;
  return ia;
}

void GlobalProblem::data(Vec& x, Vec& y, Vec& Y, Vec& sigma) const {
  const int n = point_count();
  x = Vec(n), y = Vec(n), Y = Vec(n), sigma = Vec(n);
  for (int i = 1; i <= n; ++i) {
    const PointRef p = pointSeries_[static_cast<std::size_t>(i)];
    const GlobalSeries& s = series(p.series);
    x[i] = i;
    y[i] = s.y[static_cast<std::size_t>(p.index)];
    Y[i] = 1.0;
    sigma[i] = s.sigma[static_cast<std::size_t>(p.index)];
  }
}

std::vector<double> GlobalProblem::local_values(const Vec& a, int t) const {
  std::vector<double> v(static_cast<std::size_t>(series(t).ma()) + 1, 0.0);
  for (int k = 1; k <= series(t).ma(); ++k) v[static_cast<std::size_t>(k)] = a[global_index(t, k)];
  return v;
}

double GlobalProblem::series_chi_square(const Vec& a, int t) {
  const GlobalSeries& s = series(t);
  Vec& local = local_[static_cast<std::size_t>(t)];
  for (int k = 1; k <= s.ma(); ++k) local[k] = a[global_index(t, k)];
  const ModelInfo& info = model_info(s.model);
  double chi = 0.0;
  for (std::size_t i = 0; i < s.x.size(); ++i) {
    const double r = model_response(info.family, info.electrode, s.dilution, s.x[i], local, s.Y[i],
                                    bound_[static_cast<std::size_t>(t)], freeCa_[static_cast<std::size_t>(t)], 1);
    const double d = (s.y[i] - r) / s.sigma[i];
    chi += d * d;
  }
  return chi;
}

double GlobalProblem::operator()(double x, double /*Y*/, Vec& a, int ma, Vec& dyda) {
  const PointRef p = pointSeries_[static_cast<std::size_t>(std::lround(x))];
  const std::size_t t = static_cast<std::size_t>(p.series);
  const GlobalSeries& s = series_[t];
  Vec& local = local_[t];
  for (int k = 1; k <= s.ma(); ++k) local[k] = a[global_index(p.series, k)];
  const ModelInfo& info = model_info(s.model);
  const std::size_t i = static_cast<std::size_t>(p.index);
  const double r = model_fit_evaluation(info.family, info.electrode, s.dilution, s.x[i], local, s.Y[i], s.ma(),
                                        localDyda_[t], bound_[t], freeCa_[t]);
  for (int j = 1; j <= ma; ++j) dyda[j] = 0.0;
  for (int k = 1; k <= s.ma(); ++k) dyda[global_index(p.series, k)] += localDyda_[t][k];
  return r;
}

namespace {

struct GlobalRun {
  GlobalProblem& problem;
  Vec x, y, Y, sigma;
  IVec ia;
  Mat covar, alpha;
  explicit GlobalRun(GlobalProblem& p)
      : problem(p), ia(p.flag_vector()), covar(p.parameter_count(), p.parameter_count()),
        alpha(p.parameter_count(), p.parameter_count()) {
    p.data(x, y, Y, sigma);
  }
  LeastSquaresRun Once(Vec& a, double& chisq, StopCheck* stop) {
    return least_squares_run(problem, x, y, Y, sigma, problem.point_count(), a, ia, problem.parameter_count(), covar,
                             alpha, chisq, stop, problem.sign_free_count());
  }
  PolishOutcome Polish(Vec& a, double& chisq, StopCheck* stop) {
    return polish_until_converged(problem, x, y, Y, sigma, problem.point_count(), a, ia, problem.parameter_count(),
                                  covar, alpha, chisq, stop, kMaxPolishRuns, {}, problem.sign_free_count());
  }
};

// The shared binding constants the broad search moves.
std::vector<int> shared_constants(const GlobalProblem& problem, const IVec& ia) {
  std::vector<int> out;
  const int model = problem.series(0).model;
  for (int slot : problem.shared_slots())
    if (slot_kind(model, slot) == SlotKind::AssociationConstant && ia[problem.global_index(0, slot)])
      out.push_back(problem.global_index(0, slot));
  return out;
}

int broad_search(GlobalRun& run, Vec& best, double& bestChi, StopCheck* stop) {
  const std::vector<int> slots = shared_constants(run.problem, run.ia);
  const int combinations = 1 << static_cast<int>(slots.size());
  const int m = run.problem.parameter_count();
  int runs = 0;
  const Vec from = copy_of(best, m);
  for (int c = 0; c < combinations; ++c) {
    Vec trial = copy_of(from, m);
    for (std::size_t i = 0; i < slots.size(); ++i) trial[slots[i]] *= std::pow(10.0, (c >> i) & 1 ? 0.5 : -0.5);
    double chi = 0.0;
    const LeastSquaresRun r = run.Once(trial, chi, stop);
    ++runs;
    if (r.stop == FitStop::Stopped) break;
    if (std::isfinite(chi) && chi < bestChi) bestChi = chi, best = std::move(trial);
  }
  return runs;
}

}  // namespace

GlobalFitOutcome fit_global_problem(GlobalProblem& problem, const Vec& start, const GlobalFitOptions& options) {
  GlobalRun run(problem);
  GlobalFitOutcome out;
  out.a = copy_of(start, problem.parameter_count());
  double chi = 0.0;
  if (options.extensive) {
    const LeastSquaresRun first = run.Once(out.a, chi, options.stop);
    out.runs = 1;
    if (first.stop != FitStop::Stopped && std::isfinite(chi)) out.runs += broad_search(run, out.a, chi, options.stop);
  }
  const PolishOutcome polish = run.Polish(out.a, chi, options.stop);
  out.runs += polish.runs;
  out.stop = polish.stop;
  out.code = polish.code;
  out.chiSquare = chi;
  out.covar = std::move(run.covar);
  return out;
}

namespace {

// The problem on the kept points of each titration.
GlobalProblem subset_problem(const GlobalProblem& problem, std::mt19937& rng, int& leftOut) {
  std::vector<GlobalSeries> kept;
  leftOut = 0;
  for (int t = 0; t < problem.series_count(); ++t) {
    const GlobalSeries& s = problem.series(t);
    GlobalSeries k = s;
    k.x.clear(), k.y.clear(), k.Y.clear(), k.sigma.clear();
    const int n = static_cast<int>(s.x.size());
    IVec drop(n);
    const int d = std::min(jackknife_left_out_count(n), n - 1);
    if (d >= 1) draw_left_out_positions(n, d, rng, drop);
    for (int i = 1; i <= n; ++i) {
      if (d >= 1 && drop[i]) continue;
      const std::size_t u = static_cast<std::size_t>(i - 1);
      k.x.push_back(s.x[u]), k.y.push_back(s.y[u]), k.Y.push_back(s.Y[u]), k.sigma.push_back(s.sigma[u]);
    }
    leftOut += std::max(d, 0);
    kept.push_back(std::move(k));
  }
  return GlobalProblem(std::move(kept), problem.shared_slots());
}

}  // namespace

Vec global_jackknife_errors(const GlobalProblem& problem, const Vec& a, std::uint32_t seed, StopCheck* stop) {
  const int m = problem.parameter_count(), N = problem.point_count();
  const IVec ia = problem.flag_vector();
  std::mt19937 rng(seed);
  std::vector<std::vector<double>> fits;
  int D = 0;
  for (int r = 0; r < kJackknifeRepetitions; ++r) {
    GlobalProblem subset = subset_problem(problem, rng, D);
    GlobalFitOptions options;
    options.stop = stop;
    const GlobalFitOutcome fit = fit_global_problem(subset, a, options);
    if (fit.stop == FitStop::Stopped) break;
    std::vector<double> values(static_cast<std::size_t>(m));
    for (int j = 1; j <= m; ++j) values[static_cast<std::size_t>(j - 1)] = fit.a[j];
    fits.push_back(std::move(values));
  }
  Vec err(m);
  if (fits.size() < 2 || D <= 0) return err;
  const double scale = std::sqrt(static_cast<double>(N - D) / D);
  for (int j = 1; j <= m; ++j) {
    if (!ia[j]) continue;
    double mean = 0.0, ss = 0.0;
    for (const auto& f : fits) mean += f[static_cast<std::size_t>(j - 1)];
    mean /= static_cast<double>(fits.size());
    for (const auto& f : fits) ss += (f[static_cast<std::size_t>(j - 1)] - mean) * (f[static_cast<std::size_t>(j - 1)] - mean);
    err[j] = scale * std::sqrt(ss / static_cast<double>(fits.size() - 1));
  }
  return err;
}

namespace {

// One copy of the problem per worker thread.
ModelMaker global_model_maker(const GlobalProblem& problem) {
  return [&problem] {
    std::vector<GlobalSeries> series;
    for (int t = 0; t < problem.series_count(); ++t) series.push_back(problem.series(t));
    // The same titrations and shared slots number the parameters the same way.
    auto own = std::make_shared<GlobalProblem>(std::move(series), problem.shared_slots());
    return ModelFunction([own](double x, double Y, Vec& a, int ma, Vec& dyda) { return (*own)(x, Y, a, ma, dyda); });
  };
}

// The kind of the slot each global parameter stands for (index 0 unused).
std::vector<SlotKind> global_slot_kinds(const GlobalProblem& problem) {
  std::vector<SlotKind> kinds(static_cast<std::size_t>(problem.parameter_count()) + 1, SlotKind::Response);
  for (int t = 0; t < problem.series_count(); ++t)
    for (int k = 1; k <= problem.series(t).ma(); ++k)
      kinds[static_cast<std::size_t>(problem.global_index(t, k))] = slot_kind(problem.series(t).model, k);
  return kinds;
}

}  // namespace

std::vector<ProfileInterval> global_profile_intervals(const GlobalProblem& problem, const GlobalFitOutcome& fit,
                                                      int threads, StopCheck* stop) {
  const int m = problem.parameter_count();
  const IVec ia = problem.flag_vector();
  int p = 0;
  for (int j = 1; j <= m; ++j) p += ia[j] ? 1 : 0;
  // Covariance SDs scaled by the residual SD, as the single fit's profiles take them; NaN
  // (the search's own first step) when the closing matrix was singular.
  const double residualSD = std::sqrt(fit.chiSquare / std::max(problem.point_count() - p, 1));
  Vec sd(m);
  for (int j = 1; j <= m; ++j)
    sd[j] = !ia[j] ? 0.0 : fit.code == 0 ? std::sqrt(std::max(fit.covar[j][j], 0.0)) * residualSD : std::nan("");
  ProfileRequest request;
  request.makeModel = global_model_maker(problem);
  request.kinds = global_slot_kinds(problem);
  request.chisqMin = fit.chiSquare;
  request.threads = threads;
  request.stopCheck = stop;
  request.signFreeSlots = problem.sign_free_count();
  Vec x, y, Y, sigma;
  problem.data(x, y, Y, sigma);
  return profile_intervals(request, FitData{x, y, Y, sigma, problem.point_count()}, fit.a, ia, m, sd);
}

#include "fitting/profile_likelihood.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

#include "fitting/f_distribution.h"

namespace {

constexpr int kMaxOutwardSteps = 40;
constexpr double kStepGrowth = 1.6;
constexpr int kMaxRefinements = 8;
constexpr double kRootTolerance = 0.002;  // relative, on sqrt(S - S_min)
// A profile point needs S only to a small fraction of the threshold's distance above S_min
// (about S_min / (n - p)), so its refit may stop after fewer runs than a final fit.
constexpr int kProfileRunCap = 10;

bool searched_in_logs(SlotKind kind) {
  return kind == SlotKind::Concentration || kind == SlotKind::AssociationConstant ||
         kind == SlotKind::DissociationConstant;
}

// Decimal logarithms of molar constants that a titration can measure at all. An estimate
// outside has run off along a flat valley (a stoichiometric titration drifts to log K 20 and
// beyond); the search back towards this window goes the extra distance, so the bound the
// data do set is still found.
constexpr double kPlausibleLogKLow = -2.0, kPlausibleLogKHigh = 12.0;

double search_reach(SlotKind kind, double value, double seT, int direction) {
  switch (kind) {
    case SlotKind::AssociationConstant:
    case SlotKind::DissociationConstant: {
      const double user = internal_to_user(kind, value);
      const double logK = kind == SlotKind::AssociationConstant ? user : -user;
      // How far the estimate lies beyond the window, counted on the side facing it.
      double beyond = 0.0;
      if (logK > kPlausibleLogKHigh) beyond = logK - kPlausibleLogKHigh;
      if (logK < kPlausibleLogKLow) beyond = kPlausibleLogKLow - logK;
      const int towardsWindow = (logK > kPlausibleLogKHigh) == (kind == SlotKind::AssociationConstant) ? -1 : 1;
      return kProfileLogConstantReach + (direction == towardsWindow ? beyond : 0.0);
    }
    case SlotKind::Concentration: return kProfileLogConcentrationReach;
    default: return std::isfinite(seT) && seT > 0.0 ? 1000.0 * seT : 100.0 * std::max(std::fabs(value), 1.0);
  }
}

// A point of the profile: the held coordinate, r = sqrt(S - S_min) and the vector reached.
struct ProfilePoint {
  double t = 0.0;
  double r = 0.0;
  std::vector<double> params;
};

// One worker's model and work arrays.
struct Workspace {
  Workspace(const ModelMaker& make, int ma) : model(make()), work(ma), covar(ma, ma), alpha(ma, ma), held(ma) {}
  ModelFunction model;
  Vec work;
  Mat covar, alpha;
  IVec held;  // the fit flags with the profiled slot off
};

// The outward search on one side of one slot.
class SideSearch {
 public:
  SideSearch(const FitData& data, int ma, int slot, bool logs, double chisqMin, Workspace& ws, StopCheck* stopCheck,
             int signFreeSlots)
      : data_(data), ma_(ma), slot_(slot), logs_(logs), chisqMin_(chisqMin), ws_(ws), stopCheck_(stopCheck),
        signFreeSlots_(signFreeSlots) {}

  // Fills the crossings of r68 and r95 (nullopt when the side stays below to the reach).
  void Run(const ProfilePoint& start, int direction, double firstStep, double reach, double r68,
           double r95, std::optional<double>& t68, std::optional<double>& t95) {
    ProfilePoint inner = start;
    double step = firstStep;
    const double limit = start.t + direction * reach;
    for (int i = 0; i < kMaxOutwardSteps; ++i) {
      double t = inner.t + direction * step;
      if ((t - limit) * direction > 0.0) t = limit;
      ProfilePoint outer = Evaluate(t, inner.params);
      if (!std::isfinite(outer.r)) return;  // the model cannot be evaluated here: stays open
      if (!t68 && outer.r >= r68) t68 = Refine(inner, outer, r68);
      if (outer.r >= r95) {
        t95 = Refine(inner, outer, r95);
        return;
      }
      if (t == limit) return;
      inner = std::move(outer);
      step *= kStepGrowth;
    }
  }

  int refits() const { return refits_; }

  ProfilePoint Evaluate(double t, const std::vector<double>& warm) {
    ++refits_;
    Vec& a = ws_.work;
    for (int k = 1; k <= ma_; ++k) a[k] = warm[static_cast<std::size_t>(k)];
    a[slot_] = logs_ ? std::pow(10.0, t) : t;
    double chisq = 0.0;
    const PolishOutcome polish = polish_until_converged(ws_.model, data_.x, data_.y, data_.Y, data_.sigma, data_.n, a,
                                                        ws_.held, ma_, ws_.covar, ws_.alpha, chisq, stopCheck_,
                                                        kProfileRunCap, {}, signFreeSlots_);
    ProfilePoint p;
    p.t = t;
    // A stopped refit ends the side as if the model could not be evaluated; the caller sees
    // the stop request and discards the intervals.
    p.r = std::isfinite(chisq) && polish.stop != FitStop::Stopped ? std::sqrt(std::max(chisq - chisqMin_, 0.0)) : std::numeric_limits<double>::quiet_NaN();
    p.params.assign(static_cast<std::size_t>(ma_) + 1, 0.0);
    for (int k = 1; k <= ma_; ++k) p.params[static_cast<std::size_t>(k)] = a[k];
    return p;
  }

 private:
  // False position on r between inner (r < target) and outer (r >= target); after two moves
  // of the same end the next trial is the midpoint, so a curved profile cannot stall it.
  double Refine(ProfilePoint inner, ProfilePoint outer, double target) {
    int sameEnd = 0, lastEnd = 0;
    for (int i = 0; i < kMaxRefinements; ++i) {
      const double width = outer.t - inner.t;
      if (std::fabs(width) <= 1e-9 * std::max(1.0, std::fabs(outer.t))) break;
      double t = inner.t + (target - inner.r) * width / (outer.r - inner.r);
      if (sameEnd >= 2 || !std::isfinite(t)) t = inner.t + 0.5 * width;
      ProfilePoint p = Evaluate(t, inner.params);
      if (!std::isfinite(p.r)) break;
      if (std::fabs(p.r - target) <= kRootTolerance * target) return p.t;
      const int end = p.r < target ? -1 : 1;
      sameEnd = end == lastEnd ? sameEnd + 1 : 1;
      lastEnd = end;
      (end < 0 ? inner : outer) = std::move(p);
    }
    return inner.t + (target - inner.r) * (outer.t - inner.t) / (outer.r - inner.r);
  }

  const FitData& data_;
  int ma_, slot_;
  bool logs_;
  double chisqMin_;
  Workspace& ws_;
  StopCheck* stopCheck_;
  int signFreeSlots_;
  int refits_ = 0;
};

struct SideTask {
  int slot;
  int direction;
  std::optional<double> t68, t95;
  int refits = 0;
};

}  // namespace

double profile_threshold(double ssrMin, int n, int p, double level) {
  const int dof = n - p;
  if (dof <= 0) return std::numeric_limits<double>::infinity();
  return ssrMin * (1.0 + f_distribution_quantile(level, 1.0, dof) / dof);
}

std::vector<ProfileInterval> profile_intervals(const ProfileRequest& request, const FitData& data,
                                               const Vec& a, const IVec& ia, int ma,
                                               const Vec& covarianceSD) {
  int p = 0;
  for (int k = 1; k <= ma; ++k) p += ia[k] ? 1 : 0;
  const double S = request.chisqMin;
  const double r68 = std::sqrt(profile_threshold(S, data.n, p, kProfileLevel68) - S);
  const double r95 = std::sqrt(profile_threshold(S, data.n, p, kProfileLevel95) - S);
  std::vector<SideTask> tasks;
  for (int k = 1; k <= ma; ++k)
    if (ia[k]) {
      tasks.push_back({k, -1, {}, {}, 0});
      tasks.push_back({k, +1, {}, {}, 0});
    }
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    Workspace ws(request.makeModel, ma);
    for (std::size_t i = next++; i < tasks.size(); i = next++) {
      SideTask& task = tasks[i];
      const SlotKind kind = request.kinds[static_cast<std::size_t>(task.slot)];
      const bool logs = searched_in_logs(kind);
      const double value = a[task.slot];
      if (logs && !(value > 0.0)) continue;  // no logarithm to search in: both sides open
      if (!std::isfinite(r95)) continue;
      for (int k = 1; k <= ma; ++k) ws.held[k] = k == task.slot ? 0 : ia[k];
      const double sd = covarianceSD[task.slot];
      const double seT = logs ? sd / (value * std::log(10.0)) : sd;
      const double t0 = logs ? std::log10(value) : value;
      const double reach = search_reach(kind, value, seT, task.direction);
      const double firstStep = std::isfinite(seT) && seT > 0.0 ? std::clamp(seT, reach * 1e-5, reach / 16) : reach / 32;
      SideSearch search(data, ma, task.slot, logs, S, ws, request.stopCheck, request.signFreeSlots);
      ProfilePoint start;
      start.t = t0;
      start.params.assign(static_cast<std::size_t>(ma) + 1, 0.0);
      for (int k = 1; k <= ma; ++k) start.params[static_cast<std::size_t>(k)] = a[k];
      search.Run(start, task.direction, firstStep, reach, r68, r95, task.t68, task.t95);
      task.refits = search.refits();
    }
  };
  const int threads = std::clamp(request.threads > 0 ? request.threads : refit_thread_count(), 1,
                                 std::max(1, static_cast<int>(tasks.size())));
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) workers.emplace_back(work);
  work();
  for (std::thread& w : workers) w.join();

  std::vector<ProfileInterval> out;
  for (std::size_t i = 0; i + 1 < tasks.size(); i += 2) {
    const SideTask& low = tasks[i];
    const SideTask& high = tasks[i + 1];
    const SlotKind kind = request.kinds[static_cast<std::size_t>(low.slot)];
    const bool logs = searched_in_logs(kind);
    auto user = [&](const std::optional<double>& t) -> std::optional<double> {
      if (!t) return std::nullopt;
      return logs ? internal_to_user(kind, std::pow(10.0, *t)) : *t;
    };
    ProfileInterval interval;
    interval.slot = low.slot;
    interval.value = logs ? internal_to_user(kind, a[low.slot]) : a[low.slot];
    interval.lo68 = user(low.t68);
    interval.lo95 = user(low.t95);
    interval.hi68 = user(high.t68);
    interval.hi95 = user(high.t95);
    interval.refits = low.refits + high.refits;
    out.push_back(interval);
  }
  return out;
}

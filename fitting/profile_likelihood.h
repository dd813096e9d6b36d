// Profile-likelihood intervals of fitted parameters. For a parameter held at v, the profile
// S(v) is the minimum over the other fitted parameters of the sum of squared weighted
// residuals. The interval at level L holds the v with
//     S(v) <= S_min (1 + F^-1(L; 1, n - p) / (n - p))
// (Bates and Watts, "Nonlinear Regression Analysis and Its Applications", 1988, section 6.1),
// which, unlike the covariance interval, follows a curved or one-sided valley.
//
// The search runs outward from the estimate on each side, in log10 of the internal value for
// constants and concentrations and in the value itself for responses, refitting the other
// parameters with warm starts from the previous point. Steps start near the covariance
// error and grow; a bracketed crossing is located by false position on sqrt(S - S_min),
// which is nearly linear in the parameter near the minimum. A side that stays below the
// threshold out to the search limit is open.
#pragma once

#include <optional>
#include <vector>

#include "fitting/fit_stop.h"
#include "fitting/levenberg_marquardt.h"
#include "fitting/parallel_refit.h"
#include "fitting/models.h"

inline constexpr double kProfileLevel68 = 0.68;
inline constexpr double kProfileLevel95 = 0.95;
inline constexpr double kProfileLogConstantReach = 8.0;  // log units either side
inline constexpr double kProfileLogConcentrationReach = 3.0;  // 0.1 % .. 1000 x

// S_min (1 + F^-1(level; 1, n - p) / (n - p)); infinite when n <= p.
double profile_threshold(double ssrMin, int n, int p, double level);

// One fitted slot's intervals in the dialog's units (log K, log Kd, uM, response); an open
// side is nullopt.
struct ProfileInterval {
  int slot = 0;
  double value = 0.0;
  std::optional<double> lo68, hi68, lo95, hi95;
  int refits = 0;  // profile points computed, both sides together
};

struct ProfileRequest {
  ModelMaker makeModel;
  std::vector<SlotKind> kinds;  // [1..ma] (index 0 unused)
  double chisqMin = 0.0;        // S at the estimate
  int threads = 0;              // 0: refit_thread_count()
  int signFreeSlots = 2;        // as for least_squares_run (a global problem passes its own)
  // Polled by every worker between steps (so it must be thread-safe); once it asks to stop,
  // the searches end early and the intervals are meaningless.
  StopCheck* stopCheck = nullptr;
};

// Intervals for every fitted slot of the fit a (flags ia), in slot order. covarianceSD[k]:
// the covariance error of slot k in internal units (sets the first step; 0 or NaN allowed).
std::vector<ProfileInterval> profile_intervals(const ProfileRequest& request, const FitData& data,
                                               const Vec& a, const IVec& ia, int ma,
                                               const Vec& covarianceSD);

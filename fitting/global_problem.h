// Several titrations of one protein fitted together: each keeps its own points, dilution,
// model evaluation and unshared slots (responses, concentrations, chelator constants,
// electrode factor and offset), while the shared slots (usually the binding constants) are
// one parameter for all of them.
//
// GlobalProblem lays the titrations' slots out as one parameter vector and is itself the
// model callable the least-squares core takes: its points are the titrations' points one
// after another, and the abscissa it is handed is a point's number 1..N, not a
// concentration, so each point can find its titration, its own total Ca (nM) and dilution.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "fitting/fit_stop.h"
#include "fitting/models.h"
#include "fitting/numeric_arrays.h"
#include "fitting/profile_likelihood.h"

// One titration in the least squares' terms (the Fit command's points and start values).
struct GlobalSeries {
  int model = 0;  // 1..10
  bool dilution = true;
  std::vector<double> x, y, Y, sigma;  // total Ca nM, response, dilution V1/Vi, weight
  std::vector<double> start;           // slots 1..ma (index 0 unused), internal units
  std::vector<int> flags;              // fit flags of slots 1..ma (index 0 unused)
  int ma() const { return static_cast<int>(start.size()) - 1; }
};

class GlobalProblem {
 public:
  // sharedSlots: slot numbers shared by every titration; every titration must have the same
  // model. Shared slots are fitted when any titration fits them.
  GlobalProblem(std::vector<GlobalSeries> series, std::vector<int> sharedSlots);

  int parameter_count() const { return m_; }
  // Global parameters 1..sign_free_count() may take any sign (responses, electrode factor and
  // offset); the others are kept positive by the least-squares step.
  int sign_free_count() const { return signFree_; }
  int point_count() const { return static_cast<int>(pointSeries_.size()) - 1; }
  int series_count() const { return static_cast<int>(series_.size()); }
  const GlobalSeries& series(int t) const { return series_[static_cast<std::size_t>(t)]; }
  const std::vector<int>& shared_slots() const { return shared_; }
  // Global parameter number of slot k of titration t.
  int global_index(int t, int slot) const;

  // The start vector (each shared slot from sharedStart, internal units) and flags, 1..M.
  Vec start_vector(const std::vector<double>& sharedStart) const;
  IVec flag_vector() const;
  // Points 1..N: the abscissa is the point's number; y, Y (unused, 1) and sigma.
  void data(Vec& x, Vec& y, Vec& Y, Vec& sigma) const;
  // Slots 1..ma of titration t from the global vector a.
  std::vector<double> local_values(const Vec& a, int t) const;
  // Chi-square of titration t's points at a.
  double series_chi_square(const Vec& a, int t);

  // The model callable: response at point number x and dR/da over all M parameters.
  double operator()(double x, double Y, Vec& a, int ma, Vec& dyda);

 private:
  struct PointRef {
    int series = 0;
    int index = 0;  // 0-based within its titration
  };
  void Assign(bool signFreePass);

  std::vector<GlobalSeries> series_;
  std::vector<int> shared_;
  std::vector<std::vector<int>> global_;  // [t][slot] -> global number
  std::vector<PointRef> pointSeries_;     // [1..N]
  int m_ = 0, signFree_ = 0;
  // Per titration: local parameter and derivative vectors and the warm-start vectors of the
  // model evaluation, reused from point to point.
  std::vector<Vec> local_, localDyda_, bound_, freeCa_;
};

struct GlobalFitOptions {
  bool extensive = false;    // broad search over the shared binding constants first
  StopCheck* stop = nullptr;
};

struct GlobalFitOutcome {
  Vec a;              // 1..M
  double chiSquare = 0.0;
  FitStop stop = FitStop::Converged;
  int code = 0;       // the last run's closing code: non-zero means covar holds no covariance
  int runs = 0;
  Mat covar;          // M x M, expanded (zero rows for unfitted parameters)
};

// Fits the problem from start: the broad search when asked (every combination of the shared
// binding constants moved half a log unit down or up, one run each, the best kept), then
// fresh runs until a run no longer lowers chi-square.
GlobalFitOutcome fit_global_problem(GlobalProblem& problem, const Vec& start, const GlobalFitOptions& options);

// Delete-d jackknife of a global fit: each of kJackknifeRepetitions repetitions leaves out
// floor(n_t / 10) + 1 random points of every titration t (never its last), refits from a
// until converged, and err[j] = sqrt((N - D) / D) x the spread of the refits, N and D the
// total points and points left out. Unfitted parameters get 0.
Vec global_jackknife_errors(const GlobalProblem& problem, const Vec& a, std::uint32_t seed, StopCheck* stop = nullptr);

// Profile-likelihood intervals of every fitted global parameter around the fit's minimum
// (fit.a, fit.chiSquare; fit.covar sets the first steps when fit.code is 0), in parameter
// order, ProfileInterval::slot being the global parameter number and the values in the
// dialog's units of the slot it stands for. n is every titration's points together and p
// every fitted global parameter. Each worker evaluates its own copy of the problem, whose
// model evaluation keeps warm-start state. Once stop asks, the searches end early and the
// intervals are meaningless.
std::vector<ProfileInterval> global_profile_intervals(const GlobalProblem& problem, const GlobalFitOutcome& fit,
                                                      int threads = 0, StopCheck* stop = nullptr);

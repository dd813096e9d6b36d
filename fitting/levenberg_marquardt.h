// Levenberg-Marquardt least squares in the Numerical Recipes arrangement (mrqmin, mrqcof,
// gaussj, covsrt; Press et al., Numerical Recipes in C, 2nd ed., section 15.5): a step
// routine called repeatedly with a damping factor lambda, the normal equations, Gauss-Jordan
// elimination with full pivoting and the expansion of the covariance matrix to all slots.
//
// Minimises chi-square = sum_i ((y_i - R(x_i, Y_i; a)) / sigma_i)^2 over the slots of a whose
// fit flag ia is non-zero. The model is any callable with the signature
//     double model(double x, double Y, Vec& a, int ma, Vec& dyda)
// returning R(x, Y; a) and storing dR/da[1..ma] in dyda (it may change a while it works,
// e.g. for finite differences, but must restore it exactly). Y is each point's own factor
// (for the binding models the dilution V1/Vi, see dilution_factors in models.h); models that
// do not need it ignore it. BindingFitModel (models.h) adapts the binding models.
//
// All arrays are 1-based: x, y, Y, sigma [1..n]; a, ia [1..ma]; covar, alpha [1..ma][1..ma].
// A run allocates its work arrays once (at lambda < 0); nothing is allocated per point or per
// step. Toolkit-free and single-threaded per run; separate runs share nothing.
#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "fitting/fit_stop.h"
#include "fitting/numeric_arrays.h"

// Elimination results, also returned by marquardt_step and fit_parameters.
enum : int {
  kEliminationOk = 0,
  kEliminationSingularColumn = 1,  // a column was chosen as pivot twice (singular matrix)
  kEliminationZeroPivot = 2,       // zero pivot, or a non-finite element (NaN, +-inf) found
};

// A non-owning reference to a model callable (see the file comment). The referenced callable
// must outlive every call made through the reference; passing a temporary straight into
// fit_parameters or marquardt_step is fine.
class FitModelRef {
 public:
  template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, FitModelRef>>>
  FitModelRef(F&& f) {  // NOLINT: implicit by design, like a function_ref
    using T = std::remove_reference_t<F>;
    if constexpr (std::is_function_v<T>) {
      target_.function = reinterpret_cast<void (*)()>(&f);
      call_ = [](Target t, double x, double Y, Vec& a, int ma, Vec& dyda) -> double {
        return reinterpret_cast<T*>(t.function)(x, Y, a, ma, dyda);
      };
    } else {
      target_.object = const_cast<void*>(static_cast<const void*>(&f));
      call_ = [](Target t, double x, double Y, Vec& a, int ma, Vec& dyda) -> double {
        return (*static_cast<T*>(t.object))(x, Y, a, ma, dyda);
      };
    }
  }
  double operator()(double x, double Y, Vec& a, int ma, Vec& dyda) const {
    return call_(target_, x, Y, a, ma, dyda);
  }

 private:
  union Target {
    void* object;
    void (*function)();
  };
  Target target_;
  double (*call_)(Target, double, double, Vec&, int, Vec&);
};

// Work arrays of gauss_jordan (pivot bookkeeping), sized for m unknowns.
struct GaussJordanWork {
  explicit GaussJordanWork(int m) : indxc(1, m), indxr(1, m), ipiv(1, m) {}
  IVec indxc, indxr, ipiv;
};

// Solves A X = B in place with full pivoting: A[1..m][1..m] is replaced by its inverse and
// B[1..m][1..k] by the solution. Ties in the pivot search go to the later element.
// Returns kEliminationOk (0); kEliminationSingularColumn (1) when a column would be pivoted
// twice; kEliminationZeroPivot (2) when the chosen pivot is exactly 0 or A or B holds a
// non-finite element (checked before any work, so A and B are then untouched). On 1 or 2 from
// the elimination itself, A and B are left partly transformed. m = 0 returns 0 at once.
int gauss_jordan(Mat& A, int m, Mat& B, int k, GaussJordanWork& work);
int gauss_jordan(Mat& A, int m, Mat& B, int k);  // allocates its own work arrays

// Spreads the mfit x mfit matrix in covar[1..mfit][1..mfit] over [1..ma][1..ma] in slot
// order given by ia; rows and columns of unfitted slots become 0.
void expand_covariance(Mat& covar, int ma, const IVec& ia, int mfit);

// Fills alpha[1..mfit][1..mfit] (symmetric), beta[1..mfit] and chisq at a, counting only the
// fitted slots (mfit = number of non-zero ia). dyda[1..ma] is caller-owned work space.
void normal_equations(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y,
                      const Vec& sigma, int n, Vec& a, const IVec& ia, int ma, Mat& alpha,
                      Vec& beta, double& chisq, Vec& dyda);

// State of one run of marquardt_step, kept between its calls. The call with lambda < 0
// allocates it; the call with lambda = 0 (or a failing elimination in that call) releases it.
class MarquardtState {
 public:
  // Slots 1..signFreeSlots may take any sign; a fitted slot above them whose step would reach
  // zero or below is halved instead (concentrations and constants stay positive). The binding
  // models use 2 (responses, electrode factor and offset); unconstrained problems pass ma.
  explicit MarquardtState(int signFreeSlots = 2) : signFreeSlots_(signFreeSlots) {}
  int fitted() const { return mfit_; }
  double accepted_chisq() const { return ochisq_; }
  // The last step's trial point was refused as unsound (see marquardt_step).
  bool last_trial_unsound() const { return unsound_; }

 private:
  friend int marquardt_step(FitModelRef, const Vec&, const Vec&, const Vec&, const Vec&, int,
                            Vec&, const IVec&, int, Mat&, Mat&, double&, double&,
                            MarquardtState&);
  void allocate(int ma, int mfit);
  void release();

  int signFreeSlots_;
  int mfit_ = 0;
  double ochisq_ = 0.0;
  bool unsound_ = false;
  Vec atry_, beta_, da_, dyda_;
  Mat oneda_;
  std::optional<GaussJordanWork> work_;  // sized mfit
};

// One Levenberg-Marquardt step.
// lambda < 0: starts a run (state allocated, lambda = 0.001, normal equations at a into
//   alpha/beta/chisq) and then takes a first step.
// lambda > 0: a step from a with damping lambda. A lower chi-square is accepted (a and alpha
//   take the trial values, lambda /= 10, chisq = the new value); otherwise lambda *= 10 and
//   chisq = the accepted value (a unchanged). A trial point that cannot be a sound fit counts
//   as a failed step whatever its chi-square: a fitted slot or the chi-square non-finite, or
//   a fitted slot's derivative column exactly zero (or non-finite) at every point. Accepting
//   such a step would leave every later damped system singular.
// lambda = 0: ends the run: covar = inverse of alpha (the covariance matrix), then covar and
//   alpha are expanded to ma x ma and the state released.
// Returns kEliminationOk, or the elimination code (1 or 2) of the damped system, in which
// case a, chisq and lambda are unchanged (and with lambda = 0 the state is released without
// the expansion). The step never moves an unfitted slot.
int marquardt_step(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y, const Vec& sigma,
                   int n, Vec& a, const IVec& ia, int ma, Mat& covar, Mat& alpha, double& chisq,
                   double& lambda, MarquardtState& state);

// How one run of the driver ended.
struct LeastSquaresRun {
  FitStop stop = FitStop::Converged;
  int code = kEliminationOk;  // the closing call's code: non-zero means covar holds no covariance
  int steps = 0;              // loop steps made (accepted and failed)
  double startChisq = 0.0;    // chi-square at the start point
};

// The driver: one run of marquardt_step with the fixed stop rule. After the starting call,
// steps repeat while fewer than 51 loop steps were made and fewer than two of them were
// "small" (chi-square fell by a relative 0.001 or less AND by 0.0001 or less in absolute terms;
// a failed step and 0/0 count as small, an unsound trial point does not: the larger lambda
// of the next step shortens the step until it stays sound); the counter is never reset. A damped system that
// cannot be solved ends the loop at once (every later step would meet the same system). Then
// the closing call with lambda = 0. On return a holds the fitted values (unfitted slots
// untouched), chisq the chi-square at a, covar the covariance and alpha the curvature matrix,
// both ma x ma with zero rows and columns for unfitted slots. No fitted slot: converged with a
// unchanged.
// stop: Converged (two small changes), StepLimit (51 steps), Singular (a damped or the closing
// system could not be solved; code says which for the closing one), NonFinite (the chi-square
// or the curvature at the accepted point is not finite), or Stopped: stopCheck asked, checked
// before every step; the run then ends at once with a at the best point so far and no
// closing call (covar and alpha unspecified). signFreeSlots: as for MarquardtState (the binding
// models' 2; a problem that lays several titrations out in one vector passes its own count).
LeastSquaresRun least_squares_run(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y,
                                  const Vec& sigma, int n, Vec& a, const IVec& ia, int ma, Mat& covar,
                                  Mat& alpha, double& chisq, StopCheck* stopCheck = nullptr,
                                  int signFreeSlots = 2);

// least_squares_run without a stop check, returning only the closing call's code: 0, or 1 or
// 2 for a singular (or non-finite) final matrix.
int fit_parameters(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y, const Vec& sigma,
                   int n, Vec& a, const IVec& ia, int ma, Mat& covar, Mat& alpha,
                   double& chisq);

// A run's chi-square must fall by more than this fraction for the polish to go on.
inline constexpr double kPolishTolerance = 1e-9;
inline constexpr int kMaxPolishRuns = 20;

struct PolishOutcome {
  FitStop stop = FitStop::Converged;
  int code = kEliminationOk;  // the last run's closing code (0: covar holds the covariance)
  int runs = 0;
};

// Polish until converged: further runs of least_squares_run from a, each starting afresh
// (lambda 0.001), until one lowers chi-square by no more than kPolishTolerance relative to its
// start. A single run stops after two small changes, which on a flat valley floor can be far
// from the minimum; fresh runs walk on along it. Ends Converged when that run converged or
// hit its step cap (chi-square no longer falls either way), Singular when that run's closing
// system was singular; StepLimit when maxRuns runs all lowered chi-square more; Stopped or
// NonFinite as soon as a run ends so. onRun, when set, is called after every run with its
// number. a, chisq, covar and alpha as after the last run.
PolishOutcome polish_until_converged(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y,
                                     const Vec& sigma, int n, Vec& a, const IVec& ia, int ma, Mat& covar,
                                     Mat& alpha, double& chisq, StopCheck* stopCheck = nullptr,
                                     int maxRuns = kMaxPolishRuns,
                                     const std::function<void(int)>& onRun = {}, int signFreeSlots = 2);

// The small-change test of the driver's stop rule, exposed for tests.
bool is_small_chisq_change(double previous, double current);

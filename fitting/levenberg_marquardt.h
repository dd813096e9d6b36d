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

#include <optional>
#include <type_traits>
#include <utility>

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

 private:
  friend int marquardt_step(FitModelRef, const Vec&, const Vec&, const Vec&, const Vec&, int,
                            Vec&, const IVec&, int, Mat&, Mat&, double&, double&,
                            MarquardtState&);
  void allocate(int ma, int mfit);
  void release();

  int signFreeSlots_;
  int mfit_ = 0;
  double ochisq_ = 0.0;
  Vec atry_, beta_, da_, dyda_;
  Mat oneda_;
  std::optional<GaussJordanWork> work_;  // sized mfit
};

// One Levenberg-Marquardt step.
// lambda < 0: starts a run (state allocated, lambda = 0.001, normal equations at a into
//   alpha/beta/chisq) and then takes a first step.
// lambda > 0: a step from a with damping lambda. A lower chi-square is accepted (a and alpha
//   take the trial values, lambda /= 10, chisq = the new value); otherwise lambda *= 10 and
//   chisq = the accepted value (a unchanged).
// lambda = 0: ends the run: covar = inverse of alpha (the covariance matrix), then covar and
//   alpha are expanded to ma x ma and the state released.
// Returns kEliminationOk, or the elimination code (1 or 2) of the damped system, in which
// case a, chisq and lambda are unchanged (and with lambda = 0 the state is released without
// the expansion). The step never moves an unfitted slot.
int marquardt_step(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y, const Vec& sigma,
                   int n, Vec& a, const IVec& ia, int ma, Mat& covar, Mat& alpha, double& chisq,
                   double& lambda, MarquardtState& state);

// The driver: one run of marquardt_step with the fixed stop rule. After the starting call,
// steps repeat while fewer than 51 loop steps were made and fewer than two of them were
// "small" (chi-square fell by a relative 0.001 or less AND by 0.0001 or less in absolute terms;
// a rejected step and 0/0 count as small); the counter is never reset. Then the closing call
// with lambda = 0. Returns that call's code: 0, or 1 or 2 for a singular final matrix (covar
// and alpha then hold no expanded covariance). On return a holds the fitted values (unfitted
// slots untouched), chisq the chi-square at a, covar the covariance and alpha the curvature
// matrix, both ma x ma with zero rows and columns for unfitted slots. No fitted slot: returns
// 0 with a unchanged. Codes of the starting and loop calls are not examined.
int fit_parameters(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y, const Vec& sigma,
                   int n, Vec& a, const IVec& ia, int ma, Mat& covar, Mat& alpha,
                   double& chisq);

// The small-change test of the driver's stop rule, exposed for tests.
bool is_small_chisq_change(double previous, double current);

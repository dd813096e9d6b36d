#include "fitting/levenberg_marquardt.h"

#include <cmath>
#include <utility>

namespace {

constexpr double kStartLambda = 0.001;
constexpr int kMaxLoopSteps = 50;  // the loop ends once more steps than this were made
constexpr int kSmallChangesToStop = 2;

bool all_finite(const Mat& M, int rows, int cols) {
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= cols; ++j)
      if (!std::isfinite(M[i][j])) return false;
  return true;
}

void swap_rows(Mat& M, int r1, int r2, int cols) {
  for (int l = 1; l <= cols; ++l) std::swap(M[r1][l], M[r2][l]);
}

int count_fitted(const IVec& ia, int ma) {
  int mfit = 0;
  for (int l = 1; l <= ma; ++l)
    if (ia[l]) ++mfit;
  return mfit;
}

bool fitted_slots_finite(const Vec& a, const IVec& ia, int ma) {
  for (int l = 1; l <= ma; ++l)
    if (ia[l] && !std::isfinite(a[l])) return false;
  return true;
}

// The diagonal of the curvature matrix is the squared length of each fitted derivative
// column: zero when the column vanished at every point.
bool columns_alive(const Mat& alpha, int mfit) {
  for (int j = 1; j <= mfit; ++j)
    if (!(std::isfinite(alpha[j][j]) && alpha[j][j] != 0.0)) return false;
  return true;
}

}  // namespace


int gauss_jordan(Mat& a, int n, Mat& b, int m, GaussJordanWork& work) {
  // A NaN never wins the pivot search, so it would leave the pivot indices unset.
  if (!all_finite(a, n, n) || !all_finite(b, n, m)) return kEliminationZeroPivot;
  IVec& indxc = work.indxc;
  IVec& indxr = work.indxr;
  IVec& ipiv = work.ipiv;
  for (int j = 1; j <= n; ++j) ipiv[j] = 0;
  int irow = 0, icol = 0;
  for (int i = 1; i <= n; ++i) {
    double big = 0.0;
    bool found = false;
    for (int j = 1; j <= n; ++j) {
      if (ipiv[j] == 1) continue;
      for (int k = 1; k <= n; ++k) {
        if (ipiv[k] == 0) {
          if (std::fabs(a[j][k]) >= big) {
            big = std::fabs(a[j][k]);
            irow = j;
            icol = k;
            found = true;
          }
        } else if (ipiv[k] > 1) {
          return kEliminationSingularColumn;
        }
      }
    }
    // Values that turned non-finite during the elimination: the previous pivot column would
    // be taken a second time.
    if (!found) return kEliminationSingularColumn;
    ++ipiv[icol];
    if (irow != icol) {
      swap_rows(a, irow, icol, n);
      swap_rows(b, irow, icol, m);
    }
    indxr[i] = irow;
    indxc[i] = icol;
    if (a[icol][icol] == 0.0) return kEliminationZeroPivot;
    const double pivinv = 1.0 / a[icol][icol];
    a[icol][icol] = 1.0;
    for (int l = 1; l <= n; ++l) a[icol][l] *= pivinv;
    for (int l = 1; l <= m; ++l) b[icol][l] *= pivinv;
    for (int ll = 1; ll <= n; ++ll) {
      if (ll == icol) continue;
      const double dum = a[ll][icol];
      a[ll][icol] = 0.0;
      for (int l = 1; l <= n; ++l) a[ll][l] -= a[icol][l] * dum;
      for (int l = 1; l <= m; ++l) b[ll][l] -= b[icol][l] * dum;
    }
  }
  for (int l = n; l >= 1; --l) {
    if (indxr[l] == indxc[l]) continue;
    for (int k = 1; k <= n; ++k) std::swap(a[k][indxr[l]], a[k][indxc[l]]);
  }
  return kEliminationOk;
}

int gauss_jordan(Mat& A, int m, Mat& B, int k) {
  GaussJordanWork work(m);
  return gauss_jordan(A, m, B, k, work);
}

void expand_covariance(Mat& covar, int ma, const IVec& ia, int mfit) {
  for (int i = mfit + 1; i <= ma; ++i)
    for (int j = 1; j <= i; ++j) covar[i][j] = covar[j][i] = 0.0;
  int k = mfit;
  for (int j = ma; j >= 1; --j) {
    if (!ia[j]) continue;
    for (int i = 1; i <= ma; ++i) std::swap(covar[i][k], covar[i][j]);
    for (int i = 1; i <= ma; ++i) std::swap(covar[k][i], covar[j][i]);
    --k;
  }
}

void normal_equations(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y,
                      const Vec& sigma, int n, Vec& a, const IVec& ia, int ma, Mat& alpha,
                      Vec& beta, double& chisq, Vec& dyda) {
  const int mfit = count_fitted(ia, ma);
  for (int j = 1; j <= mfit; ++j) {
    for (int k = 1; k <= j; ++k) alpha[j][k] = 0.0;
    beta[j] = 0.0;
  }
  chisq = 0.0;
  for (int i = 1; i <= n; ++i) {
    const double ymod = model(x[i], Y[i], a, ma, dyda);
    const double sig2i = 1.0 / (sigma[i] * sigma[i]);
    const double dy = y[i] - ymod;
    for (int l = 1, j = 0; l <= ma; ++l) {
      if (!ia[l]) continue;
      const double wt = dyda[l] * sig2i;
      ++j;
      for (int m = 1, k = 0; m <= l; ++m)
        if (ia[m]) alpha[j][++k] += wt * dyda[m];
      beta[j] += dy * wt;
    }
    chisq += dy * dy * sig2i;
  }
  for (int j = 2; j <= mfit; ++j)
    for (int k = 1; k < j; ++k) alpha[k][j] = alpha[j][k];
}

void MarquardtState::allocate(int ma, int mfit) {
  mfit_ = mfit;
  atry_ = Vec(1, ma);
  beta_ = Vec(1, ma);
  da_ = Vec(1, ma);
  dyda_ = Vec(1, ma);
  oneda_ = Mat(1, mfit, 1, 1);
  work_.emplace(mfit);
}

void MarquardtState::release() {
  atry_ = Vec();
  beta_ = Vec();
  da_ = Vec();
  dyda_ = Vec();
  oneda_ = Mat();
  work_.reset();
}

int marquardt_step(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y, const Vec& sigma,
                   int n, Vec& a, const IVec& ia, int ma, Mat& covar, Mat& alpha, double& chisq,
                   double& lambda, MarquardtState& s) {
  if (lambda < 0.0) {
    s.allocate(ma, count_fitted(ia, ma));
    lambda = kStartLambda;
    normal_equations(model, x, y, Y, sigma, n, a, ia, ma, alpha, s.beta_, chisq, s.dyda_);
    s.ochisq_ = chisq;
    for (int l = 1; l <= ma; ++l) s.atry_[l] = a[l];
  }
  const int mfit = s.mfit_;
  for (int j = 1; j <= mfit; ++j) {
    for (int k = 1; k <= mfit; ++k) covar[j][k] = alpha[j][k];
    covar[j][j] = alpha[j][j] * (1.0 + lambda);
    s.oneda_[j][1] = s.beta_[j];
  }
  const int code = gauss_jordan(covar, mfit, s.oneda_, 1, *s.work_);
  if (code != kEliminationOk) {
    if (lambda == 0.0) s.release();
    return code;
  }
  for (int j = 1; j <= mfit; ++j) s.da_[j] = s.oneda_[j][1];
  if (lambda == 0.0) {
    expand_covariance(covar, ma, ia, mfit);
    expand_covariance(alpha, ma, ia, mfit);
    s.release();
    return kEliminationOk;
  }
  for (int l = 1, j = 0; l <= ma; ++l) {
    if (!ia[l]) continue;
    const double step = s.da_[++j];
    if (-step < a[l] || l <= s.signFreeSlots_)
      s.atry_[l] = a[l] + step;
    else
      s.atry_[l] = a[l] * 0.5;  // would reach zero or below: halve the concentration/constant
  }
  bool sound = fitted_slots_finite(s.atry_, ia, ma);
  if (sound) {
    normal_equations(model, x, y, Y, sigma, n, s.atry_, ia, ma, covar, s.da_, chisq, s.dyda_);
    sound = std::isfinite(chisq) && columns_alive(covar, mfit);
  }
  s.unsound_ = !sound;
  if (sound && chisq < s.ochisq_) {
    lambda *= 0.1;
    s.ochisq_ = chisq;
    for (int j = 1; j <= mfit; ++j) {
      for (int k = 1; k <= mfit; ++k) alpha[j][k] = covar[j][k];
      s.beta_[j] = s.da_[j];
    }
    for (int l = 1; l <= ma; ++l)
      if (ia[l]) a[l] = s.atry_[l];
  } else {
    lambda *= 10.0;
    chisq = s.ochisq_;
  }
  return kEliminationOk;
}

bool is_small_chisq_change(double previous, double current) {
  // Written as negations so that NaN (0/0, or non-finite chi-squares) counts as small.
  const bool relativeSmall = !(previous / current - 1.0 >= 0.001);
  const bool absoluteSmall = !(previous - current >= 0.0001);
  return relativeSmall && absoluteSmall;
}

namespace {

// Why the closing call failed: values that are not finite, or a singular system.
FitStop failure_reason(double chisq, const Mat& alpha, int mfit) {
  return std::isfinite(chisq) && all_finite(alpha, mfit, mfit) ? FitStop::Singular : FitStop::NonFinite;
}

}  // namespace

LeastSquaresRun least_squares_run(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y,
                                  const Vec& sigma, int n, Vec& a, const IVec& ia, int ma, Mat& covar,
                                  Mat& alpha, double& chisq, StopCheck* stopCheck, int signFreeSlots) {
  LeastSquaresRun run;
  MarquardtState state(signFreeSlots);
  double lambda = -1.0;
  if (stopCheck && stopCheck->StopRequested()) {
    run.stop = FitStop::Stopped;
    return run;
  }
  int code = marquardt_step(model, x, y, Y, sigma, n, a, ia, ma, covar, alpha, chisq, lambda, state);
  run.startChisq = state.accepted_chisq();
  const int mfit = state.fitted();
  int smallChanges = 0;
  while (code == kEliminationOk && run.steps <= kMaxLoopSteps && smallChanges < kSmallChangesToStop) {
    if (stopCheck && stopCheck->StopRequested()) {
      run.stop = FitStop::Stopped;
      return run;
    }
    const double previous = chisq;
    code = marquardt_step(model, x, y, Y, sigma, n, a, ia, ma, covar, alpha, chisq, lambda, state);
    if (!state.last_trial_unsound() && is_small_chisq_change(previous, chisq)) ++smallChanges;
    ++run.steps;
  }
  const bool dampedFailed = code != kEliminationOk;
  if (!dampedFailed) run.stop = smallChanges >= kSmallChangesToStop ? FitStop::Converged : FitStop::StepLimit;
  // The failed damped system leaves the state allocated; the closing call releases it.
  lambda = 0.0;
  run.code = marquardt_step(model, x, y, Y, sigma, n, a, ia, ma, covar, alpha, chisq, lambda, state);
  if (dampedFailed || run.code != kEliminationOk || !std::isfinite(chisq))
    run.stop = failure_reason(chisq, alpha, mfit);
  return run;
}

int fit_parameters(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y, const Vec& sigma,
                   int n, Vec& a, const IVec& ia, int ma, Mat& covar, Mat& alpha,
                   double& chisq) {
  return least_squares_run(model, x, y, Y, sigma, n, a, ia, ma, covar, alpha, chisq).code;
}

PolishOutcome polish_until_converged(FitModelRef model, const Vec& x, const Vec& y, const Vec& Y,
                                     const Vec& sigma, int n, Vec& a, const IVec& ia, int ma, Mat& covar,
                                     Mat& alpha, double& chisq, StopCheck* stopCheck, int maxRuns,
                                     const std::function<void(int)>& onRun, int signFreeSlots) {
  PolishOutcome outcome;
  outcome.stop = FitStop::StepLimit;
  while (outcome.runs < maxRuns) {
    const LeastSquaresRun run =
        least_squares_run(model, x, y, Y, sigma, n, a, ia, ma, covar, alpha, chisq, stopCheck, signFreeSlots);
    ++outcome.runs;
    outcome.code = run.code;
    if (onRun) onRun(outcome.runs);
    if (run.stop == FitStop::Stopped || run.stop == FitStop::NonFinite) {
      outcome.stop = run.stop;
      return outcome;
    }
    // Negated so that 0 - 0 (an exact fit) counts as flat.
    const bool flat = !(run.startChisq - chisq > kPolishTolerance * run.startChisq);
    if (flat) {
      outcome.stop = run.stop == FitStop::Singular ? FitStop::Singular : FitStop::Converged;
      return outcome;
    }
  }
  return outcome;
}

#include "fitting/error_estimation.h"

#include <cmath>
#include <ctime>

void covariance_errors(const Mat& covar, int nParams, bool usePercent, double constantSD,
                       Vec& err) {
  for (int k = 1; k <= nParams; ++k) {
    const double sd = std::sqrt(covar[k][k]);
    err[k] = usePercent ? sd : sd * constantSD;
  }
}

int jackknife_left_out_count(int n) { return n / 10 + 1; }

void draw_left_out_positions(int n, int d, std::mt19937& rng, IVec& leftOut) {
  for (int p = 1; p <= n; ++p) leftOut[p] = 0;
  // Positions are drawn from 0..n-1 and 0 is rejected, so the last point stays in.
  std::uniform_int_distribution<int> position(0, n - 1);
  for (int drawn = 0; drawn < d;) {
    const int p = position(rng);
    if (p == 0 || leftOut[p]) continue;
    leftOut[p] = 1;
    ++drawn;
  }
}

std::uint32_t clock_seed() { return static_cast<std::uint32_t>(std::time(nullptr)); }

namespace {

// Copies the points not left out, in series order, into the subset arrays.
void build_subset(const Vec& x, const Vec& y, const Vec& Y, const Vec& sigma, int n,
                  const IVec& leftOut, Vec& sx, Vec& sy, Vec& sY, Vec& ss) {
  int m = 0;
  for (int i = 1; i <= n; ++i) {
    if (leftOut[i]) continue;
    ++m;
    sx[m] = x[i];
    sy[m] = y[i];
    sY[m] = Y[i];
    ss[m] = sigma[i];
  }
}

double spread(const Mat& results, int slot) {
  double sum = 0.0;
  for (int r = 1; r <= kJackknifeRepetitions; ++r) sum += results[r][slot];
  const double mean = sum / kJackknifeRepetitions;
  double squares = 0.0;
  for (int r = 1; r <= kJackknifeRepetitions; ++r) {
    const double deviation = results[r][slot] - mean;
    squares += deviation * deviation;
  }
  return std::sqrt(squares / (kJackknifeRepetitions - 1));
}

}  // namespace

void estimate_errors_jackknife(Vec& err, FitModelRef model, const Vec& x, const Vec& y,
                               const Vec& Y, const Vec& sigma, int n, const Vec& a,
                               const IVec& ia, int ma, Mat& covar, Mat& alpha, double& chisq,
                               std::optional<std::uint32_t> seed,
                               const std::function<void(int)>& onRepetition, StopCheck* stopCheck) {
  for (int k = 1; k <= ma; ++k) err[k] = 0.0;
  if (n < 2) return;
  const int d = jackknife_left_out_count(n);
  const int kept = n - d;
  std::mt19937 rng(seed ? *seed : clock_seed());
  IVec leftOut(1, n);
  Vec sx(1, kept), sy(1, kept), sY(1, kept), ss(1, kept), work(1, ma);
  Mat results(1, kJackknifeRepetitions, 1, ma);
  for (int r = 1; r <= kJackknifeRepetitions; ++r) {
    for (int k = 1; k <= ma; ++k) work[k] = a[k];
    draw_left_out_positions(n, d, rng, leftOut);
    build_subset(x, y, Y, sigma, n, leftOut, sx, sy, sY, ss);
    if (least_squares_run(model, sx, sy, sY, ss, kept, work, ia, ma, covar, alpha, chisq, stopCheck).stop ==
        FitStop::Stopped)
      return;
    for (int k = 1; k <= ma; ++k) results[r][k] = work[k];
    if (onRepetition) onRepetition(r);
  }
  // Delete-d jackknife: the subset spread times sqrt((n - d) / d) estimates the standard
  // error of the full-data fit.
  const double scale = std::sqrt(double(kept) / d);
  for (int k = 1; k <= ma; ++k)
    if (ia[k]) err[k] = scale * spread(results, k);
}

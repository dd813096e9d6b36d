#include "fitting/error_estimation.h"

#include <cmath>
#include <algorithm>
#include <atomic>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

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

// The refits of one worker: repetitions are taken from a shared counter, each result goes to
// its own row, so the order of completion does not matter.
struct JackknifeRun {
  JackknifeRun(const ModelMaker& makeModel, const FitData& data, const Vec& a, const IVec& ia, int ma,
               const std::vector<IVec>& leftOut, Mat& results, const JackknifeOptions& options)
      : makeModel(makeModel), data(data), a(a), ia(ia), ma(ma), leftOut(leftOut), results(results),
        onRepetition(options.onRepetition), stopCheck(options.stopCheck) {}
  const ModelMaker& makeModel;
  const FitData& data;
  const Vec& a;
  const IVec& ia;
  int ma;
  const std::vector<IVec>& leftOut;
  Mat& results;
  std::atomic<int> next{1};
  std::mutex progressMutex;
  int finished = 0;
  const std::function<void(int)>& onRepetition;
  StopCheck* stopCheck;
  std::atomic<bool> stopped{false};

  void Work() {
    const int n = data.n, kept = n - jackknife_left_out_count(n);
    const ModelFunction model = makeModel();
    Vec sx(1, kept), sy(1, kept), sY(1, kept), ss(1, kept), work(1, ma);
    Mat covar(ma, ma), alpha(ma, ma);
    for (int r = next++; r <= kJackknifeRepetitions && !stopped; r = next++) {
      for (int k = 1; k <= ma; ++k) work[k] = a[k];
      build_subset(data.x, data.y, data.Y, data.sigma, n, leftOut[static_cast<std::size_t>(r - 1)], sx, sy, sY, ss);
      double chisq = 0.0;
      if (polish_until_converged(model, sx, sy, sY, ss, kept, work, ia, ma, covar, alpha, chisq, stopCheck).stop ==
          FitStop::Stopped) {
        stopped = true;
        return;
      }
      for (int k = 1; k <= ma; ++k) results[r][k] = work[k];
      if (onRepetition) {
        std::lock_guard<std::mutex> lock(progressMutex);
        onRepetition(++finished);
      }
    }
  }
};

}  // namespace

bool estimate_errors_jackknife(Vec& err, const ModelMaker& makeModel, const FitData& data,
                               const Vec& a, const IVec& ia, int ma,
                               const JackknifeOptions& options) {
  for (int k = 1; k <= ma; ++k) err[k] = 0.0;
  const int n = data.n;
  if (n < 2) return true;
  const int d = jackknife_left_out_count(n);
  std::mt19937 rng(options.seed ? *options.seed : clock_seed());
  std::vector<IVec> leftOut;
  for (int r = 1; r <= kJackknifeRepetitions; ++r) {
    leftOut.emplace_back(1, n);
    draw_left_out_positions(n, d, rng, leftOut.back());
  }
  Mat results(1, kJackknifeRepetitions, 1, ma);
  JackknifeRun run(makeModel, data, a, ia, ma, leftOut, results, options);
  const int threads = std::clamp(options.threads > 0 ? options.threads : refit_thread_count(), 1,
                                 kJackknifeRepetitions);
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) workers.emplace_back([&run] { run.Work(); });
  run.Work();
  for (std::thread& w : workers) w.join();
  if (run.stopped) return false;
  // Delete-d jackknife: the subset spread times sqrt((n - d) / d) estimates the standard
  // error of the full-data fit.
  const double scale = std::sqrt(double(n - d) / d);
  for (int k = 1; k <= ma; ++k)
    if (ia[k]) err[k] = scale * spread(results, k);
  return true;
}

void correlation_matrix(const Mat& covar, const IVec& ia, int ma, Mat& corr) {
  for (int i = 1; i <= ma; ++i)
    for (int j = 1; j <= ma; ++j) {
      const double vi = covar[i][i], vj = covar[j][j];
      // The inverse from the elimination is symmetric only to rounding: average the halves.
      const double cij = 0.5 * (covar[i][j] + covar[j][i]);
      const bool defined = ia[i] && ia[j] && vi > 0.0 && vj > 0.0;
      corr[i][j] = !defined ? 0.0 : i == j ? 1.0 : cij / std::sqrt(vi * vj);
    }
}

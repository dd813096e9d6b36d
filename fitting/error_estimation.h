// Error estimates (one standard deviation per parameter slot, internal units) after a fit:
// from the covariance matrix of the last least-squares run, or by the delete-d jackknife
// ("Jackknife method"): 100 refits, each leaving out d = floor(n / 10) + 1 random points.
// The jackknife standard error is sqrt((n - d) / d) times the spread of the refits (Shao and
// Wu 1989, "A general theory for jackknife variance estimation", Ann. Statist. 17, 1176);
// the plain spread of the subset fits would understate the error of the full-data fit.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <random>

#include "fitting/parallel_refit.h"
#include "fitting/levenberg_marquardt.h"
#include "fitting/numeric_arrays.h"

constexpr int kJackknifeRepetitions = 100;

// err[k] = sqrt(covar[k][k]) for k = 1..nParams when the weights were the percentual sigmas
// (usePercent), otherwise sqrt(covar[k][k]) x constantSD (covar from unit weights). Unfitted
// slots have zero rows in the expanded covariance and so get 0.
void covariance_errors(const Mat& covar, int nParams, bool usePercent, double constantSD,
                       Vec& err);

// d = floor(n / 10) + 1, the number of points left out in each repetition.
int jackknife_left_out_count(int n);

// Flags d distinct positions in leftOut[1..n] (leftOut[p] = 1, all others 0), each drawn
// uniformly from 1..n-1 with rejection of repeats: the last point of the series is never left
// out. Needs 1 <= d <= n - 1.
void draw_left_out_positions(int n, int d, std::mt19937& rng, IVec& leftOut);

// A seed from the clock (seconds), for runs that need no reproducibility.
std::uint32_t clock_seed();

// Delete-d jackknife for the fit a[1..ma] with flags ia on the full data set (Y: each point's
// own factor, as for fit_parameters). The left-out positions of all repetitions are drawn
// first, in repetition order, from one generator; the subsets are then refitted on
// options.threads workers (each with its own model from makeModel), each starting from a and
// polished until converged (polish_until_converged), so the result for a given seed does not
// depend on the thread count. A refit that meets a singular matrix contributes the vector it
// reached.
// err[k] = sqrt((n - d) / d) x sqrt(sum_r (a_rk - mean_k)^2 / 99) for fitted slots, 0 for the
// others. onRepetition, when set, is called (from one thread at a time) with the count of
// finished repetitions 1..100. stopCheck, when set, is polled between steps by every worker;
// once it asks to stop the function returns with err = 0 for every slot and returns false.
// Needs n >= 2; smaller n gives err = 0 for every slot.
struct JackknifeOptions {
  std::optional<std::uint32_t> seed;  // none: clock_seed()
  int threads = 0;                    // 0: refit_thread_count()
  std::function<void(int)> onRepetition;
  StopCheck* stopCheck = nullptr;     // shared by the workers, so it must be thread-safe
};
bool estimate_errors_jackknife(Vec& err, const ModelMaker& makeModel, const FitData& data,
                               const Vec& a, const IVec& ia, int ma,
                               const JackknifeOptions& options = {});

// Correlation matrix of the fitted slots from the covariance matrix covar[1..ma][1..ma]:
// corr[i][j] = covar[i][j] / sqrt(covar[i][i] covar[j][j]); 0 where a variance is not
// positive. Fills corr[1..ma][1..ma] (unfitted slots' rows and columns 0, diagonal 1 for
// fitted slots with positive variance).
void correlation_matrix(const Mat& covar, const IVec& ia, int ma, Mat& corr);

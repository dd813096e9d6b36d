// The Fit command: gathers the titration points from the grid, converts the Fit dialog's
// start values into the model's internal parameters, runs the model family's schedule of
// Levenberg-Marquardt runs (single-slot pre-fits, full fits, the two-site chelator re-seed
// step and the optional broad search), samples the 498-point fitted curve, estimates the
// errors (covariance or jackknife) and, when asked, the profile-likelihood intervals, reviews
// how well the data fix each row (correlation, warnings) and stores the fit record in the
// document.
//
// The window shows the Fit dialog, then either calls run_fit_command on the UI thread, or
// splits it for a worker thread: prepare_fit (UI thread, reads the document), compute_fit
// (worker, touches no document), apply_fit (UI thread). It shows the returned messages in
// order (application title, OK) and updates the views in every case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/fit_settings.h"
#include "document/titration.h"
#include "fitting/levenberg_marquardt.h"

inline constexpr const char* kFitProgressText = "Calculating";
inline constexpr int kFitProgressColourR = 210, kFitProgressColourG = 0, kFitProgressColourB = 0;
inline constexpr const char* kFitTooFarMessage =
    "Start parameters are to far away. \nUse simulation tool to find better start parameters";
inline constexpr const char* kFitProteinHighMessage =
    "Fitted protein concentration high.\n Consider other start values for parameters";

// Progress of a running fit, and its stop channel. Positions rise from 0, stay below 100
// while the fit runs and end with exactly one call with 100 (none when the fit was stopped).
// StopRequested is polled between least-squares steps; once it returns true the fit ends as
// "stopped" within one step. SetPosition is called from the thread that runs compute_fit;
// StopRequested also from the jackknife's and the profiles' worker threads, so an override
// must be thread-safe (an atomic flag).
class FitProgress : public StopCheck {
 public:
  virtual void SetPosition(int position) = 0;
  bool StopRequested() override { return false; }
};

// The stop reason as the Parameters dialog words it: "Converged", "Stopped at the run limit",
// "Singular matrix", "Non-finite values", "Stopped".
const char* fit_stop_text(FitStop stop);

// How the document's fit ended, as the Parameters dialog shows it under the fit's values:
// "Fit ended: Converged" and "Least-squares runs: 37"; for a fit read from a file, which does
// not keep them, one line "Fit ended: not known (read from a file)".
std::vector<std::string> fit_run_lines(const FitRunRecord& run);

struct FitOptions {
  std::optional<std::uint32_t> jackknifeSeed;  // none: seeded from the clock
  int threads = 0;  // workers for the jackknife and the profiles; 0: one per core (at most 8)
};

// Everything the computation needs, taken from the document and the dialog.
struct FitJob {
  int model = 0;
  int ma = 0;                       // slot count of the model
  std::vector<GridPoint> gathered;  // rows with non-zero response and volume, in row order
  // The points the least squares sees (1-based copies are made by compute_fit). Electrode
  // models leave out points whose total Ca is 0: their response, log10 of 0, is not finite.
  std::vector<double> x, y, Y, sigma;  // total Ca nM, response, dilution V1/Vi, weight
  std::vector<double> xAll, vAll;      // every gathered point's total Ca (nM) and volume
  double start[ParamSet::kSlots] = {};  // converted start values, slots 1..ma
  int flags[ParamSet::kSlots] = {};     // fit flags, slots 1..ma
  double proteinStartUM = 0.0;          // the typed protein start value (uM)
  bool dilution = false;
  bool extensive = false;
  bool covarianceErrors = false;
  bool jackknifeErrors = false;
  bool profileIntervals = false;
  bool usePercent = true;
  double constantSD = 0.0;
  double startCaUM = 0.0;
  float temperatureK = 298.15f;
};

// nullopt when there is nothing to fit: fewer than 3 rows with response and volume, fewer
// than 3 points left once an electrode model drops total Ca 0, or an invalid model index.
std::optional<FitJob> prepare_fit(const Titration& doc, const FitSettings& settings);

struct FitResult {
  double params[ParamSet::kSlots] = {};  // slot 0: chi-square; 1..ma fitted values
  double errors[ParamSet::kSlots] = {};
  bool haveErrors = false;
  int status = 0;   // closing code of the last full run: 0, or 1 / 2 for a singular matrix
  // Why the final run ended (the polish's verdict), and the least-squares runs made: the
  // schedule's, the broad search's and the polish's (the jackknife's refits excluded).
  // Stopped: the caller asked; nothing else in the result is meaningful.
  FitStop stop = FitStop::Converged;
  int runs = 0;
  int polishRuns = 0;  // of runs, those of the polish after the schedule
  FitPoint curve[Titration::kCurvePoints];
  std::vector<std::string> messages;  // protein warning, then the start-value message
  FitDiagnostics diagnostics;         // profile intervals, correlation and warnings
};

FitResult compute_fit(const FitJob& job, FitProgress* progress, const FitOptions& options = {});

// Stores the record (m_fit), how the fit ended (m_fitRun), the diagnostics (m_fitDiagnostics),
// the curve, the gathered points, start Ca, temperature, m_bShowFit = 1 and marks the
// document modified.
void apply_fit(Titration& doc, const FitJob& job, const FitResult& result);

struct FitOutcome {
  bool fitted = false;
  FitResult result;  // meaningful when fitted, or with result.stop == Stopped
};

// The whole command after the dialog ended with OK. A fit stopped through the progress
// leaves the document untouched (fitted = false, result.stop = Stopped).
FitOutcome run_fit_command(Titration& doc, const FitSettings& settings, FitProgress* progress,
                           const FitOptions& options = {});

// The fitted curve of the parameters params[1..ma] (internal units) over the job's range, as
// the Fit command samples it: 498 points from 0.2 % to 99.6 % of the larger of the first and
// last total Ca (uM in curve[].x), with the volumes in step for the dilution.
void sample_fit_curve(const FitJob& job, const double params[ParamSet::kSlots], FitPoint curve[Titration::kCurvePoints]);

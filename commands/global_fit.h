// The global fit of several titrations of one protein: every document's fit supplies that
// titration's start values, check boxes, start Ca and dilution setting; the shared rows
// (by default every log K row) become one parameter for all, starting from the mean of the
// titrations' own values where those are determined.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/fit_command.h"
#include "commands/fit_settings.h"
#include "document/fit_diagnostics.h"
#include "document/titration.h"
#include "fitting/fit_stop.h"

struct GlobalFitInput {
  std::string name;  // shown in messages and results (the file name)
  const Titration* doc = nullptr;
};

struct GlobalFitRequest {
  std::vector<int> sharedRows;  // Fit-dialog rows 1..11; empty: every log K row
  bool extensive = false;
  FitSettings errors;           // the error group every titration is weighted and estimated with
  std::optional<std::uint32_t> jackknifeSeed;
  bool profileIntervals = false;  // 68 % and 95 % profile-likelihood intervals of every fitted row
  int threads = 0;                // for the profiles; 0: every core
  StopCheck* stop = nullptr;
};

struct GlobalSharedRow {
  int row = 0;
  std::string name;        // the row's label, "log K1:"
  double value = 0.0;      // dialog units
  double error = 0.0;      // dialog units (log units for constants); 0 without errors
  std::optional<RowInterval> interval;  // the profile intervals, when asked for
};

struct GlobalTitrationPart {
  std::string name;
  int n = 0;
  double chiSquare = 0.0;
  double values[kValueRows + 1] = {};  // dialog units, rows 1..ma
  double errors[kValueRows + 1] = {};
  // Profile intervals of the rows this titration fits, its own and the shared ones alike
  // (the shared rows' are those of GlobalSharedRow), when asked for.
  std::optional<RowInterval> intervals[kValueRows + 1];
  FitJob job;        // what apply_global_part stores
  // This titration's part as a fit record (its own chi-square in slot 0), reviewed as a fit of
  // its own (correlations from its block of the global covariance, its intervals, warnings).
  FitResult result;
};

struct GlobalFitResult {
  int model = 0;
  int n = 0, p = 0;
  double chiSquare = 0.0;
  FitStop stop = FitStop::Converged;
  int runs = 0;
  bool haveErrors = false;
  bool haveProfile = false;
  std::vector<GlobalSharedRow> shared;
  std::vector<GlobalTitrationPart> titrations;
};

// Throws std::invalid_argument with a message for the user: a document without a fit, models
// that differ, a shared row the model does not have or a titration does not fit, too few points.
// Profile intervals, when asked for, follow the global chi-square: n is every titration's
// points and p every fitted global parameter.
// Once request.stop asks, the fit, its jackknife or its profiles end early and the result's
// stop is Stopped: its values are incomplete and it carries no errors and no intervals.
GlobalFitResult run_global_fit(const std::vector<GlobalFitInput>& inputs, const GlobalFitRequest& request);

// The warnings of the parts' reviews for the whole fit: one for a shared row (its interval and
// correlations are the same in every part), and each titration's own, its name in front
// ("b.bwd: Protein concentration is not determined by these data: ..."). The not-converged
// warning is the caller's to word for the whole fit.
std::vector<FitWarning> global_fit_warnings(const GlobalFitResult& result);

// Stores a titration's part of the global fit as its document's fit.
void apply_global_part(Titration& doc, const GlobalTitrationPart& part);

// Every log K row of the model, the default shared rows.
std::vector<int> default_shared_rows(int model);

// How well the data fix each fitted row, in words: the correlation matrix of the fitted rows
// from the covariance matrix, and the warnings ("unbounded", "correlated", "not_converged",
// "at_bound") a fit record carries beside its numbers.
#pragma once

#include <string>
#include <vector>

#include "document/fit_diagnostics.h"
#include "document/titration.h"
#include "fitting/numeric_arrays.h"
#include "fitting/profile_likelihood.h"

inline constexpr double kCorrelatedLimit = 0.99;      // |r| above this: not separately determined
inline constexpr double kUnboundedLogError = 2.0;     // covariance error in log units
inline constexpr double kAtBoundFraction = 1e-3;      // of the start value

// What the fit produced, in internal units, slots 1..ma (slot k is the Fit dialog's row k).
struct FitReviewInput {
  int model = 0;
  int ma = 0;
  const int* flags = nullptr;   // [0..ma], fit flags
  const double* params = nullptr;  // [0..ma], fitted values
  const double* start = nullptr;   // [0..ma], start values
  const Mat* covar = nullptr;      // ma x ma; nullptr when the final matrix was singular
  double errorScale = 1.0;         // covariance -> variance of the parameters (SD^2 factor is its square)
  bool converged = true;
  std::string stopText;            // why it stopped, when not converged
  const std::vector<ProfileInterval>* profile = nullptr;  // nullptr: none computed
};

// The row's label as the Fit dialog shows it ("log K1", "Protein concentration:").
std::string fit_row_label(int model, int row);
// The label without its trailing colon, for sentences; the Fit dialog's own label where the
// model has two rows of the same label.
std::string fit_row_name(int model, int row);

FitDiagnostics review_fit(const FitReviewInput& in);

// A row's 68 % profile interval as the results show it: "5.93 (5.88–5.98)"; an open side
// gives "> 9.2" or "< 2.1" (the closed bound, one decimal for log rows), both open "not
// determined". Log rows are written with two decimals, concentrations (uM) and responses
// with four significant digits.
std::string interval_text(int model, const RowInterval& interval);

// The fit's Parameters dialog: the model, each fitted row with its 68 % and 95 % profile
// intervals (or its value alone without profiles), the correlations above 0.9 and every
// warning. Empty title when no fit is shown.
struct FitReviewLines {
  std::string title;
  std::vector<std::string> rows;
  std::vector<std::string> correlations;
  std::vector<std::string> warnings;
  std::vector<std::string> run;  // how the fit ended (fit_run_lines)
};
FitReviewLines fit_review_lines(const Titration& doc);

// The panel's one line: the first warning's text, with "(+N more)" when there are others.
std::string warnings_summary_line(const FitDiagnostics& d);

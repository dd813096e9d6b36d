// Which model do the data support? Every candidate model of the fitted model's measurement
// kind is fitted to the same titration with start values estimated from the data, and the
// candidates are ranked by the corrected Akaike criterion (AICc), with the Bayesian criterion
// (BIC), Akaike weights and, for nested pairs, the extra-sum-of-squares F test beside it.
//
// A candidate shares with the document's fit the start Ca, the dilution setting, the
// temperature and every row both models have (responses, protein, chelator log Kd and
// concentration, electrode factor and offset); its fit flags are the Fit dialog's defaults
// for the model, since a document does not store the check boxes of its fit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/fit_command.h"
#include "commands/fit_settings.h"
#include "document/fit_diagnostics.h"
#include "document/titration.h"

// Models measured the same way, which alone can be compared on one titration: the protein's
// own signal {1, 3}, one chelator {2, 4, 6}, the electrode {7, 8, 9, 10}; model 5 stands alone.
std::vector<int> models_of_same_kind(int model);
// Nested pairs of one kind (simple, complex): the simple model is the complex one with sites
// removed. 1 < 3; 2 < 4 < 6; 7 < 8 < 9 < 10.
bool is_nested_pair(int simple, int complex);

struct CandidateFit {
  int model = 0;
  bool fitted = false;
  std::string message;    // why it was not fitted
  int n = 0;              // points the least squares saw
  int p = 0;              // fitted parameters
  double chiSquare = 0.0;
  double aicc = 0.0, bic = 0.0, weight = 0.0;
  double values[kValueRows + 1] = {};  // dialog units, rows 1..11
  FitSettings settings;                // what the candidate was fitted with
  std::optional<FitJob> job;
  FitResult result;  // its stop reason, run count and diagnostics (warnings) stay with it

  const std::vector<FitWarning>& Warnings() const { return result.diagnostics.warnings; }
};

struct FTestResult {
  int simple = 0, complex = 0;
  double F = 0.0, p = 1.0;
};

struct ModelComparison {
  int n = 0;
  std::vector<CandidateFit> candidates;  // in the order asked for
  int best = 0;                          // model with the largest Akaike weight; 0 when none
  std::vector<FTestResult> fTests;
  std::string verdict;                   // one plain sentence on what the data support
};

struct ComparisonOptions {
  std::vector<int> models;  // empty: every model of the fit's kind
  // The error settings every candidate is fitted with (the error group of a FitSettings).
  FitSettings errors;
  std::optional<std::uint32_t> jackknifeSeed;
};

// AICc = n ln(chi2/n) + 2k + 2k(k+1)/(n-k-1) and BIC = n ln(chi2/n) + k ln n with k = p + 1
// (the noise variance counts as a parameter); AICc is infinite when n - k - 1 <= 0.
double aicc(double chiSquare, int n, int p);
double bic(double chiSquare, int n, int p);
// F = ((chi2_s - chi2_c)/(p_c - p_s)) / (chi2_c/(n - p_c)) and its upper-tail probability.
FTestResult extra_sum_of_squares_test(const CandidateFit& simple, const CandidateFit& complex);

// The warnings that make a candidate a doubtful choice, most serious first: it did not converge
// ("not_converged"), or the data do not fix one of its rows ("unbounded") or do not separate
// two of them ("correlated"). Empty for a candidate that was not fitted.
std::vector<const FitWarning*> doubtful_warnings(const CandidateFit& candidate);

// The sentence the verdict adds when the recommended candidate has doubtful warnings:
// "Its fit has a warning: TEXT." or "Its fit has N warnings; the first: TEXT."; empty without.
std::string doubtful_fit_sentence(const CandidateFit& candidate);

// Throws std::invalid_argument with a message for the user when the document has no fit or a
// requested model is not of the fit's kind.
ModelComparison compare_models(const Titration& doc, const ComparisonOptions& options);

// The verdict sentence of ranked candidates (exposed for the tests).
std::string comparison_verdict(const ModelComparison& comparison);

// The candidate's fit settings, from the document's fit (exposed for the tests).
FitSettings candidate_settings(const Titration& doc, int model, const FitSettings& errors);

// Stores the candidate's fit in doc as the Fit command would.
void apply_candidate(Titration& doc, const CandidateFit& candidate);

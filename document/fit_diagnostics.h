// What a fit made in this session says about how well the data fix each fitted row: the
// profile-likelihood intervals, the correlation matrix and the warnings. Plain data kept
// beside the fit record; it is not part of the .bwd file, so a document read from disk has
// none until it is fitted again.
#pragma once

#include <optional>
#include <string>
#include <vector>

// One fitted row's profile-likelihood intervals in the Fit dialog's units (log K, log Kd, uM,
// response); an open side is nullopt.
struct RowInterval {
  int row = 0;       // the Fit dialog's row number, 1..11
  std::string name;  // its label
  double value = 0.0;
  std::optional<double> lo68, hi68, lo95, hi95;
};

// kind: "unbounded", "correlated", "not_converged" or "at_bound"; rows: the rows it concerns.
struct FitWarning {
  std::string kind;
  std::vector<int> rows;
  std::string text;
};

struct FitDiagnostics {
  bool valid = false;  // false: no fit of this session (nothing to show)
  bool haveProfile = false;
  std::vector<int> fittedRows;                    // in row order
  std::vector<RowInterval> profile;
  std::vector<int> correlationRows;               // fitted rows, in row order
  std::vector<std::vector<double>> correlation;   // [i][j] over correlationRows; empty: none
  std::vector<FitWarning> warnings;

  // The interval of a row, or nullptr when it has none.
  const RowInterval* IntervalOf(int row) const {
    for (const RowInterval& r : profile)
      if (r.row == row) return &r;
    return nullptr;
  }
};

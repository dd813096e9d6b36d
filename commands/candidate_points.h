// The measured points of a compared candidate beside what the candidate's fit predicts at
// each of them, for the comparison graph's curves and residual strips.
#pragma once

#include <vector>

#include "commands/model_comparison.h"

struct CandidatePoint {
  double x = 0.0;       // total Ca, uM (start Ca included), as the graph's x axis
  double y = 0.0;       // measured response
  double fitted = 0.0;  // the candidate's response there
  double Residual() const { return y - fitted; }
};

// Every point the candidate's least squares saw, in row order; empty for a candidate that
// was not fitted.
std::vector<CandidatePoint> candidate_points(const CandidateFit& candidate);

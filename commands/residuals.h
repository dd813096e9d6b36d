// Residuals of the shown fit: measured response minus the fitted model at each titration
// point of the grid the fit takes (rows with a response and a volume), against start Ca +
// added Ca in uM as the graph plots the points. Computed from the fit record and the grid,
// so a fit read from a file has them too, and an edited point shows its new residual.
#pragma once

#include <string>
#include <vector>

#include "document/titration.h"

struct ResidualPoint {
  double x = 0.0;         // start Ca + added Ca, uM (the graph's x)
  double residual = 0.0;  // response - fitted response
};

// Empty while no fit is shown or the record's model is invalid. Electrode models leave out
// points whose total Ca is 0, as the fit does.
std::vector<ResidualPoint> fit_residuals(const Titration& doc);

// The residuals as text: a header line "Total Ca/uM<TAB>Residual" and one "%g<TAB>%g" line
// per point (C locale).
std::string residuals_text(const std::vector<ResidualPoint>& points);

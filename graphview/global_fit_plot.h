// The graph of a global fit, drawn by the model-comparison painter: one series per titration,
// in its own colour, with the response normalised so that each titration's fitted curve runs
// from 0 to 1 and the titrations share one total-Ca axis (uM); the residual strips use the
// same scale, so a titration that disagrees with the shared constants stands out.
#pragma once

#include <vector>

#include "commands/global_fit.h"
#include "graphview/comparison_painter.h"

// Empty for a result without titrations. A titration whose curve is flat keeps its offset
// removed and its scale.
std::vector<ComparisonPlotSeries> global_fit_series(const GlobalFitResult& result);

// How precisely will a planned titration determine the constants? The grid's planned
// additions and volumes (as Generate Data wrote them) are given the responses of the model
// with the constants the user expects, and the series is fitted back: the fit's errors are
// the errors to expect from the real experiment at that reading noise. Covariance errors
// need no noise in the simulated readings (they depend on the design and the noise level
// only); the jackknife needs scatter, so its readings get seeded Gaussian noise.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "commands/fit_settings.h"
#include "document/titration.h"

struct PredictedRow {
  int row = 0;
  double value = 0.0;  // the expected value, dialog units
  double error = 0.0;  // the error to expect, dialog units (log units for constants)
};

struct PrecisionPrediction {
  bool ok = false;
  std::string message;  // why nothing was predicted, when !ok
  int n = 0;            // planned points
  std::vector<PredictedRow> rows;  // the fitted rows, in row order
};

// expected: model, the expected values (rows 1..11), check boxes, start Ca, dilution and the
// error method (covariance unless the jackknife is chosen). noiseSD: one reading's standard
// deviation, response units, > 0.
PrecisionPrediction predict_precision(const Titration& plan, const FitSettings& expected, double noiseSD,
                                      std::uint32_t seed = 1);

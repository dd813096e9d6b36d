// Start values derived from the data, so a user need not guess them: the rows the user knows
// (concentrations, chelator constants, electrode factor, fixed rows) are kept as typed, the
// fitted binding constants come from a coarse grid over log K, and the fitted responses (or
// electrode offset and factor) are solved exactly for every grid point, since the response
// is linear in them once the constants are fixed. The best grid point is then fitted with the
// broad search, and the fitted values become the start values.
#pragma once

#include <string>

#include "commands/fit_command.h"
#include "commands/fit_settings.h"
#include "document/titration.h"

struct AutoStartOutcome {
  bool ok = false;
  std::string message;      // why nothing was estimated, when !ok
  double chiSquare = 0.0;   // of the fit the start values come from
  double gridChiSquare = 0.0;  // of the best grid point, before that fit
};

inline constexpr const char* kAutoStartNoPointsMessage =
    "Start values cannot be estimated: the grid needs at least three rows with a response and a volume.";

// Replaces the start values of the fitted rows of s (model s.m_nModelIndex + 1) with values
// estimated from doc's points; unfitted rows keep theirs. s is left alone when !ok.
AutoStartOutcome estimate_start_values(const Titration& doc, FitSettings& s, FitProgress* progress = nullptr);

// log K grid of the first stage, in log units of M^-1.
inline constexpr double kAutoStartLogKLow = 2.0, kAutoStartLogKHigh = 10.0, kAutoStartLogKStep = 0.5;

// The same for the Simulate dialog, which has no check boxes: the rows the Fit dialog
// adjusts by default for the model are estimated, the others keep their values.
AutoStartOutcome estimate_simulation_values(const Titration& doc, SimulateSettings& s);

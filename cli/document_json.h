// A titration document as JSON, for bindwise-cli's output. Parameter values stay in the
// document's internal units (nM, nM^-1); start Ca is uM, temperature kelvin, volumes ml.
//
// DocumentToJson gives the object `show` prints, with the keys
//   cells (99 rows of 3 texts), values (99 rows of 3 parsed numbers), description, title,
//   y_caption, x_caption, temperature_k, start_ca_um, show_fit, fit, have_sims, sims, plan,
//   axes
// and the pieces below are the same objects for subcommands that print only a part.
// Keys keep the order listed here (ordered_json). Numbers that are not finite appear as null.
#pragma once

#include <nlohmann/json.hpp>

#include "document/fit_diagnostics.h"
#include "document/titration.h"

// null while no fit is shown (m_bShowFit 0); else
// {model, electrode, dilution, start_ca_um, chi_square, params [slots 1..n],
//  errors [slots 1..n] or null when the record has no error estimates}, and for a fit made in
// this run also profile [{row, name, value, ci68 [lo, hi], ci95 [lo, hi]}] (when asked for;
// null for an open side), correlation_rows [rows], correlation [[r]] and
// warnings [{kind, rows, text}].
nlohmann::ordered_json FitToJson(const Titration& doc);

// A fit's warnings as `fit` prints them: [{kind, rows [Fit dialog rows], text}].
nlohmann::ordered_json WarningsToJson(const FitDiagnostics& diagnostics);

// One simulation record: {slot, model, electrode, dilution, start_ca_um, params [1..n]}.
nlohmann::ordered_json SimulationToJson(const ParamSet& sim, int slot);

// The m_nSims simulations in plot-list order (list position 1 first).
nlohmann::ordered_json SimulationsToJson(const Titration& doc);

// {start_volume_ml, vol_unit, conc_unit, steps: [{start, additions, volume, conc}]}; the
// units are the stored indices (vol_unit 0 ml, 1 ul, 2 nl; conc_unit 0 mM, 1 uM, 2 nM).
nlohmann::ordered_json PlanToJson(const Titration& doc);

// {x_min, x_max, y_min, y_max, fixed}
nlohmann::ordered_json AxesToJson(const Titration& doc);

nlohmann::ordered_json DocumentToJson(const Titration& doc);

// The float temperature as the decimal it was typed as (298.15f -> 298.15, not
// 298.149993896...).
double float_as_decimal(float value);

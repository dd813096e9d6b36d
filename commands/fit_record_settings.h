// The Fit dialog's settings that reproduce a stored fit: its model, its values as typed (uM,
// log K, log Kd, responses), start Ca, dilution and temperature. A document does not store
// the fit's check boxes: a record with error estimates shows them (a fitted slot has a
// non-zero error, an unfitted one exactly 0); without, the model's default check boxes apply.
#pragma once

#include "commands/fit_settings.h"
#include "document/titration.h"

// errors supplies the error group (and every other field not named above). The document's
// fit must hold a valid model.
FitSettings settings_from_fit_record(const Titration& doc, const FitSettings& errors);

// A slot's internal value in the unit the Fit dialog shows it in.
double dialog_value(int model, int slot, double internal);
// A slot's error in that unit: uM for concentrations, log units for constants (the error of
// log10 K to first order, s / (K ln 10)), as is for the rest.
double dialog_error(int model, int slot, double internal, double error);

// The model registry as JSON, for `bindwise-cli models` and for any output that names a
// model's parameters: a Fit dialog row with its slot, kind, labels and unit.
#pragma once

#include <nlohmann/json.hpp>

#include "fitting/model_registry.h"

// "response", "concentration", "log_k", "log_kd", "electrode_factor" or "spare".
const char* SlotKindName(SlotKind kind);
// {"row", "slot", "kind", "label" (results panel), "dialog_label", "report_label", "unit"}.
nlohmann::ordered_json DialogRowToJson(const DialogRow& row);
// Number, names, family, electrode flag, slot count, every dialog row with its default fit
// flag, and the spare slots. model must be valid.
nlohmann::ordered_json ModelToJson(int model);

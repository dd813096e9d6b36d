// What the Fit and Simulate dialogs hold, and every rule behind them that is not drawing:
// the members with their defaults, the per-model row layout (labels, shown rows, "uM" rows,
// pictures, descriptions) and fit-flag defaults as the model registry gives them, the
// error-method radio buttons, "Copy to Fit", and the conversion of the typed values (uM,
// log K, log Kd, responses) into a model's internal parameter vector (nM, nM^-1, nM).
//
// The dialogs copy their controls into these structs and call these functions; the commands
// (fit_command.h, simulate_command.h) take the structs.
#pragma once

#include "document/titration.h"

inline constexpr int kValueRows = 11;  // parameter rows of the dialogs, numbered 1..11

// The Fit dialog's members. Arrays are indexed by row 1..11 (index 0 unused).
struct FitSettings {
  FitSettings();

  int m_nModelIndex = 0;  // model number - 1
  double m_dValue[kValueRows + 1] = {};
  int m_bFitSlot[kValueRows + 1] = {};  // all rows checked by the constructor
  double m_dStartCa = 0.0;              // "Ca conc. start:", uM
  int m_bDilution = 1;                  // "Signal effected by dilution:"
  int m_bEstimateErrors = 0;
  double m_dPercentError = 0.0;
  double m_dConstantSD = 0.0;
  int m_bUsePercent = 1;     // weights from the percentage (percent and jackknife choices)
  int m_bUseConstantSD = 0;
  int m_bUseJackknife = 0;
  int m_bProfile = 0;  // "Profile-likelihood intervals", beside either error choice
  BYTE m_bConstantSDRadio = 0;
  int m_bExtensive = 0;          // broad search
  double m_dTemperature = 25.0;  // degrees C
  int m_nLastModel = 18;         // model index at the last configuration; 18 = none yet
};

// The Simulate dialog's members.
struct SimulateSettings {
  int m_nModelIndex = 0;
  double m_dValue[kValueRows + 1] = {};
  double m_dStartCa = 0.0;  // "Ca start konc:", uM
  int m_bDilution = 1;
  BYTE m_bCopyToFit = 0;    // "Copy to Fit" pressed in this opening of the dialog
};

// Row layout of one model in a dialog. Rows beyond rowsShown are hidden and their labels
// blank. Rows 1-4 are shown for every model.
struct DialogModelLayout {
  int bitmap = 0;  // picture resource number
  int rowsShown = 0;
  const char* labels[kValueRows + 1] = {};  // rows 1..11, "" for hidden rows
  bool uMRow[kValueRows + 1] = {};          // rows that show the "uM" unit label
  const char* description = "";
};

// modelIndex 0..9; an index outside gives an empty layout (no rows).
DialogModelLayout fit_dialog_layout(int modelIndex);
DialogModelLayout simulate_dialog_layout(int modelIndex);
// Combo texts, model index 0..9.
const char* fit_dialog_model_name(int modelIndex);
const char* simulate_dialog_model_name(int modelIndex);

// Opening the Fit dialog: takes the document's last model index into m_nLastModel, then runs
// the model configuration for m_nModelIndex.
void fit_dialog_open(FitSettings& s, Titration& doc);
// The model configuration (on opening and on every combo change, after m_nModelIndex has been
// set): applies the fit-flag defaults of the model (some every time, some only when the index
// differs from m_nLastModel), then stores the index in m_nLastModel and in the document.
void fit_dialog_configure(FitSettings& s, Titration& doc);

// The three radio buttons of the "Estimate errors" group.
enum class ErrorRadio { Percent = 1078, ConstantSD = 1079, Jackknife = 1080 };
void fit_dialog_choose_error_radio(FitSettings& s, ErrorRadio radio);
ErrorRadio fit_dialog_checked_radio(const FitSettings& s);

// Opening the Simulate dialog forgets an earlier "Copy to Fit".
void simulate_dialog_open(SimulateSettings& s);
// "Copy to Fit": model index, the eleven values and the start Ca; nothing else of the Fit
// dialog changes.
void copy_simulation_to_fit(const SimulateSettings& sim, FitSettings& fit);

// Typed row values (rows 1..11) -> internal parameter slots 1..n of model (1..10); slots
// above n are zero. Returns n, the model's slot count (model 8: 8, its slot 8 is 0).
int convert_start_values(int model, const double rowValues[kValueRows + 1],
                         double slots[ParamSet::kSlots]);
// Fit flags of slots 1..n from the dialog's check boxes, with the spare slots of the
// electrode models (8: 6-8, 9: 8-9, 10: 10-11) never fitted. Returns n.
int fit_flags_for_model(int model, const int fitSlot[kValueRows + 1], int flags[ParamSet::kSlots]);
// Slots stored in a record: a fit stores 4, 7, 6, 9, 9, 11 by family, a simulation 4, 8, 6,
// 9, 9, 11 (the two-site chelator family keeps its eighth slot).
int fit_record_param_count(int model);
int simulation_record_param_count(int model);

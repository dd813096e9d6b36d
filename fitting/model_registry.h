// The ten binding models as the rest of the program knows them, written once: number, names,
// family, electrode flag and slot count; per parameter slot what it holds, its Fit and
// Simulate dialog row, its default fit flag, its unit and the rows of the results panel, the
// printed report and the Parameters dialog that show it; per model the summary rows
// (chi-square, start Ca, free energies), the slots the fit schedule varies and the slot
// counts a record stores. Dialogs, displays, the report, the fit command and the command line
// all read these tables; nothing else spells a model's labels or slot layout.
//
// Slot k is always shown in dialog row k. Spare slots (electrode models only) come last and
// have no row.
#pragma once

#include <optional>
#include <vector>

enum class ModelFamily { OneSite, TwoSiteChelator, TwoSite, FourSiteChelator, TwoSiteTwoChelators, SixSiteChelator };

// What a parameter slot holds, which decides how it is converted between what the user types
// or reads and the internal units (nM, nM^-1).
enum class SlotKind {
  Response,              // signal of a species: no conversion
  Concentration,         // uM <-> nM
  AssociationConstant,   // log K (M^-1) <-> nM^-1
  DissociationConstant,  // log Kd (M) <-> nM
  ElectrodeFactor,       // electrode models' proportional factor and offset: no conversion
  Spare                  // electrode models' unused slots: no row, never fitted
};

// Slots the response is linear in (responses, the electrode factor and offset): typed and
// shown as stored.
inline bool is_signal_slot(SlotKind kind) {
  return kind == SlotKind::Response || kind == SlotKind::ElectrodeFactor;
}

// What configuring the Fit dialog for a model does to a slot's check box.
enum class FitDefault {
  Keep,       // the user's last choice stays
  On,         // checked when the dialog switches to this model
  Off,        // cleared when the dialog switches to this model
  AlwaysOn,   // checked whenever the dialog is configured, even for the same model
  AlwaysOff,  // cleared whenever the dialog is configured
};

// A row of the results panel or the printed report: its label (literal, trailing blanks
// included) and the printf formats (C locale) of the value and of its confidence entries.
// A null label: that view has no such row. The confidence format is unused by rows without
// confidence entries.
struct ShownRow {
  const char* label = nullptr;
  const char* valueFormat = nullptr;
  const char* confidenceFormat = nullptr;
  bool shown() const { return label != nullptr; }
};

struct SlotInfo {
  SlotKind kind = SlotKind::Spare;
  const char* dialogLabel = "";      // Fit dialog row; "" for a spare
  const char* simulateLabel = "";    // Simulate dialog row (mostly the Fit dialog's)
  FitDefault fitDefault = FitDefault::Keep;
  ShownRow panel;                    // results panel
  ShownRow report;                   // printed report
  const char* parameterLabel = "";   // Parameters dialog line, before the value
  // A spare slot still receives its hidden dialog row's value, converted as this kind (the
  // layout of the chelator model of the same family); Spare leaves the slot at 0.
  SlotKind spareFill = SlotKind::Spare;
};

// Rows of a results table that are not one slot's value.
enum class SummaryQuantity {
  ChiSquare,         // the fit's chi-square (slot 0)
  StartCa,           // the document's start Ca, uM
  FreeEnergy,        // dG over the association constants, kJ/mol
  MinCooperativity,  // d(dG)min of the first two association constants, kJ/mol
};
struct SummaryRow {
  SummaryQuantity quantity;
  ShownRow panel;
  ShownRow report;
  bool panelNudgedLeft = false;  // drawn left of the panel's value column (too wide for it)
};

inline constexpr int kModelCount = 10;
inline constexpr int kMaxModelSlots = 11;

struct ModelInfo {
  int number = 0;  // 1..10
  ModelFamily family = ModelFamily::OneSite;
  bool electrode = false;  // models 7..10
  int slots = 0;           // m_nParams of the model's parameter vector
  const char* fitName = "";       // "Model1: 1 Ca site", as the Fit dialog lists it
  const char* simName = "";       // as the Simulate dialog lists it
  const char* description = "";   // beside the name in the Fit dialog
  const char* simulateDescription = "";
  int bitmap = 0;    // picture resource number of the dialogs
  int sites = 0;     // Ca sites of the protein
  int chelators = 0; // chelators in the mass balance
  const char* panelTitle = "";      // results panel, row 0
  const char* reportTitle = "";     // printed report, above its rows
  const char* parameterTitle = "";  // Parameters dialog
  int fitRecordSlots = 0;         // slots a fit record stores
  int simulationRecordSlots = 0;  // slots a simulation record stores
  SlotInfo slot[kMaxModelSlots + 1];  // 1..slots
  // Panel and report: every non-spare slot in order, then these.
  std::vector<SummaryRow> summary;
  // Broad search of the fit: trial slots (first outermost) and levels per slot (2: -0.5 and
  // +0.5 log units; 3: also unchanged). No slots: the model has no broad search.
  std::vector<int> searchSlots;
  int searchLevels = 0;

  int DialogRows() const;    // slots with a dialog row: all but the spares
  int ProteinSlot() const;   // the first concentration slot
  int FirstConstant() const; // first and last association-constant slots (dG range)
  int LastConstant() const;
};

bool is_valid_model(int model);
const ModelInfo& model_info(int model);  // model must be valid
SlotKind slot_kind(int model, int slot);  // model valid, slot 1..model_info(model).slots
// The model of a family with or without the electrode; a family without an electrode model
// gives its only model.
int model_number(ModelFamily family, bool electrode);

// The unit a slot's value is typed and shown in, beside its dialog row: "uM" for
// concentrations, "" for everything else (responses, factors, and logarithms of constants).
const char* slot_unit(SlotKind kind);

// One row of the Fit dialog, as `--values` and `--fit-flags` number them (1..11).
struct DialogRow {
  int row = 0;
  int slot = 0;  // the parameter slot the row fills: always the row number
  SlotKind kind = SlotKind::Spare;
  const char* dialogLabel = "";  // as the Fit dialog shows it ("log K1")
  const char* label = "";        // as the results panel shows it ("log K1:")
  const char* reportLabel = "";  // as the printed report shows it
  const char* unit = "";
};
// Nothing for an invalid model or a row the model's Fit dialog does not show.
std::optional<DialogRow> fit_dialog_row(int model, int row);

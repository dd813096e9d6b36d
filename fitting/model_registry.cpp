#include "fitting/model_registry.h"

#include <array>
#include <initializer_list>

namespace {

constexpr SlotKind kResponse = SlotKind::Response;
constexpr SlotKind kConc = SlotKind::Concentration;
constexpr SlotKind kLogK = SlotKind::AssociationConstant;
constexpr SlotKind kLogKd = SlotKind::DissociationConstant;
constexpr SlotKind kFactor = SlotKind::ElectrodeFactor;

// Formats a row takes unless the model says otherwise.
const char* default_value_format(SlotKind kind) { return kind == kConc ? "%7.4f uM" : "%7.5f"; }
const char* default_confidence_format(SlotKind kind) {
  return kind == kLogK || kind == kLogKd ? "%4.3f" : "+-%7.5f";
}

// A slot built up from its common case (one label everywhere, the kind's formats) by the
// exceptions each model has.
struct Slot {
  SlotInfo s;
  Slot(SlotKind kind, const char* label, FitDefault fit = FitDefault::Keep) {
    s.kind = kind;
    s.dialogLabel = s.simulateLabel = s.parameterLabel = label;
    s.fitDefault = fit;
    s.panel = s.report = {label, default_value_format(kind), default_confidence_format(kind)};
  }
  Slot& Dialog(const char* label) { s.dialogLabel = s.simulateLabel = label; return *this; }
  Slot& Simulate(const char* label) { s.simulateLabel = label; return *this; }
  Slot& Panel(const char* label) { s.panel.label = label; return *this; }
  Slot& Report(const char* label) { s.report.label = label; return *this; }
  Slot& Parameter(const char* label) { s.parameterLabel = label; return *this; }
  Slot& Formats(const char* value, const char* confidence) {
    s.panel.valueFormat = s.report.valueFormat = value;
    s.panel.confidenceFormat = s.report.confidenceFormat = confidence;
    return *this;
  }
  Slot& Confidence(const char* format) { s.panel.confidenceFormat = s.report.confidenceFormat = format; return *this; }
  Slot& ReportConfidence(const char* format) { s.report.confidenceFormat = format; return *this; }
  Slot& Fit(FitDefault fit) { s.fitDefault = fit; return *this; }
};

Slot spare(SlotKind fill) {
  Slot x(SlotKind::Spare, "");
  x.s.panel = x.s.report = {};
  x.s.spareFill = fill;
  return x;
}

constexpr FitDefault kOn = FitDefault::On;
constexpr FitDefault kOff = FitDefault::Off;

// The slots most models share.
Slot free_response() { return Slot(kResponse, "Response w/o Ca:", kOn); }
Slot loaded_response() { return Slot(kResponse, "Response w Ca:"); }
Slot protein() { return Slot(kConc, "Protein concentration:", kOn).Panel("Protein conc:"); }
Slot chelator_kd() {
  return Slot(kLogKd, "log Kd Chelator:", kOff).Dialog("log Kd chelator:").Parameter("log Kd:");
}
Slot log_k(int n, FitDefault fit = FitDefault::Keep) {
  static const char* const dialog[] = {"", "log K1", "log K2", "log K3", "log K4", "log K5", "log K6"};
  static const char* const shown[] = {"", "log K1:", "log K2:", "log K3:", "log K4:", "log K5:", "log K6:"};
  Slot x = Slot(kLogK, shown[n], fit).Dialog(dialog[n]);
  if (n >= 4) x.Formats("%7.4f", "%4.3f");  // the higher constants print one digit less
  return x;
}
Slot chelator(const char* reportLabel, const char* confidence, FitDefault fit = kOff) {
  return Slot(kConc, "Chelator concentration:", fit).Panel("Chelator conc:").Report(reportLabel).Confidence(confidence);
}
Slot factor() { return Slot(kFactor, "Proportional factor:", FitDefault::AlwaysOff); }
Slot offset() { return Slot(kFactor, "Offset:"); }

// Summary rows: the report's are the same for every model but the chi-square format and the
// start Ca label; the panel's labels and formats vary.
SummaryRow chi(const char* panelFormat, const char* reportFormat) {
  return {SummaryQuantity::ChiSquare, {"Chisquare:", panelFormat, nullptr}, {"Chisquare:", reportFormat, nullptr}};
}
SummaryRow chi(const char* format) { return chi(format, format); }
SummaryRow start_ca(const char* label = "Initial Ca conc:") {
  return {SummaryQuantity::StartCa, {label, "%7.4f uM", nullptr}, {label, "%7.4f uM", nullptr}};
}
constexpr const char* kKJ = "%7.3f kJ/mol";
SummaryRow energy(const char* panelLabel = "dG:", const char* panelFormat = kKJ, bool nudged = false) {
  return {SummaryQuantity::FreeEnergy, {panelLabel, panelFormat, nullptr}, {"dG:", kKJ, nullptr}, nudged};
}
SummaryRow min_cooperativity(const char* panelLabel = "d(dG)min:", bool nudged = false) {
  return {SummaryQuantity::MinCooperativity, {panelLabel, kKJ, nullptr}, {"d(dG)min:", kKJ, nullptr}, nudged};
}

struct Names {
  const char* fit;
  const char* simulate;
  const char* description;
  const char* panelTitle;
  const char* reportTitle;
  const char* parameterTitle;
};

ModelInfo model(int number, ModelFamily family, bool electrode, int bitmap, const Names& names,
                std::initializer_list<Slot> slots, std::vector<SummaryRow> summary,
                std::vector<int> searchSlots = {}, int searchLevels = 0) {
  ModelInfo m;
  m.number = number;
  m.family = family;
  m.electrode = electrode;
  m.bitmap = bitmap;
  m.fitName = names.fit;
  m.simName = names.simulate;
  m.description = m.simulateDescription = names.description;
  m.panelTitle = names.panelTitle;
  m.reportTitle = names.reportTitle;
  m.parameterTitle = names.parameterTitle;
  for (const Slot& x : slots) m.slot[++m.slots] = x.s;
  m.fitRecordSlots = m.simulationRecordSlots = m.slots;
  m.summary = std::move(summary);
  m.searchSlots = std::move(searchSlots);
  m.searchLevels = searchLevels;
  m.sites = 0;
  for (int k = 1; k <= m.slots; ++k) m.sites += m.slot[k].kind == kLogK;
  m.chelators = m.electrode || family == ModelFamily::OneSite || family == ModelFamily::TwoSite ? 0
                : family == ModelFamily::TwoSiteTwoChelators                                   ? 2
                                                                                                : 1;
  return m;
}

using F = ModelFamily;

std::array<ModelInfo, kModelCount> build_registry() {
  std::array<ModelInfo, kModelCount> r{
      model(1, F::OneSite, false, 136,
            {"Model1: 1 Ca site", "Model1: 1 Ca site", "Protein with one Ca binding site",
             "Model: 1 Calcium site + chelator", "Model: 1 Calcium site + chelator", "One Ca site"},
            {free_response(), loaded_response(), protein(), Slot(kLogK, "log K:", kOn).ReportConfidence("%7.5f")},
            {chi("%7.5f"), start_ca(), energy("dG", "%7.4f kJ/mol")}),
      model(2, F::TwoSiteChelator, false, 138,
            {"Model2: 2 Ca sites +chelator", "Model2: 2 Ca sites +chelator",
             "Protein with two Ca binding sites and chelator", "Model: 2 Ca sites + chelator",
             "Model: 2 Ca sites + chelator", "Two Ca sites + chelator"},
            {free_response(), loaded_response(), protein(), chelator_kd(), log_k(1), log_k(2),
             chelator("Chelator concentration:", "+-%7.5f uM")},
            {chi("%7.4G"), start_ca(), energy("dG:", kKJ, true), min_cooperativity("d(dG)min:", true)}, {5, 6}, 3),
      model(3, F::TwoSite, false, 152,
            {"Model3: 2 Ca sites", "Model3: 2 Ca sites", "Protein with two Ca binding sites", "Model: 2 Ca sites",
             "Model: 2 Ca sites", "Two Ca sites"},
            {free_response(),
             Slot(kResponse, "Response w one Ca:").Panel("Response w Ca:").Report("Response with one Ca:"),
             Slot(kResponse, "Response w two Ca:", kOn).Panel("Response w Ca:").Report("Response w Ca:"),
             Slot(kConc, "Protein concentration:", kOff)
                 .Panel("Protein conc:")
                 .Report("Protein koncentration:")
                 .Parameter("Proteinconc:"),
             log_k(1), log_k(2)},
            {chi("%7.4G"), start_ca("Initial Ca conc: "), energy("dG: "), min_cooperativity("d(dG)min: ")}, {5, 6},
            3),
      model(4, F::FourSiteChelator, false, 153,
            {"Model4: 4 Ca sites +chelator", "Model4: 4 Ca sites +chelator",
             "Protein with four Ca binding sites and chelator", "Model: 4 Ca sites + chelator",
             "Model: 4 Ca sites + chelator", "4 Ca sites + chelator"},
            {free_response(), loaded_response(), protein(), chelator_kd(), log_k(1), log_k(2), log_k(3, kOn),
             log_k(4, kOn), chelator("Chelator konc:", "+-%7.5f uM")},
            {chi("%7.4G"), start_ca(), energy()}, {5, 6, 7, 8}, 2),
      model(5, F::TwoSiteTwoChelators, false, 154,
            {"Model5: 2 Ca sites +2 chelators", "Model5: 2 Ca sites +2 chelators",
             "Protein with two Ca binding sites and two chelators", "Model: 2 Ca sites + 2 chelators",
             "Model: 2 Ca sites + 2 chelators", "Two Ca sites + two chelator"},
            {free_response().Confidence("%7.5f"), loaded_response().Confidence("%7.5f"), protein(), chelator_kd(),
             Slot(kLogKd, "log Kd EDTA:"), log_k(1), log_k(2, kOn), chelator("Chelator konc:", "%+-7.5f uM"),
             Slot(kConc, "EDTA konc:", kOff)
                 .Dialog("Conc. EDTA:")
                 .Simulate("EDTA concentration:")
                 .Parameter("EDTA concentration:")
                 .Confidence("%+-7.5f uM")},
            // The panel has no room for d(dG)min; the report prints it.
            {chi("%7.4G"), start_ca(), energy(), {SummaryQuantity::MinCooperativity, {}, {"d(dG)min:", kKJ, nullptr}}},
            {6, 7}, 3),
      model(6, F::SixSiteChelator, false, 180,
            {"Model6: 6 Ca sites + chelator", "Model6: 6 Ca sites + chelator",
             "Protein with 6 Ca binding sites and chelator", "Model: 6 Ca sites + chelator",
             "Model: 6 Ca sites + chelator", "6 Ca sites + chelator"},
            {free_response(), loaded_response(), protein(), chelator_kd(), log_k(1), log_k(2), log_k(3, kOn),
             log_k(4, kOn), log_k(5, kOn), log_k(6), chelator("Chelator konc:", "+-%7.5f uM")},
            {chi("%7.4G"), start_ca(), energy()}, {5, 6, 7, 8, 9, 10}, 2),
      model(7, F::OneSite, true, 182,
            {"Model7: 1 Ca sites Ca electrode", "Model7: 1 Ca sites-Ca electrode",
             "Protein with one Ca binding site Ca electrode", "Model: 1 Calcium site Ca electrode",
             "Model: 1 Calcium site using Ca electrode", "One Ca site using Ca-electrode"},
            {factor(), offset(), protein(), Slot(kLogK, "log K:", kOn).Confidence("%7.5f")},
            {chi("%7.5f"), start_ca(), energy("dG", "%7.4f kJ/mol")}),
      model(8, F::TwoSiteChelator, true, 185,
            {"Model8: 2 Ca sites Ca electrode", "Model8: 2 Ca sites-Ca electrode",
             "Protein with two Ca binding sites using Ca electrode", "Model: 2 Ca sites Ca electrode",
             "Model: 2 Ca sites using Ca electrode", "Two Ca sites using Ca electrode"},
            {factor(), offset(), protein(), log_k(1, FitDefault::AlwaysOn), log_k(2), spare(kLogK), spare(kConc),
             spare(SlotKind::Spare)},
            {chi("%7.5f", "%7.4G"), start_ca(), energy("dG:", kKJ, true), min_cooperativity("d(dG)min:", true)},
            // The schedule is the chelator family's: slot 6 is a spare here and never varies.
            {5, 6}, 3),
      model(9, F::FourSiteChelator, true, 186,
            {"Model9: 4 Ca sites Ca electrode", "Model9: 4 Ca sites-Ca electrode",
             "Protein with four Ca binding sites using Ca electrode", "Model: 4 Ca sites Ca electrode",
             "Model: 4 Ca sites Ca electrode", "4 Ca sites using Ca electrode"},
            {factor(), offset(), protein(), log_k(1, FitDefault::AlwaysOn), log_k(2), log_k(3), log_k(4, kOn),
             spare(kLogK), spare(kConc)},
            {chi("%7.4G"), start_ca(), energy()}, {5, 6, 7, 8}, 2),
      model(10, F::SixSiteChelator, true, 187,
            {"Model10: 6 Ca sites Ca electrode", "Model10: 6 Ca sites-Ca electrode",
             "Protein with 6 Ca binding sites using Ca electrode", "Model: 6 Ca sites Ca electrode",
             "Model: 6 Ca sites using Ca electrode", "6 Ca sites using Ca electrode"},
            {factor(), offset(), protein(), log_k(1, kOn), log_k(2), log_k(3), log_k(4, kOn), log_k(5, kOn),
             log_k(6, kOn), spare(kLogK), spare(kConc)},
            {chi("%7.4G"), start_ca(), energy("dG:", "%7.3f KJ/mol")},  // the unit is spelled so here
            {5, 6, 7, 8, 9, 10}, 2),
  };
  // Exceptions to "a record stores every slot": a fit of model 8 stores the chelator family's
  // seven, a simulation of model 2 keeps an eighth, zero slot.
  r[7].fitRecordSlots = 7;
  r[1].simulationRecordSlots = 8;
  r[6].simulateDescription = "Protein with one Ca binding site using Ca electrode";
  return r;
}

const std::array<ModelInfo, kModelCount>& registry() {
  static const std::array<ModelInfo, kModelCount> table = build_registry();
  return table;
}

}  // namespace

int ModelInfo::DialogRows() const {
  int rows = 0;
  while (rows < slots && slot[rows + 1].kind != SlotKind::Spare) ++rows;
  return rows;
}

int ModelInfo::ProteinSlot() const {
  for (int k = 1; k <= slots; ++k)
    if (slot[k].kind == kConc) return k;
  return 0;
}

int ModelInfo::FirstConstant() const {
  for (int k = 1; k <= slots; ++k)
    if (slot[k].kind == kLogK) return k;
  return 0;
}

int ModelInfo::LastConstant() const {
  for (int k = slots; k >= 1; --k)
    if (slot[k].kind == kLogK) return k;
  return 0;
}

bool is_valid_model(int model) { return model >= 1 && model <= kModelCount; }

const ModelInfo& model_info(int model) { return registry()[static_cast<std::size_t>(model - 1)]; }

SlotKind slot_kind(int model, int slot) { return model_info(model).slot[slot].kind; }

int model_number(ModelFamily family, bool electrode) {
  int found = 0;
  for (const ModelInfo& m : registry()) {
    if (m.family != family) continue;
    if (m.electrode == electrode) return m.number;
    found = m.number;
  }
  return found;
}

const char* slot_unit(SlotKind kind) { return kind == kConc ? "uM" : ""; }

std::optional<DialogRow> fit_dialog_row(int model, int row) {
  if (!is_valid_model(model)) return std::nullopt;
  const ModelInfo& m = model_info(model);
  if (row < 1 || row > m.DialogRows()) return std::nullopt;
  const SlotInfo& s = m.slot[row];
  return DialogRow{row, row, s.kind, s.dialogLabel, s.panel.label, s.report.label, slot_unit(s.kind)};
}

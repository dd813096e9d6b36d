#include "commands/fit_settings.h"

#include <array>
#include <initializer_list>
#include <vector>

#include "fitting/models.h"

FitSettings::FitSettings() {
  for (int row = 1; row <= kValueRows; ++row) m_bFitSlot[row] = 1;
}

namespace {

struct LayoutSpec {
  int bitmap;
  // Vectors, not initializer_lists: a list returned from layout_spec would point into an
  // array that dies with the return statement.
  std::vector<const char*> labels;
  std::vector<int> uMRows;
};

const char* const kR0 = "Response w/o Ca:";
const char* const kR1 = "Response w Ca:";
const char* const kProtein = "Protein concentration:";
const char* const kKdChel = "log Kd chelator:";
const char* const kChel = "Chelator concentration:";
const char* const kFactor = "Proportional factor:";
const char* const kOffset = "Offset:";

// The Fit dialog's rows per model; the Simulate dialog differs only in model 5's row 9.
LayoutSpec layout_spec(int model) {
  switch (model) {
    case 1: return {136, {kR0, kR1, kProtein, "log K:"}, {3}};
    case 2: return {138, {kR0, kR1, kProtein, kKdChel, "log K1", "log K2", kChel}, {3, 7}};
    case 3:
      return {152, {kR0, "Response w one Ca:", "Response w two Ca:", kProtein, "log K1", "log K2"}, {4}};
    case 4:
      return {153, {kR0, kR1, kProtein, kKdChel, "log K1", "log K2", "log K3", "log K4", kChel}, {3, 9}};
    case 5:
      return {154,
              {kR0, kR1, kProtein, kKdChel, "log Kd EDTA:", "log K1", "log K2", kChel, "Conc. EDTA:"},
              {3, 8, 9}};
    case 6:
      return {180,
              {kR0, kR1, kProtein, kKdChel, "log K1", "log K2", "log K3", "log K4", "log K5", "log K6",
               kChel},
              {3, 11}};
    case 7: return {182, {kFactor, kOffset, kProtein, "log K:"}, {3}};
    case 8: return {185, {kFactor, kOffset, kProtein, "log K1", "log K2"}, {3}};
    case 9: return {186, {kFactor, kOffset, kProtein, "log K1", "log K2", "log K3", "log K4"}, {3}};
    case 10:
      return {187, {kFactor, kOffset, kProtein, "log K1", "log K2", "log K3", "log K4", "log K5", "log K6"},
              {3}};
    default: return {0, {}, {}};
  }
}

DialogModelLayout make_layout(int modelIndex) {
  DialogModelLayout layout;
  for (int row = 1; row <= kValueRows; ++row) layout.labels[row] = "";
  const int model = modelIndex + 1;
  if (!is_valid_model(model)) return layout;
  const LayoutSpec rows = layout_spec(model);
  layout.bitmap = rows.bitmap;
  int row = 0;
  for (const char* label : rows.labels) {
    if (!label) break;
    layout.labels[++row] = label;
  }
  layout.rowsShown = row;
  for (int r : rows.uMRows)
    if (r > 0) layout.uMRow[r] = true;
  layout.description = model_info(model).description;
  return layout;
}

void set_rows(FitSettings& s, std::initializer_list<int> rows, int checked) {
  for (int row : rows) s.m_bFitSlot[row] = checked;
}

// Fit-flag defaults: applied every time the configuration runs.
void apply_every_time_defaults(FitSettings& s, int model) {
  if (model >= 7) set_rows(s, {1}, 0);
  if (model == 8 || model == 9) set_rows(s, {4}, 1);
}

// Fit-flag defaults: applied only when the model changed since the last configuration.
void apply_model_change_defaults(FitSettings& s, int model) {
  switch (model) {
    case 1: set_rows(s, {1, 3, 4, 7}, 1); break;
    case 2:
    case 3: set_rows(s, {1, 3}, 1); set_rows(s, {4, 7}, 0); break;
    case 4: set_rows(s, {1, 3, 7, 8}, 1); set_rows(s, {4, 9}, 0); break;
    case 5: set_rows(s, {1, 3, 7}, 1); set_rows(s, {4, 8, 9}, 0); break;
    case 6: set_rows(s, {1, 3, 7, 8, 9}, 1); set_rows(s, {4, 11}, 0); break;
    case 7:
    case 8: set_rows(s, {3, 4, 7}, 1); break;
    case 9: set_rows(s, {3, 4, 7, 8, 9}, 1); break;
    case 10: set_rows(s, {3, 4, 7, 8, 9, 11}, 1); break;
    default: break;
  }
}

// The electrode models convert and store their slots like the chelator model of the same
// family (the dialog conversion fills the spare slots too), except that slot 4 holds K1.
int conversion_model(int model) {
  switch (model) {
    case 7: return 1;
    case 8: return 2;
    case 9: return 4;
    case 10: return 6;
    default: return model;
  }
}

}  // namespace

DialogModelLayout fit_dialog_layout(int modelIndex) { return make_layout(modelIndex); }

DialogModelLayout simulate_dialog_layout(int modelIndex) {
  DialogModelLayout layout = make_layout(modelIndex);
  if (modelIndex == 4) layout.labels[9] = "EDTA concentration:";
  if (modelIndex == 6) layout.description = "Protein with one Ca binding site using Ca electrode";
  return layout;
}

const char* fit_dialog_model_name(int modelIndex) {
  return is_valid_model(modelIndex + 1) ? model_info(modelIndex + 1).fitName : "";
}

const char* simulate_dialog_model_name(int modelIndex) {
  return is_valid_model(modelIndex + 1) ? model_info(modelIndex + 1).simName : "";
}

void fit_dialog_open(FitSettings& s, Titration& doc) {
  s.m_nLastModel = doc.m_nFitDlgLastModel;
  fit_dialog_configure(s, doc);
}

void fit_dialog_configure(FitSettings& s, Titration& doc) {
  const int model = s.m_nModelIndex + 1;
  apply_every_time_defaults(s, model);
  if (s.m_nModelIndex != s.m_nLastModel) apply_model_change_defaults(s, model);
  doc.m_nFitDlgLastModel = s.m_nModelIndex;
  s.m_nLastModel = s.m_nModelIndex;
}

void fit_dialog_choose_error_radio(FitSettings& s, ErrorRadio radio) {
  s.m_bConstantSDRadio = radio == ErrorRadio::ConstantSD ? 1 : 0;
  s.m_bUseConstantSD = radio == ErrorRadio::ConstantSD ? 1 : 0;
  s.m_bUsePercent = radio == ErrorRadio::ConstantSD ? 0 : 1;
  s.m_bUseJackknife = radio == ErrorRadio::Jackknife ? 1 : 0;
}

ErrorRadio fit_dialog_checked_radio(const FitSettings& s) {
  if (s.m_bUseJackknife) return ErrorRadio::Jackknife;
  if (s.m_bConstantSDRadio) return ErrorRadio::ConstantSD;
  return ErrorRadio::Percent;
}

void simulate_dialog_open(SimulateSettings& s) { s.m_bCopyToFit = 0; }

void copy_simulation_to_fit(const SimulateSettings& sim, FitSettings& fit) {
  fit.m_nModelIndex = sim.m_nModelIndex;
  for (int row = 1; row <= kValueRows; ++row) fit.m_dValue[row] = sim.m_dValue[row];
  fit.m_dStartCa = sim.m_dStartCa;
}

int convert_start_values(int model, const double rowValues[kValueRows + 1],
                         double slots[ParamSet::kSlots]) {
  for (int k = 0; k < ParamSet::kSlots; ++k) slots[k] = 0.0;
  if (!is_valid_model(model)) return 0;
  const int n = model_info(model).slots;
  const int layoutModel = conversion_model(model);
  const int converted = model_info(layoutModel).slots;  // model 8 leaves its slot 8 at 0
  for (int k = 1; k <= converted && k <= n; ++k) {
    SlotKind kind = slot_kind(layoutModel, k);
    if (model_info(model).electrode && k == 4) kind = SlotKind::AssociationConstant;
    slots[k] = user_to_internal(kind, rowValues[k]);
  }
  return n;
}

int fit_flags_for_model(int model, const int fitSlot[kValueRows + 1], int flags[ParamSet::kSlots]) {
  for (int k = 0; k < ParamSet::kSlots; ++k) flags[k] = 0;
  if (!is_valid_model(model)) return 0;
  const int n = model_info(model).slots;
  for (int k = 1; k <= n; ++k)
    flags[k] = (fitSlot[k] != 0 && slot_kind(model, k) != SlotKind::Spare) ? 1 : 0;
  return n;
}

int fit_record_param_count(int model) {
  if (!is_valid_model(model)) return 0;
  return model == 8 ? 7 : model_info(model).slots;
}

int simulation_record_param_count(int model) {
  if (!is_valid_model(model)) return 0;
  return model == 2 ? 8 : model_info(model).slots;
}

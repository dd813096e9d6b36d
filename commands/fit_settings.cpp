#include "commands/fit_settings.h"

#include "fitting/models.h"

FitSettings::FitSettings() {
  for (int row = 1; row <= kValueRows; ++row) m_bFitSlot[row] = 1;
}

namespace {

// The dialog rows of a model; simulate picks the Simulate dialog's labels and description.
DialogModelLayout make_layout(int modelIndex, bool simulate) {
  DialogModelLayout layout;
  for (int row = 1; row <= kValueRows; ++row) layout.labels[row] = "";
  const int model = modelIndex + 1;
  if (!is_valid_model(model)) return layout;
  const ModelInfo& info = model_info(model);
  layout.bitmap = info.bitmap;
  layout.rowsShown = info.DialogRows();
  for (int row = 1; row <= layout.rowsShown; ++row) {
    const SlotInfo& slot = info.slot[row];
    layout.labels[row] = simulate ? slot.simulateLabel : slot.dialogLabel;
    layout.uMRow[row] = *slot_unit(slot.kind) != '\0';
  }
  layout.description = simulate ? info.simulateDescription : info.description;
  return layout;
}

// The model's fit-flag defaults: the Always ones every time, the others only when the model
// changed since the last configuration.
void apply_fit_defaults(FitSettings& s, int model, bool modelChanged) {
  const ModelInfo& info = model_info(model);
  for (int row = 1; row <= info.DialogRows(); ++row) {
    switch (info.slot[row].fitDefault) {
      case FitDefault::AlwaysOn: s.m_bFitSlot[row] = 1; break;
      case FitDefault::AlwaysOff: s.m_bFitSlot[row] = 0; break;
      case FitDefault::On: if (modelChanged) s.m_bFitSlot[row] = 1; break;
      case FitDefault::Off: if (modelChanged) s.m_bFitSlot[row] = 0; break;
      case FitDefault::Keep: break;
    }
  }
}

}  // namespace

DialogModelLayout fit_dialog_layout(int modelIndex) { return make_layout(modelIndex, false); }

DialogModelLayout simulate_dialog_layout(int modelIndex) { return make_layout(modelIndex, true); }

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
  if (is_valid_model(model)) apply_fit_defaults(s, model, s.m_nModelIndex != s.m_nLastModel);
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
  const ModelInfo& info = model_info(model);
  for (int k = 1; k <= info.slots; ++k) {
    const SlotInfo& slot = info.slot[k];
    const SlotKind kind = slot.kind == SlotKind::Spare ? slot.spareFill : slot.kind;
    if (kind != SlotKind::Spare) slots[k] = user_to_internal(kind, rowValues[k]);
  }
  return info.slots;
}

int fit_flags_for_model(int model, const int fitSlot[kValueRows + 1], int flags[ParamSet::kSlots]) {
  for (int k = 0; k < ParamSet::kSlots; ++k) flags[k] = 0;
  if (!is_valid_model(model)) return 0;
  const int n = model_info(model).slots;
  for (int k = 1; k <= n; ++k)
    flags[k] = (fitSlot[k] != 0 && slot_kind(model, k) != SlotKind::Spare) ? 1 : 0;
  return n;
}

int fit_record_param_count(int model) { return is_valid_model(model) ? model_info(model).fitRecordSlots : 0; }

int simulation_record_param_count(int model) {
  return is_valid_model(model) ? model_info(model).simulationRecordSlots : 0;
}

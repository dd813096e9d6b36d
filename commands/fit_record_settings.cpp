#include "commands/fit_record_settings.h"

#include <cmath>

#include "fitting/models.h"

double dialog_value(int model, int slot, double internal) {
  return internal_to_user(slot_kind(model, slot), internal);
}

double dialog_error(int model, int slot, double internal, double error) {
  switch (slot_kind(model, slot)) {
    case SlotKind::Concentration: return internal_to_uM(error);
    case SlotKind::AssociationConstant:
    case SlotKind::DissociationConstant: return internal > 0.0 ? error / (internal * std::log(10.0)) : NAN;
    default: return error;
  }
}

FitSettings settings_from_fit_record(const Titration& doc, const FitSettings& errors) {
  const ParamSet& fit = doc.m_fit;
  FitSettings s = errors;
  s.m_nModelIndex = fit.m_nModel - 1;
  s.m_nLastModel = 18;  // as if just chosen: the model's default check boxes
  for (int row = 1; row <= kValueRows; ++row) s.m_bFitSlot[row] = 1;
  Titration scratch;
  fit_dialog_configure(s, scratch);
  for (int row = 1; row <= kValueRows; ++row) s.m_dValue[row] = 0.0;
  for (int k = 1; k <= fit.m_nParams && k <= kValueRows; ++k) {
    s.m_dValue[k] = dialog_value(fit.m_nModel, k, fit.m_p[k]);
    if (fit.m_bErrors) s.m_bFitSlot[k] = fit.m_err[k] != 0.0 ? 1 : 0;
  }
  s.m_dStartCa = fit.m_dStartCa;
  s.m_bDilution = fit.m_bDilution;
  s.m_dTemperature = static_cast<double>(doc.m_fTemperature) - 273.15;
  s.m_bExtensive = 0;
  return s;
}

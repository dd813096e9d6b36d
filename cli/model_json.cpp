#include "cli/model_json.h"

using json = nlohmann::ordered_json;

namespace {

const char* family_name(ModelFamily family) {
  switch (family) {
    case ModelFamily::OneSite: return "one_site";
    case ModelFamily::TwoSiteChelator: return "two_site_chelator";
    case ModelFamily::TwoSite: return "two_site";
    case ModelFamily::FourSiteChelator: return "four_site_chelator";
    case ModelFamily::TwoSiteTwoChelators: return "two_site_two_chelators";
    case ModelFamily::SixSiteChelator: return "six_site_chelator";
  }
  return "";
}

const char* fit_default_name(FitDefault fit) {
  switch (fit) {
    case FitDefault::Keep: return "keep";
    case FitDefault::On: return "on";
    case FitDefault::Off: return "off";
    case FitDefault::AlwaysOn: return "always_on";
    case FitDefault::AlwaysOff: return "always_off";
  }
  return "";
}

}  // namespace

const char* SlotKindName(SlotKind kind) {
  switch (kind) {
    case SlotKind::Response: return "response";
    case SlotKind::Concentration: return "concentration";
    case SlotKind::AssociationConstant: return "log_k";
    case SlotKind::DissociationConstant: return "log_kd";
    case SlotKind::ElectrodeFactor: return "electrode_factor";
    case SlotKind::Spare: return "spare";
  }
  return "";
}

json DialogRowToJson(const DialogRow& row) {
  return {{"row", row.row},         {"slot", row.slot},
          {"kind", SlotKindName(row.kind)}, {"label", row.label},
          {"dialog_label", row.dialogLabel}, {"report_label", row.reportLabel},
          {"unit", row.unit}};
}

json ModelToJson(int model) {
  const ModelInfo& m = model_info(model);
  json rows = json::array();
  for (int r = 1; r <= m.DialogRows(); ++r) {
    json row = DialogRowToJson(*fit_dialog_row(model, r));
    row["fit_default"] = fit_default_name(m.slot[r].fitDefault);
    rows.push_back(std::move(row));
  }
  json spares = json::array();
  for (int k = m.DialogRows() + 1; k <= m.slots; ++k) spares.push_back(k);
  return {{"model", m.number},
          {"fit_name", m.fitName},
          {"simulate_name", m.simName},
          {"description", m.description},
          {"family", family_name(m.family)},
          {"electrode", m.electrode},
          {"slots", m.slots},
          {"rows", std::move(rows)},
          {"spare_slots", std::move(spares)}};
}

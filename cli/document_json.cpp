#include "cli/document_json.h"

#include <algorithm>
#include <charconv>
#include <cmath>

using json = nlohmann::ordered_json;

namespace {

json number(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }

int clamped_params(const ParamSet& p) { return std::clamp(p.m_nParams, 0, ParamSet::kSlots - 1); }

json slots(const double (&values)[ParamSet::kSlots], int n) {
  json out = json::array();
  for (int i = 1; i <= n; ++i) out.push_back(number(values[i]));
  return out;
}

json optional_number(const std::optional<double>& v) { return v ? number(*v) : json(nullptr); }

json profile_json(const FitDiagnostics& d) {
  json out = json::array();
  for (const RowInterval& r : d.profile)
    out.push_back({{"row", r.row},
                   {"name", r.name},
                   {"value", number(r.value)},
                   {"ci68", json::array({optional_number(r.lo68), optional_number(r.hi68)})},
                   {"ci95", json::array({optional_number(r.lo95), optional_number(r.hi95)})}});
  return out;
}

json correlation_json(const FitDiagnostics& d) {
  json out = json::array();
  for (const std::vector<double>& line : d.correlation) {
    json row = json::array();
    for (double v : line) row.push_back(number(v));
    out.push_back(row);
  }
  return out;
}

// The review of a fit made in this run; a fit read from a file has none.
void add_diagnostics(const FitDiagnostics& d, json& fit) {
  if (!d.valid) return;
  if (d.haveProfile) fit["profile"] = profile_json(d);
  fit["correlation_rows"] = d.correlationRows;
  fit["correlation"] = correlation_json(d);
  fit["warnings"] = WarningsToJson(d);
}

}  // namespace

json WarningsToJson(const FitDiagnostics& d) {
  json out = json::array();
  for (const FitWarning& w : d.warnings) out.push_back({{"kind", w.kind}, {"rows", w.rows}, {"text", w.text}});
  return out;
}

double float_as_decimal(float value) {
  if (!std::isfinite(value)) return value;
  char text[32];
  const auto printed = std::to_chars(text, text + sizeof text, value);  // shortest round-trip form
  double decimal = value;
  std::from_chars(text, printed.ptr, decimal);
  return decimal;
}

json FitToJson(const Titration& doc) {
  if (!doc.m_bShowFit) return nullptr;
  const ParamSet& fit = doc.m_fit;
  const int n = clamped_params(fit);
  json out = {{"model", fit.m_nModel},
              {"electrode", fit.m_bElectrode != 0},
              {"dilution", fit.m_bDilution != 0},
              {"start_ca_um", number(fit.m_dStartCa)},
              {"chi_square", number(fit.m_p[0])},
              {"params", slots(fit.m_p, n)},
              {"errors", fit.m_bErrors ? slots(fit.m_err, n) : json(nullptr)}};
  // Known only for a fit made in this run of the program (the file does not keep it).
  if (doc.m_fitRun.known) {
    out["stop"] = fit_stop_name(doc.m_fitRun.stop);
    out["runs"] = doc.m_fitRun.runs;
  }
  add_diagnostics(doc.m_fitDiagnostics, out);
  return out;
}

json SimulationToJson(const ParamSet& sim, int slot) {
  return {{"slot", slot},
          {"model", sim.m_nModel},
          {"electrode", sim.m_bElectrode != 0},
          {"dilution", sim.m_bDilution != 0},
          {"start_ca_um", number(sim.m_dStartCa)},
          {"params", slots(sim.m_p, clamped_params(sim))}};
}

json SimulationsToJson(const Titration& doc) {
  json out = json::array();
  const int count = std::clamp(doc.m_nSims, 0, Titration::kMaxSims);
  for (int k = 1; k <= count; ++k) {
    const int slot = doc.m_nSlotOrder[k];
    if (slot >= 1 && slot <= Titration::kMaxSims) out.push_back(SimulationToJson(doc.m_sims[slot - 1], slot));
  }
  return out;
}

json PlanToJson(const Titration& doc) {
  json steps = json::array();
  const int count = std::clamp(doc.m_nGenSteps, 0, Titration::kMaxGenSteps);
  for (int i = 1; i <= count; ++i) {
    const GenStep& s = doc.m_genSteps[i];
    steps.push_back({{"start", s.m_nStart},
                     {"additions", s.m_nAdditions},
                     {"volume", number(s.m_dVolume)},
                     {"conc", number(s.m_dConc)}});
  }
  return {{"start_volume_ml", number(doc.m_dGenStartVolume)},
          {"vol_unit", doc.m_nGenVolUnit},
          {"conc_unit", doc.m_nGenConcUnit},
          {"steps", steps}};
}

json AxesToJson(const Titration& doc) {
  return {{"x_min", number(doc.m_dXMin)},
          {"x_max", number(doc.m_dXMax)},
          {"y_min", number(doc.m_dYMin)},
          {"y_max", number(doc.m_dYMax)},
          {"fixed", doc.m_bAxisFixed != 0}};
}

json DocumentToJson(const Titration& doc) {
  json cells = json::array();
  json values = json::array();
  for (const auto& row : doc.m_cells) {
    json texts = json::array();
    json numbers = json::array();
    for (const auto& cell : row) {
      texts.push_back(cell.m_strText);
      numbers.push_back(number(cell.m_dValue));
    }
    cells.push_back(std::move(texts));
    values.push_back(std::move(numbers));
  }
  return {{"cells", std::move(cells)},
          {"values", std::move(values)},
          {"description", doc.m_strDescription},
          {"title", doc.m_strTitle},
          {"y_caption", doc.m_strYCaption},
          {"x_caption", doc.m_strXCaption},
          {"temperature_k", number(float_as_decimal(doc.m_fTemperature))},
          {"start_ca_um", number(doc.m_dStartCa)},
          {"show_fit", doc.m_bShowFit != 0},
          {"fit", FitToJson(doc)},
          {"have_sims", doc.m_bHaveSims != 0},
          {"sims", SimulationsToJson(doc)},
          {"plan", PlanToJson(doc)},
          {"axes", AxesToJson(doc)}};
}

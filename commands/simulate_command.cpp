#include "commands/simulate_command.h"

#include "document/curve_rebuild.h"
#include "document/titration_edit.h"
#include "commands/display_values.h"
#include "fitting/models.h"

namespace {

constexpr int kAddCaCol = 1;
constexpr int kVolumeCol = 2;

// The series a simulation is drawn over: the last row with an added-Ca text gives the end of
// the Ca range and the last volume. (Counting those rows and reading the row at that count
// would take an earlier row whenever the column has a gap.)
struct SimulationGrid {
  int lastAddedCaRow = -1;  // grid row, -1 when no row has an added-Ca text
  bool firstVolumeHasText = false;
};

SimulationGrid scan_grid(const Titration& doc) {
  SimulationGrid g;
  for (int r = 0; r < Titration::kRows; ++r)
    if (!doc.m_cells[r][kAddCaCol].Text().empty()) g.lastAddedCaRow = r;
  g.firstVolumeHasText = !doc.m_cells[0][kVolumeCol].Text().empty();
  return g;
}

void store_record(ParamSet& rec, const SimulateSettings& sim, bool dilution) {
  const int model = sim.m_nModelIndex + 1;
  double slots[ParamSet::kSlots];
  convert_start_values(model, sim.m_dValue, slots);
  rec.m_nModel = model;
  rec.m_bElectrode = model_info(model).electrode ? 1 : 0;
  rec.m_nParams = simulation_record_param_count(model);
  rec.m_p[0] = 0.0;
  for (int k = 1; k < ParamSet::kSlots; ++k) rec.m_p[k] = k <= rec.m_nParams ? slots[k] : 0.0;
  rec.m_bDilution = dilution ? 1 : 0;
  rec.m_dStartCa = sim.m_dStartCa;
}

}  // namespace

int find_free_slot(const Titration& doc) {
  for (int k = 1; k <= Titration::kMaxSims; ++k)
    if (doc.m_bSlotFree[k] == 1) return k;
  return Titration::kMaxSims + 1;
}

void add_plot_entry(Titration& doc, int k) {
  doc.m_bSlotFree[k] = 0;
  ++doc.m_nSims;
  doc.m_nSlotOrder[doc.m_nSims] = k;
  doc.m_nPlotNumber[doc.m_nSims] = ++doc.m_nPlotsListed;
}

void sample_simulated_curve(Titration& doc, int k, double lastAddedCaUM, double firstVolume,
                            double lastVolume) {
  const ParamSet& rec = doc.m_sims[k - 1];
  Vec a, bound(2), freeCa(2);
  if (!record_parameters(rec, a)) return;
  const ModelInfo& info = model_info(rec.m_nModel);
  const double step = 2.0 * (lastAddedCaUM + rec.m_dStartCa);  // nM: 0.2 % of the uM range x 1000
  const double volumeStep = 0.002 * (lastVolume - firstVolume);
  for (int l = 1; l <= Titration::kCurvePoints; ++l) {
    const double X = rec.m_dStartCa * 1000.0 + l * step;
    const double Y = curve_dilution_factor(firstVolume, firstVolume + l * volumeStep);
    const double response = model_response(info.family, rec.m_bElectrode != 0, rec.m_bDilution != 0, X, a,
                                           Y, bound, freeCa, 1);
    doc.m_simCurve[l - 1].y[k] = response;
    doc.m_simCurve[l - 1].x[k] = X * 0.001;
  }
}

SimulateOutcome run_simulate_command(Titration& doc, const SimulateSettings& sim, FitSettings* fitDialog) {
  SimulateOutcome out;
  const int model = sim.m_nModelIndex + 1;
  const SimulationGrid grid = scan_grid(doc);
  if (grid.lastAddedCaRow < 0 || !is_valid_model(model)) return out;

  TitrationEdit edit(doc, EditKind::Experiment, "Simulate");
  doc.MarkChanged();
  doc.m_bHaveSims = 1;
  doc.m_bFitAxesToSims = 1;
  bool dilution = false;
  if (sim.m_bDilution) {
    dilution = grid.firstVolumeHasText;
    if (!dilution) out.messages.push_back(kSimDilutionMessage);
  }
  doc.m_dSimStartCa = sim.m_dStartCa;

  if (doc.m_nSims > 9) {
    out.messages.push_back(kSimTooManyCurvesMessage);
  } else {
    const int k = find_free_slot(doc);
    add_plot_entry(doc, k);
    store_record(doc.m_sims[k - 1], sim, dilution);
    const int last = grid.lastAddedCaRow;
    sample_simulated_curve(doc, k, doc.m_cells[last][kAddCaCol].GetValue(), doc.m_cells[0][kVolumeCol].GetValue(),
                           doc.m_cells[last][kVolumeCol].GetValue());
    out.computed = true;
    out.slot = k;
  }
  if (sim.m_bCopyToFit && fitDialog) {
    copy_simulation_to_fit(sim, *fitDialog);
    out.copiedToFit = true;
  }
  return out;
}

DeletePlotOutcome delete_plot_at(Titration& doc, int position) {
  DeletePlotOutcome out;
  if (doc.m_nSims <= 0) {
    out.message = kDelNoCurvesMessage;
    return out;
  }
  if (position < 1 || position > doc.m_nSims) {
    out.message = kSelectPlotMessage;
    return out;
  }
  TitrationEdit edit(doc, EditKind::Experiment, "Delete Plot");
  doc.MarkChanged();
  --doc.m_nSims;
  out.slot = doc.m_nSlotOrder[position];
  if (out.slot >= 1 && out.slot <= Titration::kMaxSims) doc.m_bSlotFree[out.slot] = 1;
  // Close the gap in the list order; the entry past the last used one carries no meaning.
  for (int p = position; p < Titration::kMaxSims; ++p) {
    doc.m_nSlotOrder[p] = doc.m_nSlotOrder[p + 1];
    doc.m_nPlotNumber[p] = doc.m_nPlotNumber[p + 1];
  }
  doc.m_nSlotOrder[Titration::kMaxSims] = 0;
  doc.m_nPlotNumber[Titration::kMaxSims] = 0;
  out.removed = true;
  return out;
}

DeletePlotOutcome delete_selected_plot(Titration& doc) {
  if (doc.m_nSims <= 0) return delete_plot_at(doc, 0);
  const int selection = doc.m_pPlotList ? doc.m_pPlotList->GetCurSel() : -1;
  if (selection < 0) return {false, 0, kSelectPlotMessage};
  return delete_plot_at(doc, selection + 1);
}

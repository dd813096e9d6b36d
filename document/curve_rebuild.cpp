#include "document/curve_rebuild.h"

#include <algorithm>
#include <cstdio>

#include "document/titration.h"
#include "fitting/models.h"

namespace {

constexpr int kAddCaCol = 1;
constexpr int kVolumeCol = 2;

double grid(const Titration& doc, int row0, int col) { return doc.m_cells[row0][col].GetValue(); }

int clamp_rows(int rowsUsed) {
  if (rowsUsed < 1) return 1;
  return rowsUsed > Titration::kRows ? Titration::kRows : rowsUsed;
}

double record_response(const ParamSet& rec, double X, const Vec& a, double Y, Vec& bound, Vec& freeCa) {
  const ModelInfo& info = model_info(rec.m_nModel);
  return model_response(info.family, rec.m_bElectrode != 0, rec.m_bDilution != 0, X, a, Y, bound, freeCa, 1);
}

}  // namespace

bool record_parameters(const ParamSet& rec, Vec& a) {
  if (!is_valid_model(rec.m_nModel)) return false;
  const int slots = model_info(rec.m_nModel).slots;
  const int held = std::clamp(rec.m_nParams, 0, std::min(slots, ParamSet::kSlots - 1));
  a = Vec(slots);
  for (int k = 1; k <= held; ++k) a[k] = rec.m_p[k];
  return true;
}

double curve_dilution_factor(double V1, double Vi) {
  if (V1 == 0.0 || Vi == 0.0) return 1.0;
  return V1 / Vi;
}

// Total Ca runs over 0.2 % .. 99.6 % of (larger of first and last added Ca + start Ca); the
// abscissa and the volume are accumulated by repeated addition, as the curve was first drawn.
void BuildFitCurve(Titration& doc, int rowsUsed, int /*model: taken from m_fit itself*/) {
  Vec a;
  if (!record_parameters(doc.m_fit, a)) return;
  const int R = clamp_rows(rowsUsed);
  Vec bound(2), freeCa(2);
  const double F = grid(doc, 0, kAddCaCol), L = grid(doc, R - 1, kAddCaCol);
  const double Cmax = F < L ? L : F;
  const double S = 2.0 * (Cmax + doc.m_fit.m_dStartCa);  // nM per step: 0.2 % of uM x 1000
  const double V0 = grid(doc, 0, kVolumeCol);
  const double dV = (grid(doc, R - 1, kVolumeCol) - V0) * 0.002;
  double V = V0, X = 0.0;
  for (int k = 0; k < Titration::kCurvePoints; ++k) {
    V += dV;
    X += S;
    doc.m_fitCurve[k].x = X * 0.001;
    doc.m_fitCurve[k].y = record_response(doc.m_fit, X, a, curve_dilution_factor(V0, V), bound, freeCa);
  }
}

// Each curve runs from start Ca + 0.2 % to start Ca + 99.6 % of (last added Ca + start Ca).
void BuildSimCurves(Titration& doc, int rowsUsed, int count) {
  const int R = clamp_rows(rowsUsed);
  if (count > Titration::kMaxSims) count = Titration::kMaxSims;
  const double V0 = grid(doc, 0, kVolumeCol);
  const double dV = (grid(doc, R - 1, kVolumeCol) - V0) * 0.002;
  const double L = grid(doc, R - 1, kAddCaCol);
  for (int k = 1; k <= count; ++k) {
    const ParamSet& s = doc.m_sims[k - 1];
    Vec a;
    if (!record_parameters(s, a)) continue;
    Vec bound(2), freeCa(2);
    const double S = 2.0 * (L + s.m_dStartCa);
    double X = s.m_dStartCa * 1000.0 + S;
    double V = V0;
    for (int j = 0; j < Titration::kCurvePoints; ++j) {
      V += dV;
      doc.m_simCurve[j].x[k] = X * 0.001;
      doc.m_simCurve[j].y[k] = record_response(s, X, a, curve_dilution_factor(V0, V), bound, freeCa);
      X += S;
    }
  }
  for (int i = 1; i <= count; ++i) {
    ++doc.m_nPlotsListed;
    doc.m_bSlotFree[i] = 0;
    doc.m_nSlotOrder[i] = i;
    doc.m_nPlotNumber[i] = i;
  }
}

#include "commands/residuals.h"

#include "document/c_text.h"
#include "fitting/models.h"

std::vector<ResidualPoint> fit_residuals(const Titration& doc) {
  std::vector<ResidualPoint> out;
  const ParamSet& fit = doc.m_fit;
  if (!doc.m_bShowFit || !is_valid_model(fit.m_nModel)) return out;
  const ModelInfo& info = model_info(fit.m_nModel);
  const int ma = info.slots;
  Vec a(ma), bound(2), freeCa(2);
  for (int k = 1; k <= ma && k < ParamSet::kSlots; ++k) a[k] = fit.m_p[k];
  double V1 = 0.0;
  for (int r = 0; r < Titration::kRows; ++r) {
    const double y = doc.m_cells[r][0].GetValue(), added = doc.m_cells[r][1].GetValue(), v = doc.m_cells[r][2].GetValue();
    if (y == 0.0 || v == 0.0) continue;
    if (V1 == 0.0) V1 = v;
    // The fit's total Ca: the start Ca diluted from the first point's volume, in nM.
    const double totalNM = (added + fit.m_dStartCa * V1 / v) * 1000.0;
    if (info.electrode && totalNM == 0.0) continue;
    const double fitted =
        model_response(info.family, info.electrode, fit.m_bDilution != 0, totalNM, a, V1 / v, bound, freeCa, 1);
    out.push_back({fit.m_dStartCa + added, y - fitted});
  }
  return out;
}

std::string residuals_text(const std::vector<ResidualPoint>& points) {
  std::string text = "Total Ca/uM\tResidual\n";
  for (const ResidualPoint& p : points) text += c_printf("%g\t%g\n", p.x, p.residual);
  return text;
}

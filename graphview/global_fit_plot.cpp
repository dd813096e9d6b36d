#include "graphview/global_fit_plot.h"

#include <algorithm>

#include "commands/candidate_points.h"

namespace {

// Maps a response so the curve's lowest value goes to 0 and its highest to 1; residuals are
// differences and only take the scale.
void Normalise(ComparisonPlotSeries& s) {
  if (s.curve.empty()) return;
  const auto [lo, hi] = std::minmax_element(s.curve.begin(), s.curve.end(),
                                            [](const FitPoint& a, const FitPoint& b) { return a.y < b.y; });
  const double offset = lo->y;
  const double span = hi->y - lo->y;
  const double scale = span > 0.0 ? 1.0 / span : 1.0;
  for (FitPoint& p : s.curve) p.y = (p.y - offset) * scale;
  for (CandidatePoint& p : s.points) {
    p.y = (p.y - offset) * scale;
    p.fitted = (p.fitted - offset) * scale;
  }
}

}  // namespace

std::vector<ComparisonPlotSeries> global_fit_series(const GlobalFitResult& result) {
  std::vector<ComparisonPlotSeries> out;
  for (std::size_t i = 0; i < result.titrations.size(); ++i) {
    const GlobalTitrationPart& part = result.titrations[i];
    CandidateFit titration;
    titration.model = result.model;
    titration.fitted = true;
    titration.job = part.job;
    titration.result = part.result;
    ComparisonPlotSeries s = MakeComparisonSeries(titration, static_cast<int>(i));
    s.label = part.name;
    s.ownPoints = true;
    Normalise(s);
    out.push_back(std::move(s));
  }
  return out;
}

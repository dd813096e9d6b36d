// The global fit's graph series: one per titration, named after it, with the response scaled
// so each fitted curve spans 0..1 and the residuals scaled alike (not shifted).
#include "graphview/global_fit_plot.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "commands/fit_command.h"
#include "tests/commands/series.h"

namespace {

// A one-site titration with its own responses (free, bound), fitted on its own.
void FittedTitration(Titration& doc, double freeResponse, double boundResponse, unsigned seed) {
  const SeriesSpec series = series_design(1, {freeResponse, boundResponse, 10.0, 6.0}, 60, 0.002, 40, seed);
  write_series(doc, series);
  ASSERT_TRUE(run_fit_command(doc, fit_settings_at_truth(series, doc), nullptr).fitted);
}

TEST(GlobalFitPlot, EveryTitrationSpansZeroToOneWithItsResidualsScaled) {
  Titration a, b;
  FittedTitration(a, 0.0, 1.0, 3);
  FittedTitration(b, 2.0, 0.5, 5);  // a falling response over a span of 1.5
  const GlobalFitResult result = run_global_fit({{"rising", &a}, {"falling", &b}}, {});
  const std::vector<ComparisonPlotSeries> series = global_fit_series(result);
  ASSERT_EQ(series.size(), 2u);
  EXPECT_EQ(series[0].label, "rising");
  EXPECT_EQ(series[1].label, "falling");
  EXPECT_NE(series[0].colour, series[1].colour);
  for (std::size_t t = 0; t < 2; ++t) {
    const ComparisonPlotSeries& s = series[t];
    const auto [lo, hi] = std::minmax_element(s.curve.begin(), s.curve.end(),
                                              [](const FitPoint& p, const FitPoint& q) { return p.y < q.y; });
    EXPECT_NEAR(lo->y, 0.0, 1e-12);
    EXPECT_NEAR(hi->y, 1.0, 1e-12);
    CandidateFit raw;
    raw.model = result.model;
    raw.fitted = true;
    raw.job = result.titrations[t].job;
    raw.result = result.titrations[t].result;
    const ComparisonPlotSeries unscaled = MakeComparisonSeries(raw, 0);
    const auto [rawLo, rawHi] = std::minmax_element(unscaled.curve.begin(), unscaled.curve.end(),
                                                    [](const FitPoint& p, const FitPoint& q) { return p.y < q.y; });
    const double span = rawHi->y - rawLo->y;
    ASSERT_EQ(s.points.size(), unscaled.points.size());
    for (std::size_t i = 0; i < s.points.size(); ++i) {
      EXPECT_DOUBLE_EQ(s.points[i].x, unscaled.points[i].x) << "the total-Ca axis is shared, not scaled";
      EXPECT_NEAR(s.points[i].Residual(), unscaled.points[i].Residual() / span, 1e-12);
    }
  }
}

TEST(GlobalFitPlot, NoTitrationsNoSeries) { EXPECT_TRUE(global_fit_series(GlobalFitResult{}).empty()); }

}  // namespace

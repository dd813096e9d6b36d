// What a fit says about how well the data fix its rows: profile-likelihood intervals against
// the covariance interval, an open side for a stoichiometric titration, a correlated pair of
// nearly equal constants, and the converged jackknife on a poorly determined protein.
#include <cmath>

#include <gtest/gtest.h>

#include "commands/fit_command.h"
#include "commands/identifiability.h"
#include "commands/residuals.h"
#include "series.h"

namespace {

// The Fit dialog started at the true values (the tests are about the errors, not the search),
// with the model's default fit flags.
FitSettings settings_for(const SeriesSpec& series, Titration& doc, bool profile) {
  FitSettings s = fit_settings_at_truth(series, doc);
  s.m_bProfile = profile;
  return s;
}

FitOutcome fit(const SeriesSpec& series, bool profile, Titration& doc, FitSettings* used = nullptr) {
  write_series(doc, series);
  FitSettings s = settings_for(series, doc, profile);
  if (used) *used = s;
  return run_fit_command(doc, s, nullptr);
}

const FitWarning* find_warning(const FitDiagnostics& d, const std::string& kind) {
  for (const FitWarning& w : d.warnings)
    if (w.kind == kind) return &w;
  return nullptr;
}

// Covariance errors of the fit in log units of each row's internal value, scaled by the
// residual SD as the profile's threshold is (constant SD 1 gives the bare covariance errors).
double covariance_log_error(const SeriesSpec& series, int row) {
  Titration doc;
  write_series(doc, series);
  FitSettings s = settings_for(series, doc, false);
  s.m_bEstimateErrors = 1;
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  s.m_dConstantSD = 1.0;
  const FitOutcome out = run_fit_command(doc, s, nullptr);
  int fitted = 0;
  for (int k = 1; k <= model_info(series.model).slots; ++k) fitted += doc.m_fit.m_err[k] > 0 ? 1 : 0;
  const double residualSD = std::sqrt(out.result.params[0] / (series.points - fitted));
  return out.result.errors[row] * residualSD / (out.result.params[row] * std::log(10.0));
}

TEST(FitIntervals, WellDeterminedConstantMatchesTheCovarianceInterval) {
  const SeriesSpec series = series_design(1, {1.0, 2.0, 10.0, 6.0}, 60, 0.002);
  Titration doc;
  const FitOutcome out = fit(series, true, doc);
  const FitDiagnostics& d = out.result.diagnostics;
  ASSERT_TRUE(d.haveProfile);
  ASSERT_EQ(d.profile.size(), 4u);  // every fitted row
  for (const RowInterval& r : d.profile) {
    ASSERT_TRUE(r.lo68 && r.hi68 && r.lo95 && r.hi95) << r.name;
    EXPECT_LT(*r.lo95, *r.lo68) << r.name;
    EXPECT_LT(*r.lo68, r.value) << r.name;
    EXPECT_LT(r.value, *r.hi68) << r.name;
    EXPECT_LT(*r.hi68, *r.hi95) << r.name;
  }
  const RowInterval* logK = d.IntervalOf(4);
  ASSERT_NE(logK, nullptr);
  EXPECT_EQ(logK->name, "log K:");
  EXPECT_NEAR(logK->value, display_lgK(doc.m_fit.m_p[4]), 1e-3);
  const double se = covariance_log_error(series, 4);
  EXPECT_NEAR(*logK->hi68 - logK->value, se, 0.1 * se);
  EXPECT_NEAR(logK->value - *logK->lo68, se, 0.1 * se);
  EXPECT_TRUE(d.warnings.empty()) << d.warnings.front().text;
  EXPECT_EQ(doc.m_fitDiagnostics.profile.size(), 4u);  // kept with the document's fit
}

TEST(FitIntervals, TightBindingStretchesTheUpperSide) {
  // Kd = 3 nM against 10 uM protein: the curve's corner sharpens slowly as log K rises, so
  // the data push back harder below the estimate than above it.
  Titration doc;
  const FitOutcome out = fit(series_design(1, {1.0, 2.0, 10.0, 8.5}, 30, 0.002), true, doc);
  const RowInterval* logK = out.result.diagnostics.IntervalOf(4);
  ASSERT_TRUE(logK && logK->lo95 && logK->hi95);
  EXPECT_GT(*logK->hi95 - logK->value, 1.3 * (logK->value - *logK->lo95));
}

TEST(FitIntervals, StoichiometricTitrationLeavesTheUpperSideOpen) {
  // Kd = 1 nM against 10 uM protein: every Ca added is bound until the protein is full.
  Titration doc;
  const FitOutcome out = fit(series_design(1, {1.0, 2.0, 10.0, 9.0}, 30, 0.005), true, doc);
  const FitDiagnostics& d = out.result.diagnostics;
  const RowInterval* logK = d.IntervalOf(4);
  ASSERT_TRUE(logK && logK->lo95);
  EXPECT_FALSE(logK->hi95.has_value());
  EXPECT_FALSE(logK->hi68.has_value());
  EXPECT_GT(*logK->lo95, 7.5);
  EXPECT_LT(*logK->lo95, 9.5);
  const FitWarning* w = find_warning(d, "unbounded");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->rows, std::vector<int>{4});
  EXPECT_EQ(w->text, "log K is not determined by these data: only a lower bound, log K > " + format_c("%.1f", *logK->lo95));
  EXPECT_EQ(warnings_summary_line(d), w->text);
}

TEST(FitIntervals, CovarianceAloneFlagsAConstantItCannotBound) {
  Titration doc;
  const FitOutcome out = fit(series_design(1, {1.0, 2.0, 10.0, 9.0}, 30, 0.005), false, doc);
  const FitWarning* w = find_warning(out.result.diagnostics, "unbounded");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->text.rfind("log K is not determined by these data: its error is ", 0), 0u) << w->text;
  EXPECT_FALSE(out.result.diagnostics.haveProfile);
}

TEST(FitIntervals, NearlyEqualConstantsAreCorrelated) {
  // Two sites seen by a Ca electrode with little protein: only the product K1 K2 shows.
  Titration doc;
  const FitOutcome out = fit(series_design(8, {25.0, 10.0, 2.0, 6.0, 6.1}, 300, 0.02), false, doc);
  const FitDiagnostics& d = out.result.diagnostics;
  EXPECT_EQ(d.correlationRows, (std::vector<int>{2, 3, 4, 5}));
  ASSERT_EQ(d.correlation.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(d.correlation[i][i], 1.0);
    for (std::size_t j = 0; j < 4; ++j) EXPECT_DOUBLE_EQ(d.correlation[i][j], d.correlation[j][i]);
  }
  const FitWarning* w = find_warning(d, "correlated");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->rows, (std::vector<int>{4, 5}));
  const double sum = display_lgK(out.result.params[4]) + display_lgK(out.result.params[5]);
  const std::string prefix = "log K1 and log K2 are not separately determined; log K1 + log K2 = " + format_c("%.2f", sum) + " \u00b1 ";
  EXPECT_EQ(w->text.rfind(prefix, 0), 0u) << w->text;
}

TEST(FitReviewNames, SentencesTellEveryRowApart) {
  EXPECT_EQ(fit_row_name(3, 2), "Response w one Ca");
  EXPECT_EQ(fit_row_name(3, 3), "Response w two Ca");
  EXPECT_EQ(fit_row_name(3, 5), "log K1");
  EXPECT_EQ(fit_row_name(1, 2), "Response w Ca");
  for (int model = 1; model <= 10; ++model)
    for (int a = 1; a <= fit_dialog_layout(model - 1).rowsShown; ++a)
      for (int b = a + 1; b <= fit_dialog_layout(model - 1).rowsShown; ++b)
        EXPECT_NE(fit_row_name(model, a), fit_row_name(model, b)) << model << ": " << a << ", " << b;
}

TEST(FitResiduals, FollowTheGridAndLeaveOutWhatTheFitLeavesOut) {
  // An electrode series starts at total Ca 0, which the fit cannot use (log 0).
  SeriesSpec series = series_design(7, {25.0, 10.0, 50.0, 5.0}, 300, 0.0);
  series.startCaUM = 0.0;
  Titration doc;
  EXPECT_TRUE(fit_residuals(doc).empty());  // no fit shown
  const FitOutcome out = fit(series, false, doc);
  ASSERT_TRUE(out.fitted);
  std::vector<ResidualPoint> residuals = fit_residuals(doc);
  ASSERT_EQ(residuals.size(), static_cast<std::size_t>(series.points - 1));
  EXPECT_GT(residuals.front().x, 0.0);
  // Unit weights: the residuals' sum of squares is the fit's chi-square.
  double squares = 0.0;
  for (const ResidualPoint& p : residuals) squares += p.residual * p.residual;
  EXPECT_NEAR(squares, out.result.params[0], 1e-9 * out.result.params[0]);
  // An edited response shows at once as its own residual.
  const double before = residuals[9].residual;
  doc.m_cells[10][0].SetText(c_printf("%.10g", doc.m_cells[10][0].GetValue() + 0.5));
  residuals = fit_residuals(doc);
  EXPECT_NEAR(residuals[9].residual - before, 0.5, 1e-9);
  EXPECT_EQ(residuals_text({{1.5, -0.25}}), "Total Ca/uM\tResidual\n1.5\t-0.25\n");
}

TEST(FitIntervals, ConvergedJackknifeFollowsAPoorlyDeterminedProtein) {
  // Six sites with a chelator, 99 points: the protein concentration trades off against the
  // constants. Each subset refit must walk the valley to its own minimum.
  const SeriesSpec series = series_design(6, {0.1, 1.0, 5.0, -6.0, 6.5, 6.3, 6.1, 5.9, 5.7, 5.5, 20.0}, 150, 0.002, 99);
  Titration doc;
  write_series(doc, series);
  FitSettings s = settings_for(series, doc, false);
  s.m_bEstimateErrors = 1;
  fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
  FitOptions options;
  options.jackknifeSeed = 3;
  const FitOutcome jackknife = run_fit_command(doc, s, nullptr, options);
  ASSERT_TRUE(jackknife.fitted);
  options.threads = 1;  // the same subsets on one thread give the same errors
  const FitOutcome serial = run_fit_command(doc, s, nullptr, options);
  for (int k = 1; k <= 11; ++k) EXPECT_EQ(serial.result.errors[k], jackknife.result.errors[k]) << "row " << k;
  const double covariance = covariance_log_error(series, 3) * jackknife.result.params[3] * std::log(10.0);
  const double ratio = jackknife.result.errors[3] / covariance;
  EXPECT_GT(ratio, 0.5);
  EXPECT_LT(ratio, 2.0);
}

}  // namespace

// The fit's Parameters dialog: a fit of this session lists its fitted rows with intervals and
// how it ended; the same fit as a file keeps no review, so the stored values show instead of
// an empty list, and how it ended is "not known".
TEST(FitReviewLines, ThisSessionsFitAndAFitReadFromAFile) {
  Titration doc;
  fit(series_design(1, {1.0, 2.0, 10.0, 6.0}, 30, 0.005), true, doc);
  const FitReviewLines fresh = fit_review_lines(doc);
  ASSERT_FALSE(fresh.rows.empty());
  EXPECT_NE(fresh.rows.back().find("95 %:"), std::string::npos) << fresh.rows.back();
  ASSERT_EQ(fresh.run.size(), 2u);
  EXPECT_EQ(fresh.run[0].rfind("Fit ended: ", 0), 0u);

  doc.m_fitDiagnostics = FitDiagnostics{};
  doc.m_fitRun = FitRunRecord{};
  const FitReviewLines loaded = fit_review_lines(doc);
  EXPECT_EQ(loaded.rows, simulation_parameter_lines(doc.m_fit).lines);
  EXPECT_FALSE(loaded.rows.empty());
  EXPECT_EQ(loaded.run, std::vector<std::string>{"Fit ended: not known (read from a file)"});
  EXPECT_EQ(loaded.title, fresh.title);
}

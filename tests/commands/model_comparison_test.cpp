// Model comparison: the criteria as defined, the F test against tabulated critical values,
// and the comparison of real fits picking the model that made the data.
#include <cmath>

#include <gtest/gtest.h>

#include "commands/candidate_points.h"
#include "commands/model_comparison.h"
#include "series.h"

namespace {

CandidateFit candidate(int model, int n, int p, double chiSquare) {
  CandidateFit c;
  c.model = model;
  c.fitted = true;
  c.n = n;
  c.p = p;
  c.chiSquare = chiSquare;
  return c;
}

TEST(ModelCriteria, AiccAndBicCountTheNoiseAsAParameter) {
  // n = 40, p = 5, chi2 = 0.004: k = 6.
  const double base = 40.0 * std::log(0.004 / 40.0);
  EXPECT_NEAR(aicc(0.004, 40, 5), base + 12.0 + 2.0 * 6 * 7 / 33.0, 1e-12);
  EXPECT_NEAR(bic(0.004, 40, 5), base + 6.0 * std::log(40.0), 1e-12);
  EXPECT_TRUE(std::isinf(aicc(0.004, 7, 5)));  // n - k - 1 = 0
}

TEST(ModelCriteria, FTestMatchesTabulatedCriticalValues) {
  // F(2, 50) at its 95 % point 3.183 and F(1, 10) at 4.965: p = 0.05.
  const CandidateFit simple = candidate(2, 57, 5, 1.0);
  CandidateFit complex = candidate(4, 57, 7, 0.0);
  complex.chiSquare = 1.0 / (1.0 + 3.183 * 2.0 / 50.0);
  const FTestResult t = extra_sum_of_squares_test(simple, complex);
  EXPECT_NEAR(t.F, 3.183, 1e-9);
  EXPECT_NEAR(t.p, 0.05, 5e-4);
  const FTestResult u = extra_sum_of_squares_test(candidate(1, 14, 3, 1.0), candidate(3, 14, 4, 1.0 / (1.0 + 4.965 / 10.0)));
  EXPECT_NEAR(u.p, 0.05, 5e-4);
  // A larger model that fits worse gains nothing.
  EXPECT_EQ(extra_sum_of_squares_test(candidate(2, 57, 5, 1.0), candidate(4, 57, 7, 1.1)).p, 1.0);
}

TEST(ModelCriteria, KindsAndNesting) {
  EXPECT_EQ(models_of_same_kind(4), (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(models_of_same_kind(1), (std::vector<int>{1, 3}));
  EXPECT_EQ(models_of_same_kind(9), (std::vector<int>{7, 8, 9, 10}));
  EXPECT_EQ(models_of_same_kind(5), (std::vector<int>{5}));
  EXPECT_TRUE(is_nested_pair(2, 6));
  EXPECT_TRUE(is_nested_pair(8, 10));
  EXPECT_FALSE(is_nested_pair(4, 2));
  EXPECT_FALSE(is_nested_pair(1, 2));
}

// A document fitted with the generating model, as a user would have it before comparing.
Titration fitted_document(const SeriesSpec& series) {
  Titration doc;
  write_series(doc, series);
  if (model_info(series.model).electrode) doc.m_cells[0][0].SetText("-80");
  FitSettings s;
  s.m_nModelIndex = series.model - 1;
  fit_dialog_open(s, doc);
  for (int row = 1; row <= kValueRows; ++row) s.m_dValue[row] = series.rows[row];
  s.m_bDilution = series.dilution;
  EXPECT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  return doc;
}

TEST(ModelComparisonFits, PicksTheFourSiteModelThatMadeTheData) {
  const Titration doc = fitted_document(series_design(4, {0.1, 1.0, 10.0, -6.0, 7.2, 6.2, 5.4, 4.6, 20.0}, 300, 0.002, 60));
  const ModelComparison out = compare_models(doc, {});
  ASSERT_EQ(out.candidates.size(), 3u);
  EXPECT_EQ(out.best, 4) << out.verdict;
  EXPECT_EQ(out.n, 60);
  double sum = 0.0;
  for (const CandidateFit& c : out.candidates) {
    ASSERT_TRUE(c.fitted) << c.model << ": " << c.message;
    sum += c.weight;
  }
  EXPECT_NEAR(sum, 1.0, 1e-12);
  // The graph's residuals are the ones the least squares minimised.
  for (const CandidateFit& c : out.candidates) {
    const std::vector<CandidatePoint> points = candidate_points(c);
    ASSERT_EQ(points.size(), static_cast<std::size_t>(c.n));
    double chi2 = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const double r = points[i].Residual() / c.job->sigma[i];
      chi2 += r * r;
    }
    EXPECT_NEAR(chi2, c.chiSquare, 1e-6 * c.chiSquare) << c.model;
    EXPECT_NEAR(points.back().x, c.job->x.back() * 0.001, 1e-12);
  }
  EXPECT_TRUE(candidate_points(CandidateFit{}).empty());
  // The candidates share the chelator's known constant and concentration with the fit.
  EXPECT_EQ(out.candidates[0].values[4], -6.0);
  EXPECT_EQ(out.candidates[2].values[11], 20.0);
  ASSERT_EQ(out.fTests.size(), 3u);
  EXPECT_NE(out.verdict.find("Model 4 is "), std::string::npos) << out.verdict;
  EXPECT_NE(out.verdict.find("more likely than model"), std::string::npos) << out.verdict;
}

TEST(ModelComparisonFits, PrefersTheSimplerModelWhenExtraSitesAddNothing) {
  const Titration doc = fitted_document(series_design(8, {25.0, 10.0, 50.0, 5.5, 5.0}, 300, 0.05, 60));
  ComparisonOptions options;
  options.models = {7, 8, 9};
  const ModelComparison out = compare_models(doc, options);
  EXPECT_EQ(out.best, 8) << out.verdict;
  for (const FTestResult& t : out.fTests) {
    if (t.simple == 7) {
      EXPECT_LT(t.p, 1e-6) << "one site cannot describe two";
    }
  }
}

TEST(ModelComparisonVerdict, SaysWhatIsDoubtfulAboutTheRecommendedFit) {
  ModelComparison out;
  out.candidates = {candidate(2, 60, 5, 1.0), candidate(4, 60, 7, 0.5)};
  out.candidates[0].weight = 0.024;
  out.candidates[1].weight = 0.976;
  const std::string plain = "Model 4 is 41 times more likely than model 2 (Akaike weights 0.976 / 0.024).";
  EXPECT_EQ(comparison_verdict(out), plain);
  // A warning that leaves the constants determined does not make the fit doubtful.
  std::vector<FitWarning>& warnings = out.candidates[1].result.diagnostics.warnings;
  warnings.push_back({"at_bound", {3}, "Protein concentration was driven towards zero (1e-06 uM)"});
  EXPECT_EQ(comparison_verdict(out), plain);
  warnings.push_back({"correlated", {7, 8}, "log K3 and log K4 are not separately determined; log K3 + log K4 = 11.02 \u00b1 0.05"});
  EXPECT_EQ(comparison_verdict(out), plain + " Its fit has a warning: log K3 and log K4 are not separately determined; "
                                             "log K3 + log K4 = 11.02 \u00b1 0.05.");
  // Several: counted, the failed convergence named first.
  warnings.push_back({"not_converged", {}, "The fit did not converge: Stopped at the run limit"});
  EXPECT_EQ(comparison_verdict(out), plain + " Its fit has 2 warnings; the first: The fit did not converge: Stopped at the run limit.");
  // Only the recommended candidate's warnings count.
  std::swap(out.candidates[0].weight, out.candidates[1].weight);
  EXPECT_EQ(comparison_verdict(out).find("Its fit"), std::string::npos) << comparison_verdict(out);
  out.candidates[0].fitted = false;
  EXPECT_EQ(comparison_verdict(out), "Only model 4 could be fitted. Its fit has 2 warnings; the first: The fit did not "
                                     "converge: Stopped at the run limit.");
}

TEST(ModelComparisonFits, AnOverParameterisedCandidateCarriesItsWarnings) {
  // Two sites made the data; four sites cannot all be determined from them.
  const Titration doc = fitted_document(series_design(2, {0.1, 1.0, 10.0, -6.0, 7.0, 5.5, 20.0}, 300, 0.002, 60));
  ComparisonOptions options;
  options.models = {2, 4};
  const ModelComparison out = compare_models(doc, options);
  ASSERT_EQ(out.candidates.size(), 2u);
  const CandidateFit& two = out.candidates[0];
  const CandidateFit& four = out.candidates[1];
  ASSERT_TRUE(two.fitted && four.fitted) << two.message << four.message;
  EXPECT_TRUE(doubtful_warnings(two).empty()) << (two.Warnings().empty() ? "" : two.Warnings()[0].text);
  const std::vector<const FitWarning*> doubts = doubtful_warnings(four);
  ASSERT_FALSE(doubts.empty());
  bool undetermined = false;
  for (const FitWarning* w : doubts) {
    undetermined = undetermined || w->kind == "correlated" || w->kind == "unbounded";
    for (int row : w->rows) EXPECT_TRUE(row >= 1 && row <= four.job->ma) << w->text;
  }
  EXPECT_TRUE(undetermined);
  EXPECT_EQ(out.best, 2) << out.verdict;
  EXPECT_EQ(out.verdict.find("Its fit"), std::string::npos) << out.verdict;

  // Asked alone, the four-site model is recommended only with its doubts said.
  options.models = {4};
  const ModelComparison alone = compare_models(doc, options);
  EXPECT_EQ(alone.verdict.rfind("Only model 4 could be fitted. Its fit has ", 0), 0u) << alone.verdict;
}

TEST(ModelComparisonFits, RefusesWhatCannotBeCompared) {
  Titration empty;
  EXPECT_THROW(compare_models(empty, {}), std::invalid_argument);
  const Titration doc = fitted_document(series_design(1, {1.0, 2.0, 10.0, 6.0}, 60, 0.002, 60));
  ComparisonOptions options;
  options.models = {1, 2};
  EXPECT_THROW(compare_models(doc, options), std::invalid_argument);
}

}  // namespace

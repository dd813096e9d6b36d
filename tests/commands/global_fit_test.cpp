// Global fits of titrations simulated from one protein: the shared constants come back within
// their errors and better determined than by any single titration; one titration alone is
// the ordinary fit; what cannot be fitted together is refused with a message.
#include <cmath>
#include <stdexcept>

#include <gtest/gtest.h>

#include "commands/fit_record_settings.h"
#include "commands/global_fit.h"
#include "fitting/models.h"
#include "series.h"

namespace {

// A titration fitted on its own from start values a little off, with covariance errors
// from the known noise, as a user would have it before the global fit.
Titration fitted(const SeriesSpec& series, bool extensive = false) {
  Titration doc;
  write_series(doc, series);
  FitSettings s = fit_settings_at_truth(series, doc);
  for (int row = 1; row <= model_info(series.model).slots && row <= kValueRows; ++row)
    if (slot_kind(series.model, row) == SlotKind::AssociationConstant) s.m_dValue[row] += 0.3;
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  s.m_dConstantSD = series.noise;
  s.m_bExtensive = extensive;
  EXPECT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  return doc;
}

GlobalFitRequest covariance_request(double sd) {
  GlobalFitRequest r;
  fit_dialog_choose_error_radio(r.errors, ErrorRadio::ConstantSD);
  r.errors.m_dConstantSD = sd;
  return r;
}

// The chi-square of the global problem started at the true values with the broad search.
double chi_square_from_truth(std::vector<Titration> docs, const SeriesSpec& truth, const GlobalFitRequest& request) {
  std::vector<GlobalFitInput> inputs;
  for (Titration& d : docs) {
    for (int k = 1; k <= d.m_fit.m_nParams; ++k)
      if (slot_kind(truth.model, k) == SlotKind::AssociationConstant)
        d.m_fit.m_p[k] = user_to_internal(SlotKind::AssociationConstant, truth.rows[k]);
  }
  for (Titration& d : docs) inputs.push_back({"truth", &d});
  GlobalFitRequest r = request;
  r.extensive = true;
  return run_global_fit(inputs, r).chiSquare;
}

TEST(GlobalFit, TwoChelatorsPinTheFourSitesBetterThanEither) {
  // One four-site protein titrated against a weak and a strong chelator.
  const SeriesSpec weak = series_design(4, {0.1, 1.0, 10.0, -5.5, 6.6, 6.2, 5.8, 5.5, 20.0}, 150, 0.002, 50, 3);
  const SeriesSpec strong = series_design(4, {0.2, 1.2, 10.0, -7.0, 6.6, 6.2, 5.8, 5.5, 20.0}, 150, 0.002, 50, 4);
  std::vector<Titration> docs = {fitted(weak, true), fitted(strong, true)};
  const GlobalFitRequest request = covariance_request(0.002);
  const GlobalFitResult r = run_global_fit({{"weak", &docs[0]}, {"strong", &docs[1]}}, request);

  ASSERT_EQ(r.shared.size(), 4u);
  EXPECT_EQ(r.n, 100);
  EXPECT_EQ(r.p, 4 + 2 * 3);  // shared constants; each its two responses and protein
  EXPECT_EQ(r.stop, FitStop::Converged);
  EXPECT_LE(r.chiSquare, chi_square_from_truth(docs, weak, request) * (1 + 1e-6));
  for (const GlobalSharedRow& s : r.shared) {
    EXPECT_NEAR(s.value, weak.rows[s.row], 4 * s.error) << s.name;
    for (const Titration& d : docs) {
      const double single = dialog_error(4, s.row, d.m_fit.m_p[s.row], d.m_fit.m_err[s.row]);
      EXPECT_LT(s.error, single) << s.name << ": the global error must beat each single fit's";
    }
  }
  // Unshared rows stay each titration's own.
  EXPECT_NE(r.titrations[0].values[1], r.titrations[1].values[1]);
  EXPECT_NEAR(r.titrations[1].values[4], -7.0, 1e-12) << "a row neither fitted nor shared keeps its value";
}

TEST(GlobalFit, TwoProteinConcentrationsShareTheTwoSites) {
  const SeriesSpec low = series_design(2, {0.1, 1.0, 10.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002, 50, 5);
  const SeriesSpec high = series_design(2, {0.1, 1.0, 40.0, -6.0, 6.5, 6.0, 25.0}, 200, 0.002, 50, 6);
  std::vector<Titration> docs = {fitted(low), fitted(high)};
  const GlobalFitResult r = run_global_fit({{"low", &docs[0]}, {"high", &docs[1]}}, covariance_request(0.002));
  ASSERT_EQ(r.shared.size(), 2u);
  EXPECT_EQ(r.shared[0].name, "log K1:");
  for (const GlobalSharedRow& s : r.shared) EXPECT_NEAR(s.value, low.rows[s.row], 4 * s.error) << s.name;
  EXPECT_NEAR(r.titrations[0].values[3], 10.0, 2.0);
  EXPECT_NEAR(r.titrations[1].values[3], 40.0, 4.0);
  EXPECT_NEAR(r.chiSquare, r.titrations[0].chiSquare + r.titrations[1].chiSquare, 1e-12 * r.chiSquare);
}

TEST(GlobalFit, OneTitrationIsTheOrdinaryFit) {
  const SeriesSpec one = series_design(2, {0.1, 1.0, 20.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002, 50, 7);
  Titration doc = fitted(one);
  const GlobalFitResult r = run_global_fit({{"one", &doc}}, covariance_request(0.002));
  const GlobalTitrationPart& part = r.titrations.front();
  EXPECT_NEAR(r.chiSquare, doc.m_fit.m_p[0], 1e-6 * doc.m_fit.m_p[0]);
  for (int k = 1; k <= 7; ++k) {
    EXPECT_NEAR(part.result.params[k], doc.m_fit.m_p[k], 1e-4 * std::fabs(doc.m_fit.m_p[k])) << "slot " << k;
    EXPECT_NEAR(part.result.errors[k], doc.m_fit.m_err[k], 1e-3 * std::fabs(doc.m_fit.m_err[k]) + 1e-15) << "slot " << k;
  }
  // Applying the part stores it as the document's fit.
  Titration applied = doc;
  apply_global_part(applied, part);
  EXPECT_EQ(applied.m_fit.m_p[5], part.result.params[5]);
  EXPECT_EQ(applied.m_bShowFit, 1);
}

TEST(GlobalFit, RefusesWhatCannotBeFittedTogether) {
  const SeriesSpec two = series_design(2, {0.1, 1.0, 20.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002, 50, 8);
  Titration a = fitted(two), unfitted;
  write_series(unfitted, two);
  const Titration other = fitted(series_design(1, {1.0, 2.0, 10.0, 6.0}, 60, 0.002, 50, 9));
  const GlobalFitRequest request;
  auto message = [&](const std::vector<GlobalFitInput>& in, const GlobalFitRequest& r) -> std::string {
    try {
      run_global_fit(in, r);
    } catch (const std::invalid_argument& e) {
      return e.what();
    }
    return "accepted";
  };
  EXPECT_NE(message({{"a.bwd", &a}, {"b.bwd", &unfitted}}, request).find("b.bwd: the document holds no fit"), std::string::npos);
  EXPECT_NE(message({{"a.bwd", &a}, {"c.bwd", &other}}, request).find("c.bwd: its fit uses model 1"), std::string::npos);
  GlobalFitRequest chelator = request;
  chelator.sharedRows = {4};  // the chelator's log Kd, not fitted
  EXPECT_NE(message({{"a.bwd", &a}, {"a2.bwd", &a}}, chelator).find("row 4 (log Kd Chelator:) is shared but"), std::string::npos);
  chelator.sharedRows = {9};
  EXPECT_NE(message({{"a.bwd", &a}}, chelator).find("Row 9 cannot be shared"), std::string::npos);
}

// Counts its polls and asks to stop from poll stopAt on (never when stopAt is 0).
struct StopAtPoll : StopCheck {
  explicit StopAtPoll(long at) : stopAt(at) {}
  bool StopRequested() override { return ++polls >= stopAt && stopAt > 0; }
  long stopAt, polls = 0;
};

TEST(GlobalFit, AStopEndsTheFitOrItsJackknifeAsStopped) {
  const SeriesSpec low = series_design(2, {0.1, 1.0, 10.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002, 50, 10);
  const SeriesSpec high = series_design(2, {0.1, 1.0, 40.0, -6.0, 6.5, 6.0, 25.0}, 200, 0.002, 50, 11);
  std::vector<Titration> docs = {fitted(low), fitted(high)};
  const std::vector<GlobalFitInput> inputs = {{"low", &docs[0]}, {"high", &docs[1]}};
  GlobalFitRequest request;
  fit_dialog_choose_error_radio(request.errors, ErrorRadio::Jackknife);
  request.errors.m_bEstimateErrors = 1;
  request.jackknifeSeed = 5;

  // How many polls the fit itself takes, then the whole run with its jackknife.
  StopAtPoll counter(0);
  GlobalFitRequest plain = covariance_request(0.002);
  plain.stop = &counter;
  ASSERT_EQ(run_global_fit(inputs, plain).stop, FitStop::Converged);
  const long fitPolls = counter.polls;
  StopAtPoll whole(0);
  request.stop = &whole;
  const GlobalFitResult full = run_global_fit(inputs, request);
  ASSERT_TRUE(full.haveErrors);
  ASSERT_GT(whole.polls, fitPolls + 10) << "the jackknife polls too";

  for (const long at : {1L, fitPolls / 2, fitPolls + 5, whole.polls - 2}) {
    StopAtPoll stop(at);
    request.stop = &stop;
    const GlobalFitResult r = run_global_fit(inputs, request);
    EXPECT_EQ(r.stop, FitStop::Stopped) << "stopped at poll " << at << " of " << whole.polls;
    EXPECT_FALSE(r.haveErrors) << "a cut-short jackknife gives no errors (poll " << at << ")";
    for (const GlobalSharedRow& s : r.shared) EXPECT_EQ(s.error, 0.0);
  }
}

}  // namespace

// Profile-likelihood intervals of a global fit: the shared constants' intervals bracket their
// estimates and are no wider than those of either titration alone, and an applied part
// carries them to its document; one titration alone gives the ordinary fit's intervals; a
// negative response is refitted as freely as a positive one, and listing the titrations in
// another order changes no interval; a stop during the searches leaves a stopped result
// without intervals; the parts' warnings come once for a shared row and with the file's name
// for a titration's own.
#include <algorithm>
#include <atomic>
#include <cmath>

#include <gtest/gtest.h>

#include "commands/fit_command.h"
#include "commands/fit_record_settings.h"
#include "commands/global_fit.h"
#include "fitting/models.h"
#include "series.h"

namespace {

// A titration fitted on its own from its true values, with covariance errors from the known
// noise and, when asked, its own profile intervals.
Titration fitted_alone(const SeriesSpec& series, bool profile) {
  Titration doc;
  write_series(doc, series);
  FitSettings s = fit_settings_at_truth(series, doc);
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  s.m_dConstantSD = series.noise;
  s.m_bProfile = profile;
  EXPECT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  return doc;
}

GlobalFitRequest profile_request(double sd) {
  GlobalFitRequest r;
  fit_dialog_choose_error_radio(r.errors, ErrorRadio::ConstantSD);
  r.errors.m_dConstantSD = sd;
  r.profileIntervals = true;
  return r;
}

double width95(const RowInterval& r) { return *r.hi95 - *r.lo95; }

void expect_brackets(const RowInterval& r, const std::string& what) {
  ASSERT_TRUE(r.lo68 && r.hi68 && r.lo95 && r.hi95) << what << " should be bounded on both sides";
  EXPECT_LT(*r.lo95, *r.lo68) << what;
  EXPECT_LT(*r.lo68, r.value) << what;
  EXPECT_LT(r.value, *r.hi68) << what;
  EXPECT_LT(*r.hi68, *r.hi95) << what;
}

TEST(GlobalProfile, SharedConstantsAreBracketedAndNoWiderThanAnySingleTitrations) {
  // One four-site protein against a weak and a strong chelator.
  const SeriesSpec weak = series_design(4, {0.1, 1.0, 10.0, -5.5, 6.6, 6.2, 5.8, 5.5, 20.0}, 150, 0.002, 50, 3);
  const SeriesSpec strong = series_design(4, {0.2, 1.2, 10.0, -7.0, 6.6, 6.2, 5.8, 5.5, 20.0}, 150, 0.002, 50, 4);
  std::vector<Titration> docs = {fitted_alone(weak, true), fitted_alone(strong, true)};
  const GlobalFitResult r = run_global_fit({{"weak", &docs[0]}, {"strong", &docs[1]}}, profile_request(0.002));
  ASSERT_EQ(r.stop, FitStop::Converged);
  ASSERT_TRUE(r.haveProfile);
  ASSERT_EQ(r.shared.size(), 4u);
  int compared = 0;
  for (const GlobalSharedRow& s : r.shared) {
    ASSERT_TRUE(s.interval) << s.name;
    EXPECT_EQ(s.interval->row, s.row);
    EXPECT_DOUBLE_EQ(s.interval->value, s.value);
    expect_brackets(*s.interval, s.name);
    for (const Titration& d : docs) {
      const RowInterval* single = d.m_fitDiagnostics.IntervalOf(s.row);
      ASSERT_NE(single, nullptr) << s.name;
      if (!single->lo95 || !single->hi95) continue;  // open alone: nothing to compare with
      EXPECT_LE(width95(*s.interval), width95(*single) * 1.001) << s.name;
      ++compared;
    }
  }
  EXPECT_GT(compared, 0) << "some single-titration interval should be bounded";
  // Every titration carries the shared rows' intervals and its own fitted rows' ones, and none
  // for a row it holds fixed.
  for (const GlobalTitrationPart& t : r.titrations) {
    for (const GlobalSharedRow& s : r.shared) EXPECT_EQ(t.intervals[s.row]->lo68, s.interval->lo68);
    expect_brackets(*t.intervals[3], t.name + " protein");
    EXPECT_FALSE(t.intervals[4]) << "the chelator's log Kd is not fitted";
  }
  // An applied part brings its intervals, correlations and warnings to its document.
  Titration applied = docs[1];
  apply_global_part(applied, r.titrations[1]);
  const FitDiagnostics& d = applied.m_fitDiagnostics;
  ASSERT_TRUE(d.valid && d.haveProfile);
  EXPECT_EQ(d.fittedRows, docs[1].m_fitDiagnostics.fittedRows);
  EXPECT_EQ(d.correlationRows, d.fittedRows);
  ASSERT_NE(d.IntervalOf(5), nullptr);
  EXPECT_EQ(d.IntervalOf(5)->hi95, r.shared[0].interval->hi95);
  EXPECT_EQ(d.IntervalOf(3)->lo68, r.titrations[1].intervals[3]->lo68);
  auto unbounded = [](const FitDiagnostics& f) {
    return std::count_if(f.warnings.begin(), f.warnings.end(), [](const FitWarning& w) { return w.kind == "unbounded"; });
  };
  EXPECT_LE(unbounded(d), unbounded(docs[1].m_fitDiagnostics));
}

TEST(GlobalProfile, OneTitrationGivesTheOrdinaryFitsIntervals) {
  const SeriesSpec one = series_design(2, {0.1, 1.0, 20.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002, 50, 7);
  Titration doc = fitted_alone(one, true);
  const GlobalFitResult r = run_global_fit({{"one", &doc}}, profile_request(0.002));
  ASSERT_TRUE(r.haveProfile);
  const GlobalTitrationPart& part = r.titrations.front();
  int rows = 0;
  for (const RowInterval& single : doc.m_fitDiagnostics.profile) {
    ASSERT_TRUE(part.intervals[single.row]) << single.name;
    const RowInterval& global = *part.intervals[single.row];
    const double tolerance = 0.01 * width95(single);
    EXPECT_NEAR(global.value, single.value, tolerance) << single.name;
    EXPECT_NEAR(*global.lo68, *single.lo68, tolerance) << single.name;
    EXPECT_NEAR(*global.hi68, *single.hi68, tolerance) << single.name;
    EXPECT_NEAR(*global.lo95, *single.lo95, tolerance) << single.name;
    EXPECT_NEAR(*global.hi95, *single.hi95, tolerance) << single.name;
    ++rows;
  }
  EXPECT_EQ(rows, 5);  // two responses, the protein and both constants
  // Its review is the ordinary fit's too: the same correlations and warnings.
  const FitDiagnostics& global = part.result.diagnostics;
  const FitDiagnostics& single = doc.m_fitDiagnostics;
  ASSERT_EQ(global.correlationRows, single.correlationRows);
  for (std::size_t i = 0; i < single.correlation.size(); ++i)
    for (std::size_t j = 0; j < single.correlation.size(); ++j)
      EXPECT_NEAR(global.correlation[i][j], single.correlation[i][j], 1e-3) << i << ", " << j;
  ASSERT_EQ(global.warnings.size(), single.warnings.size());
  for (std::size_t i = 0; i < single.warnings.size(); ++i) EXPECT_EQ(global.warnings[i].kind, single.warnings[i].kind);
}

TEST(GlobalProfile, NegativeResponsesAndTheTitrationsOrderChangeNothing) {
  // The second titration's signal falls as Ca binds: its bound response is below zero. It is
  // a parameter past the first two of the global vector, which may take any sign all the
  // same.
  const SeriesSpec low = series_design(2, {0.1, 1.0, 10.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002, 50, 5);
  const SeriesSpec high = series_design(2, {0.8, -0.4, 40.0, -6.0, 6.5, 6.0, 25.0}, 200, 0.002, 50, 6);
  std::vector<Titration> docs = {fitted_alone(low, false), fitted_alone(high, false)};
  const GlobalFitResult ab = run_global_fit({{"low", &docs[0]}, {"high", &docs[1]}}, profile_request(0.002));
  const GlobalFitResult ba = run_global_fit({{"high", &docs[1]}, {"low", &docs[0]}}, profile_request(0.002));
  ASSERT_TRUE(ab.haveProfile && ba.haveProfile);
  ASSERT_LT(ab.titrations[1].values[2], 0.0);
  const double residualSD = std::sqrt(ab.chiSquare / (ab.n - ab.p));
  for (int t = 0; t < 2; ++t) {
    const GlobalTitrationPart& first = ab.titrations[static_cast<std::size_t>(t)];
    const GlobalTitrationPart& second = ba.titrations[static_cast<std::size_t>(1 - t)];
    for (int row : {1, 2, 3, 5, 6}) {
      const std::string what = first.name + " row " + std::to_string(row);
      ASSERT_TRUE(first.intervals[row] && second.intervals[row]) << what;
      expect_brackets(*first.intervals[row], what);
      // These rows are well determined, so the 68 % interval is close to +- the covariance
      // error rescaled from the assumed noise SD to the residual SD.
      const double halfWidth = 0.5 * (*first.intervals[row]->hi68 - *first.intervals[row]->lo68);
      EXPECT_NEAR(halfWidth, first.errors[row] * residualSD / 0.002, 0.1 * halfWidth) << what;
      const double tolerance = 0.01 * width95(*first.intervals[row]);
      EXPECT_NEAR(*first.intervals[row]->lo68, *second.intervals[row]->lo68, tolerance) << what;
      EXPECT_NEAR(*first.intervals[row]->hi68, *second.intervals[row]->hi68, tolerance) << what;
      EXPECT_NEAR(*first.intervals[row]->lo95, *second.intervals[row]->lo95, tolerance) << what;
      EXPECT_NEAR(*first.intervals[row]->hi95, *second.intervals[row]->hi95, tolerance) << what;
    }
  }
}

// Asks to stop from poll stopAt on (never when stopAt is 0); polled from every worker.
struct StopAtPoll : StopCheck {
  explicit StopAtPoll(long at) : stopAt(at) {}
  bool StopRequested() override { return ++polls >= stopAt && stopAt > 0; }
  long stopAt;
  std::atomic<long> polls{0};
};

TEST(GlobalProfile, AStopDuringTheSearchesEndsStoppedWithoutIntervals) {
  const SeriesSpec low = series_design(2, {0.1, 1.0, 10.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002, 50, 10);
  const SeriesSpec high = series_design(2, {0.1, 1.0, 40.0, -6.0, 6.5, 6.0, 25.0}, 200, 0.002, 50, 11);
  std::vector<Titration> docs = {fitted_alone(low, false), fitted_alone(high, false)};
  const std::vector<GlobalFitInput> inputs = {{"low", &docs[0]}, {"high", &docs[1]}};
  StopAtPoll fitOnly(0);
  GlobalFitRequest plain = profile_request(0.002);
  plain.profileIntervals = false;
  plain.stop = &fitOnly;
  ASSERT_EQ(run_global_fit(inputs, plain).stop, FitStop::Converged);
  StopAtPoll whole(0);
  GlobalFitRequest request = profile_request(0.002);
  request.stop = &whole;
  ASSERT_TRUE(run_global_fit(inputs, request).haveProfile);
  ASSERT_GT(whole.polls.load(), fitOnly.polls.load() + 100) << "the searches poll too";

  for (const long at : {fitOnly.polls.load() + 3, (fitOnly.polls.load() + whole.polls.load()) / 2, whole.polls.load() - 2}) {
    StopAtPoll stop(at);
    request.stop = &stop;
    const GlobalFitResult r = run_global_fit(inputs, request);
    EXPECT_EQ(r.stop, FitStop::Stopped) << "stopped at poll " << at << " of " << whole.polls.load();
    EXPECT_FALSE(r.haveProfile);
    EXPECT_FALSE(r.haveErrors);
    for (const GlobalSharedRow& s : r.shared) EXPECT_FALSE(s.interval);
    for (const GlobalTitrationPart& t : r.titrations)
      for (int row = 1; row <= kValueRows; ++row) EXPECT_FALSE(t.intervals[row]);
  }
}

}  // namespace

namespace {

TEST(GlobalProfile, WarningsOfSharedRowsComeOnceAndOwnRowsNameTheirTitration) {
  GlobalFitResult r;
  r.shared = {{5, "log K1:", 5.0, 0.0, std::nullopt}, {6, "log K2:", 6.0, 0.0, std::nullopt}};
  r.titrations.resize(2);
  r.titrations[0].name = "a.bwd";
  r.titrations[1].name = "b.bwd";
  for (GlobalTitrationPart& t : r.titrations)
    t.result.diagnostics.warnings = {{"not_converged", {}, "The fit did not converge: Stopped at the run limit"},
                                     {"unbounded", {6}, "log K2 is not determined"},
                                     {"correlated", {5, 6}, "log K1 and log K2 are not separately determined"}};
  r.titrations[1].result.diagnostics.warnings.push_back({"correlated", {3, 5}, "Protein and log K1 move together"});
  const std::vector<FitWarning> w = global_fit_warnings(r);
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(w[0].text, "log K2 is not determined");
  EXPECT_EQ(w[1].kind, "correlated");
  EXPECT_EQ(w[1].rows, (std::vector<int>{5, 6}));
  EXPECT_EQ(w[2].text, "b.bwd: Protein and log K1 move together") << "a row of its own names the titration";
}

}  // namespace

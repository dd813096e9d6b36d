// The Fit dialog's rules and the Fit command's schedule, error switches, progress and edge
// cases (the recovery of true parameters is in fit_recovery_test.cpp).
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "commands/fit_command.h"
#include "series.h"

namespace {

struct RecordingProgress : FitProgress {
  std::vector<int> positions;
  void SetPosition(int p) override { positions.push_back(p); }
};

TEST(FitDialog, DefaultsApplyOnAModelChangeOnly) {
  Titration doc;
  FitSettings s;
  s.m_nModelIndex = 1;  // model 2
  fit_dialog_open(s, doc);
  EXPECT_EQ(s.m_bFitSlot[4], 0);
  EXPECT_EQ(s.m_bFitSlot[7], 0);
  EXPECT_EQ(doc.m_nFitDlgLastModel, 1);
  s.m_bFitSlot[4] = 1;  // the user's choice survives reopening with the same model
  fit_dialog_open(s, doc);
  EXPECT_EQ(s.m_bFitSlot[4], 1);
  s.m_nModelIndex = 3;  // model 4: its defaults
  fit_dialog_configure(s, doc);
  EXPECT_EQ(s.m_bFitSlot[4], 0);
  EXPECT_EQ(s.m_bFitSlot[9], 0);
  EXPECT_EQ(s.m_bFitSlot[8], 1);
  s.m_nModelIndex = 7;  // model 8: row 1 off and row 4 on every time
  fit_dialog_configure(s, doc);
  s.m_bFitSlot[1] = 1;
  s.m_bFitSlot[4] = 0;
  fit_dialog_configure(s, doc);
  EXPECT_EQ(s.m_bFitSlot[1], 0);
  EXPECT_EQ(s.m_bFitSlot[4], 1);
}

TEST(FitDialog, ErrorRadiosAndLayouts) {
  FitSettings s;
  fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
  EXPECT_EQ(fit_dialog_checked_radio(s), ErrorRadio::Jackknife);
  EXPECT_EQ(s.m_bUsePercent, 1);
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  EXPECT_EQ(fit_dialog_checked_radio(s), ErrorRadio::ConstantSD);
  EXPECT_EQ(s.m_bUsePercent + s.m_bUseJackknife, 0);
  EXPECT_EQ(fit_dialog_layout(4).labels[9], std::string("Conc. EDTA:"));
  EXPECT_EQ(simulate_dialog_layout(4).labels[9], std::string("EDTA concentration:"));
  EXPECT_EQ(fit_dialog_layout(7).rowsShown, 5);
  EXPECT_TRUE(fit_dialog_layout(4).uMRow[8]);
}

TEST(StartValues, ConversionsAndSpareSlots) {
  double rows[kValueRows + 1] = {0, 1, 2, 3, -7, 6, 5, 4, 9, 9, 9, 9};
  double a[ParamSet::kSlots];
  EXPECT_EQ(convert_start_values(2, rows, a), 7);
  EXPECT_DOUBLE_EQ(a[3], 3000.0);
  EXPECT_NEAR(a[4], 100.0, 1e-12);  // log Kd -7 -> 100 nM
  EXPECT_DOUBLE_EQ(a[5], 1e6 * 1e-9);
  EXPECT_EQ(convert_start_values(8, rows, a), 8);
  EXPECT_DOUBLE_EQ(a[4], std::pow(10.0, -7) * 1e-9);  // electrode: K1, an association constant
  EXPECT_EQ(a[8], 0.0);
  int checked[kValueRows + 1] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  int flags[ParamSet::kSlots];
  fit_flags_for_model(8, checked, flags);
  EXPECT_EQ(flags[5] + flags[6] + flags[7] + flags[8], 1);
  fit_flags_for_model(10, checked, flags);
  EXPECT_EQ(flags[9] + flags[10] + flags[11], 1);
}

SeriesSpec model2_series() {
  SeriesSpec s;
  s.model = 2;
  const double rows[] = {0, 0.1, 1.0, 20.0, -6.0, 6.5, 6.0, 25.0};
  for (int r = 1; r <= 7; ++r) s.rows[r] = rows[r];
  s.lastAddedCaUM = 120;
  s.noise = 0.002;
  return s;
}

FitSettings settings_for(const SeriesSpec& design, Titration& doc) {
  FitSettings s;
  s.m_nModelIndex = design.model - 1;
  fit_dialog_open(s, doc);
  for (int r = 1; r <= kValueRows; ++r) s.m_dValue[r] = design.rows[r];
  return s;
}

TEST(FitSchedule, RunsPerFamilyAndProgress) {
  Titration doc;
  SeriesSpec design = model2_series();
  write_series(doc, design);
  FitSettings s = settings_for(design, doc);  // fits slots 1, 2, 3, 5, 6
  RecordingProgress progress;
  FitOutcome out = run_fit_command(doc, s, &progress);
  // 5 pre-fits, 5 full fits, re-seed (1 + 5 + 5), 1 full fit, then the polish.
  EXPECT_EQ(out.result.runs - out.result.polishRuns, 22);
  EXPECT_GE(out.result.polishRuns, 1);
  EXPECT_EQ(out.result.stop, FitStop::Converged);
  // 0, the family's start, one per run, 100
  ASSERT_EQ(progress.positions.size(), 3u + static_cast<std::size_t>(out.result.runs));
  EXPECT_EQ(progress.positions.back(), 100);
  for (std::size_t i = 0; i + 1 < progress.positions.size(); ++i) EXPECT_LT(progress.positions[i], 100);

  s.m_bFitSlot[6] = 0;  // no re-seed step without slot 6; broad search of 9 trials
  s.m_bExtensive = 1;
  out = run_fit_command(doc, s, &progress);
  EXPECT_EQ(out.result.runs - out.result.polishRuns, 4 + 5 + 1 + 9 + 4 + 3);
  EXPECT_EQ(doc.m_fit.m_p[6], std::pow(10.0, 6.0) * 1e-9) << "an unfitted slot keeps its start value";

  design.model = 6;
  const double six[] = {0, 0.1, 1.0, 5.0, -6.0, 6.5, 6.3, 6.1, 5.9, 5.7, 5.5, 20.0};
  for (int r = 1; r <= 11; ++r) design.rows[r] = six[r];
  write_series(doc, design);
  s = settings_for(design, doc);  // rows 4 and 11 off: 9 slots
  s.m_bExtensive = 1;
  out = run_fit_command(doc, s, nullptr);
  EXPECT_EQ(out.result.runs - out.result.polishRuns, 9 + 3 + 64 + 9 + 3);
  s.m_nModelIndex = 0;
  fit_dialog_configure(s, doc);
  out = run_fit_command(doc, s, &progress);
  EXPECT_EQ(out.result.runs - out.result.polishRuns, 4 + 10);
}

TEST(FitSchedule, ElectrodeSpareSlotsNeverMove) {
  Titration doc;
  SeriesSpec design;
  design.model = 8;
  const double rows[] = {0, 25.0, 10.0, 50.0, 5.5, 5.0, 3.0, 7.0, 1.0};
  for (int r = 1; r <= 8; ++r) design.rows[r] = rows[r];
  design.lastAddedCaUM = 300;
  write_series(doc, design);
  doc.m_cells[0][0].SetText("-80");
  FitSettings s = settings_for(design, doc);
  for (int r = 1; r <= kValueRows; ++r) s.m_bFitSlot[r] = 1;
  s.m_bExtensive = 1;
  ASSERT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  EXPECT_EQ(doc.m_fit.m_nParams, 7);
  EXPECT_EQ(doc.m_fit.m_p[6], std::pow(10.0, 3.0) * 1e-9);
  EXPECT_EQ(doc.m_fit.m_p[7], 7000.0);
}

TEST(FitCommand, ErrorMethodSwitches) {
  Titration doc;
  SeriesSpec design = model2_series();
  write_series(doc, design);
  FitSettings s = settings_for(design, doc);
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  s.m_dConstantSD = 1.0;  // "Estimate errors" unchecked: still computed
  run_fit_command(doc, s, nullptr);
  ASSERT_EQ(doc.m_fit.m_bErrors, 1);
  const double unitError = doc.m_fit.m_err[5];
  s.m_dConstantSD = 0.5;
  run_fit_command(doc, s, nullptr);
  EXPECT_NEAR(doc.m_fit.m_err[5], unitError * 0.5, unitError * 1e-6);
  EXPECT_EQ(doc.m_fit.m_err[4], 0.0) << "unfitted slot";

  fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
  s.m_bEstimateErrors = 0;
  run_fit_command(doc, s, nullptr);
  EXPECT_EQ(doc.m_fit.m_bErrors, 0);
  s.m_bEstimateErrors = 1;
  FitOptions seeded;
  seeded.jackknifeSeed = 11;
  run_fit_command(doc, s, nullptr, seeded);
  ASSERT_EQ(doc.m_fit.m_bErrors, 1);
  const double first = doc.m_fit.m_err[5];
  run_fit_command(doc, s, nullptr, seeded);
  EXPECT_EQ(doc.m_fit.m_err[5], first) << "a fixed seed reproduces the jackknife";
  EXPECT_GT(first, 0.0);
}

TEST(FitCommand, PointCountsCurveAndStoredRecord) {
  Titration doc;
  SeriesSpec design;
  design.model = 1;
  const double rows[] = {0, 1.0, 2.0, 10.0, 6.0};
  for (int r = 1; r <= 4; ++r) design.rows[r] = rows[r];
  design.points = 3;
  design.lastAddedCaUM = 40;
  write_series(doc, design);
  FitSettings s = settings_for(design, doc);
  s.m_dTemperature = 20.0;
  doc.m_cells[1][2].SetText("");  // a volume missing: the row is not a point
  EXPECT_FALSE(run_fit_command(doc, s, nullptr).fitted);
  EXPECT_FALSE(doc.IsModifiedCore());
  doc.m_cells[1][2].SetText("2.005");
  ASSERT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  EXPECT_TRUE(doc.IsModifiedCore());
  EXPECT_EQ(doc.m_bShowFit, 1);
  EXPECT_FLOAT_EQ(doc.m_fTemperature, 293.15f);
  EXPECT_EQ(doc.m_fit.m_nModel, 1);
  // The curve spans 0.2 % .. 99.6 % of the larger of first and last total Ca (40 uM).
  EXPECT_NEAR(doc.m_fitCurve[0].x, 0.08, 1e-12);
  EXPECT_NEAR(doc.m_fitCurve[497].x, 39.84, 1e-9);

  // All flags cleared: the start model is stored and drawn.
  for (int r = 1; r <= kValueRows; ++r) s.m_bFitSlot[r] = 0;
  s.m_dValue[4] = 5.0;
  ASSERT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  EXPECT_DOUBLE_EQ(doc.m_fit.m_p[4], 1e5 * 1e-9);
}

TEST(FitCommand, SingularLastFitReportsNoCovarianceErrors) {
  // Total Ca 0 everywhere: model 1 returns R0, so slots 2-4 have no derivative at all.
  Titration doc;
  for (int r = 0; r < 5; ++r) {
    doc.m_cells[r][0].SetText("1.0");
    doc.m_cells[r][1].SetText("0");
    doc.m_cells[r][2].SetText("2");
  }
  FitSettings s;
  fit_dialog_open(s, doc);
  s.m_dValue[1] = 1; s.m_dValue[2] = 2; s.m_dValue[3] = 10; s.m_dValue[4] = 6;
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  s.m_dConstantSD = 1.0;
  FitOutcome out = run_fit_command(doc, s, nullptr);
  ASSERT_TRUE(out.fitted);
  EXPECT_NE(out.result.status, 0);
  ASSERT_EQ(out.result.messages.size(), 1u);
  EXPECT_EQ(out.result.messages[0], kFitTooFarMessage);
  EXPECT_EQ(doc.m_fit.m_bErrors, 0);
  EXPECT_EQ(doc.m_bShowFit, 1);
}

TEST(FitCommand, ProteinWarning) {
  Titration doc;
  SeriesSpec design = model2_series();
  write_series(doc, design);
  FitSettings s = settings_for(design, doc);
  s.m_dValue[3] = 5.0;  // true protein 20 uM: the fit ends far above 1.2 x 5 uM
  FitOutcome out = run_fit_command(doc, s, nullptr);
  ASSERT_FALSE(out.result.messages.empty());
  EXPECT_EQ(out.result.messages[0], kFitProteinHighMessage);
}

}  // namespace

// Chi-square of the stored fit with the percentual weights sigma_i = y_i x P x 0.01, total Ca
// (added + start Ca diluted to each point) in nM, as the fit should have minimised it.
double percent_chi_square(const Titration& doc, double percent) {
  Vec a(4), bound(2), freeCa(2);
  for (int k = 1; k <= 4; ++k) a[k] = doc.m_fit.m_p[k];
  const double V1 = doc.m_cells[0][2].GetValue();
  double chisq = 0.0;
  for (int r = 0; doc.m_cells[r][0].GetValue() != 0.0; ++r) {
    const double y = doc.m_cells[r][0].GetValue(), V = doc.m_cells[r][2].GetValue();
    const double X = (doc.m_cells[r][1].GetValue() + doc.m_fit.m_dStartCa * V1 / V) * 1000.0;
    const double R = model_response(ModelFamily::OneSite, false, true, X, a, V1 / V, bound, freeCa, 1);
    const double d = (y - R) / (y * percent * 0.01);
    chisq += d * d;
  }
  return chisq;
}

TEST(FitCommand, PercentWeightsAlsoServeTheJackknifeAndStartCaIsDiluted) {
  Titration doc;
  SeriesSpec design;
  design.model = 1;
  const double rows[] = {0, 1.0, 2.0, 10.0, 5.5};
  for (int r = 1; r <= 4; ++r) design.rows[r] = rows[r];
  design.startCaUM = 10.0;
  design.points = 20;
  design.lastAddedCaUM = 40;
  design.noise = 0.002;
  write_series(doc, design);
  FitSettings s = settings_for(design, doc);
  s.m_dStartCa = design.startCaUM;
  s.m_bEstimateErrors = 1;
  s.m_dPercentError = 2.0;
  ASSERT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  const double weighted = doc.m_fit.m_p[0];
  EXPECT_NEAR(weighted, percent_chi_square(doc, 2.0), 1e-9 * weighted);
  // The last total Ca is the larger: 40 uM plus the start Ca diluted from 2 ml to 2.095 ml.
  EXPECT_NEAR(doc.m_fitCurve[0].x, 0.002 * (40.0 + 10.0 * 2.0 / 2.095), 1e-12);

  fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
  FitOptions seeded;
  seeded.jackknifeSeed = 3;
  ASSERT_TRUE(run_fit_command(doc, s, nullptr, seeded).fitted);
  EXPECT_EQ(doc.m_fit.m_p[0], weighted) << "the jackknife keeps the percentual weights";
  EXPECT_EQ(doc.m_fit.m_bErrors, 1);
}

namespace {

// Asks to stop once the fit has reported a few positions, as the window's Cancel does.
struct CancellingProgress : FitProgress {
  int positions = 0;
  void SetPosition(int) override { ++positions; }
  bool StopRequested() override { return positions >= 4; }
};

}  // namespace

TEST(FitCommand, AStoppedFitLeavesTheDocumentAsItWas) {
  Titration doc;
  SeriesSpec design = model2_series();
  write_series(doc, design);
  FitSettings s = settings_for(design, doc);
  s.m_bExtensive = 1;
  fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
  s.m_bEstimateErrors = 1;
  const Titration before = doc;
  CancellingProgress cancel;
  const FitOutcome out = run_fit_command(doc, s, &cancel);
  EXPECT_FALSE(out.fitted);
  EXPECT_EQ(out.result.stop, FitStop::Stopped);
  EXPECT_EQ(cancel.positions, 4) << "no position after the stop, not even 100";
  EXPECT_FALSE(doc.IsModifiedCore());
  EXPECT_EQ(doc.m_bShowFit, before.m_bShowFit);
  EXPECT_FALSE(doc.m_fitRun.known);
  for (int k = 0; k < ParamSet::kSlots; ++k) EXPECT_EQ(doc.m_fit.m_p[k], before.m_fit.m_p[k]);

  // Asked during the jackknife: a few polls after those of the same fit without errors.
  struct StopAtPoll : FitProgress {
    long polls = 0, stopAt = -1;
    void SetPosition(int) override {}
    bool StopRequested() override { return ++polls == stopAt || (stopAt > 0 && polls > stopAt); }
  } counter, late;
  s.m_bExtensive = 0;
  s.m_bEstimateErrors = 0;
  Titration scratch = before;
  ASSERT_TRUE(run_fit_command(scratch, s, &counter).fitted);
  s.m_bEstimateErrors = 1;
  late.stopAt = counter.polls + 5;
  EXPECT_EQ(run_fit_command(doc, s, &late).result.stop, FitStop::Stopped);
  EXPECT_FALSE(doc.IsModifiedCore());
}

// Predict in Generate Data: the run in the dialog's fields is planned on a copy (the open
// document keeps its grid and plan), the constants come from the fit or the Fit dialog, and
// every refusal says what to do.
#include "outputview/plan_prediction.h"

#include <gtest/gtest.h>

#include "../commands/series.h"
#include "commands/fit_command.h"

namespace {

// 2 ml, then 39 additions of 5 ul of 1.6 mM Ca (about 4 uM each) from cell 2.
GenerateRequest run_of_additions(int startCell = 2, int additions = 39) {
  GenerateRequest r;
  r.m_dVolStart = 2.0;
  r.m_nVolUnit = 1;  // ul
  r.m_nConcUnit = 0;  // mM
  r.m_nStartCell = startCell;
  r.m_nAdditionCount = additions;
  r.m_dConcAdded = 1.6;
  r.m_dVolAdded = 5.0;
  return r;
}

// The Fit dialog after choosing model 2 and typing the constants a user expects.
FitSettings typed_model_2() {
  FitSettings s;
  s.m_nModelIndex = 1;
  Titration scratch;
  fit_dialog_open(s, scratch);
  const double rows[] = {0, 0.62, 0.18, 20.0, -5.8, 5.9, 6.3, 25.0};
  for (int r = 1; r <= 7; ++r) s.m_dValue[r] = rows[r];
  return s;
}

int planned_rows(const Titration& doc) {
  int n = 0;
  for (const auto& row : doc.m_cells) n += row[2].GetValue() != 0.0;
  return n;
}

TEST(PlanPrediction, PredictsTheFieldsRunOnACopyWithTheFitDialogsConstants) {
  Titration doc;
  const PlanPredictionRequest request = plan_prediction_request(doc, run_of_additions(), typed_model_2(), " 0.003 ");
  ASSERT_TRUE(request.ok) << request.message;
  EXPECT_EQ(planned_rows(doc), 0);
  EXPECT_EQ(doc.m_nGenSteps, 0);
  EXPECT_FALSE(doc.IsModifiedCore());
  EXPECT_EQ(planned_rows(request.plan), 40);
  EXPECT_DOUBLE_EQ(request.noiseSD, 0.003);
  EXPECT_EQ(request.expected.m_nModelIndex, 1);
  EXPECT_DOUBLE_EQ(request.expected.m_dValue[5], 5.9);

  const PrecisionPrediction p = predict_precision(request.plan, request.expected, request.noiseSD);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_EQ(p.n, 40);
  const std::vector<std::string> lines = prediction_lines(request, p);
  ASSERT_EQ(lines.size(), p.rows.size() + 1);
  EXPECT_EQ(lines[0], "Model 2, 40 planned points, reading noise 0.003, covariance errors:");
  bool sawLogK1 = false;
  for (const std::string& line : lines)
    if (line.rfind("log K1: 5.9 \u00b1 0.", 0) == 0) sawLogK1 = true;
  EXPECT_TRUE(sawLogK1) << lines[1];
}

// On opening, the fields show the plan's first run: predicting must not cut the runs after it
// (as pressing Add would); a changed run is applied as Add applies it.
TEST(PlanPrediction, FieldsShowingAPlannedRunKeepTheWholePlan) {
  Titration doc;
  std::vector<std::string> lines;
  ASSERT_TRUE(take_generate_request(doc, run_of_additions(2, 20), lines).generated);
  GenerateRequest second = run_of_additions(22, 10);
  second.m_dVolAdded = 10.0;
  ASSERT_TRUE(take_generate_request(doc, second, lines).generated);
  ASSERT_EQ(planned_rows(doc), 31);

  GenerateRequest shown = run_of_additions(2, 20);  // as the dialog reads its "%7.3f" texts back
  shown.m_dConcAdded = 1.6000000001;
  EXPECT_EQ(planned_rows(plan_prediction_request(doc, shown, typed_model_2(), "0.003").plan), 31);
  EXPECT_EQ(planned_rows(plan_prediction_request(doc, second, typed_model_2(), "0.003").plan), 31);

  shown.m_nAdditionCount = 25;
  EXPECT_EQ(planned_rows(plan_prediction_request(doc, shown, typed_model_2(), "0.003").plan), 26);
  EXPECT_EQ(planned_rows(doc), 31);
}

TEST(PlanPrediction, ExpectsTheDocumentsFitWithTheFitDialogsErrorMethod) {
  Titration doc;
  write_series(doc, series_design(2, {0.62, 0.18, 20.0, -5.8, 5.9, 6.3, 25.0}, 150, 0.003));
  FitSettings fit = typed_model_2();
  ASSERT_TRUE(run_fit_command(doc, fit, nullptr).fitted);

  FitSettings dialog;  // typed for another model since the fit
  dialog.m_nModelIndex = 0;
  dialog.m_dValue[4] = 6.0;
  fit_dialog_choose_error_radio(dialog, ErrorRadio::Jackknife);
  const PlanPredictionRequest request = plan_prediction_request(doc, run_of_additions(41, 10), dialog, "0.003");
  ASSERT_TRUE(request.ok) << request.message;
  EXPECT_EQ(request.expected.m_nModelIndex, 1);
  EXPECT_NEAR(request.expected.m_dValue[5], internal_to_logK(doc.m_fit.m_p[5]), 1e-12);
  EXPECT_TRUE(request.expected.m_bUseJackknife);
  EXPECT_EQ(planned_rows(request.plan), 50);  // 40 measured rows, then cells 41..50

  doc.m_bShowFit = 0;  // hidden (or kept in memory by New): the Fit dialog's values count
  const FitSettings typed = typed_model_2();
  const PlanPredictionRequest hidden = plan_prediction_request(doc, run_of_additions(41, 10), typed, "0.003");
  ASSERT_TRUE(hidden.ok) << hidden.message;
  EXPECT_DOUBLE_EQ(hidden.expected.m_dValue[5], 5.9);
}

TEST(PlanPrediction, RefusalsSayWhatToDoAndPredictNothing) {
  Titration doc;
  const FitSettings typed = typed_model_2();
  auto refusal = [&](const GenerateRequest& run, const FitSettings& dialog, const char* noise) {
    const PlanPredictionRequest r = plan_prediction_request(doc, run, dialog, noise);
    EXPECT_FALSE(r.ok);
    const std::vector<std::string> lines = prediction_lines(r, PrecisionPrediction{});
    EXPECT_EQ(lines, std::vector<std::string>{r.message});
    return r.message;
  };
  EXPECT_EQ(refusal(run_of_additions(1), typed, "0.003"), kGenStartCellTooLow);
  EXPECT_EQ(refusal(run_of_additions(90, 10), typed, "0.003"), kGenTooManyCells);
  for (const char* noise : {"", "0", "-0.01", "0.01x", "1e999"})
    EXPECT_EQ(refusal(run_of_additions(), typed, noise), kPredictNoiseMessage) << '"' << noise << '"';
  EXPECT_EQ(refusal(run_of_additions(), FitSettings{}, "0.003"), kPredictNoConstantsMessage);
  EXPECT_EQ(planned_rows(doc), 0);
}

}  // namespace

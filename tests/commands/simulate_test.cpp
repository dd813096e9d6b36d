// Simulated curves, the ten plot slots, the Del bookkeeping and the curves rebuilt after
// loading a document.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "document/curve_rebuild.h"
#include "commands/simulate_command.h"
#include "support/vector_plot_list.h"

namespace {

// Added Ca 0, 50, 100 uM in rows 0-2; volumes as given.
void three_rows(Titration& doc, const char* v1, const char* v3) {
  const char* ca[] = {"0", "50", "100"};
  const char* vol[] = {v1, "2.1", v3};
  for (int r = 0; r < 3; ++r) {
    doc.m_cells[r][1].SetText(ca[r]);
    doc.m_cells[r][2].SetText(vol[r]);
  }
}

SimulateSettings one_site() {
  SimulateSettings s;
  const double rows[] = {0, 1.0, 2.0, 10.0, 6.0};
  for (int r = 1; r <= 4; ++r) s.m_dValue[r] = rows[r];
  return s;
}

TEST(Simulate, CurveRangeDilutionAndRecord) {
  Titration doc;
  VectorPlotList list;
  doc.m_pPlotList = &list;
  three_rows(doc, "2", "2");
  SimulateOutcome out = run_simulate_command(doc, one_site(), nullptr);
  ASSERT_TRUE(out.computed);
  EXPECT_TRUE(out.messages.empty());
  EXPECT_NEAR(doc.m_simCurve[0].x[1], 0.2, 1e-12);
  EXPECT_NEAR(doc.m_simCurve[497].x[1], 99.6, 1e-9);
  EXPECT_EQ(doc.m_sims[0].m_nParams, 4);
  EXPECT_EQ(doc.m_sims[0].m_bDilution, 1);
  EXPECT_EQ(PlotListEntries(doc), std::vector<std::string>{"Plot 1"});
  EXPECT_TRUE(doc.IsModifiedCore());
  EXPECT_EQ(doc.m_bFitAxesToSims, 1);

  // V_last = V_first: no dilution in the curve, so the dilution flag changes nothing.
  SimulateSettings undiluted = one_site();
  undiluted.m_bDilution = 0;
  run_simulate_command(doc, undiluted, nullptr);
  for (int j = 0; j < Titration::kCurvePoints; j += 97) EXPECT_DOUBLE_EQ(doc.m_simCurve[j].y[1], doc.m_simCurve[j].y[2]);

  // No volume in the first row: dilution refused with its message; model 2 keeps 8 slots.
  doc.m_cells[0][2].SetText("");
  SimulateSettings two = one_site();
  two.m_nModelIndex = 1;
  out = run_simulate_command(doc, two, nullptr);
  ASSERT_EQ(out.messages, std::vector<std::string>{kSimDilutionMessage});
  EXPECT_EQ(doc.m_sims[2].m_bDilution, 0);
  EXPECT_EQ(doc.m_sims[2].m_nParams, 8);
  EXPECT_TRUE(std::isfinite(doc.m_simCurve[100].y[3])) << "no volumes must not give 0/0 curves";
}

TEST(Simulate, ElevenCurvesDelAndSlotReuse) {
  Titration doc;
  VectorPlotList list;
  doc.m_pPlotList = &list;
  three_rows(doc, "2", "2.2");
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(run_simulate_command(doc, one_site(), nullptr).computed);
  FitSettings fitDialog;
  SimulateSettings copy = one_site();
  copy.m_nModelIndex = 2;
  copy.m_bCopyToFit = 1;
  SimulateOutcome refused = run_simulate_command(doc, copy, &fitDialog);
  EXPECT_FALSE(refused.computed);
  EXPECT_EQ(refused.messages.back(), kSimTooManyCurvesMessage);
  EXPECT_EQ(fitDialog.m_nModelIndex, 2) << "Copy to Fit happens even when the curve is refused";
  EXPECT_EQ(doc.m_nSims, 10);

  list.selection = 4;  // the fifth plot, slot 5
  DeletePlotOutcome del = delete_selected_plot(doc);
  ASSERT_TRUE(del.removed);
  EXPECT_EQ(del.slot, 5);
  EXPECT_EQ(doc.m_nSlotOrder[5], 6);
  EXPECT_EQ(doc.m_nSlotOrder[9], 10);
  SimulateOutcome again = run_simulate_command(doc, one_site(), nullptr);
  EXPECT_EQ(again.slot, 5) << "the lowest free slot is reused";
  EXPECT_EQ(doc.m_nSlotOrder[10], 5) << "and listed last";
  EXPECT_EQ(PlotListEntries(doc).back(), "Plot 11") << "the running number never goes back";
  EXPECT_EQ(PlotListEntries(doc)[4], "Plot 6");

  list.selection = -1;
  EXPECT_EQ(delete_selected_plot(doc).message, kSelectPlotMessage);
  Titration empty;
  EXPECT_EQ(delete_selected_plot(empty).message, kDelNoCurvesMessage);
}

TEST(Simulate, NothingWithoutAddedCaAndGapsUseTheLastRow) {
  Titration doc;
  EXPECT_FALSE(run_simulate_command(doc, one_site(), nullptr).computed);
  EXPECT_FALSE(doc.IsModifiedCore());
  doc.m_cells[0][1].SetText("0");
  doc.m_cells[4][1].SetText("200");  // rows 1-3 empty
  ASSERT_TRUE(run_simulate_command(doc, one_site(), nullptr).computed);
  EXPECT_NEAR(doc.m_simCurve[497].x[1], 199.2, 1e-9);
}

TEST(CurveRebuild, FitCurveTakesTheLargerEndAndSimsRefillTheList) {
  Titration doc;
  VectorPlotList list;
  doc.m_pPlotList = &list;
  doc.m_nPlotsListed = 7;
  doc.m_cells[0][1].SetText("100");
  doc.m_cells[0][2].SetText("2");
  doc.m_cells[9][1].SetText("10");
  doc.m_cells[9][2].SetText("2.1");
  doc.m_fit.m_nModel = 1;
  doc.m_fit.m_nParams = 4;
  doc.m_fit.m_dStartCa = 5.0;
  doc.m_fit.m_p[1] = 1; doc.m_fit.m_p[2] = 2; doc.m_fit.m_p[3] = 1e4; doc.m_fit.m_p[4] = 1e-3;
  BuildFitCurve(doc, 10, 1);
  EXPECT_NEAR(doc.m_fitCurve[0].x, 0.21, 1e-12);
  EXPECT_NEAR(doc.m_fitCurve[497].x, 0.996 * 105, 1e-9);

  doc.m_sims[0] = doc.m_fit;
  doc.m_sims[1] = doc.m_fit;
  doc.m_sims[1].m_nModel = 7;
  doc.m_nSims = 2;
  BuildSimCurves(doc, 10, 2);
  EXPECT_EQ(PlotListEntries(doc), (std::vector<std::string>{"Plot 1", "Plot 2"}));
  EXPECT_EQ(doc.m_nPlotsListed, 9);
  EXPECT_EQ(doc.m_bSlotFree[2], 0);
  // Simulations use the last row's added Ca: start Ca + 0.2 % .. 99.6 % of (10 + 5).
  EXPECT_NEAR(doc.m_simCurve[0].x[1], 5.03, 1e-12);
  EXPECT_NEAR(doc.m_simCurve[497].x[1], 5 + 0.996 * 15, 1e-9);
  EXPECT_TRUE(std::isfinite(doc.m_simCurve[0].y[2]));
}

}  // namespace

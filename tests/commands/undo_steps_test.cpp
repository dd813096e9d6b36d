// Commands as edits: Simulate, Del, a fit and the plan each report once and undo to the
// experiment they found, leaving the axes and the cursor as they are now.
#include <gtest/gtest.h>

#include "commands/simulate_command.h"
#include "support/history_doc.h"

namespace {

void FillRows(Titration& doc) {
  const char* rows[3][3] = {{"1.0", "0", "2"}, {"1.4", "50", "2.05"}, {"1.9", "120", "2.1"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) doc.m_cells[r][c].SetText(rows[r][c]);
}

SimulateSettings OneSite() {
  SimulateSettings s;
  const double rows[] = {0, 1.0, 2.0, 10.0, 6.0};
  for (int r = 1; r <= 4; ++r) s.m_dValue[r] = rows[r];
  return s;
}

}  // namespace

TEST(UndoSteps, SimulateAndDelUndoToTheListTheyFound) {
  HistoryDoc doc;
  FillRows(doc);
  ASSERT_TRUE(run_simulate_command(doc, OneSite(), nullptr).computed);
  ASSERT_TRUE(run_simulate_command(doc, OneSite(), nullptr).computed);
  ASSERT_TRUE(delete_plot_at(doc, 1).removed);
  ASSERT_EQ(doc.steps.size(), 3u);
  EXPECT_EQ(doc.steps[2].Name(), "Delete Plot");
  EXPECT_EQ(PlotListEntries(doc), std::vector<std::string>{"Plot 2"});

  // The user zoomed meanwhile: undoing data leaves the axes alone.
  doc.m_bAxisFixed = 1;
  doc.m_dXMax = 77.0;
  doc.steps[2].Undo(doc);
  EXPECT_EQ(PlotListEntries(doc), (std::vector<std::string>{"Plot 1", "Plot 2"}));
  EXPECT_EQ(doc.m_bSlotFree[1], 0);
  EXPECT_EQ(doc.m_dXMax, 77.0);
  EXPECT_EQ(doc.m_bAxisFixed, 1);
  doc.steps[1].Undo(doc);
  doc.steps[0].Undo(doc);
  EXPECT_TRUE(PlotListEntries(doc).empty());
  EXPECT_EQ(doc.m_bHaveSims, 0);
  EXPECT_EQ(doc.m_nPlotsListed, 0);

  // Redo in order brings back the same curves under the same numbers.
  for (const UndoStep& step : doc.steps) step.Redo(doc);
  EXPECT_EQ(PlotListEntries(doc), std::vector<std::string>{"Plot 2"});
  EXPECT_EQ(doc.m_nSims, 1);
}

TEST(UndoSteps, NestedEditsReportOnceUnderTheOuterName) {
  HistoryDoc doc;
  FillRows(doc);
  {
    TitrationEdit outer(doc, EditKind::Experiment, "Import");
    doc.m_cells[0][0].SetText("9");
    ASSERT_TRUE(run_simulate_command(doc, OneSite(), nullptr).computed);
    EXPECT_TRUE(doc.records.empty()) << "nothing is reported before the action ends";
  }
  ASSERT_EQ(doc.records.size(), 1u);
  EXPECT_EQ(doc.records[0].name, "Import");
  doc.steps[0].Undo(doc);
  EXPECT_EQ(doc.m_cells[0][0].Text(), "1.0");
  EXPECT_EQ(doc.m_nSims, 0);
}

TEST(UndoSteps, SettingsAndViewChangesAreReportedButNotUndone) {
  HistoryDoc doc;
  doc.MarkChanged();  // outside any edit: a settings change of its own
  {
    TitrationEdit view(doc, EditKind::View, "Hide Fit");
    doc.m_bShowFit = 0;
    doc.MarkChanged();
  }
  ASSERT_EQ(doc.records.size(), 2u);
  EXPECT_EQ(doc.records[0].kind, EditKind::Settings);
  EXPECT_EQ(doc.records[1].kind, EditKind::View);
  EXPECT_EQ(doc.records[0].before, nullptr);
  EXPECT_TRUE(doc.steps.empty());
  {
    TitrationEdit idle(doc, EditKind::Experiment, "Fit");  // ends without a change
  }
  EXPECT_EQ(doc.records.size(), 2u);
}

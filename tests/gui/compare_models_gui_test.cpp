// Analysis > Compare Models... on a fitted document: the table shows what the comparison
// computed, sorts by a column, and "Use this model" makes the chosen candidate the fit.
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/listctrl.h>

#include "app/wx/command_ids.h"
#include "app/wx/compare_models_dialog.h"
#include "app/wx/main_frame.h"
#include "commands/fit_command.h"
#include "commands/model_comparison.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/wx/report_printout.h"
#include "gui_test_support.h"
#include "tests/commands/series.h"

namespace {

// Points of the one-site model, fitted with it, as a user has them before comparing.
void FitOneSiteTitration() {
  gui::ResetDocument();
  BindwiseDoc& doc = gui::Doc();
  const SeriesSpec series = series_design(1, {1.0, 2.0, 10.0, 6.0}, 60, 0.002);
  write_series(doc, series);
  ASSERT_TRUE(run_fit_command(doc, fit_settings_at_truth(series, doc), nullptr).fitted);
  doc.UpdateAllViews();
}

double CellNumber(wxListCtrl* table, long row, int column) {
  return std::strtod(table->GetItemText(row, column).utf8_str(), nullptr);
}

void SendMenu(int id) {
  wxCommandEvent event(wxEVT_MENU, id);
  gui::Frame().GetEventHandler()->ProcessEvent(event);
  gui::Pump(50);
}

TEST(CompareModels, WithoutAFitTheMenuSaysWhy) {
  gui::ResetDocument();
  gui::ExpectDialog(wxID_OK);
  SendMenu(ID_ANALYSIS_COMPARE);
  EXPECT_EQ(gui::PendingDialogs(), 0);
  const std::vector<wxString> texts = gui::TakeDialogTexts();
  ASSERT_EQ(texts.size(), 1u);
  std::string expected;
  try {
    compare_models(gui::Doc(), {});
  } catch (const std::invalid_argument& e) {
    expected = e.what();
  }
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(texts[0].utf8_string(), expected);
}

TEST(CompareModels, TheMenuOpensTheDialogOnAFittedDocument) {
  FitOneSiteTitration();
  gui::ExpectDialog(wxID_CANCEL);
  SendMenu(ID_ANALYSIS_COMPARE);
  EXPECT_EQ(gui::PendingDialogs(), 0);
  const std::vector<wxString> texts = gui::TakeDialogTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "Compare Models");
  EXPECT_EQ(gui::Doc().m_fit.m_nModel, 1) << "closing changes nothing";
  gui::ResetDocument();
}

TEST(CompareModels, TableAgreesSortsAndUsesTheChosenModel) {
  FitOneSiteTitration();
  BindwiseDoc& doc = gui::Doc();
  doc.Modify(false);
  ComparisonOptions options;
  ModelComparison comparison = compare_models(doc, options);
  ASSERT_EQ(comparison.candidates.size(), 2u);
  const ModelComparison expected = comparison;
  int applied = 0;
  {
    CompareModelsDlg dialog(&gui::Frame(), doc, std::move(comparison), [&applied] { ++applied; });
    dialog.Show();
    gui::Pump(100);
    wxListCtrl* table = dialog.Table();
    ASSERT_EQ(table->GetItemCount(), 2);
    EXPECT_LE(dialog.GetSize().y, 720) << "fits a 1366x768 laptop screen below its top bar";
    for (long row = 0; row < 2; ++row) {
      const CandidateFit& c = expected.candidates[static_cast<std::size_t>(row)];
      ASSERT_TRUE(c.fitted) << c.message;
      EXPECT_EQ(table->GetItemText(row, 0), wxString::Format("%d", c.model));
      EXPECT_EQ(CellNumber(table, row, 2), c.p);
      EXPECT_NEAR(CellNumber(table, row, 3), c.chiSquare, 1e-5 * c.chiSquare);
      EXPECT_NEAR(CellNumber(table, row, 4), c.aicc, 0.006);
      EXPECT_NEAR(CellNumber(table, row, 5), c.bic, 0.006);
      EXPECT_NEAR(CellNumber(table, row, 6), c.weight, 0.0006);
      EXPECT_EQ(table->GetItemText(row, 7), fit_stop_text(c.result.stop));
      EXPECT_EQ(table->GetItemText(row, 8) == "none", c.Warnings().empty()) << table->GetItemText(row, 8);
      if (!c.Warnings().empty()) {
        EXPECT_NE(table->GetItemText(row, 8).Find(c.Warnings()[0].kind), wxNOT_FOUND);
      }
    }
    ASSERT_EQ(table->GetColumnCount(), kComparisonColumns);
    wxListItem heading;
    heading.SetMask(wxLIST_MASK_TEXT);
    ASSERT_TRUE(table->GetColumn(7, heading));
    EXPECT_EQ(heading.GetText(), "Fit ended");
    ASSERT_TRUE(table->GetColumn(8, heading));
    EXPECT_EQ(heading.GetText(), "Warnings");
    // The best model is selected when the dialog opens.
    const long selected = table->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(table->GetItemText(selected, 0), wxString::Format("%d", expected.best));

    dialog.SortByColumn(2);  // p, ascending: 1 before 3
    EXPECT_EQ(table->GetItemText(0, 0), "1");
    dialog.SortByColumn(2);  // and back
    EXPECT_EQ(table->GetItemText(0, 0), "3");
    EXPECT_EQ(table->GetItemText(table->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 0),
              wxString::Format("%d", expected.best))
        << "sorting keeps the selection on its model";

    // Two sites on one-site points: the selected candidate's every warning is spelled out.
    ASSERT_TRUE(dialog.SelectModel(3));
    const CandidateFit& two = expected.candidates[1];
    ASSERT_FALSE(two.Warnings().empty()) << "two sites are not all determined by one-site points";
    const wxString shown = dialog.WarningsText()->GetValue();
    EXPECT_TRUE(shown.StartsWith("Model 3:")) << shown;
    for (const FitWarning& w : two.Warnings()) EXPECT_NE(shown.Find(wxString::FromUTF8(w.text)), wxNOT_FOUND) << w.text;
    EXPECT_FALSE(dialog.WarningsText()->IsEditable());
    dialog.SortByColumn(8);  // by the number of warnings: the one-site fit has fewer
    EXPECT_EQ(table->GetItemText(0, 0), "1");
    EXPECT_EQ(dialog.WarningsText()->GetValue(), shown) << "sorting keeps the selection and its warnings";
    EXPECT_FALSE(dialog.SelectModel(2));
    const double chiBefore = doc.m_fit.m_p[0];
    ASSERT_TRUE(dialog.UseSelectedModel());
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(doc.m_fit.m_nModel, 3);
    EXPECT_NEAR(doc.m_fit.m_p[0], expected.candidates[1].chiSquare, 1e-9 * expected.candidates[1].chiSquare);
    EXPECT_NE(doc.m_fit.m_p[0], chiBefore);
    EXPECT_TRUE(doc.IsModified());
    dialog.Hide();
  }
  gui::ResetDocument();
}

TEST(CompareModels, FileMenuAddsTheTableToThePrintedReport) {
  gui::ResetDocument();
  EXPECT_FALSE(ReportIncludesComparison());
  wxCommandEvent on(wxEVT_MENU, ID_FILE_PRINT_COMPARISON);
  on.SetInt(1);
  gui::Frame().GetEventHandler()->ProcessEvent(on);
  EXPECT_TRUE(ReportIncludesComparison());
  EXPECT_TRUE(ReportComparisonFor(gui::Doc()).empty()) << "no fit: the report prints without the table";

  FitOneSiteTitration();
  const ReportComparison table = ReportComparisonFor(gui::Doc());
  const ModelComparison expected = compare_models(gui::Doc(), {});
  ASSERT_EQ(table.rows.size(), expected.candidates.size() + 1);
  EXPECT_EQ(table.rows, ReportComparisonTable(expected).rows);

  wxCommandEvent off(wxEVT_MENU, ID_FILE_PRINT_COMPARISON);
  off.SetInt(0);
  gui::Frame().GetEventHandler()->ProcessEvent(off);
  EXPECT_FALSE(ReportIncludesComparison());
  gui::ResetDocument();
}

}  // namespace

// Analysis > Global Fit...: two fitted titrations of the four-site protein fitted together; the
// dialog shows what the global fit computed, Apply makes the open document's part its fit
// (and, when asked, writes the other's part into its file), and a project reopens the analysis.
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/radiobox.h>
#include <wx/textctrl.h>

#include "app/wx/command_ids.h"
#include "app/wx/global_fit_dialog.h"
#include "app/wx/main_frame.h"
#include "commands/fit_command.h"
#include "commands/global_fit.h"
#include "document/bwd_file.h"
#include "document/wx/bindwise_doc.h"
#include "gui_test_support.h"

namespace {

const std::string kExamples = std::string(BINDWISE_SOURCE_DIR) + "/examples/";

// Fits an example titration of the four-site model from typed start values and saves it.
void FitExample(const std::string& example, const double (&values)[10], const std::string& out) {
  Titration doc;
  ASSERT_TRUE(LoadBwdFile(kExamples + example, doc).ok);
  FitSettings s;
  s.m_nModelIndex = 3;
  fit_dialog_open(s, doc);
  const int flags[10] = {0, 1, 1, 0, 0, 1, 1, 1, 1, 0};
  for (int row = 1; row <= 9; ++row) {
    s.m_dValue[row] = values[row];
    s.m_bFitSlot[row] = flags[row];
  }
  s.m_dStartCa = 1.0;
  s = global_error_settings(s, GlobalErrorMethod::ConstantSD, 0.002);
  ASSERT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  ASSERT_TRUE(SaveBwdFile(out, doc).ok);
}

double Cell(wxListCtrl* table, long row, int column) {
  return std::strtod(table->GetItemText(row, column).utf8_str(), nullptr);
}

class GlobalFitWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    a_ = gui::ScratchPath("global-a.bwd").utf8_string();
    b_ = gui::ScratchPath("global-b.bwd").utf8_string();
    FitExample("four-sites-chelator.bwd", {0, 0.95, 0.16, 10, -5.7, 4.8, 5.4, 4.4, 4.7, 30}, a_);
    FitExample("four-sites-bapta.bwd", {0, 0.9, 0.23, 10, -6.6, 4.8, 5.4, 4.4, 4.7, 40}, b_);
    gui::ResetDocument();
    ASSERT_TRUE(LoadBwdFile(a_, gui::Doc()).ok);
  }
  void TearDown() override { gui::ResetDocument(); }
  std::string a_, b_;
};

TEST_F(GlobalFitWindow, ShowsTheGlobalFitAndApplyChangesTheOpenDocument) {
  int applied = 0;
  FitSettings defaults;
  GlobalFitDlg dialog(&gui::Frame(), &gui::Doc(), "a.bwd", defaults, [&applied] { ++applied; });
  ASSERT_EQ(dialog.DocumentCount(), 1) << "the open fitted document comes first";
  std::string message;
  EXPECT_FALSE(dialog.AddFile(gui::ScratchPath("missing.bwd").utf8_string(), &message));
  EXPECT_NE(message.find("missing.bwd"), std::string::npos) << message;
  ASSERT_TRUE(dialog.AddFile(b_));
  ASSERT_EQ(dialog.DocumentCount(), 2);
  EXPECT_EQ(dialog.DocumentTable()->GetItemText(1, 1), "4");
  EXPECT_EQ(dialog.CheckedSharedRows(), default_shared_rows(4));

  dialog.ErrorMethod()->SetSelection(static_cast<int>(GlobalErrorMethod::ConstantSD));
  dialog.ConstantSDField()->ChangeValue("0.002");
  ASSERT_TRUE(dialog.Run());

  Titration b;
  ASSERT_TRUE(LoadBwdFile(b_, b).ok);
  GlobalFitRequest request;
  request.sharedRows = default_shared_rows(4);
  request.errors = global_error_settings(defaults, GlobalErrorMethod::ConstantSD, 0.002);
  const GlobalFitResult expected = run_global_fit({{"a.bwd", &gui::Doc()}, {"global-b.bwd", &b}}, request);
  ASSERT_TRUE(expected.haveErrors);
  wxListCtrl* shared = dialog.SharedTable();
  ASSERT_EQ(shared->GetItemCount(), static_cast<int>(expected.shared.size()));
  for (std::size_t i = 0; i < expected.shared.size(); ++i) {
    const long row = static_cast<long>(i);
    EXPECT_NEAR(Cell(shared, row, 1), expected.shared[i].value, 1e-5 * std::abs(expected.shared[i].value));
    EXPECT_NEAR(Cell(shared, row, 2), expected.shared[i].error, 1e-5 * expected.shared[i].error);
  }
  ASSERT_EQ(dialog.TitrationTable()->GetItemCount(), 2);
  for (long t = 0; t < 2; ++t)
    EXPECT_NEAR(Cell(dialog.TitrationTable(), t, 2), expected.titrations[t].chiSquare, 1e-5 * expected.titrations[t].chiSquare);

  const double ownChiSquare = gui::Doc().m_fit.m_p[0];
  const double bChiSquare = b.m_fit.m_p[0];
  ASSERT_TRUE(dialog.ApplyResult(false));
  EXPECT_EQ(applied, 1);
  EXPECT_NE(gui::Doc().m_fit.m_p[0], ownChiSquare) << "the global part fits this titration worse than its own fit";
  EXPECT_NEAR(gui::Doc().m_fit.m_p[0], expected.titrations[0].chiSquare, 1e-9 * expected.titrations[0].chiSquare);
  Titration unchanged;
  ASSERT_TRUE(LoadBwdFile(b_, unchanged).ok);
  EXPECT_EQ(unchanged.m_fit.m_p[0], bChiSquare) << "the other file is written only when asked";

  ASSERT_TRUE(dialog.ApplyResult(true));
  Titration saved;
  ASSERT_TRUE(LoadBwdFile(b_, saved).ok);
  EXPECT_NEAR(saved.m_fit.m_p[0], expected.titrations[1].chiSquare, 1e-9 * expected.titrations[1].chiSquare);
  EXPECT_NEAR(saved.m_fit.m_p[5], gui::Doc().m_fit.m_p[5], 1e-12 * std::abs(saved.m_fit.m_p[5])) << "the shared constant";
}

TEST_F(GlobalFitWindow, RefusalsAreShownAndAProjectReopensTheAnalysis) {
  FitSettings defaults;
  GlobalFitDlg dialog(&gui::Frame(), &gui::Doc(), "a.bwd", defaults, {});
  ASSERT_TRUE(dialog.AddFile(b_));
  dialog.SetSharedRows({});
  gui::ExpectDialog(wxID_OK);
  EXPECT_FALSE(dialog.Run()) << "nothing shared";
  EXPECT_EQ(gui::TakeDialogTexts().size(), 1u);
  dialog.SetSharedRows({5, 6});
  dialog.ErrorMethod()->SetSelection(static_cast<int>(GlobalErrorMethod::ConstantSD));
  dialog.ConstantSDField()->ChangeValue("-1");
  gui::ExpectDialog(wxID_OK);
  EXPECT_FALSE(dialog.Run());
  EXPECT_FALSE(dialog.Result().has_value());
  gui::TakeDialogTexts();

  const std::string project = gui::ScratchPath("global.bwglobal").utf8_string();
  dialog.SaveProject(project);
  GlobalFitDlg reopened(&gui::Frame(), &gui::Doc(), "a.bwd", defaults, {});
  reopened.OpenProject(project);
  EXPECT_EQ(reopened.DocumentCount(), 2);
  EXPECT_EQ(reopened.CheckedSharedRows(), (std::vector<int>{5, 6}));
}

TEST(GlobalFitMenu, OpensTheDialogFromTheAnalysisMenu) {
  gui::ResetDocument();
  gui::ExpectDialog(wxID_CANCEL);
  wxCommandEvent event(wxEVT_MENU, ID_ANALYSIS_GLOBAL_FIT);
  gui::Frame().GetEventHandler()->ProcessEvent(event);
  gui::Pump(50);
  EXPECT_EQ(gui::PendingDialogs(), 0);
  const std::vector<wxString> texts = gui::TakeDialogTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "Global Fit");
}

}  // namespace

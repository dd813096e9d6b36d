// Analysis > Global Fit...: two fitted titrations of the four-site protein fitted together on
// the worker; the dialog shows what the global fit computed (with profile intervals when
// ticked), Cancel, Esc and Close stop a run without changing anything, Apply makes the open
// document's part its fit (and, when asked, writes the other's part into its file), and a
// project reopens the analysis.
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/gtk/print.h>
#include <wx/image.h>
#include <wx/print.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobox.h>
#include <wx/textctrl.h>

#include "app/wx/command_ids.h"
#include "app/wx/global_fit_dialog.h"
#include "app/wx/main_frame.h"
#include "commands/fit_command.h"
#include "commands/global_fit.h"
#include "commands/identifiability.h"
#include "document/bwd_file.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/global_report_painter.h"
#include "graphview/wx/global_report_printout.h"
#include "graphview/wx/report_printout.h"
#include "gui_test_support.h"
#include "tests/support/recording_canvas.h"

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

// Pumps events until the worker's result (or refusal) is back on the window's thread.
bool WaitForRun(GlobalFitDlg& dialog) {
  for (int i = 0; i < 6000 && dialog.IsRunning(); ++i) gui::Pump(10);
  return !dialog.IsRunning();
}

void Press(wxButton* button) {
  wxCommandEvent press(wxEVT_BUTTON, button->GetId());
  press.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(press);
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
  ASSERT_TRUE(WaitForRun(dialog));

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

// A broad search with the jackknife: a hundred refits and more, so a stop asked as soon as
// Run returns always lands inside the run.
void ChooseALongRun(GlobalFitDlg& dialog) {
  dialog.ErrorMethod()->SetSelection(static_cast<int>(GlobalErrorMethod::Jackknife));
  dialog.ExtensiveBox()->SetValue(true);
}

wxString RunState(GlobalFitDlg& dialog) {
  wxWindow* state = wxWindow::FindWindowByName("Run state", &dialog);
  return state ? state->GetLabel() : wxString("(no run state)");
}

std::vector<wxString> Column(wxListCtrl* table, int column) {
  std::vector<wxString> out;
  for (long row = 0; row < table->GetItemCount(); ++row) out.push_back(table->GetItemText(row, column));
  return out;
}

TEST_F(GlobalFitWindow, CancelAndEscStopARunAndLeaveThePreviousResult) {
  FitSettings defaults;
  GlobalFitDlg dialog(&gui::Frame(), &gui::Doc(), "a.bwd", defaults, {});
  ASSERT_TRUE(dialog.AddFile(b_));
  ASSERT_EQ(dialog.CancelButton()->GetLabel(), "Cancel");
  EXPECT_FALSE(dialog.CancelButton()->IsEnabled()) << "nothing to cancel yet";
  ASSERT_TRUE(dialog.Run());
  ASSERT_TRUE(WaitForRun(dialog));
  ASSERT_TRUE(dialog.Result().has_value());
  const std::vector<wxString> values = Column(dialog.SharedTable(), 1);
  const double chiSquare = dialog.Result()->chiSquare;

  ChooseALongRun(dialog);
  ASSERT_TRUE(dialog.Run());
  ASSERT_TRUE(dialog.IsRunning()) << "Run returns while the worker fits";
  EXPECT_TRUE(dialog.CancelButton()->IsEnabled());
  std::string refused;
  EXPECT_FALSE(dialog.AddFile(b_, &refused)) << "the list cannot change under the run";
  EXPECT_FALSE(dialog.Run()) << "one run at a time";
  Press(dialog.CancelButton());
  ASSERT_TRUE(WaitForRun(dialog));
  EXPECT_EQ(RunState(dialog), "Stopped; nothing changed.");
  ASSERT_TRUE(dialog.Result().has_value()) << "a stopped run keeps the previous result";
  EXPECT_EQ(dialog.Result()->chiSquare, chiSquare);
  EXPECT_EQ(Column(dialog.SharedTable(), 1), values);
  EXPECT_FALSE(dialog.CancelButton()->IsEnabled());
  EXPECT_EQ(dialog.DocumentCount(), 2);

  ASSERT_TRUE(dialog.Run());
  wxKeyEvent esc(wxEVT_CHAR_HOOK);
  esc.m_keyCode = WXK_ESCAPE;
  esc.SetEventObject(dialog.CancelButton());
  dialog.GetEventHandler()->ProcessEvent(esc);
  ASSERT_TRUE(WaitForRun(dialog));
  EXPECT_EQ(RunState(dialog), "Stopped; nothing changed.");
  EXPECT_EQ(dialog.Result()->chiSquare, chiSquare);
  EXPECT_TRUE(gui::TakeDialogTexts().empty()) << "Esc during a run neither closes nor asks";
}

TEST_F(GlobalFitWindow, ProfileIntervalsShowAsTheValueWithIts68PercentInterval) {
  FitSettings defaults;
  GlobalFitDlg dialog(&gui::Frame(), &gui::Doc(), "a.bwd", defaults, {});
  ASSERT_TRUE(dialog.AddFile(b_));
  wxWindow* box = wxWindow::FindWindowByLabel("Profile-likelihood &intervals", &dialog);
  ASSERT_EQ(box, dialog.ProfileBox()) << "a real check box found by its label";
  ASSERT_TRUE(dialog.Run());
  ASSERT_TRUE(WaitForRun(dialog));
  EXPECT_EQ(Column(dialog.SharedTable(), 3), std::vector<wxString>(4, "-")) << "no intervals unless asked";

  dialog.ProfileBox()->SetValue(true);
  ASSERT_TRUE(dialog.Run());
  ASSERT_TRUE(WaitForRun(dialog));
  ASSERT_TRUE(dialog.Result() && dialog.Result()->haveProfile);
  Titration b;
  ASSERT_TRUE(LoadBwdFile(b_, b).ok);
  GlobalFitRequest request;
  request.sharedRows = default_shared_rows(4);
  request.errors = global_error_settings(defaults, GlobalErrorMethod::None, 0.0);
  request.profileIntervals = true;
  const GlobalFitResult expected = run_global_fit({{"a.bwd", &gui::Doc()}, {"global-b.bwd", &b}}, request);
  const std::vector<wxString> shown = Column(dialog.SharedTable(), 3);
  ASSERT_EQ(shown.size(), expected.shared.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].utf8_string(), interval_text(4, *expected.shared[i].interval));
    EXPECT_NE(shown[i].utf8_string().find("\u2013"), std::string::npos) << "a bounded interval: " << shown[i];
  }
  const wxString own = dialog.TitrationTable()->GetItemText(0, 3);
  EXPECT_NE(own.utf8_string().find(interval_text(4, *expected.titrations[0].intervals[1])), std::string::npos) << own;

  // The whole dialog, results included, fits a 1366x768 laptop screen below its top bar.
  EXPECT_LE(dialog.GetSize().y, 720) << dialog.GetSize().y;
  EXPECT_LE(dialog.GetSize().x, 1366) << dialog.GetSize().x;

  // Every warning of the review, in full, under a label a screen reader finds.
  ASSERT_EQ(wxWindow::FindWindowByLabel("&Warnings:", &dialog) != nullptr, true);
  std::string warnings;
  for (const FitWarning& w : global_fit_warnings(expected)) warnings += (warnings.empty() ? "" : "\n") + w.text;
  EXPECT_EQ(dialog.WarningsText()->GetValue().utf8_string(), warnings.empty() ? "None" : warnings);
}

TEST_F(GlobalFitWindow, ClosingDuringARunStopsAndWaitsForTheWorker) {
  FitSettings defaults;
  const double ownChiSquare = gui::Doc().m_fit.m_p[0];
  {
    auto* dialog = new GlobalFitDlg(&gui::Frame(), &gui::Doc(), "a.bwd", defaults, {});
    ASSERT_TRUE(dialog->AddFile(b_));
    ChooseALongRun(*dialog);
    ASSERT_TRUE(dialog->Run());
    wxWindow* close = dialog->FindWindow(wxID_CANCEL);
    ASSERT_NE(close, nullptr);
    Press(static_cast<wxButton*>(close));
    EXPECT_FALSE(dialog->IsRunning()) << "Close joins the worker before the dialog goes";
    EXPECT_FALSE(dialog->Result().has_value());
    dialog->Destroy();
  }
  {
    // Destroyed with the worker still fitting, its result not yet posted.
    GlobalFitDlg dialog(&gui::Frame(), &gui::Doc(), "a.bwd", defaults, {});
    ASSERT_TRUE(dialog.AddFile(b_));
    ChooseALongRun(dialog);
    ASSERT_TRUE(dialog.Run());
  }
  gui::Pump(200);  // a result posted by the stopped worker must not reach the dead dialog
  EXPECT_EQ(gui::Doc().m_fit.m_p[0], ownChiSquare);
  EXPECT_FALSE(gui::Doc().IsModified());
  EXPECT_TRUE(gui::TakeDialogTexts().empty());
}

wxPreviewFrame* OpenPreviewFrame() {
  for (wxWindowList::compatibility_iterator node = wxTopLevelWindows.GetFirst(); node; node = node->GetNext())
    if (auto* frame = dynamic_cast<wxPreviewFrame*>(node->GetData()); frame && !frame->IsBeingDeleted()) return frame;
  return nullptr;
}

// The toolkit's preview, rendering its page into a bitmap the test can look at.
class BitmapPreview : public wxGtkPrintPreview {
 public:
  using wxGtkPrintPreview::wxGtkPrintPreview;
  bool Render(wxBitmap& bmp) { return RenderPageIntoBitmap(bmp, 1); }
};

TEST_F(GlobalFitWindow, ReportPreviewsTheGlobalFitsPage) {
  FitSettings defaults;
  GlobalFitDlg dialog(&gui::Frame(), &gui::Doc(), "a.bwd", defaults, {});
  ASSERT_TRUE(dialog.AddFile(b_));
  ASSERT_EQ(dialog.ReportButton()->GetLabel(), "Report...");
  EXPECT_FALSE(dialog.ReportButton()->IsEnabled()) << "nothing to report before a run";
  ASSERT_TRUE(dialog.Run());
  EXPECT_FALSE(dialog.ReportButton()->IsEnabled()) << "nor during one";
  ASSERT_TRUE(WaitForRun(dialog));
  ASSERT_TRUE(dialog.ReportButton()->IsEnabled());

  ASSERT_EQ(OpenPreviewFrame(), nullptr);
  Press(dialog.ReportButton());
  gui::Pump(300);
  wxPreviewFrame* preview = OpenPreviewFrame();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->IsShown());
  preview->Close();
  gui::Pump(300);
  EXPECT_EQ(OpenPreviewFrame(), nullptr);
  EXPECT_TRUE(gui::TakeDialogTexts().empty());

  // The printout draws the page where the painter lays it out: ink in the graph and in the
  // tables, at a quarter of the printer's pixels.
  wxPrintDialogData data(ReportPageSetup().GetPrintData());
  auto* printout = new GlobalReportPrintout(std::make_shared<const GlobalFitResult>(*dialog.Result()));
  BitmapPreview bitmapPreview(printout, nullptr, &data);
  ASSERT_TRUE(bitmapPreview.IsOk());
  const ReportPage page = PrinterPage(*printout);
  wxBitmap bitmap(page.width / 4, page.height / 4, 24);
  ASSERT_TRUE(bitmapPreview.Render(bitmap));
  const wxImage image = bitmap.ConvertToImage();
  const GlobalReportTexts texts = GlobalReportTextsFor(*dialog.Result(), {7, 12, 2026});
  RecordingCanvas measure;
  const GlobalReportLayout layout = GlobalReportLayoutFor(measure, texts, page);
  auto ink = [&image](const CanvasRect& r) {
    int dark = 0;
    for (int y = r.top / 4; y < r.bottom / 4 && y < image.GetHeight(); ++y)
      for (int x = r.left / 4; x < r.right / 4 && x < image.GetWidth(); ++x)
        dark += image.GetRed(x, y) < 128 && image.GetGreen(x, y) < 128;
    return dark;
  };
  EXPECT_GT(ink(layout.graph), 100);
  EXPECT_GT(ink(layout.body), 100);
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

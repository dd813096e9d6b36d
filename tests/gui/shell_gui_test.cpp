// The main window as a person meets it: three fixed panes, menus and status bar, typing
// into the grid, the clipboard from another pane, opening a corrupt file, saving and
// reopening, the progress bar in the status bar and the About box.
#include <gtest/gtest.h>

#include <fstream>

#include <wx/animate.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/generic/animate.h>
#include <wx/menu.h>
#include <wx/scrolwin.h>
#include <wx/statusbr.h>
#include <wx/uiaction.h>

#include "app/wx/about_dialog.h"
#include "app/wx/analysis_menu.h"
#include "app/wx/bindwise_app.h"
#include "app/wx/fixed_splitter.h"
#include "app/wx/main_frame.h"
#include "app/wx/progress_bar.h"
#include "document/wx/bindwise_doc.h"
#include "gridview/wx/cell_view.h"
#include "gridview/grid_metrics.h"
#include "outputview/wx/output_view.h"
#include "gui_test_support.h"

namespace {

const GridMetrics kGrid = GridMetrics::ForScreenWidth(1024);

wxPoint CellPoint(int row, int col) {
  return {kGrid.m_nLabelWidth + col * kGrid.m_nColWidth + kGrid.m_nColWidth / 2,
          (row + 1) * kGrid.m_nRowHeight + kGrid.m_nRowHeight / 2};
}

wxWindow* GridPane() { return gui::Frame().GetPane(0); }
wxWindow* GraphPane() { return gui::Frame().GetPane(1); }

std::string CellText(int row, int col) { return gui::Doc().m_cells[row][col].Text(); }

TEST(Shell, StartsWithThreeFixedPanesMenusAndStatusBar) {
  CMainFrame& frame = gui::Frame();
  ASSERT_TRUE(frame.IsShown());
  EXPECT_EQ(frame.GetTitle(), wxString::FromUTF8("Untitled \u2014 Bindwise"));
  // A 1024 x 768 window (set by the test program): a 318-pixel grid and a 465-pixel graph.
  EXPECT_EQ(frame.GetLayout().layoutWidth, 1024);
  EXPECT_EQ(GridPane()->GetSize().x, 318);
  EXPECT_EQ(GraphPane()->GetSize().y, 465);
  const wxRect control = frame.GetPane(2)->GetRect();
  EXPECT_EQ(control.GetBottom() + 1, frame.GetSplitter()->GetClientSize().y);

  wxMenuBar* bar = frame.GetMenuBar();
  ASSERT_EQ(bar->GetMenuCount(), 4u);
  EXPECT_EQ(bar->GetMenuLabel(0), "&File");
  EXPECT_EQ(bar->GetMenuLabel(2), "&Analysis");
  EXPECT_EQ(bar->GetMenuLabel(3), "&Help");
  EXPECT_NE(bar->FindItem(wxID_PREVIEW), nullptr);
  EXPECT_EQ(bar->FindItem(wxID_COPY)->GetHelp(), "Copy the selection and put it on the Clipboard");

  wxStatusBar* status = frame.GetStatusBar();
  ASSERT_EQ(status->GetFieldsCount(), 4);
  EXPECT_EQ(status->GetStatusText(0), "Ready");

  // Dragging the divider between grid and graph moves nothing.
  const int dividerX = GridPane()->GetSize().x + frame.GetLayout().dividerWidth / 2;
  wxUIActionSimulator sim;
  sim.MouseMove(frame.GetSplitter()->ClientToScreen(wxPoint(dividerX, 200)));
  gui::Pump(50);
  sim.MouseDragDrop(frame.GetSplitter()->ClientToScreen(wxPoint(dividerX, 200)),
                    frame.GetSplitter()->ClientToScreen(wxPoint(dividerX + 120, 200)));
  gui::Pump(100);
  EXPECT_EQ(GridPane()->GetSize().x, 318);

  const wxString shot = gui::SaveScreenshot("main_window");
  EXPECT_TRUE(wxFileName::FileExists(shot));
}

TEST(Shell, TypedKeysReachTheGridAndMarkTheDocument) {
  gui::ResetDocument();
  gui::ClickAt(GridPane(), CellPoint(2, 1));
  gui::TypeText("12.5");
  EXPECT_EQ(CellText(2, 1), "12.5");
  EXPECT_TRUE(gui::Doc().IsModified());
  gui::KeyChord(WXK_RETURN);
  gui::TypeText("-3");
  EXPECT_EQ(CellText(3, 1), "-3");
  gui::SaveScreenshot("grid_typed");
  gui::ResetDocument();
}

TEST(Shell, CopyFromTheGraphPaneTakesTheGridSelection) {
  gui::ResetDocument();
  gui::Doc().m_cells[4][0].SetText("2.5");
  gui::ClickAt(GridPane(), CellPoint(4, 0));
  gui::ClickAt(GraphPane(), wxPoint(300, 300));
  EXPECT_TRUE(GraphPane()->HasFocus());
  gui::KeyChord('C', wxMOD_CONTROL);
  wxTextDataObject data;
  {
    wxClipboardLocker lock;
    ASSERT_FALSE(!lock);
    ASSERT_TRUE(wxTheClipboard->GetData(data));
  }
  EXPECT_EQ(data.GetText(), "2.5\r ");

  // Paste through the menu command into another cell of the grid.
  gui::ClickAt(GridPane(), CellPoint(7, 2));
  wxCommandEvent paste(wxEVT_MENU, wxID_PASTE);
  gui::Frame().GetEventHandler()->ProcessEvent(paste);
  EXPECT_EQ(CellText(7, 2), "2.5");
  gui::ResetDocument();
}

TEST(Shell, RepaintComposesOnlyTheInvalidArea) {
  gui::ResetDocument();
  CCellView* view = gui::Frame().GetCellView();
  auto* canvas = static_cast<wxScrolledCanvas*>(GridPane());
  canvas->Scroll(0, 10);  // ten rows down: logical coordinates differ from the window's
  gui::Pump(100);
  const wxRect small(50, 40, 30, 12);
  const wxPoint logical = canvas->CalcUnscrolledPosition(small.GetTopLeft());
  // Repaints still queued by earlier tests (focus changes, view updates) can merge into the
  // invalid region of one attempt; a buffer that composes the whole pane fails every attempt.
  wxRect area;
  for (int attempt = 0; attempt < 3; ++attempt) {
    canvas->Update();
    gui::Pump(100);
    canvas->RefreshRect(small, false);
    canvas->Update();  // paints the invalid region now; later pumping may paint others
    area = view->GetLastRepaintArea();
    gui::Pump(50);
    if (area.width * area.height <= 4 * small.width * small.height) break;
  }
  EXPECT_TRUE(area.Contains(wxRect(logical, small.GetSize()))) << area.x << "," << area.y;
  EXPECT_LE(area.width * area.height, 4 * small.width * small.height);
  canvas->Scroll(0, 0);
  gui::Pump(50);
}

TEST(Shell, F6MovesBetweenPanes) {
  gui::ResetDocument();
  ASSERT_TRUE(GridPane()->HasFocus());
  gui::KeyChord(WXK_F6);
  EXPECT_TRUE(GraphPane()->HasFocus());
  gui::KeyChord(WXK_F6, wxMOD_SHIFT);
  EXPECT_TRUE(GridPane()->HasFocus());
}

TEST(Shell, OpeningACorruptFileKeepsTheDocument) {
  gui::ResetDocument();
  gui::Doc().m_cells[0][0].SetText("42");
  gui::Doc().Modify(true);
  const wxString path = gui::ScratchPath("corrupt.bwd");
  std::ofstream(path.fn_str(), std::ios::binary) << "\x05\x00\x00\x00garbage";
  gui::ExpectDialog(wxID_NO);  // do not save the modified document first
  gui::ExpectDialog(wxID_OK);  // the reader's message
  EXPECT_FALSE(CBindwiseApp::Get().GetDocManager()->OpenPath(path));
  EXPECT_EQ(gui::PendingDialogs(), 0);
  const std::vector<wxString> texts = gui::TakeDialogTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_TRUE(texts[1].Contains("corrupt.bwd")) << texts[1];
  EXPECT_EQ(CellText(0, 0), "42");
  EXPECT_EQ(gui::Frame().GetTitle(), wxString::FromUTF8("*Untitled \u2014 Bindwise"));
  EXPECT_TRUE(gui::Doc().IsModified());  // still unsaved: the failed open replaced nothing
  gui::ResetDocument();
}

TEST(Shell, SaveAndReopen) {
  gui::ResetDocument();
  gui::Doc().m_cells[0][0].SetText("1.25");
  gui::Doc().m_cells[1][2].SetText("0.5");
  const wxString path = gui::ScratchPath("saved.bwd");
  ASSERT_TRUE(gui::Doc().OnSaveDocument(path));
  EXPECT_FALSE(gui::Doc().IsModified());

  gui::ResetDocument();
  EXPECT_EQ(CellText(0, 0), "");
  ASSERT_TRUE(CBindwiseApp::Get().GetDocManager()->OpenPath(path));
  EXPECT_EQ(CellText(0, 0), "1.25");
  EXPECT_EQ(CellText(1, 2), "0.5");
  EXPECT_FALSE(gui::Doc().IsModified());
  EXPECT_EQ(gui::Frame().GetTitle(), wxString::FromUTF8("saved.bwd \u2014 Bindwise"));
  // A change marks the caption, and the save prompt names the file, not "unnamed1".
  gui::Doc().Modify(true);
  EXPECT_EQ(gui::Frame().GetTitle(), wxString::FromUTF8("*saved.bwd \u2014 Bindwise"));
  gui::ExpectDialog(wxID_CANCEL);
  EXPECT_FALSE(CBindwiseApp::Get().GetDocManager()->NewDocument());
  const std::vector<wxString> prompt = gui::TakeDialogTexts();
  ASSERT_EQ(prompt.size(), 1u);
  EXPECT_TRUE(prompt[0].Contains("saved.bwd")) << prompt[0];
  gui::Doc().Modify(false);
  wxFileHistory* history = CBindwiseApp::Get().GetDocManager()->GetFileHistory();
  ASSERT_GE(history->GetCount(), 1u);
  EXPECT_EQ(history->GetHistoryFile(0), path);
  EXPECT_EQ(history->GetMaxFiles(), 4u);

  // A save into a folder that does not exist reports why and keeps the document modified.
  gui::Doc().Modify(true);
  gui::ExpectDialog(wxID_OK);
  EXPECT_FALSE(gui::Doc().OnSaveDocument(gui::ScratchPath("missing/folder/x.bwd")));
  EXPECT_EQ(gui::TakeDialogTexts().size(), 1u);
  EXPECT_TRUE(gui::Doc().IsModified());
  gui::ResetDocument();
}

TEST(Shell, ProgressBarInTheStatusBar) {
  wxStatusBar* status = gui::Frame().GetStatusBar();
  wxRect field;
  status->GetFieldRect(0, field);
  {
    CProgressBar bar("Calculating", 100, 100, false, 0);
    ASSERT_TRUE(bar.IsCreated());
    bar.SetBarColour(0x0000D2);
    bar.SetPos(40);
    gui::Pump(50);
    EXPECT_EQ(status->GetStatusText(0), "Calculating");
    EXPECT_EQ(bar.GetPos(), 40);
    const wxRect r = bar.GetBarRect();
    EXPECT_GT(r.x, field.x + status->GetTextExtent("Calculating").x);
    EXPECT_EQ(r.GetRight(), field.GetRight());
    EXPECT_EQ(r.y, field.y + field.height / 10);
    EXPECT_TRUE(bar.GetGauge()->IsShown());
    gui::SaveScreenshot("progress_bar");

    CProgressBar half("Calculating", 50, 100, true, 1);
    wxRect field1;
    status->GetFieldRect(1, field1);
    const wxRect h = half.GetBarRect();
    const int space = field1.GetRight() + 1 - h.x;
    EXPECT_NEAR(h.width, space / 2, 1);
  }
  EXPECT_EQ(status->GetStatusText(0), "Ready");

  CProgressBar none;
  none.SetPos(10);
  EXPECT_EQ(none.SetBarColour(0x0000D2), CProgressBar::kClrDefault);
  EXPECT_FALSE(none.Resize());
}

TEST(Shell, AboutBoxLoopsItsAnimation) {
  CAboutDlg about(&gui::Frame());
  EXPECT_EQ(about.GetTitle(), "About Bindwise");
  ASSERT_NE(about.GetAnimation(), nullptr);
  const wxAnimation animation = about.GetAnimation()->GetAnimation();
  EXPECT_EQ(animation.GetFrameCount(), 10u);
  EXPECT_EQ(animation.GetSize(), wxSize(65, 56));
  EXPECT_EQ(animation.GetDelay(0), 200);
  EXPECT_TRUE(about.GetAnimation()->IsPlaying());
}

}  // namespace

TEST(Shell, ClosingTheWindowDuringAFitIsRefused) {
  gui::ResetDocument();
  COutputView* output = gui::Frame().GetOutputView();
  output->SetFitRunningForTest(true);
  EXPECT_FALSE(gui::Frame().Close(false));  // vetoed: the fit's handler still runs
  gui::Pump(50);
  EXPECT_TRUE(gui::Frame().IsShown());
  output->SetFitRunningForTest(false);
}

// The help book lists every command of the Analysis menu with its shortcut.
TEST(Shell, TheHelpBookDocumentsTheAnalysisMenu) {
  std::ifstream in(BINDWISE_SOURCE_DIR "/resources/help/keyboard.html");
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(page.empty());
  for (int i = 0; i < kAnalysisMenuSize; ++i) {
    const MenuEntry& e = kAnalysisMenu[i];
    if (!e.label) continue;
    wxString label = wxString(e.label).BeforeFirst('\t');
    label.Replace("&", "");
    EXPECT_NE(page.find(label.ToStdString()), std::string::npos) << label;
    EXPECT_NE(page.find(std::string("<td>") + AnalysisShortcut(e.id) + "</td>"), std::string::npos) << label;
  }
}

// The window on the screen it finds itself on: the Fit button is on screen and opens the
// Fit dialog, so do the Analysis menu's Fit... and its shortcut; Tab reaches the buttons and
// Space presses them; a rubber band drawn between two drawn points zooms to them, also
// right after a double-click reset. These run with the other window tests in a 1024 x 768
// window, and again (ctest gui_screen_*) in a window filling a 1920 x 1080 screen and a
// 2560 x 1440 screen at GDK_SCALE=2.
#include <gtest/gtest.h>

#include <functional>

#include <wx/button.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/html/helpfrm.h>
#include <wx/uiaction.h>

#include "app/wx/bindwise_app.h"
#include "app/wx/command_ids.h"
#include "app/wx/fixed_splitter.h"
#include "app/wx/main_frame.h"
#include "commands/display_values.h"
#include "commands/simulate_command.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/wx/graph_view.h"
#include "outputview/control_layout.h"
#include "outputview/wx/output_view.h"
#include "outputview/wx/plot_list_box.h"
#include "gui_test_support.h"

namespace {

wxButton* FitButton() { return gui::Frame().GetOutputView()->GetButton(kIdFit); }

bool OnScreen(wxWindow* w) {
  const wxRect screen = wxDisplay(0u).GetGeometry();
  return w->IsShownOnScreen() && screen.Contains(w->GetScreenRect()) &&
         gui::Frame().GetScreenRect().Contains(w->GetScreenRect());
}

void ExpectFitDialogFrom(const std::function<void()>& action) {
  gui::ExpectDialog(wxID_CANCEL);
  action();
  EXPECT_EQ(gui::PendingDialogs(), 0);
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{"Fit"});
}

// Twelve points rising from 0.52 to 0.91 over 0 to 200 uM.
void FillPoints(BindwiseDoc& doc) {
  for (int i = 0; i < 12; ++i) {
    doc.m_cells[i][0].SetText(format_c("%.4f", 0.52 + i * 0.39 / 11));
    doc.m_cells[i][1].SetText(format_c("%.4f", i * 200.0 / 11));
  }
  doc.UpdateAllViews();
  gui::Pump(300);
}

wxPoint DrawnPoint(int row) {
  const GraphState& state = gui::Frame().GetGraphView()->GetGraphState();
  const GraphMapping map = MakeGraphMapping(state.scale, state.m_rcPlot);
  const auto& p = state.points.m_graphPoints[row];
  return {ToPixel(map.PixelX(gui::Doc().m_dStartCa + p.addedCa)), ToPixel(map.PixelY(p.response))};
}

// Drags with the real mouse from the drawn point of row a to the one of row b and checks
// the new limits against the two points, within 1 % of the axis span shown before.
void ExpectZoomBetweenRows(int a, int b) {
  wxWindow* pane = gui::Frame().GetPane(1);
  const GraphState& state = gui::Frame().GetGraphView()->GetGraphState();
  const double xSpan = state.scale.XRange(), ySpan = state.scale.YRange();
  const auto pa = state.points.m_graphPoints[a], pb = state.points.m_graphPoints[b];
  const wxPoint from = DrawnPoint(a), to = DrawnPoint(b);
  wxUIActionSimulator sim;
  sim.MouseMove(pane->ClientToScreen(from));
  gui::Pump(60);
  sim.MouseDown();
  gui::Pump(60);
  sim.MouseMove(pane->ClientToScreen((from + to) / 2));
  gui::Pump(60);
  sim.MouseMove(pane->ClientToScreen(to));
  gui::Pump(60);
  sim.MouseUp();
  gui::Pump(300);
  const BindwiseDoc& doc = gui::Doc();
  EXPECT_NEAR(doc.m_dXMin, pa.addedCa, 0.01 * xSpan);
  EXPECT_NEAR(doc.m_dXMax, pb.addedCa, 0.01 * xSpan);
  EXPECT_NEAR(doc.m_dYMin, pa.response, 0.01 * ySpan);
  EXPECT_NEAR(doc.m_dYMax, pb.response, 0.01 * ySpan);
}

}  // namespace

TEST(Screens, TheFitButtonIsOnScreenAndOpensTheFitDialog) {
  gui::ResetDocument();
  wxButton* fit = FitButton();
  ASSERT_NE(fit, nullptr);
  EXPECT_TRUE(OnScreen(fit));
  for (int id : {kIdUpdate, kIdSimulate, kIdGenData, kIdDescription, kIdDel, kIdView})
    EXPECT_TRUE(OnScreen(gui::Frame().GetOutputView()->GetButton(id))) << id;
  EXPECT_TRUE(OnScreen(gui::Frame().GetGraphView()->GetAxisButton()));
  EXPECT_FALSE(fit->GetToolTipText().empty());
  ExpectFitDialogFrom([&] { gui::ClickAt(fit, wxPoint(fit->GetSize().x / 2, fit->GetSize().y / 2)); });
  gui::ResetDocument();
}

TEST(Screens, TheAnalysisMenuAndItsShortcutOpenTheFitDialog) {
  gui::ResetDocument();
  wxMenuBar* bar = gui::Frame().GetMenuBar();
  ASSERT_NE(bar->FindItem(ID_ANALYSIS_FIT), nullptr);
  EXPECT_EQ(bar->FindItem(ID_ANALYSIS_FIT)->GetItemLabelText(), "Fit...");
  ExpectFitDialogFrom([] {
    wxCommandEvent menu(wxEVT_MENU, ID_ANALYSIS_FIT);
    gui::Frame().ProcessWindowEvent(menu);
  });
  // From the grid, with the keyboard.
  ExpectFitDialogFrom([] { gui::KeyChord('F', wxMOD_CONTROL); });
  gui::ResetDocument();
}

TEST(Screens, TabReachesTheButtonsAndSpacePressesThem) {
  gui::ResetDocument();
  COutputView* view = gui::Frame().GetOutputView();
  view->GetCanvas()->SetFocus();
  gui::Pump(100);
  gui::KeyChord(WXK_TAB);
  EXPECT_EQ(wxWindow::FindFocus(), view->GetButton(kIdDescription));
  gui::KeyChord(WXK_TAB, wxMOD_SHIFT);
  EXPECT_EQ(wxWindow::FindFocus(), view->GetCanvas());
  gui::KeyChord(WXK_TAB, wxMOD_SHIFT);  // from the pane backwards: the last control
  EXPECT_EQ(wxWindow::FindFocus(), view->GetButton(kIdGenData));
  gui::KeyChord(WXK_TAB, wxMOD_SHIFT);
  ASSERT_EQ(wxWindow::FindFocus(), view->GetButton(kIdFit));
  ExpectFitDialogFrom([] { gui::KeyChord(WXK_SPACE); });

  // The graph pane: Hide Fit, then Axis.
  CGraphView* graph = gui::Frame().GetGraphView();
  graph->GetCanvas()->SetFocus();
  gui::Pump(100);
  gui::KeyChord(WXK_TAB);
  EXPECT_EQ(wxWindow::FindFocus(), graph->GetFitButton());
  gui::KeyChord(WXK_TAB);
  EXPECT_EQ(wxWindow::FindFocus(), graph->GetAxisButton());
  gui::ResetDocument();
}

TEST(Screens, ABandBetweenTwoPointsZoomsToThemAlsoAfterADoubleClickReset) {
  gui::ResetDocument();
  FillPoints(gui::Doc());
  ASSERT_EQ(gui::Frame().GetGraphView()->GetGraphState().points.m_nGraphPoints, 12);
  ExpectZoomBetweenRows(2, 8);
  EXPECT_EQ(gui::Doc().m_bAxisFixed, 1);

  // Back to the data with a double-click, then at once another band.
  gui::DoubleClickAt(gui::Frame().GetPane(1), DrawnPoint(5) + wxPoint(3, 3));
  gui::Pump(200);
  EXPECT_DOUBLE_EQ(gui::Doc().m_dXMin, 0);
  EXPECT_NEAR(gui::Doc().m_dXMax, 200, 1e-9);
  ExpectZoomBetweenRows(3, 10);
  gui::ResetDocument();
}

// Every resize lays the panes out again: the layout is the one the client area gives, every
// control stays inside the window, and the window refuses to shrink below its minimum.
TEST(Screens, ResizingLaysThePanesOutAgain) {
  gui::ResetDocument();
  CMainFrame& frame = gui::Frame();
  const wxSize original = frame.GetSize();
  const wxSize screen = wxGetDisplaySize();
  for (const wxSize size : {wxSize(1024, 700), wxSize(screen.x, screen.y * 3 / 4), wxSize(900, 600), original}) {
    frame.SetSize(std::min(size.x, screen.x), std::min(size.y, screen.y));
    gui::Pump(300);
    const wxSize client = frame.GetSplitter()->GetClientSize();
    SCOPED_TRACE(testing::Message() << client.x << "x" << client.y);
    EXPECT_EQ(frame.GetLayout().layoutWidth, ComputeWindowLayout({client.x, client.y}, frame.GetLayout().scale).layoutWidth);
    const wxRect inside = frame.GetSplitter()->GetScreenRect();
    EXPECT_TRUE(inside.Contains(FitButton()->GetScreenRect()));
    EXPECT_TRUE(inside.Contains(gui::Frame().GetGraphView()->GetAxisButton()->GetScreenRect()));
  }
  frame.SetSize(300, 200);
  gui::Pump(200);
  EXPECT_GE(frame.GetSize().x, frame.GetMinSize().x);
  EXPECT_GE(frame.GetSize().y, frame.GetMinSize().y);
  EXPECT_GE(frame.GetMinSize().x, std::min(800, screen.x));
  frame.SetSize(original);
  gui::Pump(300);
}

// At the smallest window, with more curves than the plot list shows, and in the help viewer
// made as small as it goes, GTK never has a widget laid out below its minimum size.
TEST(Screens, TheSmallestWindowAndTheHelpViewerGiveGtkNoNegativeSizes) {
  gui::ResetDocument();
  gui::TakeGtkComplaints();
  BindwiseDoc& doc = gui::Doc();
  const char* rows[3][3] = {{"1", "0", "2.000"}, {"1.5", "24.94", "2.005"}, {"2", "49.75", "2.010"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) doc.m_cells[r][c].SetText(rows[r][c]);
  SimulateSettings s;
  s.m_dValue[1] = 1;
  s.m_dValue[2] = 2;
  s.m_dValue[3] = 1;
  for (int curve = 0; curve < 5; ++curve) {
    s.m_dValue[4] = 5 + 0.5 * curve;
    ASSERT_TRUE(run_simulate_command(doc, s, nullptr).computed);
  }
  gui::Pump(200);
  ASSERT_EQ(gui::Frame().GetOutputView()->GetPlotList()->GetCount(), 5);
  CMainFrame& frame = gui::Frame();
  const wxSize original = frame.GetSize();
  for (const wxSize size : {wxSize(1, 1), wxSize(frame.GetMinSize().x, 2000), wxSize(2000, frame.GetMinSize().y)}) {
    frame.SetSize(size);
    gui::Pump(300);
  }
  EXPECT_EQ(gui::TakeGtkComplaints(), std::vector<std::string>{}) << "main window";

  CBindwiseApp::Get().ShowHelp(0);
  gui::Pump(300);
  wxWindow* help = nullptr;
  for (wxWindow* window : wxTopLevelWindows)
    if (dynamic_cast<wxHtmlHelpFrame*>(window) && window->IsShown()) help = window;
  ASSERT_NE(help, nullptr);
  help->SetSize(1, 1);
  gui::Pump(300);
  help->Close(true);
  gui::Pump(200);
  EXPECT_EQ(gui::TakeGtkComplaints(), std::vector<std::string>{}) << "help viewer";

  frame.SetSize(original);
  gui::Pump(300);
  doc.Modify(false);
  gui::ResetDocument();
}


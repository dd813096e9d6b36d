// The graph pane on the running program: points, a fit and two simulated curves drawn into
// the pane (screenshot graph_pane.png), rubber-band zoom and double-click reset through the
// real mouse, the Hide/Show Fit button, the Axis button and double-click on the title, and
// the Axis dialog's checks with their messages.
#include <gtest/gtest.h>

#include "app/wx/command_ids.h"

#include <cmath>

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/wx/field_validators.h"
#include "app/wx/main_frame.h"
#include "document/wx/bindwise_doc.h"
#include "commands/display_values.h"
#include "commands/simulate_command.h"
#include "graphview/graph_painter.h"
#include "graphview/plot_colours.h"
#include "graphview/wx/axis_dialog.h"
#include "graphview/wx/graph_view.h"
#include "gui_test_support.h"

namespace {

wxWindow* GraphPane() { return gui::Frame().GetPane(1); }
CGraphView& View() { return *gui::Frame().GetGraphView(); }

double Binding(double caUM, double kdUM) { return 0.52 + 0.42 * caUM / (caUM + kdUM); }

// Twelve points on a one-site curve (Kd 40 uM) with a little scatter, its fit, and two
// simulated curves (Kd 15 and 120 uM) in slots 1 and 2 reaching past the last point.
void FillExperiment(BindwiseDoc& doc) {
  for (int i = 0; i < 12; ++i) {
    const double ca = i * 200.0 / 11;
    doc.m_cells[i][0].SetText(format_c("%.4f", Binding(ca, 40) + 0.006 * std::sin(i * 2.1)));
    doc.m_cells[i][1].SetText(format_c("%.3f", ca));
    doc.m_cells[i][2].SetText("2.0");
  }
  doc.m_bShowFit = 1;
  for (int j = 0; j < Titration::kCurvePoints; ++j) {
    const double x = 0.4 + 199.2 * j / (Titration::kCurvePoints - 1);
    doc.m_fitCurve[j] = {Binding(x, 40), x};
    for (int k : {1, 2}) {
      const double xs = 0.5 + 259.0 * j / (Titration::kCurvePoints - 1);
      doc.m_simCurve[j].x[k] = xs;
      doc.m_simCurve[j].y[k] = Binding(xs, k == 1 ? 15 : 120);
    }
  }
  doc.m_bHaveSims = 1;
  add_plot_entry(doc, 1);
  add_plot_entry(doc, 2);
  doc.UpdateAllViews();
  gui::Pump(200);
}

wxImage PaneImage() {
  gui::Pump(100);
  wxWindow* pane = GraphPane();
  const wxSize size = pane->GetClientSize();
  wxBitmap bitmap(size.x, size.y, 24);
  {
    wxClientDC client(pane);
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, size.x, size.y, &client, 0, 0);
  }
  return bitmap.ConvertToImage();
}

// Whether a pixel near (x, y) has about this colour (curves may be antialiased).
bool ColourNear(const wxImage& img, int x, int y, Rgb want) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px < 0 || py < 0 || px >= img.GetWidth() || py >= img.GetHeight()) continue;
      if (std::abs(img.GetRed(px, py) - want.r) < 40 && std::abs(img.GetGreen(px, py) - want.g) < 40 &&
          std::abs(img.GetBlue(px, py) - want.b) < 40)
        return true;
    }
  return false;
}

}  // namespace

TEST(GraphPane, DrawsPointsFitAndSimulatedCurves) {
  gui::ResetDocument();
  FillExperiment(gui::Doc());
  gui::SaveScreenshot("graph_pane");

  const GraphState& state = View().GetGraphState();
  EXPECT_EQ(state.points.m_nGraphPoints, 12);
  EXPECT_DOUBLE_EQ(state.scale.xMin, 0.0);  // simulations widen the axes from the origin
  EXPECT_EQ(View().GetFitButton()->GetLabel(), "Hide Fit");
  EXPECT_EQ(View().GetAxisButton()->GetLabel(), "Axis");

  const wxImage img = PaneImage();
  const GraphGeometry& geo = View().GetGeometry();
  // The curves are drawn in the part of the plot above the residual strip.
  const GraphMapping map = MakeGraphMapping(state.scale, state.m_rcPlot);
  EXPECT_LT(state.m_rcPlot.bottom, geo.PlotRect().bottom);
  auto at = [&](double x, double y, Rgb colour) {
    return ColourNear(img, static_cast<int>(map.PixelX(x)), static_cast<int>(map.PixelY(y)), colour);
  };
  EXPECT_TRUE(at(100, Binding(100, 40), kFitCurveColour));
  EXPECT_TRUE(at(100, Binding(100, 15), PlotColour(1)));
  EXPECT_TRUE(at(100, Binding(100, 120), PlotColour(2)));
  EXPECT_TRUE(ColourNear(img, geo.m_nPlotLeft + 30, geo.m_nPlotTop + 3, {255, 255, 255}));
  EXPECT_TRUE(ColourNear(img, 3, geo.m_nPlotTop + 3, {197, 213, 219}));  // the tiled background

  // Analysis > Hide Residuals gives the graph the whole plot; it is a view choice, so the
  // document stays unmodified.
  const bool modified = gui::Doc().IsModified();
  auto toggleResiduals = [] {
    wxCommandEvent event(wxEVT_MENU, ID_ANALYSIS_TOGGLE_RESIDUALS);
    gui::Frame().GetEventHandler()->ProcessEvent(event);
    gui::Pump(100);
  };
  toggleResiduals();
  EXPECT_EQ(View().GetGraphState().m_rcPlot.bottom, geo.PlotRect().bottom);
  EXPECT_EQ(gui::Doc().IsModified(), modified);
  toggleResiduals();
  EXPECT_EQ(View().GetGraphState().m_rcPlot.bottom, state.m_rcPlot.bottom);
  EXPECT_LT(state.m_rcPlot.bottom, geo.PlotRect().bottom);

  // The fit button hides the fit and says so.
  gui::ClickAt(GraphPane(), View().GetFitButton()->GetPosition() + wxPoint(10, 8));
  EXPECT_EQ(gui::Doc().m_bShowFit, 0);
  EXPECT_EQ(View().GetFitButton()->GetLabel(), "Show Fit");
  const wxImage hidden = PaneImage();
  EXPECT_FALSE(ColourNear(hidden, static_cast<int>(map.PixelX(100)), static_cast<int>(map.PixelY(Binding(100, 40))),
                          kFitCurveColour));
  gui::ResetDocument();
}

TEST(GraphPane, MouseZoomAndDoubleClickReset) {
  gui::ResetDocument();
  BindwiseDoc& doc = gui::Doc();
  for (int i = 0; i < 12; ++i) {
    doc.m_cells[i][0].SetText(format_c("%.4f", 0.52 + i * 0.39 / 11));
    doc.m_cells[i][1].SetText(format_c("%.4f", i * 200.0 / 11));
  }
  doc.UpdateAllViews();
  gui::Pump(200);
  ASSERT_EQ(View().GetGraphState().scale.m_nXIntervals, 11);

  wxUIActionSimulator sim;
  sim.MouseMove(GraphPane()->ClientToScreen(wxPoint(160, 100)));
  gui::Pump(60);
  sim.MouseDown();
  gui::Pump(60);
  sim.MouseMove(GraphPane()->ClientToScreen(wxPoint(260, 200)));
  gui::Pump(60);
  // The band is outlined in black while the button is held.
  const wxImage band = PaneImage();
  EXPECT_TRUE(ColourNear(band, 210, 100, {0, 0, 0}));
  EXPECT_TRUE(ColourNear(band, 160, 150, {0, 0, 0}));
  EXPECT_FALSE(ColourNear(band, 210, 150, {0, 0, 0}));
  sim.MouseMove(GraphPane()->ClientToScreen(wxPoint(360, 300)));
  gui::Pump(60);
  EXPECT_EQ(doc.m_bGraphDrag, 1);
  sim.MouseUp();
  gui::Pump(200);
  EXPECT_EQ(doc.m_bGraphDrag, 0);
  EXPECT_EQ(doc.m_bAxisFixed, 1);
  // Through the plot as drawn (64..640 x 40..410): 576 pixels for 220 uM, 370 for 0.45.
  EXPECT_NEAR(doc.m_dXMin, 96 * 220.0 / 576, 1e-9);
  EXPECT_NEAR(doc.m_dXMax, 296 * 220.0 / 576, 1e-9);
  EXPECT_NEAR(doc.m_dYMin, 0.5 + 110 * 0.45 / 370, 1e-9);
  EXPECT_NEAR(doc.m_dYMax, 0.5 + 310 * 0.45 / 370, 1e-9);

  gui::DoubleClickAt(GraphPane(), wxPoint(300, 200));
  EXPECT_DOUBLE_EQ(doc.m_dXMin, 0);
  EXPECT_DOUBLE_EQ(doc.m_dXMax, 200);
  EXPECT_DOUBLE_EQ(doc.m_dYMin, 0.5);
  EXPECT_EQ(doc.m_bGraphDrag, 0);
  gui::ResetDocument();
}

TEST(GraphPane, AxisButtonAndTitleDoubleClickOpenTheAxisDialog) {
  gui::ResetDocument();
  gui::ExpectDialog(wxID_CANCEL);
  gui::DoubleClickAt(GraphPane(), wxPoint(300, 15));  // on the title
  EXPECT_EQ(gui::PendingDialogs(), 0);
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{"Axis"});
  EXPECT_FALSE(gui::Doc().IsModified());

  gui::ExpectDialog(wxID_OK);
  gui::ClickAt(GraphPane(), View().GetAxisButton()->GetPosition() + wxPoint(10, 8));
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{"Axis"});
  EXPECT_TRUE(gui::Doc().IsModified());
  gui::ResetDocument();
}

TEST(AxisDialog, ChecksShowTheirMessagesAndKeepTheDialogOpen) {
  AxisSettings start;
  start.title = "Title";
  start.yCaption = "Response";
  start.xCaption = "Total Ca/uM";
  start.yMax = 0.91;
  start.xMax = 200;
  CAxisDlg dlg(&gui::Frame(), start);
  dlg.TransferDataToWindow();
  auto field = [&](int id) { return static_cast<wxTextCtrl*>(dlg.FindWindow(id)); };
  EXPECT_EQ(field(CAxisDlg::IDC_YMAX)->GetValue(), "0.91");

  field(CAxisDlg::IDC_XMIN)->SetValue("1,5");
  gui::ExpectDialog(wxID_OK);
  EXPECT_FALSE(dlg.Validate());
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{CNumberFieldValidator::kMessage});

  field(CAxisDlg::IDC_XMIN)->SetValue(" 10 ");
  field(CAxisDlg::IDC_XCAPTION)->SetValue(wxString(31, 'x'));
  gui::ExpectDialog(wxID_OK);
  EXPECT_FALSE(dlg.Validate());
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{"Enter no more than 30 characters."});

  field(CAxisDlg::IDC_XCAPTION)->SetValue(wxString::FromUTF8("[Ca\u00b2\u207a] \u00b5M"));
  EXPECT_TRUE(dlg.Validate());
  ASSERT_TRUE(dlg.TransferDataFromWindow());
  EXPECT_DOUBLE_EQ(dlg.Settings().xMin, 10);
  EXPECT_EQ(dlg.Settings().xCaption, "[Ca\u00b2\u207a] \u00b5M");
  EXPECT_EQ(gui::PendingDialogs(), 0);
}

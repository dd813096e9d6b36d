#include "graphview/graph_controller.h"

#include <gtest/gtest.h>

#include "graph_test_data.h"

namespace {

constexpr CanvasRect kPlot1024{64, 40, 640, 410};
constexpr CanvasRect kYCaption1024{0, 40, 60, 410};

// The worked example after one redraw at W = 1024: X 0..220 in 11 intervals of 20,
// Y 0.5..0.95 in 9 intervals of 0.05.
struct DrawnExample {
  std::unique_ptr<Titration> doc = ExampleTitration();
  GraphState state;
  GraphController ctl{state};
  explicit DrawnExample(const CanvasRect& plot = kPlot1024) { Redraw(plot); }
  void Redraw(const CanvasRect& plot) {
    state.m_rcPlot = plot;
    state.points.Collect(*doc);
    RunScalingPass(*doc, state);
    state.m_rcTitle = {plot.left, 0, plot.right, plot.top};
    state.m_rcXCaption = {plot.left, plot.bottom, plot.right, plot.bottom + 70};
  }
  void Drag(int x0, int y0, int x1, int y1) {
    ctl.OnLButtonDown(*doc, x0, y0);
    ctl.OnMouseMove(*doc, state.m_rcPlot, x1, y1);
    ctl.OnLButtonUp(*doc, x1, y1);
  }
  // Where the drawing puts a data point.
  CanvasPoint Pixel(double x, double y) const {
    const GraphMapping map = MakeGraphMapping(state.scale, state.m_rcPlot);
    return {ToPixel(map.PixelX(x)), ToPixel(map.PixelY(y))};
  }
};

}  // namespace

TEST(GraphZoom, BandMapsThroughThePlotAsDrawnAndFixesTheAxes) {
  DrawnExample g;
  g.Drag(160, 100, 360, 300);
  // 576 pixels across 220 uM, 370 pixels across 0.45, from the plot's left and bottom edges.
  EXPECT_NEAR(g.doc->m_dXMin, (160 - 64) * 220.0 / 576, 1e-9);
  EXPECT_NEAR(g.doc->m_dXMax, (360 - 64) * 220.0 / 576, 1e-9);
  EXPECT_NEAR(g.doc->m_dYMin, 0.5 + (410 - 300) * 0.45 / 370, 1e-12);
  EXPECT_NEAR(g.doc->m_dYMax, 0.5 + (410 - 100) * 0.45 / 370, 1e-12);
  EXPECT_EQ(g.doc->m_bAxisFixed, 1);
  EXPECT_EQ(g.doc->m_bGraphDrag, 0);
}

TEST(GraphZoom, ABandBetweenTwoDrawnPointsZoomsToThemAtAnyPlotSize) {
  // Rows 2 and 9 of the example: (40 uM, 0.59) and (180 uM, 0.87) roughly; take the table's.
  for (const CanvasRect plot : {kPlot1024, CanvasRect{96, 60, 1890, 615}, CanvasRect{40, 20, 420, 260}}) {
    DrawnExample g(plot);
    const auto& a = g.state.points.m_graphPoints[2];
    const auto& b = g.state.points.m_graphPoints[9];
    const CanvasPoint pa = g.Pixel(g.doc->m_dStartCa + a.addedCa, a.response);
    const CanvasPoint pb = g.Pixel(g.doc->m_dStartCa + b.addedCa, b.response);
    const double xSpan = g.state.scale.XRange(), ySpan = g.state.scale.YRange();
    g.Drag(pa.x, pb.y, pb.x, pa.y);
    SCOPED_TRACE(plot.Width());
    EXPECT_NEAR(g.doc->m_dXMin, g.doc->m_dStartCa + a.addedCa, 0.01 * xSpan);
    EXPECT_NEAR(g.doc->m_dXMax, g.doc->m_dStartCa + b.addedCa, 0.01 * xSpan);
    EXPECT_NEAR(g.doc->m_dYMin, a.response, 0.01 * ySpan);
    EXPECT_NEAR(g.doc->m_dYMax, b.response, 0.01 * ySpan);
  }
}

TEST(GraphZoom, ClicksAndSlipsChangeNoLimits) {
  DrawnExample g;
  g.ctl.OnLButtonDown(*g.doc, 200, 200);
  EXPECT_EQ(g.doc->m_bGraphDrag, 1);
  EXPECT_FALSE(g.ctl.OnLButtonUp(*g.doc, 200, 200));
  EXPECT_EQ(g.doc->m_bAxisFixed, 0);
  EXPECT_DOUBLE_EQ(g.doc->m_dXMax, 200);

  // One pixel across is under 1 % of X: no new limits, but the axes become fixed.
  g.Drag(400, 100, 401, 300);
  EXPECT_DOUBLE_EQ(g.doc->m_dXMin, 0);
  EXPECT_DOUBLE_EQ(g.doc->m_dYMin, 0.5);
  EXPECT_EQ(g.doc->m_bAxisFixed, 1);
}

TEST(GraphZoom, BandMovesOnlyInsideThePlotAndEdgesStayOnTheirSide) {
  DrawnExample g;
  g.ctl.OnLButtonDown(*g.doc, 300, 200);
  EXPECT_EQ(g.ctl.OnMouseMove(*g.doc, kPlot1024, 400, 250).back(), (CanvasRect{300, 200, 400, 250}));
  EXPECT_TRUE(g.ctl.OnMouseMove(*g.doc, kPlot1024, 700, 300).empty());  // outside: ignored
  // Left of and above the anchor: the right and bottom edges stay where they were.
  g.ctl.OnMouseMove(*g.doc, kPlot1024, 250, 150);
  EXPECT_EQ(g.ctl.DragRect(), (CanvasRect{250, 150, 400, 250}));
  g.ctl.OnLButtonUp(*g.doc, 700, 300);  // released outside: still zooms to the band
  EXPECT_NEAR(g.doc->m_dXMin, (250 - 64) * 220.0 / 576, 1e-9);
  EXPECT_NEAR(g.doc->m_dXMax, (400 - 64) * 220.0 / 576, 1e-9);

  // A cancelled drag or a stray release (pressed elsewhere) does not zoom to the old band.
  const double xMax = g.doc->m_dXMax;
  g.ctl.OnLButtonDown(*g.doc, 300, 200);
  g.ctl.OnMouseMove(*g.doc, kPlot1024, 400, 250);
  g.ctl.CancelDrag(*g.doc);
  EXPECT_FALSE(g.ctl.OnLButtonUp(*g.doc, 400, 250));
  EXPECT_DOUBLE_EQ(g.doc->m_dXMax, xMax);
}

TEST(GraphDoubleClick, ResetsToTheDataAndTheNextDragZooms) {
  DrawnExample g;
  g.Drag(160, 100, 360, 300);
  g.Redraw(kPlot1024);
  // What GTK sends: down, up, double-click, up; the last release does not zoom.
  g.ctl.OnLButtonDown(*g.doc, 200, 200);
  g.ctl.OnLButtonUp(*g.doc, 200, 200);
  EXPECT_FALSE(g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 200, 200));
  g.ctl.OnMouseMove(*g.doc, kPlot1024, 203, 202);
  g.ctl.OnLButtonUp(*g.doc, 203, 202);
  EXPECT_DOUBLE_EQ(g.doc->m_dXMin, 0);
  EXPECT_DOUBLE_EQ(g.doc->m_dXMax, 200);
  EXPECT_DOUBLE_EQ(g.doc->m_dYMin, 0.5);
  EXPECT_DOUBLE_EQ(g.doc->m_dYMax, 0.91);
  EXPECT_EQ(g.doc->m_bAxisFixed, 1);  // stays fixed, at the data's extents
  EXPECT_EQ(g.doc->m_bGraphDrag, 0);

  // The very next drag zooms.
  g.Redraw(kPlot1024);
  g.Drag(160, 100, 360, 300);
  EXPECT_NEAR(g.doc->m_dXMin, (160 - 64) * g.state.scale.XRange() / 576, 1e-9);

  // The other order (down, up, down, double-click, up) ends the same way.
  g.Redraw(kPlot1024);
  g.ctl.OnLButtonDown(*g.doc, 200, 200);
  g.ctl.OnLButtonUp(*g.doc, 200, 200);
  g.ctl.OnLButtonDown(*g.doc, 200, 200);
  g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 200, 200);
  g.ctl.OnLButtonUp(*g.doc, 210, 210);
  EXPECT_DOUBLE_EQ(g.doc->m_dXMax, 200);
  g.Redraw(kPlot1024);
  g.Drag(160, 100, 360, 300);
  EXPECT_LT(g.doc->m_dXMax, 200);
}

TEST(GraphDoubleClick, TitleAndCaptionsAskForTheAxisDialog) {
  DrawnExample g;
  const double yMin = g.doc->m_dYMin;
  EXPECT_TRUE(g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 300, 450));  // X caption
  EXPECT_TRUE(g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 10, 200));   // Y caption
  EXPECT_EQ(g.doc->m_dYMin, yMin);  // outside the plot: limits kept
  EXPECT_FALSE(g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 700, 450));
}

TEST(AxisDialog, TextsAlwaysLimitsOnlyWhenBothMaximaArePositive) {
  auto doc = ExampleTitration();
  AxisSettings s = AxisSettingsOf(*doc, FixedLimitsOf(*doc));
  s.title = "Calbindin";
  s.yCaption = "F/F0";
  s.yMax = 0;
  s.xMin = 5;
  ApplyAxisSettings(*doc, s);
  EXPECT_EQ(doc->m_strTitle, "Calbindin");
  EXPECT_EQ(doc->m_strYCaption, "F/F0");
  EXPECT_DOUBLE_EQ(doc->m_dXMin, 0);
  EXPECT_EQ(doc->m_bAxisFixed, 0);
  EXPECT_TRUE(doc->IsModifiedCore());

  s.yMax = 2;
  s.xMax = 300;
  ApplyAxisSettings(*doc, s);
  EXPECT_EQ(doc->m_bAxisFixed, 1);
  EXPECT_DOUBLE_EQ(doc->m_dXMin, 5);
  EXPECT_DOUBLE_EQ(doc->m_dXMax, 300);
  EXPECT_DOUBLE_EQ(doc->m_dYMax, 2);
}

TEST(FitToggle, HidesAndShowsTheFitOfThisDocumentOnly) {
  Titration doc;
  GraphState state;
  GraphController ctl{state};
  doc.m_bShowFit = 1;
  EXPECT_EQ(ctl.ToggleFit(doc), "Show Fit");
  EXPECT_EQ(doc.m_bShowFit, 0);
  EXPECT_EQ(ctl.ToggleFit(doc), "Hide Fit");
  EXPECT_EQ(doc.m_bShowFit, 1);

  // Hidden, then New: the old fit record survives in the document but must not come back.
  ctl.ToggleFit(doc);
  doc.ResetForNew();
  ctl.OnNewDocument();
  EXPECT_EQ(ctl.ToggleFit(doc), "Hide Fit");
  EXPECT_EQ(doc.m_bShowFit, 0);
}

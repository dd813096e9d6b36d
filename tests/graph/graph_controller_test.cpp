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
  DrawnExample() {
    state.points.Collect(*doc);
    RunScalingPass(*doc, state);
    state.m_rcTitle = {64, 0, 640, 40};
    state.m_rcXCaption = {64, 410, 640, 480};
  }
  void Drag(int x0, int y0, int x1, int y1) {
    ctl.OnLButtonDown(*doc, x0, y0);
    ctl.OnMouseMove(*doc, kPlot1024, x1, y1);
    ctl.OnLButtonUp(*doc, x1, y1);
  }
};

}  // namespace

TEST(GraphZoom, BandMapsThroughTheReferenceRectangleAndFixesTheAxes) {
  DrawnExample g;
  g.Drag(160, 100, 360, 300);
  EXPECT_NEAR(g.doc->m_dXMin, 100 * 220.0 / 560, 1e-9);  // 39.29
  EXPECT_NEAR(g.doc->m_dXMax, 300 * 220.0 / 560, 1e-9);  // 117.86
  EXPECT_NEAR(g.doc->m_dYMin, 0.625, 1e-12);
  EXPECT_NEAR(g.doc->m_dYMax, 0.875, 1e-12);
  EXPECT_EQ(g.doc->m_bAxisFixed, 1);
  EXPECT_EQ(g.doc->m_bGraphDrag, 0);

  // Limits go into saved files: they must come out of the products in their stated order
  // and constants to the last bit (these pixels round differently when divided instead).
  DrawnExample h;
  h.Drag(94, 300, 128, 47);
  const double ry = 9 * 0.05, rx = 11 * 20.0;
  EXPECT_EQ(h.doc->m_dYMax, 0.5 + (400 - 47) * ry * 0.002777777777777778);
  EXPECT_EQ(h.doc->m_dXMax, 0.0 + (128 - 60) * rx * 0.0017857142857142857);
  EXPECT_EQ(h.doc->m_dXMin, 0.0 + (94 - 60) * rx * 0.0017857142857142857);
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
  EXPECT_NEAR(g.doc->m_dXMin, 190 * 220.0 / 560, 1e-9);
  EXPECT_NEAR(g.doc->m_dXMax, 340 * 220.0 / 560, 1e-9);

  // A cancelled drag or a stray release (pressed elsewhere) does not zoom to the old band.
  const double xMax = g.doc->m_dXMax;
  g.ctl.OnLButtonDown(*g.doc, 300, 200);
  g.ctl.OnMouseMove(*g.doc, kPlot1024, 400, 250);
  g.ctl.CancelDrag(*g.doc);
  EXPECT_FALSE(g.ctl.OnLButtonUp(*g.doc, 400, 250));
  EXPECT_DOUBLE_EQ(g.doc->m_dXMax, xMax);
}

TEST(GraphDoubleClick, ResetsToTheDataAndTheSecondReleaseDoesNotZoom) {
  DrawnExample g;
  g.Drag(160, 100, 360, 300);
  // Toolkit order: down, up, down, double-click, (a little movement), up.
  g.ctl.OnLButtonDown(*g.doc, 200, 200);
  g.ctl.OnLButtonUp(*g.doc, 200, 200);
  g.ctl.OnLButtonDown(*g.doc, 200, 200);
  EXPECT_FALSE(g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 200, 200));
  g.ctl.OnMouseMove(*g.doc, kPlot1024, 260, 260);
  g.ctl.OnLButtonUp(*g.doc, 260, 260);
  EXPECT_DOUBLE_EQ(g.doc->m_dXMin, 0);
  EXPECT_DOUBLE_EQ(g.doc->m_dXMax, 200);
  EXPECT_DOUBLE_EQ(g.doc->m_dYMin, 0.5);
  EXPECT_DOUBLE_EQ(g.doc->m_dYMax, 0.91);
  EXPECT_EQ(g.doc->m_bAxisFixed, 1);  // stays fixed, at the data's extents

  // The next ordinary drag zooms again.
  g.Drag(160, 100, 360, 300);
  EXPECT_NEAR(g.doc->m_dYMin, 0.625, 1e-12);
}

TEST(GraphDoubleClick, TitleAndCaptionsAskForTheAxisDialog) {
  DrawnExample g;
  EXPECT_TRUE(g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 300, 450));  // X caption
  EXPECT_TRUE(g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 10, 200));   // Y caption
  EXPECT_DOUBLE_EQ(g.doc->m_dYMin, 0.5);  // outside the reference rectangle: limits kept
  EXPECT_FALSE(g.ctl.OnLButtonDblClk(*g.doc, kYCaption1024, 700, 450));
}

TEST(AxisDialog, TextsAlwaysLimitsOnlyWhenBothMaximaArePositive) {
  auto doc = ExampleTitration();
  AxisSettings s = AxisSettingsOf(*doc);
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

#include "graphview/graph_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "graph_test_data.h"
#include "graphview/background_tile.h"
#include "graphview/plot_colours.h"
#include "support/recording_canvas.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

GraphPaneInput PaneAt(int width) {
  GraphPaneInput in;
  in.geometry = GraphGeometryForWidth(width);
  in.client = {width - 300, 500};
  return in;
}

std::vector<CanvasCall> Lines(const RecordingCanvas& c, Rgb colour) {
  std::vector<CanvasCall> out;
  for (const auto& call : c.calls)
    if (call.kind == CanvasCall::Line && call.pen.colour == colour) out.push_back(call);
  return out;
}

// Fixed axes 0..11 on both sides (step 1, 11 intervals): data value v maps to
// 64 + v * 576 / 11 across and 410 - v * 370 / 11 down at W = 1024.
void FixAxesZeroToEleven(Titration& doc) {
  doc.m_bAxisFixed = 1;
  doc.m_dXMin = doc.m_dYMin = 0;
  doc.m_dXMax = doc.m_dYMax = 10;
}

}  // namespace

TEST(GraphGeometry, ColumnsAndFormula) {
  EXPECT_EQ(GraphGeometryForWidth(1024).PlotRect(), (CanvasRect{64, 40, 640, 410}));
  const GraphGeometry g1280 = GraphGeometryForWidth(1280);
  EXPECT_EQ(g1280.PlotRect(), (CanvasRect{80, 49, 800, 512}));
  EXPECT_EQ(g1280.m_nMarkSize, 5);
  EXPECT_EQ(g1280.m_rcFitButton, (CanvasRect{649, 549, 775, 576}));
  EXPECT_EQ(GraphGeometryForWidth(800).m_rcYCaption, (CanvasRect{0, 31, 47, 320}));  // from the formula
  EXPECT_EQ(GraphFontsFor(96).labels.height, 12);  // 9 pt
  EXPECT_EQ(GraphFontsFor(120).labels.height, 15);
}

TEST(GraphPainter, EmptyGridDrawsOnlyBackgroundFrameAndTexts) {
  Titration doc;
  GraphState state;
  RecordingCanvas c;
  PaintGraphPane(c, doc, state, PaneAt(1024));
  EXPECT_EQ(c.OfKind(CanvasCall::Tile).size(), 1u);
  ASSERT_EQ(c.OfKind(CanvasCall::Rect).size(), 1u);
  EXPECT_FALSE(c.OfKind(CanvasCall::Rect)[0]->brush.hollow);
  EXPECT_TRUE(c.OfKind(CanvasCall::Ellipse).empty());
  EXPECT_TRUE(c.OfKind(CanvasCall::Segment).empty());
  EXPECT_TRUE(c.OfKind(CanvasCall::Line).empty());
  EXPECT_EQ(c.Texts(), (std::vector<std::string>{"Title", "Total Ca/uM", "Response"}));
  EXPECT_EQ(state.m_rcTitle, (CanvasRect{64, 0, 640, 40}));
  EXPECT_EQ(state.m_rcXCaption, (CanvasRect{64, 410, 640, 480}));
}

TEST(GraphPainter, WorkedExampleTicksLabelsAndCaptions) {
  auto doc = ExampleTitration();
  GraphState state;
  RecordingCanvas c;
  PaintGraphPane(c, *doc, state, PaneAt(1024));
  EXPECT_EQ(c.OfKind(CanvasCall::Ellipse).size(), 12u);
  // 10 inner X ticks and 8 inner Y ticks, each on both edges.
  EXPECT_EQ(c.OfKind(CanvasCall::Segment).size(), 2u * (10 + 8));
  const auto* firstX = c.OfKind(CanvasCall::Segment)[0];
  EXPECT_EQ(firstX->p1, (CanvasPoint{116, 409}));
  EXPECT_EQ(firstX->p2, (CanvasPoint{116, 405}));
  // Inner labels only: 20..200 and 0.55..0.90, never the axis ends.
  const auto* x20 = c.FindText("  20.00");
  ASSERT_NE(x20, nullptr);
  EXPECT_EQ(x20->rect, (CanvasRect{86, 410, 146, 445}));
  EXPECT_EQ(x20->align, unsigned(kAlignCenter | kAlignVCenter | kSingleLine));
  const auto* y055 = c.FindText("   0.55");
  ASSERT_NE(y055, nullptr);
  EXPECT_EQ(y055->rect, (CanvasRect{24, 358, 74, 378}));
  EXPECT_EQ(y055->align, unsigned(kAlignVCenter | kSingleLine));
  EXPECT_NE(c.FindText(" 200.00"), nullptr);
  EXPECT_EQ(c.FindText(" 220.00"), nullptr);
  EXPECT_EQ(c.FindText("   0.50"), nullptr);
  // The Y caption runs upwards, centred on the plot's height: 8 characters 6 pixels wide.
  const auto* caption = c.FindText("Response");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->font.escapement, 900);
  EXPECT_EQ(caption->p1, (CanvasPoint{4, 410 - (370 - 48) / 2}));
}

TEST(GraphPainter, PointsOnTheFrameAreDrawnBeyondItNot) {
  Titration doc;
  FixAxesZeroToEleven(doc);
  doc.m_dStartCa = 2;  // points sit 2 uM right of their added Ca
  SetRow(doc, 0, "0", "9");     // (11, 0): bottom-right corner
  SetRow(doc, 1, "5", "9.5");   // x 11.5: beyond the last tick
  SetRow(doc, 2, "11", "-2");   // (0, 11): top-left corner
  GraphState state;
  RecordingCanvas c;
  PaintGraphPane(c, doc, state, PaneAt(1280));  // plot 80, 49, 800, 512; radius 5
  const auto ellipses = c.OfKind(CanvasCall::Ellipse);
  ASSERT_EQ(ellipses.size(), 2u);
  EXPECT_EQ(ellipses[0]->rect, (CanvasRect{795, 507, 805, 517}));
  EXPECT_EQ(ellipses[1]->rect, (CanvasRect{75, 44, 85, 54}));
  EXPECT_TRUE(ellipses[0]->brush.hollow);
}

TEST(GraphPainter, CurvesSkipTheFrameAndOutsideAndRestartAfterBadSamples) {
  Titration doc;
  FixAxesZeroToEleven(doc);
  SetRow(doc, 0, "1", "1");
  ClearFitCurve(doc);
  doc.m_bShowFit = 1;
  doc.m_bShowResiduals = 0;  // the graph keeps the whole plot rectangle
  const double xs[] = {1, 2, 11, 5.5, 20, 30, 5.5, kNaN, 7, 8};
  for (int i = 0; i < 10; ++i) doc.m_fitCurve[i] = {5.5, xs[i]};
  doc.m_bHaveSims = 1;
  doc.m_bSlotFree[2] = doc.m_bSlotFree[5] = 0;
  for (int k : {2, 5})
    for (auto& p : doc.m_simCurve) p.x[k] = p.y[k] = kNaN;
  doc.m_simCurve[0].x[5] = 1, doc.m_simCurve[0].y[5] = 1;
  doc.m_simCurve[1].x[5] = 2, doc.m_simCurve[1].y[5] = 2;

  GraphState state;
  RecordingCanvas c;
  PaintGraphPane(c, doc, state, PaneAt(1024));
  const int y = static_cast<int>(410 - 5.5 * 370 / 11);
  auto px = [](double v) { return static_cast<int>(64 + v * 576 / 11); };
  const auto fit = Lines(c, kFitCurveColour);
  // 1->2 joined; 11 lies on the right frame: no segment to it, but the next one starts
  // there; 20 and 30 are outside; 5.5 is reached from 30; after NaN 7 only restarts.
  ASSERT_EQ(fit.size(), 4u);
  EXPECT_EQ(fit[0].p1, (CanvasPoint{px(1), y}));
  EXPECT_EQ(fit[0].p2, (CanvasPoint{px(2), y}));
  EXPECT_EQ(fit[1].p1, (CanvasPoint{640, y}));
  EXPECT_EQ(fit[1].p2, (CanvasPoint{px(5.5), y}));
  EXPECT_EQ(fit[2].p1, (CanvasPoint{px(30), y}));
  EXPECT_EQ(fit[3].p1, (CanvasPoint{px(7), y}));
  EXPECT_EQ(fit[3].p2, (CanvasPoint{px(8), y}));
  // Slots 2 and 5 in use: slot 5 draws one cyan segment, slot 2 (all NaN) nothing.
  EXPECT_EQ(Lines(c, PlotColour(5)).size(), 1u);
  EXPECT_TRUE(Lines(c, PlotColour(2)).empty());
}

TEST(BackgroundTile, SeamlessAndAroundTheMainColour) {
  const CanvasImage& tile = BackgroundTile();
  ASSERT_EQ(tile.width, 280);
  auto green = [&](int x, int y) { return static_cast<int>(tile.rgb[(y * 280 + x) * 3 + 1]); };
  double sum = 0, inside = 0, seamX = 0, seamY = 0;
  for (int a = 0; a < 280; ++a) {
    for (int b = 0; b < 280; ++b) sum += green(a, b);
    for (int b = 0; b < 279; ++b) inside += std::abs(green(b, a) - green(b + 1, a));
    seamX += std::abs(green(279, a) - green(0, a));
    seamY += std::abs(green(a, 279) - green(a, 0));
  }
  EXPECT_NEAR(sum / (280 * 280), 213, 3);
  inside /= 279;
  // The jump across a seam is no bigger than between neighbours inside the tile.
  EXPECT_GT(inside, 0.0);  // a texture, not a flat fill
  EXPECT_LT(seamX, 1.5 * inside);
  EXPECT_LT(seamY, 1.5 * inside);
}

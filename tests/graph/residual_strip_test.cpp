// The residual strip: how it splits the plot, where it puts each residual, and that the graph
// pane draws it only while a fit is shown and the toggle is on.
#include <gtest/gtest.h>

#include "commands/residuals.h"
#include "graphview/residual_strip.h"
#include "support/recording_canvas.h"

namespace {

TEST(ResidualStrip, TakesTheLowerFifthAndLeavesAGap) {
  const CanvasRect plot{50, 20, 650, 420};  // 400 pixels tall
  const ResidualStripLayout hidden = SplitPlotForResiduals(plot, false);
  EXPECT_FALSE(hidden.shown());
  EXPECT_EQ(hidden.graph.bottom, 420);
  const ResidualStripLayout shown = SplitPlotForResiduals(plot, true);
  ASSERT_TRUE(shown.shown());
  EXPECT_EQ(shown.strip.bottom, 420);
  EXPECT_EQ(shown.strip.top, 340);
  EXPECT_EQ(shown.graph.top, 20);
  EXPECT_EQ(shown.graph.bottom, 328);  // 12 pixels of gap
  EXPECT_EQ(shown.strip.left, plot.left);
  EXPECT_EQ(shown.strip.right, plot.right);
  // A plot too small for a readable strip keeps its whole height.
  EXPECT_FALSE(SplitPlotForResiduals({0, 0, 100, 30}, true).shown());
}

TEST(ResidualStrip, PointsSitSymmetricallyAroundTheZeroLine) {
  const std::vector<ResidualPoint> residuals = {{10.0, 0.02}, {20.0, -0.01}, {30.0, 0.0}, {99.0, 0.05}};
  EXPECT_DOUBLE_EQ(ResidualHalfRange(residuals), 0.055);
  EXPECT_DOUBLE_EQ(ResidualHalfRange({{1.0, 0.0}}), 1.0);  // a perfect fit still gets a scale
  const CanvasRect strip{0, 100, 200, 200};
  EXPECT_DOUBLE_EQ(ResidualPixelY(strip, 0.05, 0.0), 150.0);
  EXPECT_DOUBLE_EQ(ResidualPixelY(strip, 0.05, 0.05), 100.0);
  EXPECT_DOUBLE_EQ(ResidualPixelY(strip, 0.05, -0.025), 175.0);

  GraphScale scale;
  scale.xMin = 0;
  scale.m_nXIntervals = 5;
  scale.m_dXStep = 10;  // 0..50
  const GraphMapping map = MakeGraphMapping(scale, {0, 0, 200, 90});
  RecordingCanvas canvas;
  DrawResidualStrip(canvas, strip, map, residuals, 3);
  std::vector<CanvasRect> circles;
  for (const CanvasCall& c : canvas.calls)
    if (c.kind == CanvasCall::Ellipse) circles.push_back(c.rect);
  ASSERT_EQ(circles.size(), 3u) << "the point at x = 99 lies beyond the axis";
  EXPECT_EQ(circles[0].left + 3, 40);  // x 10 of 0..50 across 200 pixels
  EXPECT_EQ(circles[2].top + 3, 150);  // residual 0 on the zero line
  EXPECT_LT(circles[0].top + 3, 150);  // positive residuals above it
  EXPECT_GT(circles[1].top + 3, 150);

  // The scale: the half range either side of the zero line, beside the strip's edges.
  const CanvasCall* top = canvas.FindText("+0.055");
  const CanvasCall* bottom = canvas.FindText("-0.055");
  ASSERT_NE(top, nullptr);
  ASSERT_NE(bottom, nullptr);
  EXPECT_LE(top->rect.right, strip.left);
  EXPECT_EQ((top->rect.top + top->rect.bottom) / 2, strip.top);
  EXPECT_EQ((bottom->rect.top + bottom->rect.bottom) / 2, strip.bottom);
}

}  // namespace

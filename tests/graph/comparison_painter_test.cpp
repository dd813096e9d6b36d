// The model comparison graph: where the plot and the strips go, that each candidate's curve
// and residuals are drawn in its own colour inside its own box, and that a residual's sign
// decides the side of the zero line it lands on.
#include "graphview/comparison_painter.h"

#include <gtest/gtest.h>

#include "graphview/graph_painter.h"
#include "support/recording_canvas.h"

namespace {

// Ten points on y = x; the candidate's prediction is y + offsets[i].
ComparisonPlotSeries series(int model, Rgb colour, const std::vector<double>& offsets) {
  ComparisonPlotSeries s;
  s.model = model;
  s.colour = colour;
  for (int i = 0; i < 10; ++i) {
    const double x = 1.0 + i;
    s.points.push_back({x, x, x + offsets[static_cast<std::size_t>(i)]});
  }
  for (int k = 0; k <= 40; ++k) s.curve.push_back({0.25 * k, 0.25 * k});
  return s;
}

ComparisonPlotInput two_candidates() {
  std::vector<double> exact(10, 0.0), oneHigh(10, 0.0);
  oneHigh[4] = -2.0;  // measured 2 above the prediction: residual +2
  ComparisonPlotInput in;
  in.series = {series(2, ComparisonColour(0), exact), series(4, ComparisonColour(1), oneHigh)};
  in.area = {0, 0, 600, 500};
  return in;
}

bool inside(const CanvasRect& r, const CanvasPoint& p) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; }

TEST(ComparisonPainter, PlotAboveEqualStripsInsideTheArea) {
  const CanvasRect area{10, 20, 610, 520};
  const ComparisonPlotLayout l = LayOutComparisonPlot(area, 3, 50, 12);
  ASSERT_EQ(l.strips.size(), 3u);
  EXPECT_GE(l.plot.left, area.left + 50);
  EXPECT_GT(l.plot.Height(), l.strips[0].Height());
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(l.strips[i].Height(), l.strips[0].Height());
    EXPECT_EQ(l.strips[i].left, l.plot.left);
    EXPECT_GT(l.strips[i].top, i == 0 ? l.plot.bottom : l.strips[i - 1].bottom);
  }
  EXPECT_LE(l.strips.back().bottom, area.bottom - 12);
  // Without candidates the plot takes everything.
  EXPECT_TRUE(LayOutComparisonPlot(area, 0, 50, 12).strips.empty());
  // A tiny area still gives boxes that do not run backwards.
  for (const CanvasRect& r : LayOutComparisonPlot({0, 0, 40, 30}, 4, 50, 12).strips) EXPECT_GE(r.Height(), 0);
}

TEST(ComparisonPainter, EachCurveInItsColourInsideThePlot) {
  const ComparisonPlotInput in = two_candidates();
  RecordingCanvas canvas;
  PaintModelComparison(canvas, in);
  RecordingCanvas probe;
  probe.SetFont(in.labelFont);
  const CanvasSize label = probe.GetTextExtent(FormatTickLabel(-1000.0));
  const ComparisonPlotLayout l = LayOutComparisonPlot(in.area, 2, label.cx + 4, label.cy);
  int lines[2] = {0, 0};
  for (const CanvasCall* c : canvas.OfKind(CanvasCall::Line)) {
    for (int k = 0; k < 2; ++k)
      if (c->pen.colour == in.series[static_cast<std::size_t>(k)].colour) {
        ++lines[k];
        EXPECT_TRUE(inside(l.plot, c->p2));
      }
  }
  EXPECT_GT(lines[0], 30);
  EXPECT_EQ(lines[0], lines[1]);  // the same curve, once per candidate
  // The ten measured points, once, as hollow black circles in the plot.
  int circles = 0;
  for (const CanvasCall* c : canvas.OfKind(CanvasCall::Ellipse))
    if (c->pen.colour == Rgb{0, 0, 0} && c->brush.hollow && inside(l.plot, {(c->rect.left + c->rect.right) / 2, (c->rect.top + c->rect.bottom) / 2}))
      ++circles;
  EXPECT_EQ(circles, 10);
}

TEST(ComparisonPainter, ResidualsSitOnTheirSideOfTheZeroLine) {
  const ComparisonPlotInput in = two_candidates();
  RecordingCanvas canvas;
  PaintModelComparison(canvas, in);
  RecordingCanvas probe;
  probe.SetFont(in.labelFont);
  const CanvasSize label = probe.GetTextExtent(FormatTickLabel(-1000.0));
  const ComparisonPlotLayout l = LayOutComparisonPlot(in.area, 2, label.cx + 4, label.cy);
  for (std::size_t k = 0; k < 2; ++k) {
    const CanvasRect strip = l.strips[k];
    int zeroY = -1;
    for (const CanvasCall* c : canvas.OfKind(CanvasCall::Segment))
      if (c->pen.style == PenStyle::Dot && c->p1.y > strip.top && c->p1.y < strip.bottom) zeroY = c->p1.y;
    ASSERT_GT(zeroY, strip.top) << "zero line of strip " << k;
    std::vector<int> marks;
    for (const CanvasCall* c : canvas.OfKind(CanvasCall::Ellipse))
      if (c->pen.colour == in.series[k].colour) {
        const int cy = (c->rect.top + c->rect.bottom) / 2;
        EXPECT_TRUE(inside(strip, {c->rect.left, cy}));
        marks.push_back(cy);
      }
    ASSERT_EQ(marks.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) {
      if (k == 1 && i == 4)
        EXPECT_LT(marks[i], zeroY - 5) << "a positive residual is drawn above zero";
      else
        EXPECT_NEAR(marks[i], zeroY, 1);
    }
    const CanvasCall* name = canvas.FindText("Model " + std::to_string(in.series[k].model));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->textColour, in.series[k].colour);
    EXPECT_TRUE(inside(strip, name->p1));
  }
}

TEST(ComparisonPainter, ColoursAreDistinctAndNeverPale) {
  for (int i = 0; i < 6; ++i) {
    const Rgb c = ComparisonColour(i);
    EXPECT_LT(c.r + c.g + c.b, 3 * 200) << i;  // yellow, cyan and pink vanish on white
    for (int j = 0; j < i; ++j) EXPECT_FALSE(ComparisonColour(j) == c);
  }
  EXPECT_EQ(ComparisonColour(6), ComparisonColour(0));
}

TEST(ComparisonPainter, NothingFittedDrawsAnEmptyFrame) {
  ComparisonPlotInput in;
  in.area = {0, 0, 300, 200};
  RecordingCanvas canvas;
  PaintModelComparison(canvas, in);
  EXPECT_TRUE(canvas.OfKind(CanvasCall::Line).empty());
  EXPECT_FALSE(canvas.OfKind(CanvasCall::Rect).empty());
}

}  // namespace

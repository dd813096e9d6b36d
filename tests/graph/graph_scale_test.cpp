#include "graphview/graph_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graph_test_data.h"

TEST(NiceStep, WorkedExamplesAndSpansThatUsedToHang) {
  EXPECT_DOUBLE_EQ(NiceStep(37), 5);
  EXPECT_DOUBLE_EQ(NiceStep(0.37), 0.05);
  EXPECT_DOUBLE_EQ(NiceStep(250), 20);
  EXPECT_DOUBLE_EQ(NiceStep(0), 10);
  EXPECT_DOUBLE_EQ(NiceStep(0.91), 0.1);
  EXPECT_DOUBLE_EQ(NiceStep(200), 20);
  // Reversed fixed limits give a negative span; a diverged curve can give NaN or infinity.
  EXPECT_DOUBLE_EQ(NiceStep(-37), 5);
  EXPECT_DOUBLE_EQ(NiceStep(std::numeric_limits<double>::quiet_NaN()), 1.0);
  EXPECT_DOUBLE_EQ(NiceStep(std::numeric_limits<double>::infinity()), 1.0);
  EXPECT_DOUBLE_EQ(NiceStep(-std::numeric_limits<double>::infinity()), 1.0);
  // Extremes of the double range still end, with a usable step.
  EXPECT_GT(NiceStep(1e300), 0.0);
  EXPECT_GT(NiceStep(std::numeric_limits<double>::denorm_min()), 0.0);
}

TEST(ScalingPass, WorkedExampleKeepsAutomaticLimitsInTheStateNotTheDocument) {
  auto doc = ExampleTitration();
  const Titration before(*doc);
  GraphState state;
  state.points.Collect(*doc);
  ASSERT_EQ(state.points.m_nGraphPoints, 12);
  RunScalingPass(*doc, state);
  const GraphScale& s = state.scale;
  EXPECT_DOUBLE_EQ(state.m_dYStart, 0.5);
  EXPECT_DOUBLE_EQ(s.yMin, 0.5);
  EXPECT_DOUBLE_EQ(s.m_dYStep, 0.05);
  EXPECT_EQ(s.m_nYIntervals, 9);
  EXPECT_DOUBLE_EQ(s.xMin, 0);
  EXPECT_DOUBLE_EQ(s.m_dXStep, 20);
  EXPECT_EQ(s.m_nXIntervals, 11);
  EXPECT_DOUBLE_EQ(s.XRange(), 220);
  EXPECT_DOUBLE_EQ(state.limits.yMin, 0.5);
  EXPECT_DOUBLE_EQ(state.limits.yMax, 0.91);
  EXPECT_DOUBLE_EQ(state.limits.xMin, 0);
  EXPECT_DOUBLE_EQ(state.limits.xMax, 200);
  EXPECT_EQ(doc->m_dYMax, before.m_dYMax);
  EXPECT_EQ(doc->m_dXMax, before.m_dXMax);
}

TEST(ScalingPass, PositiveMinimumStartsOneStepBelowTheFirstStepReachingIt) {
  Titration doc;
  SetRow(doc, 0, "2", "0");
  SetRow(doc, 1, "11", "10");
  GraphState state;
  state.points.Collect(doc);
  RunScalingPass(doc, state);
  EXPECT_DOUBLE_EQ(state.m_dYStart, 1.0);
  EXPECT_DOUBLE_EQ(state.scale.yMin, 1.0);
  EXPECT_DOUBLE_EQ(state.scale.m_dYStep, 1.0);
}

TEST(ScalingPass, HugeOffsetWithTinySpreadEnds) {
  // A million-fold offset over a small spread used to add steps one at a time.
  Titration doc;
  for (int r = 0; r < Titration::kRows; ++r)
    SetRow(doc, r, format_c("%.3f", 1e9 + r * 0.001), c_printf("%d", r));
  GraphState state;
  state.points.Collect(doc);
  RunScalingPass(doc, state);
  EXPECT_GT(state.m_dYStart, 0.0);
  EXPECT_LE(state.m_dYStart, 1e9);
  EXPECT_GE(state.scale.m_nYIntervals, 1);
}

TEST(ScalingPass, FixedAxesComeFromTheDocumentEvenWhenReversedOrInfinite) {
  auto doc = ExampleTitration();
  doc->m_bAxisFixed = 1;
  doc->m_dXMin = 10, doc->m_dXMax = 110, doc->m_dYMin = 0, doc->m_dYMax = 2;
  GraphState state;
  state.points.Collect(*doc);
  RunScalingPass(*doc, state);
  EXPECT_DOUBLE_EQ(state.scale.xMin, 10);
  EXPECT_EQ(state.scale.m_nXIntervals, 11);
  EXPECT_DOUBLE_EQ(state.scale.yMin, 0);  // no positive-minimum rule
  EXPECT_DOUBLE_EQ(state.limits.yMin, 0);

  doc->m_dXMin = 50, doc->m_dXMax = 5;
  doc->m_dYMax = std::numeric_limits<double>::infinity();
  RunScalingPass(*doc, state);
  EXPECT_EQ(state.scale.m_nXIntervals, 1);
  EXPECT_EQ(state.scale.m_nYIntervals, 1);
  EXPECT_TRUE(std::isfinite(MakeGraphMapping(state.scale, {64, 40, 640, 410}).PixelX(20)));
}

TEST(ScalingPass, SimulationsWidenTheAxesFromTheOrigin) {
  auto doc = ExampleTitration();
  doc->m_bHaveSims = 1;
  doc->m_bSlotFree[2] = 0;
  for (int i = 0; i < Titration::kCurvePoints; ++i) {
    doc->m_simCurve[i].x[2] = i * 0.5;
    doc->m_simCurve[i].y[2] = 1.5 * i / (Titration::kCurvePoints - 1);
  }
  doc->m_simCurve[7].y[2] = std::numeric_limits<double>::infinity();  // a diverged sample
  doc->m_simCurve[3].y[4] = 99;  // slot 4 is free: ignored
  doc->m_bFitAxesToSims = 1;
  GraphState state;
  state.points.Collect(*doc);
  RunScalingPass(*doc, state);
  const GraphScale& s = state.scale;
  EXPECT_DOUBLE_EQ(s.yMax, 1.5);
  EXPECT_DOUBLE_EQ(s.xMax, 200);
  EXPECT_DOUBLE_EQ(s.yMin, 0);
  EXPECT_DOUBLE_EQ(s.m_dYStep, 0.2);
  EXPECT_EQ(s.m_nYIntervals, 8);
  EXPECT_DOUBLE_EQ(state.limits.yMax, 1.5);
  EXPECT_DOUBLE_EQ(state.limits.yMin, 0.5);  // the Axis dialog shows the data's minimum

  // Fixed axes after a simulation widen to the curves, from the origin and the data's start.
  doc->m_bAxisFixed = 1;
  doc->m_dXMin = 20, doc->m_dXMax = 100, doc->m_dYMin = 0.6, doc->m_dYMax = 0.8;
  RunScalingPass(*doc, state);
  EXPECT_DOUBLE_EQ(s.xMin, 0);
  EXPECT_DOUBLE_EQ(s.xMax, 200);
  EXPECT_DOUBLE_EQ(s.yMin, 0.5);
  EXPECT_DOUBLE_EQ(s.yMax, 1.5);
  EXPECT_DOUBLE_EQ(doc->m_dYMax, 0.8) << "drawing leaves the document as it was";
  EXPECT_EQ(doc->m_bFitAxesToSims, 1);
}

TEST(PointTable, DeletedRowsNoLongerStretchTheAxes) {
  auto doc = ExampleTitration();
  SetRow(*doc, 12, "5.0", "400");
  GraphState state;
  state.points.Collect(*doc);
  EXPECT_DOUBLE_EQ(state.points.MaxResponse(), 5.0);
  SetRow(*doc, 12, "", "");
  SetRow(*doc, 20, "", "7");  // Ca without a response: counted, not a point
  state.points.Collect(*doc);
  EXPECT_EQ(state.points.m_nGraphPoints, 12);
  EXPECT_EQ(state.points.m_nCaCells, 13);
  EXPECT_DOUBLE_EQ(state.points.MaxResponse(), 0.91);
  EXPECT_DOUBLE_EQ(state.points.MaxAddedCa(), 200);
}

// The graph of a model comparison: the measured points with every candidate's fitted curve
// over them, drawn as the graph pane draws (hollow black circles, 1-pixel curves in plot
// colours, tick marks on all four edges), and below it one residual strip per candidate
// (measured minus fitted at each point, on a range common to every strip so they compare).
#pragma once

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "commands/candidate_points.h"
#include "document/titration.h"

struct ComparisonPlotSeries {
  int model = 0;
  std::string label;                    // the strip's caption; empty: "Model <model>"
  Rgb colour;
  std::vector<FitPoint> curve;          // x uM, y response
  std::vector<CandidatePoint> points;   // measured and fitted at each point
  // Its points are its own (another titration's), drawn in its colour; otherwise every series
  // shares the first one's points, drawn once in black.
  bool ownPoints = false;
};

struct ComparisonPlotInput {
  std::vector<ComparisonPlotSeries> series;
  CanvasRect area;                      // pixels the graph may use
  CanvasFont labelFont{"MS Sans Serif", 12, 400, false, 0};
  int markRadius = 3;
};

struct ComparisonPlotLayout {
  CanvasRect plot;                 // curves and points
  std::vector<CanvasRect> strips;  // one per series, top to bottom
};

// Colour of the candidate at `index` (0-based) from the plot colours that read well on white.
Rgb ComparisonColour(int index);

// The series of a candidate: its curve, points and colour. Empty curve for one not fitted.
ComparisonPlotSeries MakeComparisonSeries(const CandidateFit& candidate, int index);

// The plot takes the upper part of the area and the strips share the rest, each at least a
// few pixels high; `labelWidth` and `labelHeight` are kept free for tick labels.
ComparisonPlotLayout LayOutComparisonPlot(const CanvasRect& area, int stripCount, int labelWidth, int labelHeight);

void PaintModelComparison(Canvas& canvas, const ComparisonPlotInput& in);

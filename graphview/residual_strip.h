// The residual strip: a narrow plot under the graph, on the same x axis, showing each
// measured point's residual (response minus the fitted curve) around a zero line, in the
// graph's point style. It takes the lower part of the plot rectangle, so the x tick labels
// and caption stay where they are, below the strip.
#pragma once

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "commands/residuals.h"
#include "graphview/graph_scale.h"

class Titration;

// The strip's share of the plot height, and the gap between graph and strip (in pixels of
// a plot 100 pixels tall or more; both scale with the plot).
inline constexpr double kResidualStripShare = 0.2;
inline constexpr double kResidualStripGapShare = 0.03;

struct ResidualStripLayout {
  CanvasRect graph;  // what is left for the graph
  CanvasRect strip;  // empty (zero height) when the strip is not shown
  bool shown() const { return strip.bottom > strip.top; }
};

// The strip is shown while a fit is shown and the document's residual toggle is on.
bool ResidualStripWanted(const Titration& doc);
ResidualStripLayout SplitPlotForResiduals(const CanvasRect& plot, bool show);

// Frame, zero line and the residual points (circles of `radius`, the canvas's pen and a
// hollow brush). The vertical range is symmetric about zero, 10 % beyond the largest
// residual; points outside the x range are skipped.
void DrawResidualStrip(Canvas& canvas, const CanvasRect& strip, const GraphMapping& xMap,
                       const std::vector<ResidualPoint>& residuals, int radius);

// The strip's scale: "+h" left of its top edge and "-h" left of its bottom edge (h the half
// range, 2 significant digits), in the canvas's current font.
std::string ResidualScaleText(double halfRange, int sign);
void DrawResidualScale(Canvas& canvas, const CanvasRect& strip, double halfRange);

// The strip's vertical pixel of residual r (for tests and the drawing).
double ResidualPixelY(const CanvasRect& strip, double halfRange, double r);
// Half the vertical range for these residuals (1 when all are 0).
double ResidualHalfRange(const std::vector<ResidualPoint>& residuals);

// Drawing of the graph: the whole screen pane, and the pieces the printed report reuses
// with its own page rectangle (points, curves, tick marks, labels).
//
// Look: measured points are hollow black circles, not connected; the fitted curve is a
// 1-pixel dark-blue polyline; each simulated curve a 1-pixel polyline in its slot colour.
// A curve segment is drawn only towards a sample strictly inside the plot, so a curve that
// leaves the plot shows a gap and resumes from the last outside sample.
#pragma once

#include <string>

#include "canvas/canvas.h"
#include "graphview/graph_geometry.h"
#include "graphview/graph_scale.h"

class Titration;

inline constexpr Rgb kFitCurveColour{0, 0, 130};
inline constexpr CanvasPen kBlackPen{PenStyle::Solid, 1, {0, 0, 0}};

// Tick values are written "%7.2f" (leading blanks kept).
std::string FormatTickLabel(double value);

// Measured points: a circle of `radius` around each point (x = start Ca + added Ca) that
// maps inside the plot or onto its frame, in the canvas's current pen and brush.
void DrawMeasuredPoints(Canvas& canvas, const GraphMapping& map, const GraphPointTable& points,
                        double startCa, int radius);

// One curve sample at a time: the first finite sample is the start; each later one gets a
// segment when it lies strictly inside the plot. A non-finite sample breaks the line.
class CurveTracer {
 public:
  CurveTracer(Canvas& canvas, const GraphMapping& map) : m_canvas(canvas), m_map(map) {}
  void Add(double x, double y);

 private:
  Canvas& m_canvas;
  const GraphMapping& m_map;
  bool m_bStarted = false;
};

// Simulated curves of the slots in use (when the document has simulations), each in its
// slot colour, then the fit curve in dark blue (when it is shown). Leave the pen black.
void DrawSimulatedCurves(Canvas& canvas, const GraphMapping& map, const Titration& doc);
void DrawFitCurve(Canvas& canvas, const GraphMapping& map, const Titration& doc);

// Screen tick marks of length `length` at the inner interval boundaries (none at the axis
// ends, which lie on the frame), on both opposite edges.
void DrawTickMarks(Canvas& canvas, const CanvasRect& plot, const GraphScale& scale, int length);
// Screen tick labels of the inner ticks, in the canvas's current font. The x labels sit under
// the geometry's plot rectangle; the y labels beside `graph` (the plot rectangle itself, or
// its upper part when the residual strip takes the lower one).
void DrawTickLabels(Canvas& canvas, const GraphGeometry& geo, const GraphScale& scale);
void DrawTickLabels(Canvas& canvas, const GraphGeometry& geo, const GraphScale& scale, const CanvasRect& graph);

// Everything the pane needs besides the document and the remembered state.
struct GraphPaneInput {
  GraphGeometry geometry;
  GraphFonts fonts = GraphFontsFor(96);
  CanvasSize client;        // size of the pane, pixels
  CanvasRect dragRect;      // the zoom band, drawn while the document's drag flag is set
};

// The part of the geometry's plot rectangle the graph itself uses: all of it, or the upper
// part while the residual strip is shown (ResidualStripWanted).
CanvasRect GraphRectFor(const GraphGeometry& geo, const Titration& doc);

// Draws the whole pane: background, plot, points, ticks and labels, curves, residual strip, title
// and captions, zoom band. Runs the scaling pass first (which keeps the limits it settles on in the
// state) and records the title and X-caption boxes in `state` for hit tests.
void PaintGraphPane(Canvas& canvas, const Titration& doc, GraphState& state, const GraphPaneInput& in);

// Axis ranges, tick steps and the data-to-pixel mapping of the graph. Every redraw (screen
// or page) collects the measured points from the grid, scans them, runs the scaling pass
// (which keeps the limits it settles on in the graph's state, so the Axis dialog and the
// zoom start from them) and maps data to pixels inside whatever plot rectangle the caller
// draws into. Drawing never changes the document.
//
// Units: responses as measured; calcium in uM.
#pragma once

#include "canvas/canvas.h"
#include "document/titration.h"

// A tick step near span / 10 from the 1-2-5 series (37 -> 5, 0.37 -> 0.05, 250 -> 20,
// 0 -> 10). A negative span is taken by its size; a non-finite one gives 1.0.
double NiceStep(double span);

// The measured points of the grid: rows whose "Response" and "Add. Ca/uM" texts are both
// filled, as (response, added Ca). The table always has 99 entries and the scans run over
// all of them, so entries past the last point count as (0, 0): an automatic axis therefore
// starts at or below zero unless the positive-minimum rule lifts it.
struct GraphPointTable {
  struct Entry {
    double response = 0.0;
    double addedCa = 0.0;  // uM, without the start calcium
  };
  Entry m_graphPoints[Titration::kRows];
  int m_nGraphPoints = 0;
  int m_nCaCells = 0;  // rows whose "Add. Ca/uM" text is filled, point or not

  void Collect(const Titration& doc);
  // Axes, points and curves are drawn only when this holds.
  bool HasSomethingToDraw() const { return m_nCaCells != 0 || m_nGraphPoints != 0; }

  double MaxResponse() const;
  double MinResponse() const;
  double MaxAddedCa() const;
  double MinAddedCa() const;
  // The smallest response above zero, or entry 0's response when none is smaller.
  double PositiveMinimum() const;
};

// Largest finite y of the simulated curves in use; -infinity when there is none.
double CurveMaximum(const Titration& doc);
// Largest "Add. Ca/uM" value over all rows, an empty cell counting as 0.
double GridCaMaximum(const Titration& doc);

// The result of a scaling pass. The axes run from xMin to xMin + m_nXIntervals * m_dXStep
// and from yMin to yMin + m_nYIntervals * m_dYStep.
struct GraphScale {
  double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;
  double m_dXStep = 1.0, m_dYStep = 1.0;
  int m_nXIntervals = 1, m_nYIntervals = 1;

  double XRange() const { return m_nXIntervals * m_dXStep; }
  double YRange() const { return m_nYIntervals * m_dYStep; }
};

// Axis limits as the Axis dialog shows them and the zoom measures from.
struct AxisLimits {
  double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;
};

// The document's own (fixed) limits.
AxisLimits FixedLimitsOf(const Titration& doc);

// What the graph remembers from one redraw to the next; the screen view and the printout
// share one, as the mouse and the Axis dialog work on the last drawn scale.
struct GraphState {
  GraphPointTable points;
  GraphScale scale;
  double m_dYStart = 0.0;  // Y start found by the positive-minimum rule
  CanvasRect m_rcPlot;      // the plot as last drawn: the mouse maps pixels through it
  // Fixed axes: the document's limits, widened to the curves after a simulation. Automatic
  // axes: the data's range with the positive-minimum start and, with simulations, the
  // curves' maxima (the minima stay those of the data).
  AxisLimits limits;
  CanvasRect m_rcTitle;     // set by the painter, hit-tested by double-clicks
  CanvasRect m_rcXCaption;

  // A new or opened document: steps back to 1, the point table cleared.
  void Reset();
};

// Number of tick intervals for a span and step: trunc(span / step + 1), at least 1 so a
// reversed or empty fixed range never divides by zero.
int IntervalCount(double span, double step);

// The scaling pass: fills state.scale and state.limits from the points (already collected)
// and the document's axis settings.
void RunScalingPass(const Titration& doc, GraphState& state);

// Data to pixels inside a plot rectangle. Pixel values stay doubles; callers truncate.
struct GraphMapping {
  CanvasRect plot;
  double xMin = 0.0, yMin = 0.0;
  double xRange = 1.0, yRange = 1.0;  // data units across the plot
  double plotWidth = 0.0, plotHeight = 0.0;

  double PixelX(double x) const { return plot.left + (x - xMin) / xRange * plotWidth; }
  double PixelY(double y) const { return plot.bottom - (y - yMin) / yRange * plotHeight; }
  // Edges included: where measured points are still drawn.
  bool InsideOrOnFrame(double px, double py) const;
  // Edges excluded: where a curve segment may end.
  bool StrictlyInside(double px, double py) const;
};

GraphMapping MakeGraphMapping(const GraphScale& scale, const CanvasRect& plot);

// A mapped coordinate as the integer pixel it is drawn at: truncated toward zero, and held
// within a few million pixels so far-off curve samples stay representable.
int ToPixel(double v);

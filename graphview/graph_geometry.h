// Where the graph pane puts things. Like the control pane, the layout follows a layout width
// W in pixels, which layout/window_layout.h chooses from the window's client area: 1024 and
// 800 have hand-tuned values, every other width uses proportional formulas whose constants
// do not reproduce the 1024 column exactly. A pane wider than W's rules give widens the plot.
#pragma once

#include "canvas/canvas.h"

// Control ids of the pane's two buttons.
enum GraphControlId : int {
  kIdAxisButton = 106,
  kIdFitButton = 107,
};

struct GraphGeometry {
  int screenWidth = 0;

  int m_nPlotLeft = 0, m_nPlotTop = 0, m_nPlotRight = 0, m_nPlotBottom = 0;
  int m_nXCaptionBottom = 0;    // bottom edge of the X-caption box
  int m_nYLabelHalfHeight = 0;  // half height of a Y tick-label box (also its reach into the plot)
  int m_nYLabelIndent = 0;      // how far a Y tick-label box starts left of the plot
  int m_nXLabelBottom = 0;      // bottom of an X tick-label box, below the plot's bottom
  int m_nXLabelTop = 0;         // top of the X tick-label and X-caption boxes, below the plot
  int m_nXLabelHalfWidth = 0;   // half width of an X tick-label box
  int m_nMarkSize = 0;          // point radius, tick length and the Y caption's x

  CanvasRect m_rcAxisButton;
  CanvasRect m_rcFitButton;
  CanvasRect m_rcYCaption;  // double-click area of the Y caption

  CanvasRect PlotRect() const { return {m_nPlotLeft, m_nPlotTop, m_nPlotRight, m_nPlotBottom}; }
};

GraphGeometry GraphGeometryForWidth(int screenWidth);

// Character height in pixels of a font of `points` on a device with `logPixelsY` dots per
// inch, truncated as the layout tables assume (12 pt at 96 dpi gives 16).
int FontHeightForPoints(int points, int logPixelsY);

// The fonts the pane uses; heights follow the device's vertical resolution.
struct GraphFonts {
  CanvasFont labels;     // tick labels, "MS Sans Serif" 9 pt
  CanvasFont title;      // "Courier New" 12 pt bold
  CanvasFont xCaption;   // "Courier New" 10 pt bold
  CanvasFont yCaption;   // "Courier New" 9 pt bold, running upwards
  CanvasFont axisButton; // "Arial" 11 pt, weight 600
};

GraphFonts GraphFontsFor(int logPixelsY);

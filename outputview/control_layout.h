// Layout of the control pane (bottom right of the main window): the seven command buttons,
// the plot list, the two results frames and the metrics the results panel positions its
// texts with. Everything follows the layout width W in pixels, which layout/window_layout.h
// chooses from the window's client area. Two widths (800 and 1024)
// have hand-tuned values; every other width uses proportional formulas whose constants do
// not reproduce the 1024 column exactly (W = 1024 gives a 10-point button font by formula
// but 11 in its own column).
#pragma once

#include <array>

#include "canvas/canvas.h"

// Control ids of the pane's buttons and list; the Generate Data dialog and the exports
// address the view with the same numbers.
enum ControlId : int {
  kIdUpdate = 100,
  kIdSimulate = 101,
  kIdFit = 102,
  kIdGenData = 103,
  kIdDescription = 104,
  kIdPlotList = 107,
  kIdDel = 108,
  kIdView = 109,
};

struct ControlLayout {
  int screenWidth = 0;
  int fontDpi = 96;  // the window's logical dots per inch, for the point sizes

  // Results panel metrics (device pixels of the screen).
  int m_nResMetricA = 0;     // distance from the upper to the lower confidence value
  int m_nErrorColumnX = 0;   // left ruling of the confidence column
  int m_nResMetricB = 0;
  int m_nResMetricC = 0;
  int m_nRowHeight = 0;      // table row pitch
  int m_nViewRightInset = 0;
  int m_nDelRightInset = 0;
  int m_nViewLeftInset = 0;
  int m_nResMetricD = 0;
  int m_nResultsFontPt = 0;  // points
  int m_nButtonFontPt = 0;   // points
  int m_nValueColumnX = 0;   // value column of the left table
  int m_nResMetricE = 0;     // text inset from a row's top
  int m_nResMetricF = 0;     // text inset from a column's left edge
  int m_nResMetricG = 0;     // value column of the right table, from the frame split
  int m_nResMetricH = 0;
  int m_nResMetricI = 0;
  int m_nDescRightInset = 0;
  int m_nDescLeftInset = 0;
  int m_nButtonPitch = 0;    // vertical step between button rows
  int m_nFrameLeft = 0;
  int m_nFrameSplit = 0;
  int m_nFrameTop = 0;
  int m_nFrameBottom = 0;

  // Button column: left and right edge, first row's top and bottom.
  int L = 0, R = 0, T = 0, B = 0;

  CanvasRect m_rcRightFrame;
  CanvasRect m_rcLeftFrame;
};

ControlLayout compute_control_layout(int screenWidth);

// One button or the list, in the order the view creates them.
struct ControlPlacement {
  int id;
  const char* caption;  // empty for the list
  CanvasRect rect;
};
std::array<ControlPlacement, 8> control_placements(const ControlLayout& layout);

// The plot list's entries: black text at least as tall as the grid's cell text and never
// under 9 points, after a swatch (a short line in the curve's colour) that names the curve
// in the graph; an entry is a third taller than its text. Pixels from the entry's left.
struct PlotListMetrics {
  int fontHeight, itemHeight;
  int swatchLeft, swatchLength, swatchWidth;
  int textLeft;
};
PlotListMetrics plot_list_metrics(int gridCellFontHeight, int fontDpi);

// Character height in device pixels of a font of pointSize points on a screen with dpiY
// dots per inch vertically: (dpiY x pointSize) / 72, truncated as the integer division
// the layout was tuned with.
int font_pixel_height(int pointSize, int dpiY);

// The same for a font asked for by its size in tenths of a point (the plot list's 8-point
// entries are 80): that conversion rounds to the nearest pixel instead (80 at 96 dpi is
// 10.67, giving 11).
int point_font_pixel_height(int tenthsOfPoint, int dpiY);

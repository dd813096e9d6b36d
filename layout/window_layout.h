// The main window's layout as arithmetic: every pane size, control rectangle and font
// resolution follows from the client area of the frame and the window's text scale, and
// is recomputed on every resize. The pane rules are the classic screen-width rules of the
// three views, applied to a layout width W chosen from the client area: the widest W (at
// most the client's width) whose panes fit the client's height. A 1024-pixel-wide client
// tall enough for the classic panes gets W = 1024 and so exactly the classic rectangles.
//
// Units: logical pixels of the window (what the toolkit calls pixels; on a GDK_SCALE=2
// screen one of them is two physical pixels). `scale` is the window's text scale: its
// logical dots per inch over 96 (1.5 at 144 dpi).
#pragma once

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "graphview/graph_geometry.h"
#include "gridview/grid_metrics.h"
#include "gridview/shell_layout.h"
#include "outputview/control_layout.h"

struct WindowLayout {
  double scale = 1.0;
  int layoutWidth = 0;   // W, the width the pane rules are evaluated at
  int fontDpi = 96;      // dots per inch at which every point size becomes pixels
  int dividerWidth = 6;  // between the panes
  PaneRects panes;       // in the client area
  GridMetrics grid;      // grid pane coordinates (logical, scrolled)
  GraphGeometry graph;   // graph pane coordinates
  ControlLayout control; // control pane coordinates
};

// The smallest window the layout is made for, menus and bars included (its client holds
// the panes of W = 800); the frame refuses to shrink below it.
inline constexpr CanvasSize kMinimumFrame{800, 580};

WindowLayout ComputeWindowLayout(CanvasSize client, double scale);

// Whether the panes of layout width W fit a client of this size (every control on screen).
bool LayoutWidthFits(int W, CanvasSize client, double scale);

// A control or text area placed in the client, for checks of containment and overlap.
struct PlacedRect {
  std::string name;
  CanvasRect rect;
};
// The grid pane, every button and the plot list, the plot area with its tick-label and
// caption margins, and the results frames, all in client coordinates.
std::vector<PlacedRect> PlacedControls(const WindowLayout& layout);

// The window's size when it is not maximized: the remembered size when it is sensible
// (within the work area and not below minimum), otherwise at least 1024 x 700 or 80 % of
// the work area, whichever is larger, never more than the work area; centred in it.
CanvasRect RestoredFrameRect(const CanvasRect& workArea, CanvasSize remembered, CanvasSize minimum);

// A text scale from the toolkit's resolution figures: logical dots per inch over 96, times
// the extra factor the desktop applies to point sizes (GDK_DPI_SCALE, Xft.dpi), kept to
// a sane range and to hundredths so tiny measuring noise does not move the layout.
double TextScaleFrom(double logicalDpi, double pointSizeFactor);

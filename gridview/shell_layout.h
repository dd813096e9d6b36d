// Layout arithmetic of the main window that needs no window: the pane sizes of a layout
// width W (layout/window_layout.h chooses W from the client area) and the place of the
// status-bar progress bar. The desktop shell calls these; the tests call them with chosen
// widths.
#pragma once

#include <string>

#include "canvas/canvas.h"

// The grid pane keeps gridWidth and the graph pane keeps graphHeight for the life of the
// window; all extra or missing space goes to the right column and to the bottom pane.
struct PaneSizes {
  int gridWidth = 0;
  int graphHeight = 0;
};

// 1024 and 800 pixels have hand-tuned sizes; other widths use 5/17 and 5/11 of W.
PaneSizes PaneSizesForScreen(int screenWidth);

struct PaneRects {
  CanvasRect grid, graph, control;
};

// Rectangles of the three panes in a client area of clientWidth x clientHeight, with a
// divider of dividerWidth pixels between them. Panes that do not fit come out empty.
PaneRects LayoutPanes(const PaneSizes& sizes, int clientWidth, int clientHeight, int dividerWidth);

// Where the progress bar goes inside a status-bar field: right of the message plus four
// space widths (no margin without a message), sizePercent of the remaining width, and
// inset by a tenth of the field's height at the top and at the bottom.
CanvasRect ProgressBarRect(const CanvasRect& field, const std::string& message, int messageWidth,
                           int spaceWidth, int sizePercent);

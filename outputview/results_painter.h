// The results panel of the control pane: a tiled background, two ruled frames side by side,
// the heading over the confidence column and, when a fit is shown, the fitted model's block
// (name, parameters in display units, chi-square, start Ca, free energies and, when the fit
// carries error estimates, the 68 % confidence values). Positions follow the metrics of the
// control layout, whose width the window's client area chooses.
//
// The panel keeps no state; every repaint recomputes the texts from the document.
#pragma once

#include "canvas/canvas.h"
#include "outputview/control_layout.h"

class Titration;

struct ResultsPanelInput {
  const ControlLayout* layout = nullptr;
  // The background picture, tiled from the client's top-left corner (the caller owns it).
  const CanvasImage* background = nullptr;
  CanvasSize client;  // client area in device pixels
  int dpiY = 96;      // vertical dots per inch of the screen, for the font height
};

void paint_results_panel(Canvas& canvas, const Titration& doc, const ResultsPanelInput& in);

// Text origins of the results tables. Row 0 of the left table is the title row.
struct ResultsColumns {
  int y(int row) const { return rowTop + row * rowHeight; }
  int rowTop, rowHeight;
  int leftLabel, leftValue, leftUpper, leftLower;
  int rightLabel, rightValue, rightUpper, rightLower;
};
ResultsColumns results_columns(const ControlLayout& layout);

// The font the panel writes with: "MS Sans Serif", weight 200, of the layout's point size.
CanvasFont results_font(const ControlLayout& layout, int dpiY);

// Draws the data grid onto a Canvas: block highlight, current cell, text selection, grid
// lines, header row and row numbers, the cell texts the repaint area touches, and the
// caret. Everything is in the grid's logical coordinates; the canvas is expected to be
// pre-filled with the background (white) over the repaint area.
#pragma once

#include "canvas/canvas.h"

class GridController;
class Titration;

inline constexpr const char* kGridColumnTitles[3] = {"Response", "Add. Ca/uM", "Volume"};

void PaintGrid(Canvas& canvas, const Titration& doc, const GridController& grid, const CanvasRect& area);

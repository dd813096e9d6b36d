// Geometry of the data grid: a header row, a row-number column and three data columns of
// 99 rows, all sized from the layout width W in pixels (layout/window_layout.h). Coordinates
// are the grid's logical pixels: (0, 0) is the top-left of the header row, y grows down.
#pragma once

#include "canvas/canvas.h"

struct GridMetrics {
  static constexpr int kRows = 99;
  static constexpr int kCols = 3;

  int m_nColWidth = 0;
  int m_nRowHeight = 0;
  int m_nCaretGap = 0;       // the caret is this much shorter than a row
  int m_nTextInset = 0;      // right margin of a cell's text
  int m_nCellFontPt = 0;
  int m_nHeaderFontPt = 0;
  int m_nLabelWidth = 0;     // row-number column
  int m_nHalfGap = 0;
  int m_nFontDpi = 96;       // the window's logical dots per inch, for the point sizes

  // 1024 and 800 have hand-tuned values; every other width uses proportional formulas,
  // which for 1024 would not give the same numbers.
  static GridMetrics ForScreenWidth(int screenWidth);

  int TotalWidth() const { return 3 * m_nColWidth + m_nLabelWidth; }
  int TotalHeight() const { return 100 * m_nRowHeight; }  // header row + 99 data rows
  int CaretHeight() const { return m_nRowHeight - m_nCaretGap; }

  // Inside of a cell, without its grid lines.
  CanvasRect CellRect(int row, int col) const;
  // From the top-left of the first cell to the bottom-right of the second, inclusive.
  CanvasRect BlockRect(int row1, int col1, int row2, int col2) const;
  // x where right-aligned cell text of column col ends.
  int TextRight(int col) const { return m_nLabelWidth + (col + 1) * m_nColWidth - m_nTextInset; }

  CanvasFont CellFont() const;
  CanvasFont HeaderFont() const;
};

#include "gridview/grid_painter.h"

#include <algorithm>
#include <string>

#include "gridview/grid_controller.h"

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kLightGrey{192, 192, 192};
constexpr Rgb kShadow{128, 128, 128};
constexpr Rgb kBlockBlue{0, 0, 220};
constexpr Rgb kTextSelBlue{0, 0, 255};
constexpr Rgb kNotANumberRed{200, 0, 0};

// A raised frame: light top and left edges, dark right and bottom edges.
void Draw3dRect(Canvas& c, const CanvasRect& r, Rgb topLeft, Rgb bottomRight) {
  const int w = r.Width(), h = r.Height();
  c.FillSolidRect({r.left, r.top, r.left + w - 1, r.top + 1}, topLeft);
  c.FillSolidRect({r.left, r.top, r.left + 1, r.top + h - 1}, topLeft);
  c.FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  c.FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

bool Intersects(const CanvasRect& a, const CanvasRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void PaintHeaders(Canvas& c, const GridMetrics& m, const CanvasRect& area) {
  const int rh = m.m_nRowHeight, lw = m.m_nLabelWidth;
  c.FillSolidRect({0, 0, m.TotalWidth(), rh}, kLightGrey);
  c.FillSolidRect({0, 0, lw, m.TotalHeight()}, kLightGrey);
  c.DrawLine(0, rh, m.TotalWidth(), rh);
  c.DrawLine(lw, 0, lw, m.TotalHeight());
  c.SetFont(m.HeaderFont());
  const unsigned centred = kAlignCenter | kAlignVCenter | kSingleLine;
  const int first = std::max(1, area.top / rh), last = std::min(99, area.bottom / rh + 1);
  for (int i = first; i <= last; ++i) {
    const int y = i * rh;
    c.DrawLine(0, y, lw, y);
    c.DrawText(std::to_string(i), {0, y, lw, y + rh}, centred);
    Draw3dRect(c, {0, y + 1, lw, y + rh}, kWhite, kShadow);
  }
  if (area.top < rh) {
    for (int j = 0; j < 3; ++j) {
      const int x = lw + j * m.m_nColWidth;
      c.DrawLine(x, 0, x, rh);
      c.DrawText(kGridColumnTitles[j], {x, 0, x + m.m_nColWidth, rh}, centred);
      Draw3dRect(c, {x + 1, 0, x + m.m_nColWidth, rh}, kWhite, kShadow);
    }
  }
}

void PaintCells(Canvas& c, const Titration& doc, const GridMetrics& m, const CanvasRect& area) {
  const int rh = m.m_nRowHeight, lw = m.m_nLabelWidth, cw = m.m_nColWidth;
  const int firstRow = std::max(0, (area.top - rh) / rh);
  const int lastRow = std::min(98, (area.bottom - 1) / rh);
  const int firstCol = std::max(0, (area.left - lw) / cw);
  const int lastCol = std::min(2, (area.right - lw + cw - 1) / cw);
  c.SetFont(m.CellFont());
  for (int r = firstRow; r <= lastRow; ++r) {
    for (int col = firstCol; col <= lastCol; ++col) {
      CanvasRect rect = m.CellRect(r, col);
      rect.right -= m.m_nTextInset;
      // Right-aligned and clipped to the cell: a long text loses its beginning. A text that
      // is not a number is red: the commands refuse to run until it is mended.
      const CCell& cell = doc.m_cells[r][col];
      if (!cell.IsNumber()) c.SetTextColour(kNotANumberRed);
      c.DrawText(cell.Text(), rect, kAlignRight | kAlignVCenter | kSingleLine);
      if (!cell.IsNumber()) c.SetTextColour(kBlack);
    }
  }
}

}  // namespace

void PaintGrid(Canvas& c, const Titration& doc, const GridController& grid, const CanvasRect& area) {
  const GridMetrics& m = grid.Metrics();
  c.SetTextColour(kBlack);
  c.SetTextBackground(false, kWhite);
  if (grid.m_bBlockSel) c.FillSolidRect(grid.m_rcBlock, kBlockBlue);

  const CanvasRect current = m.CellRect(doc.m_cursor.m_nRow, doc.m_cursor.m_nCol);
  c.FillSolidRect(current, kWhite);
  c.SetPen({PenStyle::Solid, 1, kBlack});
  c.SetBrush({true, kWhite});
  c.DrawRectangle(current);

  if (grid.m_bTextSel) c.FillSolidRect(grid.m_rcTextSel, kTextSelBlue);

  for (int i = 1; i <= 99; ++i) {
    const int y = i * m.m_nRowHeight;
    if (y >= area.top && y < area.bottom) c.DrawLine(0, y, m.TotalWidth(), y);
  }
  for (int j = 0; j <= 3; ++j) {
    const int x = m.m_nLabelWidth + j * m.m_nColWidth;
    c.DrawLine(x, 0, x, m.TotalHeight());
  }

  PaintHeaders(c, m, area);
  PaintCells(c, doc, m, area);

  const CanvasRect caret = grid.CaretRect();
  if (grid.CaretVisible() && Intersects(caret, area)) c.FillSolidRect(caret, kBlack);
}

#include "gridview/grid_metrics.h"

GridMetrics GridMetrics::ForScreenWidth(int w) {
  GridMetrics m;
  if (w == 1024) {
    m.m_nColWidth = 86;
    m.m_nRowHeight = 21;
    m.m_nCaretGap = 8;
    m.m_nTextInset = 5;
    m.m_nCellFontPt = 8;
    m.m_nHeaderFontPt = 11;
  } else if (w == 800) {
    m.m_nColWidth = 65;
    m.m_nRowHeight = 16;
    m.m_nCaretGap = 6;
    m.m_nTextInset = 4;
    m.m_nCellFontPt = 6;
    m.m_nHeaderFontPt = 9;
  } else {
    m.m_nColWidth = static_cast<int>(w * 0.08403361344537814);
    m.m_nRowHeight = static_cast<int>(w * 0.02053388090349076);
    m.m_nCaretGap = w / 128;
    m.m_nTextInset = w / 205;
    m.m_nCellFontPt = w / 128;
    m.m_nHeaderFontPt = static_cast<int>(w * 0.010741138560687433);
  }
  m.m_nLabelWidth = m.m_nColWidth / 2;
  m.m_nHalfGap = m.m_nCaretGap / 2;
  return m;
}

CanvasRect GridMetrics::CellRect(int row, int col) const {
  CanvasRect r;
  r.left = col * m_nColWidth + m_nLabelWidth + 1;
  r.top = (row + 1) * m_nRowHeight + 1;
  r.right = r.left + m_nColWidth - 1;
  r.bottom = r.top + m_nRowHeight - 1;
  return r;
}

CanvasRect GridMetrics::BlockRect(int row1, int col1, int row2, int col2) const {
  const CanvasRect a = CellRect(row1, col1);
  const CanvasRect b = CellRect(row2, col2);
  return {a.left, a.top, b.right, b.bottom};
}

static int PixelHeight(int points, int dpi) { return static_cast<int>(points * dpi / 72.0); }

CanvasFont GridMetrics::CellFont() const {
  CanvasFont f;
  f.face = "MS Sans Serif";
  f.height = PixelHeight(m_nCellFontPt, m_nFontDpi);
  f.weight = 200;
  return f;
}

CanvasFont GridMetrics::HeaderFont() const {
  CanvasFont f;
  f.face = "MS Sans Serif";
  f.height = PixelHeight(m_nHeaderFontPt, m_nFontDpi);
  f.weight = 600;
  return f;
}

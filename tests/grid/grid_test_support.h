// A grid host without a window: every character is 7 pixels wide, the pane shows
// clientHeight pixels and scrolls within the grid's height; repaint requests, scrolls and
// timer changes are recorded.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "document/titration.h"
#include "gridview/grid_controller.h"

class FakeGridHost : public GridHost {
 public:
  static constexpr int kCharWidth = 7;

  int TextWidth(const std::string& text) override { return kCharWidth * utf8_char_count(text); }
  int ScrollY() const override { return scrollY; }
  int ClientHeight() const override { return clientHeight; }
  void ScrollToY(int y) override { scrollY = std::clamp(y, 0, std::max(0, totalHeight - clientHeight)); }
  void Invalidate(const CanvasRect& r) override { repaints.push_back(r); }
  void InvalidateAll() override { ++fullRepaints; }
  void StartAutoScrollTimer() override { timerRunning = true; }
  void StopAutoScrollTimer() override { timerRunning = false; }
  void ShowStatus(const std::string& text) override { status = text; }

  int scrollY = 0;
  int clientHeight = 600;
  int totalHeight = 2100;
  std::vector<CanvasRect> repaints;
  int fullRepaints = 0;
  bool timerRunning = false;
  std::string status;
};

// A controller on a fresh document with the 1024-pixel metrics, and helpers that click the
// middle of a cell and type text.
struct GridFixture {
  Titration doc;
  FakeGridHost host;
  GridController grid{doc, host};
  GridMetrics m = GridMetrics::ForScreenWidth(1024);

  GridFixture() {
    host.totalHeight = m.TotalHeight();
    grid.InitialUpdate(m);
  }
  int CellX(int col) const { return m.m_nLabelWidth + col * m.m_nColWidth + m.m_nColWidth / 2; }
  int CellY(int row) const { return (row + 1) * m.m_nRowHeight + m.m_nRowHeight / 2 - host.scrollY; }
  void Click(int row, int col) { ClickAt(CellX(col), CellY(row)); }
  void ClickAt(int x, int y) {
    grid.LButtonDown(x, y);
    grid.LButtonUp();
  }
  void Type(const std::string& s) {
    for (char ch : s) grid.Char(static_cast<unsigned char>(ch));
  }
  std::string Text(int row, int col) const { return doc.m_cells[row][col].Text(); }
  void Set(int row, int col, const std::string& text) { doc.m_cells[row][col].SetText(text); }
};

// What the grid draws: the current cell's box, texts only for the cells in the repaint
// area, right-aligned inside the inset, and a caret only while a cell is edited.
#include <gtest/gtest.h>

#include <algorithm>

#include "grid_test_support.h"
#include "gridview/grid_painter.h"
#include "support/recording_canvas.h"

namespace {

int CountTexts(const RecordingCanvas& c, const std::string& text) {
  return static_cast<int>(std::count_if(c.calls.begin(), c.calls.end(), [&](const CanvasCall& call) {
    return call.kind == CanvasCall::TextRect && call.text == text;
  }));
}

TEST(GridPainter, CellTextsOnlyInsideTheRepaintArea) {
  GridFixture f;
  f.Set(0, 0, "0.11");
  f.Set(50, 1, "0.22");
  RecordingCanvas canvas;
  PaintGrid(canvas, f.doc, f.grid, {0, 0, 301, 300});
  EXPECT_EQ(CountTexts(canvas, "0.11"), 1);
  EXPECT_EQ(CountTexts(canvas, "0.22"), 0);
  EXPECT_EQ(CountTexts(canvas, "Add. Ca/uM"), 1);

  const auto it = std::find_if(canvas.calls.begin(), canvas.calls.end(),
                               [](const CanvasCall& c) { return c.kind == CanvasCall::TextRect && c.text == "0.11"; });
  CanvasRect expected = f.m.CellRect(0, 0);
  expected.right -= f.m.m_nTextInset;
  EXPECT_EQ(it->rect, expected);
  EXPECT_EQ(it->align, kAlignRight | kAlignVCenter | kSingleLine);
  EXPECT_EQ(it->font.height, 10);
}

TEST(GridPainter, CurrentCellBoxAndCaret) {
  GridFixture f;
  RecordingCanvas idle;
  PaintGrid(idle, f.doc, f.grid, {0, 0, 301, 2100});
  const CanvasRect current = f.m.CellRect(0, 0);
  const bool framed = std::any_of(idle.calls.begin(), idle.calls.end(), [&](const CanvasCall& c) {
    return c.kind == CanvasCall::Rect && c.rect == current && c.brush.hollow;
  });
  EXPECT_TRUE(framed);
  const auto caretFill = [&](const RecordingCanvas& c) {
    return std::count_if(c.calls.begin(), c.calls.end(), [&](const CanvasCall& call) {
      return call.kind == CanvasCall::Fill && call.rect == f.grid.CaretRect() && call.fill == Rgb{0, 0, 0};
    });
  };
  EXPECT_EQ(caretFill(idle), 0);  // not editing: no caret
  f.ClickAt(f.m.TextRight(0) - 1, f.CellY(0));
  RecordingCanvas editing;
  PaintGrid(editing, f.doc, f.grid, {0, 0, 301, 2100});
  EXPECT_EQ(caretFill(editing), 1);
  EXPECT_EQ(f.grid.CaretRect().Height(), f.m.m_nRowHeight - f.m.m_nCaretGap);
}

}  // namespace

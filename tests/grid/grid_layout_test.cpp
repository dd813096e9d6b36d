// Screen-width metrics of the grid and the main window's panes, and where the status-bar
// progress bar goes.
#include <gtest/gtest.h>

#include "gridview/grid_metrics.h"
#include "gridview/shell_layout.h"

namespace {

struct Expected {
  int width, colWidth, rowHeight, caretGap, textInset, cellPt, headerPt;
};

TEST(GridMetrics, FixedAndProportionalWidths) {
  // 1024 and 800 are hand-tuned; 1280 follows the formulas.
  const Expected cases[] = {{1024, 86, 21, 8, 5, 8, 11}, {800, 65, 16, 6, 4, 6, 9}, {1280, 107, 26, 10, 6, 10, 13}};
  for (const Expected& e : cases) {
    const GridMetrics m = GridMetrics::ForScreenWidth(e.width);
    SCOPED_TRACE(e.width);
    EXPECT_EQ(m.m_nColWidth, e.colWidth);
    EXPECT_EQ(m.m_nRowHeight, e.rowHeight);
    EXPECT_EQ(m.m_nCaretGap, e.caretGap);
    EXPECT_EQ(m.m_nTextInset, e.textInset);
    EXPECT_EQ(m.m_nCellFontPt, e.cellPt);
    EXPECT_EQ(m.m_nHeaderFontPt, e.headerPt);
    EXPECT_EQ(m.m_nLabelWidth, e.colWidth / 2);
  }
}

TEST(GridMetrics, GeometryAt1024) {
  const GridMetrics m = GridMetrics::ForScreenWidth(1024);
  EXPECT_EQ(m.TotalWidth(), 301);
  EXPECT_EQ(m.TotalHeight(), 2100);
  const CanvasRect first = m.CellRect(0, 0);
  EXPECT_EQ(first, (CanvasRect{44, 22, 129, 42}));
  EXPECT_EQ(first.Width(), 85);
  EXPECT_EQ(first.Height(), 20);
  EXPECT_EQ(m.CellRect(98, 2), (CanvasRect{216, 2080, 301, 2100}));
  EXPECT_EQ(m.TextRight(1), 43 + 2 * 86 - 5);
  EXPECT_EQ(m.BlockRect(3, 0, 10, 1), (CanvasRect{44, 85, 215, 252}));
  // Point sizes become pixel heights at 96 dots per inch.
  EXPECT_EQ(m.CellFont().height, 10);
  EXPECT_EQ(m.HeaderFont().height, 14);
  EXPECT_EQ(m.CellFont().weight, 200);
  EXPECT_EQ(m.HeaderFont().face, "MS Sans Serif");
}

TEST(PaneLayout, SizesByScreenWidth) {
  EXPECT_EQ(PaneSizesForScreen(1024).gridWidth, 318);
  EXPECT_EQ(PaneSizesForScreen(1024).graphHeight, 465);
  EXPECT_EQ(PaneSizesForScreen(800).gridWidth, 245);  // not the formula's 252
  EXPECT_EQ(PaneSizesForScreen(800).graphHeight, 345);
  EXPECT_EQ(PaneSizesForScreen(1280).gridWidth, 393);
  EXPECT_EQ(PaneSizesForScreen(1280).graphHeight, 581);
}

TEST(PaneLayout, ExtraSpaceGoesRightAndDown) {
  const PaneSizes sizes = PaneSizesForScreen(1024);
  const PaneRects r = LayoutPanes(sizes, 1400, 900, 6);
  EXPECT_EQ(r.grid, (CanvasRect{0, 0, 318, 900}));
  EXPECT_EQ(r.graph, (CanvasRect{324, 0, 1400, 465}));
  EXPECT_EQ(r.control, (CanvasRect{324, 471, 1400, 900}));
  // A window smaller than the fixed panes squeezes the others to nothing, never negative.
  const PaneRects small = LayoutPanes(sizes, 300, 400, 6);
  EXPECT_EQ(small.grid.right, 300);
  EXPECT_EQ(small.graph.Width(), 0);
  EXPECT_EQ(small.control.Height(), 0);
}

TEST(ProgressBarPlacement, RightOfTheMessage) {
  const CanvasRect field{0, 0, 600, 20};
  // "Calculating" 60 pixels wide, spaces 4: the bar starts 76 pixels in, inset 2 and 2.
  EXPECT_EQ(ProgressBarRect(field, "Calculating", 60, 4, 100), (CanvasRect{76, 2, 600, 18}));
  // Half of the space right of the text.
  EXPECT_EQ(ProgressBarRect(field, "Calculating", 60, 4, 50), (CanvasRect{76, 2, 338, 18}));
  // No message, no margin.
  EXPECT_EQ(ProgressBarRect(field, "", 0, 4, 100), (CanvasRect{0, 2, 600, 18}));
  // A message wider than the field leaves an empty bar, not an inverted one.
  const CanvasRect squeezed = ProgressBarRect({0, 0, 50, 20}, "Calculating", 60, 4, 100);
  EXPECT_EQ(squeezed.Width(), 0);
}

}  // namespace

// Editing rules of the grid: typing, replacing versus inserting, the caret, keys at the
// edges of the grid, Backspace and Delete with and without selections, block selection by
// dragging with its auto-scroll, and the modified flag.
#include <gtest/gtest.h>

#include "grid_test_support.h"

namespace {

TEST(GridTyping, NavigatingReplacesThenClickingAgainInserts) {
  GridFixture f;
  f.Set(2, 0, "77");
  f.Click(2, 0);
  f.Type("123");
  EXPECT_EQ(f.Text(2, 0), "123");  // the first digit replaced the old text
  EXPECT_DOUBLE_EQ(f.doc.m_cells[2][0].GetValue(), 123.0);
  EXPECT_FALSE(f.grid.CaretVisible());

  // Click again just right of the text: caret at the end; two Lefts; a 9 goes in between.
  f.ClickAt(f.m.TextRight(0) - 1, f.CellY(2));
  EXPECT_TRUE(f.grid.CaretVisible());
  EXPECT_EQ(f.doc.m_cursor.m_nCaret, 0);
  f.grid.KeyDown(GridKey::Left);
  f.grid.KeyDown(GridKey::Left);
  EXPECT_EQ(f.grid.m_ptCaret.x, f.m.TextRight(0) - 2 * FakeGridHost::kCharWidth);
  f.Type("9");
  EXPECT_EQ(f.Text(2, 0), "1923");
}

TEST(GridTyping, AcceptedCharactersAndLimits) {
  GridFixture f;
  f.Click(0, 1);
  f.Type("5-");
  EXPECT_EQ(f.Text(0, 1), "5");  // minus only at the very start
  f.Click(1, 1);
  f.Type("-2.5e+, x");
  EXPECT_EQ(f.Text(1, 1), "-2.5e+");  // a second mark, blanks and letters are refused
  EXPECT_FALSE(f.doc.m_cells[1][1].IsNumber());
  f.Type("1");
  EXPECT_DOUBLE_EQ(f.doc.m_cells[1][1].GetValue(), -25.0);
  f.Click(2, 1);
  f.Type("1234567890123");
  EXPECT_EQ(f.Text(2, 1), "123456789012");  // a thirteenth character is refused
}

TEST(GridTyping, ClickPlacesCaretNearestToThePointer) {
  GridFixture f;
  f.Set(0, 0, "12345");
  // Cell (0, 0) is already current, so this click starts editing. Each character is 7
  // pixels wide; 3 characters left of the text's right end, nudged by 2 pixels.
  f.ClickAt(f.m.TextRight(0) - 3 * 7 + 2, f.CellY(0));
  EXPECT_EQ(f.doc.m_cursor.m_nCaret, 3);
  EXPECT_EQ(f.grid.m_ptCaret.x, f.m.TextRight(0) - 21);
  f.Type("0");
  EXPECT_EQ(f.Text(0, 0), "120345");
}

TEST(GridTyping, ModifiedFlagComesFromChangedTextsNotFromNavigation) {
  GridFixture f;
  f.Click(4, 2);
  f.grid.KeyDown(GridKey::Down);
  f.grid.KeyDown(GridKey::Left);
  f.Type("x");  // refused: nothing changed
  f.grid.KeyDown(GridKey::Delete);  // nothing to delete
  EXPECT_FALSE(f.doc.IsModifiedCore());
  f.Type("7");
  EXPECT_TRUE(f.doc.IsModifiedCore());
}

TEST(GridKeys, EdgesOfTheGrid) {
  GridFixture f;
  f.grid.KeyDown(GridKey::Up);
  f.grid.KeyDown(GridKey::Left);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 0);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 0);
  f.doc.m_cursor.SetCell(98, 2);
  f.grid.KeyDown(GridKey::Down);
  f.grid.KeyDown(GridKey::Enter);
  f.grid.KeyDown(GridKey::Right);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 98);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 2);
  f.grid.KeyDown(GridKey::Enter);  // Enter moves like Down
  f.doc.m_cursor.SetCell(5, 1);
  f.grid.KeyDown(GridKey::Enter);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 6);
}

TEST(GridKeys, CaretKeysStayInsideTheText) {
  GridFixture f;
  f.Set(0, 0, "12");
  f.ClickAt(f.m.TextRight(0) - 1, f.CellY(0));  // edit, caret at the end
  f.grid.KeyDown(GridKey::Right);
  EXPECT_EQ(f.doc.m_cursor.m_nCaret, 0);
  for (int i = 0; i < 5; ++i) f.grid.KeyDown(GridKey::Left);
  EXPECT_EQ(f.doc.m_cursor.m_nCaret, 2);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 0);  // editing: Left never leaves the cell
  // Up leaves the cell even while editing, and ends the editing.
  f.doc.m_cursor.SetCell(3, 0);
  f.grid.KeyDown(GridKey::Up);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 2);
  EXPECT_FALSE(f.doc.m_cursor.m_bEditing);
}

TEST(GridKeys, ScrollingFollowsTheCursor) {
  GridFixture f;
  f.host.clientHeight = 21 * 11;  // the header and ten rows: n = 10 whole rows
  for (int i = 0; i < 10; ++i) f.grid.KeyDown(GridKey::Down);
  EXPECT_EQ(f.host.scrollY, 0);  // row 10 reached without scrolling
  f.grid.KeyDown(GridKey::Down);  // row 11: one row down
  EXPECT_EQ(f.host.scrollY, 21);
  f.grid.KeyDown(GridKey::Down);
  EXPECT_EQ(f.host.scrollY, 42);
  // Going back up, the first scrolled position brings the header back.
  f.host.scrollY = 21;
  f.grid.KeyDown(GridKey::Up);
  EXPECT_EQ(f.host.scrollY, 0);
}

TEST(GridDeleting, BackspaceAndDeleteAtTheCaret) {
  GridFixture f;
  f.Set(0, 0, "1234");
  // Navigated cell: Backspace takes the last character.
  f.grid.KeyDown(GridKey::Backspace);
  EXPECT_EQ(f.Text(0, 0), "123");
  // Editing with the caret before the last character: Delete takes that one.
  f.ClickAt(f.m.TextRight(0) - 1, f.CellY(0));
  f.grid.KeyDown(GridKey::Left);
  f.grid.KeyDown(GridKey::Delete);
  EXPECT_EQ(f.Text(0, 0), "12");
  EXPECT_EQ(f.doc.m_cursor.m_nCaret, 0);
  f.grid.KeyDown(GridKey::Delete);  // nothing right of the caret
  EXPECT_EQ(f.Text(0, 0), "12");
  EXPECT_TRUE(f.doc.IsModifiedCore());
}

TEST(GridDeleting, DoubleClickSelectsAllAndDeleteRemovesIt) {
  GridFixture f;
  f.Set(3, 1, "4.75");
  f.Click(3, 1);
  f.grid.LButtonDown(f.CellX(1), f.CellY(3));
  f.grid.LButtonDblClk(f.CellX(1), f.CellY(3));
  // A tremor while the button is still down does not change the selection.
  f.grid.MouseMove(f.CellX(1) + 30, f.CellY(3));
  EXPECT_TRUE(f.grid.m_bTextSel);
  EXPECT_EQ(f.grid.m_nSelStart, 4);
  EXPECT_EQ(f.grid.m_nSelEnd, 0);
  EXPECT_EQ(f.grid.m_rcTextSel.Width(), 4 * 7);
  EXPECT_FALSE(f.grid.CaretVisible());  // hidden by the selection
  f.grid.LButtonUp();
  f.grid.KeyDown(GridKey::Delete);
  EXPECT_EQ(f.Text(3, 1), "");
  EXPECT_FALSE(f.grid.m_bTextSel);
  EXPECT_TRUE(f.grid.CaretVisible());
}

TEST(GridDeleting, DragSelectsTextInsideAnEditedCell) {
  GridFixture f;
  f.Set(0, 0, "123456");
  f.ClickAt(f.m.TextRight(0) - 1, f.CellY(0));  // editing, caret at the end
  f.grid.LButtonDown(f.m.TextRight(0) - 1, f.CellY(0));
  f.grid.MouseMove(f.m.TextRight(0) - 2 * 7, f.CellY(0));
  f.grid.LButtonUp();
  EXPECT_TRUE(f.grid.m_bTextSel);
  EXPECT_FALSE(f.grid.m_bBlockSel);
  EXPECT_EQ(f.grid.m_nSelStart, 2);
  EXPECT_EQ(f.grid.m_nSelEnd, 0);
  f.grid.KeyDown(GridKey::Backspace);
  f.grid.Char(8);
  EXPECT_EQ(f.Text(0, 0), "1234");
}

TEST(GridDeleting, BlockDeleteEmptiesEveryCellOfTheBlock) {
  GridFixture f;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) f.Set(r, c, "9");
  f.grid.LButtonDown(f.CellX(0), f.CellY(1));
  f.grid.MouseMove(f.CellX(1), f.CellY(2));
  f.grid.LButtonUp();
  ASSERT_TRUE(f.grid.m_bBlockSel);
  f.grid.KeyDown(GridKey::Delete);
  EXPECT_EQ(f.Text(1, 0), "");
  EXPECT_EQ(f.Text(2, 1), "");
  EXPECT_DOUBLE_EQ(f.doc.m_cells[2][1].GetValue(), 0.0);
  EXPECT_EQ(f.Text(0, 0), "9");
  EXPECT_EQ(f.Text(1, 2), "9");
  EXPECT_EQ(f.Text(3, 0), "9");
  EXPECT_TRUE(f.doc.IsModifiedCore());
  // The block stays shown after Delete; a character clears it.
  EXPECT_TRUE(f.grid.m_bBlockSel);
  f.Type("7");
  EXPECT_FALSE(f.grid.m_bBlockSel);
}

TEST(GridBlock, DraggingUpwardsSelectsFromPointerToAnchor) {
  GridFixture f;
  f.grid.LButtonDown(f.CellX(0), f.CellY(10));
  f.grid.MouseMove(f.CellX(0), f.CellY(3));
  f.grid.MouseMove(f.CellX(2), f.CellY(3));
  f.grid.LButtonUp();
  const GridBlock b = f.grid.Block();
  EXPECT_EQ(b.row1, 3);
  EXPECT_EQ(b.row2, 10);
  EXPECT_EQ(b.col1, 0);
  EXPECT_EQ(b.col2, 2);
  EXPECT_EQ(f.grid.m_rcBlock, f.m.BlockRect(3, 0, 10, 2));
  // Navigation hides the block but keeps its bounds for the clipboard.
  f.grid.KeyDown(GridKey::Down);
  EXPECT_FALSE(f.grid.m_bBlockSel);
  EXPECT_EQ(f.grid.Block().row1, 3);
}

TEST(GridBlock, OneDiagonalMoveReachesThePointerInRowsAndColumns) {
  // A fast drag may report a single move before the release; the block must still end
  // at the cell under the pointer, not one move behind in its columns.
  GridFixture f;
  f.grid.LButtonDown(f.CellX(0), f.CellY(2));
  f.grid.MouseMove(f.CellX(2), f.CellY(6));
  f.grid.LButtonUp();
  const GridBlock b = f.grid.Block();
  EXPECT_EQ(b.row1, 2);
  EXPECT_EQ(b.row2, 6);
  EXPECT_EQ(b.col1, 0);
  EXPECT_EQ(b.col2, 2);
  EXPECT_EQ(f.grid.CopyText().size(), 5u * 4u);  // five lines of two tabs, CR and space
}

TEST(GridBlock, AutoScrollWhileDraggingPastTheBottom) {
  GridFixture f;
  f.host.clientHeight = 210;
  f.host.scrollY = f.m.TotalHeight() - 210 - 5 * 21;  // five rows from the end
  f.grid.LButtonDown(f.CellX(0), f.CellY(90));
  f.grid.MouseMove(f.CellX(0), 230);  // below the pane
  EXPECT_TRUE(f.host.timerRunning);
  for (int i = 0; i < 20; ++i) f.grid.Timer();
  EXPECT_EQ(f.grid.Block().row2, 98);  // one row per tick, never past the last row
  EXPECT_EQ(f.host.scrollY, f.m.TotalHeight() - 210);
  f.grid.LButtonUp();
  EXPECT_FALSE(f.host.timerRunning);
  const int row2 = f.grid.Block().row2;
  f.grid.Timer();  // a late tick after the release changes nothing
  EXPECT_EQ(f.grid.Block().row2, row2);
}

TEST(GridBlock, AutoScrollUpwards) {
  GridFixture f;
  f.host.scrollY = 21 * 20;
  f.grid.LButtonDown(f.CellX(1), f.CellY(30));
  f.grid.MouseMove(f.CellX(1), -5);  // above the pane
  for (int i = 0; i < 3; ++i) f.grid.Timer();
  EXPECT_EQ(f.host.scrollY, 21 * 17);
  EXPECT_EQ(f.grid.Block().row1, 27);
  EXPECT_EQ(f.grid.Block().row2, 30);
}

}  // namespace

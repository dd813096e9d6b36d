// Grid blocks as clipboard text: the program's own format (tab-separated, every line ending
// in CR and a space), the paste rules, and the line ends other programs write.
#include <gtest/gtest.h>

#include <string>

#include "grid_test_support.h"
#include "gridview/clipboard_text.h"

namespace {

void FillTwoByThree(Titration& doc) {
  const char* values[2][3] = {{"1", "2", "3"}, {"4", "5", "6"}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) doc.m_cells[r][c].SetText(values[r][c]);
}

TEST(ClipboardCopy, OwnFormat) {
  Titration doc;
  doc.m_cells[4][1].SetText("2.5");
  EXPECT_EQ(BlockToClipboardText(doc, {4, 1, 4, 1}), "2.5\r ");
  FillTwoByThree(doc);
  EXPECT_EQ(BlockToClipboardText(doc, {0, 0, 1, 2}), "1\t2\t3\r 4\t5\t6\r ");
  // Texts go as typed, not as their numbers.
  doc.m_cells[7][0].SetText("12abc");
  EXPECT_EQ(BlockToClipboardText(doc, {7, 0, 7, 0}), "12abc\r ");
  EXPECT_EQ(BlockToClipboardText(doc, {5, 0, 4, 0}), "");  // inverted bounds copy nothing
}

TEST(ClipboardPaste, TwoByThreeAtColumnZeroAndOne) {
  Titration doc;
  FillTwoByThree(doc);
  const std::string text = BlockToClipboardText(doc, {0, 0, 1, 2});
  EXPECT_EQ(PasteClipboardText(doc, text, 10, 0).lastRow, 11);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(doc.m_cells[10][c].Text(), doc.m_cells[0][c].Text());
    EXPECT_EQ(doc.m_cells[11][c].Text(), doc.m_cells[1][c].Text());
  }
  // Three fields do not fit right of column 1: only each line's first field goes in.
  EXPECT_EQ(PasteClipboardText(doc, text, 20, 1).lastRow, 21);
  EXPECT_EQ(doc.m_cells[20][1].Text(), "1");
  EXPECT_EQ(doc.m_cells[21][1].Text(), "4");
  EXPECT_EQ(doc.m_cells[20][2].Text(), "");
}

TEST(ClipboardPaste, TallBlockStopsAtTheLastRow) {
  Titration doc;
  std::string text;
  for (int i = 0; i < 20; ++i) text += std::to_string(i) + "\r ";
  EXPECT_EQ(PasteClipboardText(doc, text, 90, 0).lastRow, 98);
  EXPECT_EQ(doc.m_cells[90][0].Text(), "0");
  EXPECT_EQ(doc.m_cells[98][0].Text(), "8");
}

TEST(ClipboardPaste, OtherProgramsLineEnds) {
  const char* texts[] = {"1\t2\n3\t4\n", "1\t2\r\n3\t4\r\n", "1\t2\n3\t4", "1\t2\r 3\t4"};
  for (const char* text : texts) {
    SCOPED_TRACE(testing::PrintToString(std::string(text)));
    Titration doc;
    EXPECT_EQ(PasteClipboardText(doc, text, 0, 1).lastRow, 1);
    EXPECT_EQ(doc.m_cells[0][1].Text(), "1");
    EXPECT_EQ(doc.m_cells[0][2].Text(), "2");
    EXPECT_EQ(doc.m_cells[1][1].Text(), "3");
    EXPECT_EQ(doc.m_cells[1][2].Text(), "4");
    EXPECT_EQ(doc.m_cells[2][1].Text(), "");
  }
}

TEST(ClipboardPaste, SingleValueWithoutLineEnd) {
  Titration doc;
  doc.m_cells[3][2].SetText("old");
  EXPECT_EQ(PasteClipboardText(doc, "0.125", 3, 2).lastRow, 3);
  EXPECT_EQ(doc.m_cells[3][2].Text(), "0.125");
  EXPECT_DOUBLE_EQ(doc.m_cells[3][2].GetValue(), 0.125);
  // An empty text is an empty field, like a copied empty cell.
  EXPECT_EQ(PasteClipboardText(doc, "", 3, 2).lastRow, 3);
  EXPECT_EQ(doc.m_cells[3][2].Text(), "");
}

TEST(ClipboardPaste, LongTextIsNotCutShort) {
  // 99 lines of three 12-character fields: far beyond the old 2000-byte buffer.
  Titration doc;
  std::string text;
  for (int r = 0; r < 99; ++r) text += "123456.78901\t223456.78901\t323456.78901\r\n";
  ASSERT_GT(text.size(), 3000u);
  EXPECT_EQ(PasteClipboardText(doc, text, 0, 0).lastRow, 98);
  EXPECT_EQ(doc.m_cells[98][2].Text(), "323456.78901");
}

TEST(ClipboardPaste, LeadingBlankLineMovesTheBlockDown) {
  Titration doc;
  doc.m_cells[0][0].SetText("x");
  EXPECT_EQ(PasteClipboardText(doc, "\r 7\r ", 0, 0).lastRow, 1);
  EXPECT_EQ(doc.m_cells[0][0].Text(), "");  // the skipped row is emptied
  EXPECT_DOUBLE_EQ(doc.m_cells[1][0].GetValue(), 7.0);
  // So many blank lines that the block would start past the last row: nothing written
  // out of bounds.
  std::string blank(200, '\n');
  EXPECT_NO_FATAL_FAILURE(PasteClipboardText(doc, blank + "5", 50, 0));
}

TEST(ClipboardController, CutThenPasteBackRestores) {
  GridFixture f;
  FillTwoByThree(f.doc);
  f.grid.LButtonDown(f.CellX(0), f.CellY(0));
  f.grid.MouseMove(f.CellX(2), f.CellY(1));
  f.grid.LButtonUp();
  const std::string text = f.grid.CutText();
  EXPECT_EQ(text, "1\t2\t3\r 4\t5\t6\r ");
  EXPECT_EQ(f.Text(1, 2), "");
  EXPECT_TRUE(f.doc.IsModifiedCore());
  f.doc.SetModifiedFlag(false);
  f.grid.PasteText(text);  // the block's top-left cell is current
  EXPECT_EQ(f.Text(0, 0), "1");
  EXPECT_EQ(f.Text(1, 2), "6");
  EXPECT_TRUE(f.doc.IsModifiedCore());
  // Copy after a plain click takes just the clicked cell.
  f.Click(1, 1);
  EXPECT_EQ(f.grid.CopyText(), "5\r ");
}

}  // namespace

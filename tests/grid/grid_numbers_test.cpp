// The grid keeps the numbers it shows: typed exponents and decimal commas, Tab and Enter
// through a row, pasted spreadsheet rows in either locale, and the status bar naming a cell
// that is not a number.
#include <gtest/gtest.h>

#include "grid_test_support.h"

namespace {

TEST(GridNumbers, TypedNumbersAsPeopleWriteThem) {
  struct Case { const char* keys; const char* text; double value; };
  const Case cases[] = {
      {"1e-3", "1e-3", 0.001}, {"0,61", "0.61", 0.61}, {"-2.5E+2", "-2.5E+2", -250},
      {"1.2.3", "1.23", 1.23}, {"5-", "5", 5},         {"+,5", "+.5", 0.5},
      {"1e5e", "1e5", 1e5},    {"x1 y", "1", 1},
  };
  for (const auto& c : cases) {
    GridFixture f;
    f.Click(3, 1);
    f.Type(c.keys);
    EXPECT_EQ(f.Text(3, 1), c.text) << c.keys;
    EXPECT_EQ(f.doc.m_cells[3][1].GetValue(), c.value) << c.keys;
    EXPECT_TRUE(f.doc.m_cells[3][1].IsNumber()) << c.keys;
  }
}

TEST(GridNumbers, TabMovesAlongTheRowAndEnterStartsTheNext) {
  GridFixture f;
  f.Click(0, 0);
  f.Type("0.61");
  f.grid.KeyDown(GridKey::Tab);
  f.Type("5");
  f.grid.KeyDown(GridKey::Tab);
  f.Type("2.01");
  f.grid.KeyDown(GridKey::Enter);
  EXPECT_EQ(f.doc.m_cells[0][0].GetValue(), 0.61);
  EXPECT_EQ(f.doc.m_cells[0][1].GetValue(), 5.0);
  EXPECT_EQ(f.doc.m_cells[0][2].GetValue(), 2.01);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 1);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 0);  // back where the Tabs started

  // Tab wraps from the last column to the next row; Shift+Tab wraps back.
  f.Click(4, 2);
  f.grid.KeyDown(GridKey::Tab);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 5);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 0);
  f.grid.KeyDown(GridKey::BackTab);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 4);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 2);
  // Enter without Tabs before it keeps the column; at the grid's ends nothing moves.
  f.grid.KeyDown(GridKey::Enter);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 2);
  f.Click(0, 0);
  f.grid.KeyDown(GridKey::BackTab);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 0);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 0);
  f.host.scrollY = f.host.totalHeight;
  f.doc.m_cursor.SetCell(98, 2);
  f.grid.KeyDown(GridKey::Tab);
  EXPECT_EQ(f.doc.m_cursor.m_nRow, 98);
  EXPECT_EQ(f.doc.m_cursor.m_nCol, 2);
}

TEST(GridNumbers, PastedRowsInEitherLocaleLandInTheirCells) {
  struct Case { const char* text; double row0[3]; };
  const Case cases[] = {
      {"3,992\t119,96\t2,004", {3.992, 119.96, 2.004}},
      {"3,992;119,96;2,004\r\n", {3.992, 119.96, 2.004}},
      {"3.992,119.96,2.004\n", {3.992, 119.96, 2.004}},
      {"Response\tAdd. Ca\tVolume\n0,61\t5\t2,01\n", {0.61, 5, 2.01}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    GridFixture f;
    f.Click(2, 0);
    const PasteOutcome out = f.grid.PasteText(c.text);
    EXPECT_EQ(out.refusal, "");
    for (int col = 0; col < 3; ++col) {
      EXPECT_EQ(f.doc.m_cells[2][col].GetValue(), c.row0[col]) << col;
      EXPECT_TRUE(f.doc.m_cells[2][col].IsNumber()) << col;
    }
    EXPECT_EQ(f.Text(3, 0), "");
  }
  GridFixture f;
  f.grid.PasteText("Signal;Ca\n1;2\n");
  EXPECT_EQ(f.host.status, "Skipped the header line \"Signal;Ca\".");
  // A lone comma pair is CSV by the rules; the status bar says how it was read.
  f.grid.PasteText("0,61");
  EXPECT_EQ(f.host.status, "Commas were read as field separators.");
  EXPECT_EQ(f.Text(0, 1), "61");
}

TEST(GridNumbers, RefusedPasteChangesNothing) {
  GridFixture f;
  f.Set(0, 0, "7");
  f.doc.SetModifiedFlag(false);
  const PasteOutcome out = f.grid.PasteText("1,234.5\n");
  EXPECT_NE(out.refusal, "");
  EXPECT_EQ(f.Text(0, 0), "7");
  EXPECT_FALSE(f.doc.IsModifiedCore());
}

TEST(GridNumbers, StatusNamesACellThatIsNotANumberWhenItBecomesCurrent) {
  GridFixture f;
  f.Set(1, 1, "12abc");
  f.Click(1, 1);
  EXPECT_EQ(f.host.status, "Row 2, Add. Ca/uM: \"12abc\" is not a number");
  f.grid.KeyDown(GridKey::Down);
  EXPECT_EQ(f.host.status, "");
  f.grid.KeyDown(GridKey::Up);
  EXPECT_EQ(f.host.status, "Row 2, Add. Ca/uM: \"12abc\" is not a number");
  // A half-typed exponent is not a number either, until it is complete.
  f.Click(5, 0);
  f.Type("1e");
  EXPECT_FALSE(f.doc.m_cells[5][0].IsNumber());
  f.Type("2");
  EXPECT_TRUE(f.doc.m_cells[5][0].IsNumber());
}

}  // namespace

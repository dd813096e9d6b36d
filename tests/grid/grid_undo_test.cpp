// Grid actions as edits: how many reports each action makes, which keystrokes form one undo
// step, and that undoing and redoing puts the cells back exactly.
#include <gtest/gtest.h>

#include <string>

#include "grid_test_support.h"
#include "support/history_doc.h"

namespace {

struct HistoryGrid {
  HistoryDoc doc;
  FakeGridHost host;
  GridController grid{doc, host};
  GridMetrics m = GridMetrics::ForScreenWidth(1024);

  HistoryGrid() {
    host.totalHeight = m.TotalHeight();
    grid.InitialUpdate(m);
  }
  void Click(int row, int col) {
    grid.LButtonDown(m.m_nLabelWidth + col * m.m_nColWidth + m.m_nColWidth / 2,
                     (row + 1) * m.m_nRowHeight + m.m_nRowHeight / 2 - host.scrollY);
    grid.LButtonUp();
  }
  void Type(const std::string& s) {
    for (char ch : s) grid.Char(static_cast<unsigned char>(ch));
  }
};

std::string NinetyNineRows() {
  std::string text;
  for (int r = 0; r < Titration::kRows; ++r) text += c_printf("%d.5\t%d\t1.%02d\r\n", r, 10 * r, r);
  return text;
}

}  // namespace

TEST(GridUndo, PasteOfNinetyNineRowsIsOneEditAndUndoesByteForByte) {
  HistoryGrid g;
  g.doc.m_cells[3][1].SetText("7e1");  // kept as typed, not as its number
  g.doc.m_cells[98][2].SetText("0.61");
  const auto before = g.doc.Texts();
  g.Click(0, 0);
  g.grid.PasteText(NinetyNineRows());
  ASSERT_EQ(g.doc.records.size(), 1u);
  EXPECT_EQ(g.doc.records[0].name, "Paste");
  EXPECT_EQ(g.doc.m_cells[98][1].Text(), "980");
  const auto after = g.doc.Texts();

  ASSERT_EQ(g.doc.steps.size(), 1u);
  g.doc.steps[0].Undo(g.doc);
  EXPECT_EQ(g.doc.Texts(), before);
  EXPECT_EQ(g.doc.m_cells[3][1].GetValue(), 70.0);
  g.doc.steps[0].Redo(g.doc);
  EXPECT_EQ(g.doc.Texts(), after);
  EXPECT_EQ(g.doc.records.size(), 1u) << "undo and redo are not new edits";
}

TEST(GridUndo, KeystrokesInOneCellAreOneStepAndRefusedKeysNone) {
  HistoryGrid g;
  g.Click(2, 1);
  g.Type("12x");  // the x is refused: no report
  g.grid.KeyDown(GridKey::Backspace);
  g.Type("5");
  EXPECT_EQ(g.doc.m_cells[2][1].Text(), "15");
  EXPECT_EQ(g.doc.records.size(), 4u);
  g.grid.KeyDown(GridKey::Enter);
  g.Type("3");
  ASSERT_EQ(g.doc.steps.size(), 2u) << "another cell starts another step";
  EXPECT_EQ(g.doc.steps[0].Name(), "Typing");

  g.doc.steps[1].Undo(g.doc);
  EXPECT_EQ(g.doc.m_cells[3][1].Text(), "");
  EXPECT_EQ(g.doc.m_cells[2][1].Text(), "15");
  g.doc.steps[0].Undo(g.doc);
  EXPECT_EQ(g.doc.m_cells[2][1].Text(), "");
  EXPECT_EQ(g.doc.m_cursor.m_nRow, 3) << "the cursor stays where it is";
  EXPECT_EQ(g.doc.m_cursor.m_bEditing, 0);
}

TEST(GridUndo, CutAndDeleteOfNothingReportNothing) {
  HistoryGrid g;
  g.Click(5, 0);
  g.grid.CutText();              // an empty cell: nothing changes
  g.grid.KeyDown(GridKey::Delete);
  g.grid.PasteText("");          // pastes an empty text into an empty cell
  EXPECT_TRUE(g.doc.records.empty());
  EXPECT_FALSE(g.doc.IsModifiedCore());

  g.doc.m_cells[5][0].SetText("4.25");
  g.grid.CutText();
  ASSERT_EQ(g.doc.records.size(), 1u);
  EXPECT_EQ(g.doc.records[0].name, "Cut");
  g.doc.steps.back().Undo(g.doc);
  EXPECT_EQ(g.doc.m_cells[5][0].Text(), "4.25");
}

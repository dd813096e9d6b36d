#include <clocale>

#include <gtest/gtest.h>

#include "document/titration.h"

TEST(CellParse, AcceptsDecimalGrammarOnly) {
  struct Case { const char* text; double value; bool trailing; };
  const Case cases[] = {
      {"1.5e3", 1500.0, false}, {"12abc", 12.0, true}, {"", 0.0, false},  {"abc", 0.0, true},
      {"  -2.5", -2.5, false},  {"+.5", 0.5, false},   {"5.", 5.0, false}, {"1e", 1.0, true},
      {"1e+", 1.0, true},       {"0x10", 0.0, true},   {"inf", 0.0, true}, {"nan", 0.0, true},
      {"-", 0.0, true},         {".", 0.0, true},      {"2E-2x", 0.02, true},
  };
  for (const auto& c : cases) {
    CCell cell;
    EXPECT_EQ(cell.SetText(c.text), c.trailing) << c.text;
    EXPECT_DOUBLE_EQ(cell.GetValue(), c.value) << c.text;
  }
}

TEST(CellParse, IgnoresCommaLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no comma-decimal locale installed";
  CCell cell;
  EXPECT_FALSE(cell.SetText("1.5"));
  EXPECT_DOUBLE_EQ(cell.GetValue(), 1.5);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(CellEdit, CaretCountsCharactersFromTheEnd) {
  CCell cell;
  cell.SetText("123");
  cell.InsertChar('9', 2);  // caret after the first character
  EXPECT_EQ(cell.GetText(), "1923");
  cell.Backspace(0);  // removes the last character
  EXPECT_EQ(cell.GetText(), "192");
  cell.DeleteChar(1);  // the character right of the caret
  EXPECT_EQ(cell.GetText(), "19");
  cell.SetText("12345");
  cell.DeleteRange(1, 3);  // the two characters between carets 3 and 1: "34"
  EXPECT_EQ(cell.GetText(), "125");
  EXPECT_DOUBLE_EQ(cell.GetValue(), 125.0) << "every edit re-parses";
  // Carets past either end change nothing and do not crash.
  cell.Backspace(3);
  cell.Backspace(-1);
  cell.DeleteChar(0);
  cell.DeleteRange(9, 7);
  EXPECT_EQ(cell.GetText(), "125");
}

TEST(CellEdit, ThirteenthCharacterIsRefused) {
  CCell cell;
  cell.SetText("123456789012");
  EXPECT_FALSE(cell.InsertChar('3', 0));
  EXPECT_EQ(cell.GetText(), "123456789012");
  // A longer pasted text is kept whole, and still takes no insertion.
  cell.SetText("1234567890123456");
  cell.InsertChar('7', 0);
  EXPECT_EQ(cell.GetText().size(), 16u);
}

TEST(CellEdit, MultiByteCharactersAreNeverSplit) {
  const std::string micro = "\xC2\xB5";
  CCell cell;
  cell.SetText("5" + micro + "M");
  EXPECT_EQ(cell.CharCount(), 3);
  cell.Backspace(1);  // the micro sign, both bytes
  EXPECT_EQ(cell.GetText(), "5M");
  cell.SetText("5" + micro + "M");
  cell.InsertChar('0', 2);
  EXPECT_EQ(cell.GetText(), "50" + micro + "M");
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += micro;
  cell.SetText(eleven);  // 11 characters in 22 bytes: one more fits
  cell.InsertChar('1', 0);
  EXPECT_EQ(cell.CharCount(), 12);
}

namespace {
struct FixedWidth : TextMeasurer {
  int TextWidth(const std::string& text) override { return 10 * utf8_char_count(text); }
};
}  // namespace

TEST(CellCursor, CaretFromClickPosition) {
  FixedWidth measure;
  // Text "1234" right-aligned with its right end at x = 100; each character 10 px wide.
  EXPECT_EQ(CCellCursor::CaretFromX(measure, "1234", 95, 100), 0) << "within the first width of the end";
  EXPECT_EQ(CCellCursor::CaretFromX(measure, "1234", 79, 100), 2);
  EXPECT_EQ(CCellCursor::CaretFromX(measure, "1234", 20, 100), 4) << "left of the text: caret at its start";
  EXPECT_EQ(CCellCursor::CaretFromX(measure, "", 20, 100), 0);
}

TEST(TitrationNew, ResetsPlotsButKeepsTemperatureAndRunningNumber) {
  Titration doc;
  doc.m_nSims = 2;
  doc.m_bHaveSims = 1;
  doc.m_bSlotFree[1] = doc.m_bSlotFree[2] = 0;
  doc.m_fTemperature = 310.15f;
  doc.m_nPlotsListed = 5;
  doc.m_cells[3][1].SetText("7");
  doc.m_cursor.SetCell(4, 2);
  doc.m_cursor.BeginEdit();
  doc.ResetForNew();
  EXPECT_EQ(doc.m_nSims, 0);
  EXPECT_EQ(doc.m_bHaveSims, 0);
  EXPECT_EQ(doc.m_bSlotFree[1], 1);
  EXPECT_EQ(doc.m_fTemperature, 310.15f);
  EXPECT_EQ(doc.m_nPlotsListed, 5);
  EXPECT_EQ(doc.m_cells[3][1].GetValue(), 0.0);
  EXPECT_EQ(doc.m_cursor.GetRow(), 0);
  EXPECT_EQ(doc.m_cursor.m_bEditing, 0);
  EXPECT_EQ(doc.m_genSteps[1].m_nStart, 2);
}

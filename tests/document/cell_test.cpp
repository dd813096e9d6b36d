#include <climits>
#include <clocale>

#include <gtest/gtest.h>

#include "document/document_title.h"
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

// A dialog's field holds exactly one number; a refused text never changes the value.
TEST(DialogField, NumberIsOneFiniteDecimal) {
  double v = -1;
  EXPECT_TRUE(parse_number_field(" 0.5\t", &v));
  EXPECT_DOUBLE_EQ(v, 0.5);
  EXPECT_TRUE(parse_number_field("-1e3", &v));
  EXPECT_DOUBLE_EQ(v, -1000);
  for (const char* bad : {"", "  ", "1,5", "2x", ".", "1e", "1e999", "inf", "1 2"})
    EXPECT_FALSE(parse_number_field(bad, &v)) << bad;
  EXPECT_DOUBLE_EQ(v, -1000);
}

TEST(DialogField, IntegerIsOneWholeNumberThatFitsAnInt) {
  int v = -1;
  EXPECT_TRUE(parse_int_field(" +42 ", &v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(parse_int_field("-2147483648", &v));
  EXPECT_EQ(v, INT_MIN);
  for (const char* bad : {"", " ", "1.5", "1e2", "12a", "2147483648", "99999999999999999999", "1 2"})
    EXPECT_FALSE(parse_int_field(bad, &v)) << bad;
  EXPECT_EQ(v, INT_MIN);
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
  cell.Backspace(3);  // carets past either end change nothing
  cell.DeleteChar(0);
  cell.DeleteRange(9, 7);
  EXPECT_EQ(cell.GetText(), "125");
}

TEST(CellEdit, ThirteenthCharacterIsRefused) {
  CCell cell;
  cell.SetText("123456789012");
  EXPECT_FALSE(cell.InsertChar('3', 0));
  EXPECT_EQ(cell.GetText(), "123456789012");
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

// New empties the experiment but keeps the last fit's temperature, the running plot
// number, the Fit dialog's last model, the plan's units and the (unreachable) records.
TEST(DocumentNew, ResetsTheExperimentAndKeepsWhatNewKeeps) {
  Titration doc;
  EXPECT_EQ(doc.m_cursor.m_nRow, 0);
  EXPECT_EQ(doc.m_nFitDlgLastModel, 18);
  EXPECT_EQ(doc.m_genSteps[1].m_nStart, 2);
  doc.m_cells[5][2].SetText("2.5");
  doc.m_cursor.SetCell(7, 1);
  doc.m_cursor.BeginEdit();
  doc.m_strTitle = "Run 2";
  doc.m_strDescription = "d";
  doc.m_bShowFit = doc.m_bHaveSims = doc.m_bAxisFixed = doc.m_bFitAxesToSims = 1;
  doc.m_fit.m_nModel = 4;
  doc.m_sims[0].m_nModel = 2;
  doc.m_nSims = 1;
  doc.m_bSlotFree[1] = 0;
  doc.m_nSlotOrder[1] = 3;
  doc.m_nGenSteps = 1;
  doc.m_genSteps[1] = {9, 4, 1.0, 2.0, 3.0, 4.0};
  doc.m_genSteps[2].m_nStart = 6;
  doc.m_nGenVolUnit = 2;
  doc.m_dXMax = 50.0;
  doc.m_fTemperature = 310.15f;
  doc.m_nPlotsListed = 5;
  doc.m_nFitDlgLastModel = 3;
  doc.m_nPlotNumber[1] = 5;

  doc.ResetForNew();
  EXPECT_EQ(doc.m_cells[5][2].GetText(), "");
  EXPECT_EQ(doc.m_cells[5][2].GetValue(), 0.0);
  EXPECT_EQ(doc.m_cursor.m_nRow, 0);
  EXPECT_EQ(doc.m_cursor.m_nCol, 0);
  EXPECT_EQ(doc.m_cursor.m_bEditing, 0);
  EXPECT_EQ(doc.m_strTitle, "Title");
  EXPECT_EQ(doc.m_strDescription, "");
  EXPECT_EQ(doc.m_bShowFit + doc.m_bHaveSims + doc.m_bAxisFixed + doc.m_bFitAxesToSims, 0);
  EXPECT_EQ(doc.m_nSims, 0);
  EXPECT_EQ(doc.m_bSlotFree[1], 1);
  EXPECT_EQ(doc.m_nSlotOrder[1], 1);
  EXPECT_EQ(doc.m_nGenSteps, 0);
  EXPECT_EQ(doc.m_genSteps[1].m_nStart, 2);
  EXPECT_EQ(doc.m_genSteps[1].m_nAdditions, 0);
  EXPECT_EQ(doc.m_genSteps[2].m_nStart, 0);
  EXPECT_EQ(doc.m_dXMax, 0.0);
  EXPECT_TRUE(PlotListEntries(doc).empty());
  EXPECT_EQ(doc.m_nPlotNumber[1], 0);

  EXPECT_EQ(doc.m_fTemperature, 310.15f);
  EXPECT_EQ(doc.m_nPlotsListed, 5);
  EXPECT_EQ(doc.m_nFitDlgLastModel, 3);
  EXPECT_EQ(doc.m_nGenVolUnit, 2);
  EXPECT_EQ(doc.m_fit.m_nModel, 4);
  EXPECT_EQ(doc.m_sims[0].m_nModel, 2);
}

TEST(DocumentTitle, FileNameOrUntitledWithAModifiedMarker) {
  EXPECT_EQ(DocumentDisplayName(""), "Untitled");
  EXPECT_EQ(DocumentDisplayName("/home/a/two-sites-chelator.bwd"), "two-sites-chelator.bwd");
  EXPECT_EQ(DocumentDisplayName("one-site.bwd"), "one-site.bwd");
  EXPECT_EQ(DocumentDisplayName("/home/a/"), "Untitled");
  EXPECT_EQ(MainWindowTitle("/x/two-sites-chelator.bwd", false), "two-sites-chelator.bwd \u2014 Bindwise");
  EXPECT_EQ(MainWindowTitle("", true), "*Untitled \u2014 Bindwise");
}

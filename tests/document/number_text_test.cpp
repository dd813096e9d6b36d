// Numbers as typed and pasted: complete numbers in either decimal mark, beginnings of
// numbers a keystroke may make, thousands separators refused, and the grid's red cells.
#include <gtest/gtest.h>

#include "document/cell_check.h"
#include "document/number_text.h"

namespace {

TEST(NumberText, CompleteNumbersInEitherMark) {
  struct Case { const char* text; bool number; double value; };
  const Case cases[] = {
      {"0,61", true, 0.61},   {"3,992", true, 3.992}, {"-1,5e-3", true, -0.0015}, {",5", true, 0.5},
      {"1e-3", true, 0.001},  {" 2.01 ", true, 2.01}, {"5,", true, 5.0},          {"1,234.5", false, 0},
      {"1.234,5", false, 0},  {"1,2,3", false, 0},    {"12abc", false, 0},        {"1e", false, 0},
      {"", false, 0},         {"-", false, 0},        {"1e999", false, 0},        {"e5", false, 0},
  };
  for (const auto& c : cases) {
    double v = -7;
    EXPECT_EQ(parse_cell_number(c.text, &v), c.number) << c.text;
    if (c.number) EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    else EXPECT_EQ(v, -7) << c.text << ": a refused text leaves the value alone";
  }
  double v = 0;
  EXPECT_FALSE(parse_number_text("0,61", DecimalMark::Point, &v));
  EXPECT_TRUE(parse_number_text("0.61", DecimalMark::Comma, &v));
}

TEST(NumberText, PrefixesThatTypingMayExtend) {
  for (const char* yes : {"", "-", "+", ".", "-.", "1", "1.", "1e", "1E-", "1e+5", "-0.61", "1,5e"})
    EXPECT_TRUE(is_number_prefix(yes)) << yes;
  for (const char* no : {"e", "1..", "1.5.", "1-", "--1", "1e5e", "1e.5", "1.5,", "1e-+", "-e", "a"})
    EXPECT_FALSE(is_number_prefix(no)) << no;
}

TEST(NumberText, DecimalCommaBecomesAPointOnlyInNumbers) {
  EXPECT_EQ(with_decimal_point("3,992"), "3.992");
  EXPECT_EQ(with_decimal_point("-1,5E3"), "-1.5E3");
  EXPECT_EQ(with_decimal_point("1.5"), "1.5");
  EXPECT_EQ(with_decimal_point("a,b"), "a,b");
  EXPECT_EQ(with_decimal_point("1,234.5"), "1,234.5");
}

TEST(NumberText, ThousandsSeparatorsAreRecognised) {
  for (const char* yes : {"1,234.5", "1.234,5", "12,345,678", "-1,234.", "1.234.567"})
    EXPECT_TRUE(has_thousands_separator(yes)) << yes;
  // A lone comma or point is a decimal mark; fields of a CSV line are not one number.
  for (const char* no : {"1,234", "1.234", "1234.5", "1,5;2", "12,3456.7"})
    EXPECT_FALSE(has_thousands_separator(no)) << no;
}

TEST(CellCheck, CellsThatAreNotNumbersAreNamed) {
  Titration doc;
  EXPECT_EQ(cells_refusal(doc, "fitting"), "");
  doc.m_cells[0][0].SetText("0,61");  // a comma text from an older file: a number
  doc.m_cells[2][1].SetText("1e");
  doc.m_cells[5][0].SetText("12abc");
  EXPECT_TRUE(doc.m_cells[0][0].IsNumber());
  EXPECT_DOUBLE_EQ(doc.m_cells[0][0].GetValue(), 0.61);
  EXPECT_FALSE(doc.m_cells[5][0].IsNumber());
  const CellPosition first = first_cell_not_a_number(doc);
  EXPECT_EQ(first.row, 2);
  EXPECT_EQ(first.col, 1);
  EXPECT_EQ(cells_refusal(doc, "fitting"),
            "Row 3, Add. Ca/uM: \"1e\" is not a number. Correct or clear the red cell before fitting.");
  EXPECT_EQ(cell_not_a_number_text(doc, {5, 0}), "Row 6, Response: \"12abc\" is not a number");
  EXPECT_EQ(cell_not_a_number_text(doc, {0, 0}), "");
  doc.m_cells[2][1].SetText("1e3");
  doc.m_cells[5][0].SetText("");
  EXPECT_EQ(cells_refusal(doc, "fitting"), "");
}

}  // namespace

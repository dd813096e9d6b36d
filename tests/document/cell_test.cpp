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

// Results-panel rows and Parameters-dialog lines: the printed texts users read and compare.
#include <gtest/gtest.h>

#include "document/titration.h"
#include "commands/display_values.h"

namespace {

const ResultsRow* find_row(const ResultsBlock& b, ResultsTable t, int row) {
  for (const ResultsRow& r : b.rows)
    if (r.table == t && r.row == row) return &r;
  return nullptr;
}

TEST(ResultsBlock, OneSiteFreeEnergyAndLogKAtTheDefaultTemperature) {
  ParamSet fit;
  fit.m_nModel = 1;
  fit.m_nParams = 4;
  fit.m_p[4] = 1.0;  // 10^9 per M
  const ResultsBlock b = results_block(fit, 0.0, 298.15f);
  EXPECT_EQ(b.title, "Model: 1 Calcium site + chelator");
  EXPECT_EQ(find_row(b, ResultsTable::Left, 4)->value, "9.00000");
  EXPECT_EQ(find_row(b, ResultsTable::Right, 0)->value, "-51.3723 kJ/mol");
  EXPECT_TRUE(find_row(b, ResultsTable::Left, 4)->upper.empty()) << "no errors, no confidence entries";
}

TEST(ResultsBlock, TwoSiteEqualConstantsAndConfidenceTexts) {
  ParamSet fit;
  fit.m_nModel = 2;
  fit.m_nParams = 7;
  fit.m_bErrors = 1;
  fit.m_p[5] = fit.m_p[6] = 0.001;
  fit.m_err[5] = 0.0005;  // s = p / 2
  fit.m_p[7] = 25000.0;
  const ResultsBlock b = results_block(fit, 1.5, 298.15f);
  const ResultsRow* dd = find_row(b, ResultsTable::Right, 4);
  ASSERT_NE(dd, nullptr);
  EXPECT_EQ(dd->label, "d(dG)min:");
  EXPECT_EQ(dd->value, " -3.437 kJ/mol");
  EXPECT_TRUE(dd->valueNudgedLeft);
  const ResultsRow* k1 = find_row(b, ResultsTable::Left, 5);
  EXPECT_EQ(k1->upper, "0.176");
  EXPECT_EQ(k1->lower, "-0.301");
  const ResultsRow* k2 = find_row(b, ResultsTable::Left, 6);  // held fixed: error 0
  EXPECT_EQ(k2->upper, "0.000");
  EXPECT_EQ(k2->lower, "0.000");
  EXPECT_EQ(find_row(b, ResultsTable::Left, 1)->upper, "+-0.00000");
  EXPECT_EQ(find_row(b, ResultsTable::Right, 0)->value, "25.0000 uM");
  EXPECT_EQ(find_row(b, ResultsTable::Right, 2)->value, " 1.5000 uM");
}

TEST(ResultsBlock, LowerLimitAtOrBelowZeroAndOddModels) {
  ParamSet fit;
  fit.m_nModel = 7;
  fit.m_nParams = 4;
  fit.m_bErrors = 1;
  fit.m_p[4] = 0.001;
  fit.m_err[4] = 0.002;  // error larger than the constant
  const ResultsBlock b = results_block(fit, 0.0, 298.15f);
  EXPECT_EQ(find_row(b, ResultsTable::Left, 4)->label, "log K:");
  EXPECT_EQ(find_row(b, ResultsTable::Left, 4)->lower, "-inf");
  EXPECT_EQ(find_row(b, ResultsTable::Left, 4)->upper, "0.47712");  // model 7 uses %7.5f

  fit.m_nModel = 10;
  EXPECT_NE(results_block(fit, 0, 298.15f).rows.back().value.find("KJ/mol"), std::string::npos);
  fit.m_nModel = 0;
  EXPECT_TRUE(results_block(fit, 0, 298.15f).empty());
  fit.m_nModel = 11;
  EXPECT_TRUE(results_block(fit, 0, 298.15f).empty());
}

TEST(ParameterLines, LineCountsLabelsAndStartCa) {
  // Lines per model including the start Ca line; model 5 shows its own nine slots.
  const int expected[] = {0, 5, 8, 7, 10, 10, 12, 5, 6, 8, 10};
  for (int model = 1; model <= 10; ++model) {
    ParamSet sim;
    sim.m_nModel = model;
    sim.m_dStartCa = 2.5;
    for (int k = 1; k < ParamSet::kSlots; ++k) sim.m_p[k] = 0.001;
    const ParameterLines l = simulation_parameter_lines(sim);
    ASSERT_EQ(static_cast<int>(l.lines.size()), expected[model]) << "model " << model;
    EXPECT_EQ(l.lines.back(), "Ca0:  2.50000 uM") << "model " << model;
  }
  ParamSet one;
  one.m_nModel = 1;
  one.m_p[3] = 10000.0;
  one.m_p[4] = 0.001;
  const ParameterLines l = simulation_parameter_lines(one);
  EXPECT_EQ(l.title, "One Ca site");
  EXPECT_EQ(l.lines[2], "Protein concentration:  10.00000 uM");
  EXPECT_EQ(l.lines[3], "log K:  6.00000");
  ParamSet electrode = one;
  electrode.m_nModel = 7;  // an association constant, shown as log K like model 1
  EXPECT_EQ(simulation_parameter_lines(electrode).lines[3], "log K:  6.00000");
  ParamSet chelator;
  chelator.m_nModel = 2;
  chelator.m_p[4] = 100.0;  // 100 nM
  EXPECT_EQ(simulation_parameter_lines(chelator).lines[3], "log Kd:  -7.00000");
}

}  // namespace

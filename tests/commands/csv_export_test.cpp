// CSV exports: a header naming each column with its unit, LF line ends, and the same numbers
// as the classic exports; the file name the save dialog suggests; exports refused while a
// cell is not a number.
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/simulate_command.h"
#include "outputview/ascii_export.h"

namespace {

std::vector<std::vector<double>> numbers_of(const std::string& text, const std::string& separators) {
  std::vector<std::vector<double>> rows;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line, separators.back() == '\r' ? '\r' : '\n')) {
    std::vector<double> row;
    std::string field;
    for (char c : line + separators[0]) {
      if (separators.find(c) != std::string::npos) {
        if (!field.empty() && field != " ") row.push_back(std::stod(field));
        field.clear();
      } else {
        field += c;
      }
    }
    rows.push_back(row);
  }
  return rows;
}

Titration fitted_document() {
  Titration doc;
  const char* rows[3][3] = {{"1", "0", "2.000"}, {"1.5", "24.94", "2.005"}, {"2", "199", "2.02"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) doc.m_cells[r][c].SetText(rows[r][c]);
  doc.m_dStartCa = 1.0;
  doc.m_bShowFit = 1;
  doc.m_fit.m_nModel = 1;
  doc.m_fit.m_nParams = 4;
  doc.m_fit.m_dStartCa = 1.0;
  doc.m_fit.m_p[1] = 1; doc.m_fit.m_p[2] = 2; doc.m_fit.m_p[3] = 1e4; doc.m_fit.m_p[4] = 1e-3;
  SimulateSettings s;
  s.m_dValue[1] = 1; s.m_dValue[2] = 2; s.m_dValue[3] = 10; s.m_dValue[4] = 6;
  run_simulate_command(doc, s, nullptr);
  return doc;
}

TEST(CsvExport, HeaderLineEndsAndTheClassicNumbers) {
  const Titration doc = fitted_document();
  struct Case { ExportKind kind; const char* header; const char* classicSeparators; };
  const Case cases[] = {
      {ExportKind::Points, "Total Ca/uM,Response,Volume/ml", "\t\r"},
      {ExportKind::Fit, "Total Ca/uM,Fitted response", " \t\r"},
      {ExportKind::Simulation, "Total Ca/uM,Simulated response", " \n"},
      {ExportKind::Saturation, "Free Ca/uM,Fraction bound", " \t\n"},
      {ExportKind::SimulationSaturation, "Free Ca/uM,Fraction bound", " \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(export_kind_info(c.kind).name);
    const std::string csv = export_csv_text(doc, c.kind, 40, 1);
    const std::string classic = export_text(doc, c.kind, 40, 1);
    ASSERT_EQ(csv.substr(0, csv.find('\n')), c.header);
    EXPECT_EQ(csv.find('\r'), std::string::npos);
    EXPECT_EQ(csv.back(), '\n');
    const auto csvRows = numbers_of(csv.substr(csv.find('\n') + 1), ",\n");
    const auto classicRows = numbers_of(classic, c.classicSeparators);
    ASSERT_EQ(csvRows.size(), classicRows.size());
    ASSERT_EQ(csvRows.size(), c.kind == ExportKind::Points ? 3u : 40u);
    for (std::size_t r = 0; r < csvRows.size(); ++r) {
      ASSERT_EQ(csvRows[r].size(), classicRows[r].size()) << r;
      for (std::size_t i = 0; i < csvRows[r].size(); ++i)
        EXPECT_EQ(c_printf("%7.6f", csvRows[r][i]), c_printf("%7.6f", classicRows[r][i])) << r << "," << i;
    }
  }
}

// Residuals keep every digit in both forms: they are often far below the 6 decimals the
// curve exports round to.
TEST(CsvExport, ResidualsOfEveryPointInBothForms) {
  Titration doc = fitted_document();
  const std::string csv = export_csv_text(doc, ExportKind::Residuals, 40, 0);
  const std::string classic = export_text(doc, ExportKind::Residuals, 40, 0);
  ASSERT_EQ(csv.substr(0, csv.find('\n')), "Total Ca/uM,Residual");
  ASSERT_EQ(classic.substr(0, classic.find('\n')), "Total Ca/uM\tResidual");
  const auto csvRows = numbers_of(csv.substr(csv.find('\n') + 1), ",\n");
  const auto classicRows = numbers_of(classic.substr(classic.find('\n') + 1), "\t\n");
  ASSERT_EQ(csvRows.size(), 3u);
  ASSERT_EQ(classicRows.size(), 3u);
  for (std::size_t r = 0; r < 3; ++r) {
    EXPECT_NEAR(csvRows[r][0], classicRows[r][0], 1e-5 * std::fabs(csvRows[r][0]));
    EXPECT_NEAR(csvRows[r][1], classicRows[r][1], 1e-5 * std::fabs(csvRows[r][1]));
  }
  EXPECT_DOUBLE_EQ(csvRows[2][0], 1.0 + 199.0);  // start Ca + added, as the graph plots it
  EXPECT_FALSE(export_needs_count(ExportKind::Residuals));
  doc.m_bShowFit = 0;
  EXPECT_EQ(export_precondition(doc, ExportKind::Residuals, 0), kNoFitMessage);
  EXPECT_EQ(export_csv_text(doc, ExportKind::Residuals, 40, 0), "");
  EXPECT_EQ(export_text(doc, ExportKind::Residuals, 40, 0), "");
}

TEST(CsvExport, RefusedLikeTheClassicExportsAndWhileACellIsNotANumber) {
  Titration doc = fitted_document();
  doc.m_cells[1][2].SetText("2.0x");
  const std::string refusal = export_precondition(doc, ExportKind::Points, 0);
  EXPECT_EQ(refusal, "Row 2, Volume: \"2.0x\" is not a number. Correct or clear the red cell before exporting.");
  EXPECT_EQ(export_csv_text(doc, ExportKind::Points, 0, 0), "");
  EXPECT_EQ(export_text(doc, ExportKind::Points, 0, 0), "");
  doc.m_cells[1][2].SetText("2.005");
  doc.m_bShowFit = 0;
  EXPECT_EQ(export_csv_text(doc, ExportKind::Fit, 40, 0), "");
}

TEST(CsvExport, SuggestedFileNamesAndKindNames) {
  const ExportFileSuggestion s = suggest_export_file("/data/runs/two-sites-chelator.bwd", ExportKind::Fit, true);
  EXPECT_EQ(s.folder, "/data/runs");
  EXPECT_EQ(s.name, "two-sites-chelator-fit.csv");
  EXPECT_EQ(suggest_export_file("", ExportKind::Points, false).name, "untitled-points.txt");
  EXPECT_EQ(suggest_export_file("", ExportKind::Points, false).folder, "");
  EXPECT_EQ(suggest_export_file("/a.b/run", ExportKind::SimulationSaturation, true).name,
            "run-simulation-saturation.csv");
  EXPECT_EQ(suggest_export_file("/top.bwd", ExportKind::Saturation, true).folder, "/");
  for (const ExportKindInfo& info : export_kinds()) EXPECT_EQ(find_export_kind(info.name), &info);
  EXPECT_EQ(find_export_kind("residual"), nullptr);
}

}  // namespace

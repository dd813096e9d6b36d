// Generate Data runs and the ASCII export files, byte for byte.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/simulate_command.h"
#include "outputview/ascii_export.h"
#include "outputview/generate_data.h"
#include "support/scratch_dir.h"

namespace {

std::string add_ca(const Titration& doc, int cell) { return doc.m_cells[cell - 1][1].Text(); }
std::string volume(const Titration& doc, int cell) { return doc.m_cells[cell - 1][2].Text(); }

GenerateRequest run(int start, int additions) {
  GenerateRequest r;
  r.m_dVolStart = 2.0;
  r.m_nVolUnit = 1;   // ul
  r.m_nConcUnit = 0;  // mM
  r.m_nStartCell = start;
  r.m_nAdditionCount = additions;
  r.m_dVolAdded = 5.0;
  r.m_dConcAdded = 10.0;
  return r;
}

TEST(GenerateData, FirstRunSecondRunAndCut) {
  Titration doc;
  std::vector<std::string> lines;
  ASSERT_TRUE(take_generate_request(doc, run(2, 10), lines).generated);
  EXPECT_EQ(add_ca(doc, 1), "0.000000");
  EXPECT_EQ(volume(doc, 1), "2.000000");
  EXPECT_EQ(add_ca(doc, 2), "24.937656");
  EXPECT_EQ(volume(doc, 2), "2.005000");
  EXPECT_EQ(volume(doc, 11), "2.050000");
  EXPECT_EQ(lines, std::vector<std::string>{" 2  | 10  |   5.00  |   10.00 "});
  EXPECT_TRUE(doc.IsModifiedCore());

  ASSERT_TRUE(take_generate_request(doc, run(12, 3), lines).generated);
  EXPECT_EQ(lines.size(), 2u);
  EXPECT_EQ(volume(doc, 12), "2.055000") << "continues from row 11";

  // A run from cell 8 cuts the first entry to 6 additions and drops the second.
  ASSERT_TRUE(take_generate_request(doc, run(8, 2), lines).generated);
  EXPECT_EQ(lines, (std::vector<std::string>{" 2  | 6  |   5.00  |   10.00 ", " 8  | 2  |   5.00  |   10.00 "}));
  EXPECT_EQ(doc.m_nGenSteps, 2);
  EXPECT_EQ(volume(doc, 8), "2.035000");
  EXPECT_EQ(volume(doc, 10), "") << "rows of the old plan after the new run are cleared";
  EXPECT_EQ(add_ca(doc, 14), "");
}

TEST(GenerateData, GapFillRefusalsAndCancel) {
  Titration doc;
  std::vector<std::string> lines;
  ASSERT_TRUE(take_generate_request(doc, run(5, 2), lines).generated);
  EXPECT_EQ(volume(doc, 3), "0.000000") << "rows 2-4 take row 2's (empty) values";
  EXPECT_EQ(volume(doc, 5), "0.005000");

  Titration fresh;
  lines.clear();
  GenerateOutcome out = take_generate_request(fresh, run(90, 8), lines);
  EXPECT_FALSE(out.generated);
  EXPECT_EQ(out.message, kGenTooManyCells);
  EXPECT_EQ(add_ca(fresh, 1), "");
  EXPECT_EQ(take_generate_request(fresh, run(1, 3), lines).message, kGenStartCellTooLow);
  EXPECT_EQ(add_ca(fresh, 1), "");

  // Runs of no additions at the same cell pile up as entries; the 101st is refused.
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(take_generate_request(fresh, run(2, 0), lines).generated);
  EXPECT_EQ(fresh.m_nGenSteps, 100);
  EXPECT_EQ(take_generate_request(fresh, run(2, 0), lines).message, kGenTooManyAdditions);
  EXPECT_EQ(fresh.m_nGenSteps, 100);

  Titration typed;
  lines.clear();
  ASSERT_TRUE(take_generate_request(typed, run(2, 2), lines).generated);
  typed.m_cells[1][1].SetText("5");
  cancel_generate(typed);
  EXPECT_EQ(add_ca(typed, 2), "5.000000");
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(GenerateData, APlanFromAnywhereNeverRunsPastTheGrid) {
  // Plans no file passes the reader with, as a caller could still set them in memory: the
  // sums would overflow int and the clearing loop would run for ever.
  const GenStep wild[] = {{2147483600, 2147483600, 1, 1, 0, 0}, {-2147483600, -2147483600, 1, 1, 0, 0},
                          {3, 2147483645, 1, 1, 0, 0}};  // last cell INT_MAX
  for (const GenStep& step : wild) {
    Titration doc;
    doc.m_nGenSteps = 1;
    doc.m_genSteps[1] = step;
    std::vector<std::string> lines;
    ASSERT_TRUE(take_generate_request(doc, run(5, 3), lines).generated);
    const GenStep& added = doc.m_genSteps[doc.m_nGenSteps];
    EXPECT_EQ(added.m_nStart, 5);
    EXPECT_EQ(added.m_nAdditions, 3);
    EXPECT_NE(volume(doc, 7), "");
    EXPECT_EQ(volume(doc, 8), "");
    cancel_generate(doc);
  }
  Titration doc;
  doc.m_nGenSteps = 5000;  // past the plan's 100 entries
  std::vector<std::string> lines;
  EXPECT_FALSE(take_generate_request(doc, run(5, 3), lines).generated);
  EXPECT_EQ(take_generate_request(doc, run(5, -2), lines).message, "Please enter an integer between 0 and 96.");
}

TEST(AsciiExport, PointsWorkedExampleAndGaps) {
  Titration doc;
  EXPECT_EQ(export_precondition(doc, ExportKind::Points, 0), kNoGridDataMessage);
  const char* rows[3][3] = {{"1", "0", "2.000"}, {"1.5", "24.94", "2.005"}, {"2", "49.75", "2.010"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) doc.m_cells[r][c].SetText(rows[r][c]);
  doc.m_dStartCa = 1.0;
  const std::string text = export_text(doc, ExportKind::Points, 0, 0);
  EXPECT_EQ(text,
            "1.000000\t1.000000\t2.000000\r"
            "25.937506\t1.500000\t2.005000\r"
            "50.745025\t2.000000\t2.010000\r");

  // A gap is exported as a row of its own and the last row (99) is not lost.
  doc.m_cells[98][0].SetText("3");
  doc.m_cells[98][2].SetText("2.5");
  EXPECT_EQ(export_row_count(doc), 99);
  const std::string gapped = export_text(doc, ExportKind::Points, 0, 0);
  EXPECT_EQ(std::count(gapped.begin(), gapped.end(), '\r'), 99);
  // A row without a volume keeps the start Ca undiluted instead of dividing by 0.
  EXPECT_NE(gapped.find("\r1.000000\t0.000000\t0.000000\r"), std::string::npos);

  const ScratchDir scratch("bw_export");
  const std::string path = scratch / "points.txt";
  ASSERT_TRUE(write_export_file(path, text, nullptr));
  EXPECT_EQ(read_file(path), text);
  std::string error;
  EXPECT_FALSE(write_export_file("/nonexistent-dir/x.txt", text, &error));
  EXPECT_NE(error.find("/nonexistent-dir/x.txt"), std::string::npos);
}

TEST(AsciiExport, CurveFormatsCountsAndSelectedSimulation) {
  EXPECT_FALSE(export_count_valid(19));
  EXPECT_TRUE(export_count_valid(20));
  EXPECT_TRUE(export_count_valid(500));
  EXPECT_FALSE(export_count_valid(501));

  Titration doc;
  doc.m_cells[0][0].SetText("1");
  doc.m_cells[0][2].SetText("2");
  doc.m_cells[4][1].SetText("199");
  doc.m_cells[4][2].SetText("2.02");
  EXPECT_EQ(export_precondition(doc, ExportKind::Fit, 0), kNoFitMessage);
  doc.m_bShowFit = 1;
  doc.m_fit.m_nModel = 1;
  doc.m_fit.m_nParams = 4;
  doc.m_fit.m_dStartCa = 1.0;
  doc.m_fit.m_p[1] = 1; doc.m_fit.m_p[2] = 2; doc.m_fit.m_p[3] = 1e4; doc.m_fit.m_p[4] = 1e-3;
  const std::string fit = export_text(doc, ExportKind::Fit, 100, 0);
  EXPECT_EQ(fit.substr(0, 9), "2.000000 ");
  EXPECT_EQ(fit[9], '\t');
  EXPECT_EQ(std::count(fit.begin(), fit.end(), '\r'), 100);
  EXPECT_EQ(fit.find('\n'), std::string::npos);
  EXPECT_NE(fit.find("\r200.000000 \t"), std::string::npos);
  const std::string sat = export_text(doc, ExportKind::Saturation, 20, 0);
  EXPECT_EQ(std::count(sat.begin(), sat.end(), '\n'), 20);
  EXPECT_NE(sat.find(" \t"), std::string::npos);

  EXPECT_EQ(export_precondition(doc, ExportKind::Simulation, 1), kNoSimsMessage);
  SimulateSettings s;
  s.m_dValue[1] = 1; s.m_dValue[2] = 2; s.m_dValue[3] = 10; s.m_dValue[4] = 6;
  run_simulate_command(doc, s, nullptr);
  s.m_dValue[2] = 5;
  run_simulate_command(doc, s, nullptr);
  delete_plot_at(doc, 1);
  EXPECT_EQ(export_precondition(doc, ExportKind::Simulation, 2), kNoSimSelectedMessage);
  const std::string sim = export_text(doc, ExportKind::Simulation, 20, 1);
  EXPECT_EQ(std::count(sim.begin(), sim.end(), '\n'), 20);
  EXPECT_EQ(sim.find('\t'), std::string::npos);
  // The last point lies at the last row's total Ca and shows slot 2's response (towards 5).
  const std::string last = sim.substr(sim.rfind('\n', sim.size() - 2) + 1);
  EXPECT_EQ(last.substr(0, 11), "199.000000 ");
  EXPECT_GT(std::stod(last.substr(11)), 4.0);
}

}  // namespace

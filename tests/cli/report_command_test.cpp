// bindwise-cli report: a one-page PDF, a PNG of the paper's size at the asked resolution
// with ink in the graph and in the results list, and clean failures that write nothing.
#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "commands/model_comparison.h"
#include "document/bwd_file.h"
#include "document/titration.h"
#include "graphview/report_painter.h"
#include "support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
  int status;
  std::string err;
};

CliRun RunCli(std::vector<std::string> args) {
  args.insert(args.begin(), "bindwise-cli");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int status = run_cli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, err.str()};
}

class ReportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    auto doc = std::make_unique<Titration>();
    for (int r = 0; r < 12; ++r) {
      doc->m_cells[r][0].SetText(std::to_string(0.5 + 0.04 * r));
      doc->m_cells[r][1].SetText(std::to_string(20.0 * r));
      doc->m_cells[r][2].SetText("2");
    }
    doc->m_bShowFit = 1;
    doc->m_fit.m_nModel = 1;
    doc->m_fit.m_nParams = 4;
    doc->m_fit.m_bErrors = 1;
    const double p[] = {0.002, 0.5, 0.95, 10000.0, 0.01};
    for (int i = 0; i <= 4; ++i) {
      doc->m_fit.m_p[i] = p[i];
      doc->m_fit.m_err[i] = p[i] / 20;
    }
    doc->m_strDescription = "Calbindin D9k, 10 uM, 2 mM Tris pH 7.5, 25 C";
    document = (dir / "titration.bwd").string();
    ASSERT_TRUE(SaveBwdFile(document, *doc).ok);
  }

  ScratchDir scratch{"bw-report"};
  const fs::path dir = scratch.path();
  std::string document;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int CountPageObjects(const std::string& pdf) {
  int pages = 0;
  for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
    if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
  return pages;
}

// Share of pixels inside rect that are not paper white.
double InkShare(cairo_surface_t* image, const CanvasRect& rect) {
  const unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  long ink = 0, all = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x, ++all)
      if ((reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] & 0xFFFFFF) != 0xFFFFFF) ++ink;
  return all ? double(ink) / all : 0.0;
}

}  // namespace

TEST_F(ReportCommand, WritesOnePagePdfOfTheExample) {
  const fs::path out = dir / "report.pdf";
  CliRun run = RunCli({"report", BINDWISE_SOURCE_DIR "/examples/two-sites-chelator.bwd", "--pdf", out.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string pdf = ReadAll(out);
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
  EXPECT_EQ(CountPageObjects(pdf), 1);
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 595."), std::string::npos) << "A4 in points";
}

TEST_F(ReportCommand, PngHasPaperSizeAndInkWhereTheReportDrawsIt) {
  struct Case {
    std::vector<std::string> extra;
    int width, height, dpi;
  };
  const Case cases[] = {
      {{}, 1240, 1754, 150},                      // A4 at the default resolution
      {{"--letter", "--dpi", "100"}, 850, 1100, 100},
  };
  for (const auto& c : cases) {
    const fs::path out = dir / "report.png";
    std::vector<std::string> args = {"report", document, "--png", out.string()};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    CliRun run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    cairo_surface_t* image = cairo_image_surface_create_from_png(out.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(image), c.width);
    EXPECT_EQ(cairo_image_surface_get_height(image), c.height);

    // Inside the plot frame (the frame itself left out) the points and the fit curve; in the
    // results list's name and first rows the dark-blue text; the margin beside the graph
    // stays paper (model 1's lower log K error may run past the list's frame, as designed).
    const ReportMetrics m = ReportMetricsFor(c.width, c.height);
    const int edge = m.tickLength + 2;
    const CanvasRect plotInside{m.plot.left + edge, m.plot.top + edge, m.plot.right - edge, m.plot.bottom - edge};
    const CanvasRect resultsRows{m.M + 3, m.RT + 3, m.X40 - 3, m.RT + 4 * m.RH - 3};
    const CanvasRect rightMargin{m.H - m.M + 3, m.M, m.H, m.RT};
    EXPECT_GT(InkShare(image, plotInside), 0.001) << c.dpi;
    EXPECT_GT(InkShare(image, resultsRows), 0.02) << c.dpi;
    EXPECT_EQ(InkShare(image, rightMargin), 0.0) << c.dpi;
    cairo_surface_destroy(image);
  }
}

TEST_F(ReportCommand, FailuresExplainAndKeepExistingFiles) {
  const std::string out = (dir / "report.pdf").string(), png = (dir / "r.png").string();
  // Usage: exactly one output, a sane resolution.
  EXPECT_EQ(RunCli({"report", document, "--pdf", out, "--png", png}).status, 2);
  EXPECT_EQ(RunCli({"report", document}).status, 2);
  EXPECT_EQ(RunCli({"report", document, "--png", png, "--dpi", "5000"}).status, 2);

  // Failures name the file. An existing report survives a missing or damaged document and
  // a target that cannot be replaced; no partial file is left behind.
  { std::ofstream(out) << "old"; }
  { std::ofstream(dir / "damaged.bwd", std::ios::binary) << ReadAll(document).substr(0, 40); }
  fs::create_directories(dir / "taken.png" / "inside");
  const std::vector<std::vector<std::string>> failing = {
      {"report", (dir / "absent.bwd").string(), "--pdf", out},
      {"report", (dir / "damaged.bwd").string(), "--pdf", out},
      {"report", document, "--png", (dir / "taken.png").string()},
      {"report", document, "--pdf", (dir / "no" / "such.pdf").string()},
  };
  for (const auto& args : failing) {
    CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1) << args[1];
    const std::string named = fs::path(args[1] == document ? args[3] : args[1]).filename();
    EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadAll(out), "old");
  EXPECT_TRUE(fs::is_directory(dir / "taken.png" / "inside"));
  for (const auto& entry : fs::directory_iterator(dir))
    EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
}

TEST_F(ReportCommand, CompareAddsTheTableOrSaysWhyNot) {
  // The rows of the table's second candidate (model 3), and the notes of the candidates'
  // warnings under the table, are paper without --compare.
  const fs::path plain = dir / "plain.png", table = dir / "table.png";
  ASSERT_EQ(RunCli({"report", document, "--png", plain.string()}).status, 0);
  CliRun run = RunCli({"report", document, "--png", table.string(), "--compare"});
  ASSERT_EQ(run.status, 0) << run.err;
  const ReportMetrics m = ReportMetricsFor(1240, 1754);
  Titration doc;
  ASSERT_TRUE(LoadBwdFile(document, doc).ok);
  const ReportComparison expected = ReportComparisonTable(compare_models(doc, {}));
  const ReportComparisonBoxes boxes = ReportComparisonLayout(m, static_cast<int>(expected.rows.size()), !expected.notes.empty());
  const CanvasRect secondCandidate{m.M + 3, boxes.table.top + 2 * m.RH + 3, m.H - m.M - 3, boxes.table.top + 3 * m.RH - 3};
  ASSERT_FALSE(expected.notes.empty()) << "two sites on these points are not all determined";
  const CanvasRect firstNote{boxes.notes.left, boxes.notes.top, boxes.notes.right, boxes.notes.top + m.RH / 2};
  for (const auto& [path, inked] : {std::pair{plain, false}, std::pair{table, true}}) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(InkShare(image, secondCandidate) > 0.01, inked) << path;
    EXPECT_EQ(InkShare(image, firstNote) > 0.002, inked) << path;
    cairo_surface_destroy(image);
  }

  const fs::path refused = dir / "refused.png";
  CliRun unfitted = RunCli({"report", BINDWISE_SOURCE_DIR "/examples/two-sites-chelator.bwd", "--png", refused.string(), "--compare"});
  EXPECT_EQ(unfitted.status, 1);
  EXPECT_NE(unfitted.err.find("two-sites-chelator.bwd: The document holds no fit"), std::string::npos) << unfitted.err;
  EXPECT_FALSE(fs::exists(refused));
}

// bindwise-cli report: a one-page PDF, a PNG of the paper's size at the asked resolution
// with ink in the graph and in the results list, and clean failures that write nothing.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/bwd_file.h"
#include "document/titration.h"
#include "graphview/report_painter.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
  int status;
  std::string out, err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the installed-form program, as a lab's script would.
CliRun RunCli(const std::vector<std::string>& args, const fs::path& errFile) {
  std::string command = Quote(BINDWISE_CLI_PATH);
  for (const auto& a : args) command += " " + Quote(a);
  command += " >/dev/null 2>" + Quote(errFile.string());
  const int raw = std::system(command.c_str());
  std::ifstream in(errFile);
  std::string err{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, "", err};
}

class ReportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("bw-report-" + std::to_string(getpid()));
    fs::create_directories(dir);
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
  void TearDown() override { fs::remove_all(dir); }
  CliRun Cli(const std::vector<std::string>& args) { return RunCli(args, dir / "stderr.txt"); }

  fs::path dir;
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

TEST_F(ReportCommand, WritesOnePagePdf) {
  const fs::path out = dir / "report.pdf";
  CliRun run = Cli({"report", document, "--pdf", out.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string pdf = ReadAll(out);
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
  EXPECT_EQ(CountPageObjects(pdf), 1);
  // A4 in points.
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 595."), std::string::npos) << pdf.substr(0, 2000);
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
    CliRun run = Cli(args);
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

TEST_F(ReportCommand, FailuresExplainAndWriteNothing) {
  const fs::path out = dir / "report.pdf";
  CliRun missing = Cli({"report", (dir / "absent.bwd").string(), "--pdf", out.string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("absent.bwd"), std::string::npos) << missing.err;

  CliRun both = Cli({"report", document, "--pdf", out.string(), "--png", (dir / "r.png").string()});
  EXPECT_EQ(both.status, 2);
  CliRun neither = Cli({"report", document});
  EXPECT_EQ(neither.status, 2);
  CliRun tooFine = Cli({"report", document, "--png", (dir / "r.png").string(), "--dpi", "5000"});
  EXPECT_EQ(tooFine.status, 2);

  CliRun noFolder = Cli({"report", document, "--pdf", (dir / "no" / "such" / "r.pdf").string()});
  EXPECT_EQ(noFolder.status, 1);
  EXPECT_NE(noFolder.err.find("r.pdf"), std::string::npos) << noFolder.err;

  // An existing report survives a failed run untouched: a damaged document, or a target
  // that cannot be replaced (a folder of that name). No partial file is left behind.
  {
    std::ofstream keep(out);
    keep << "old";
    std::ofstream damaged(dir / "damaged.bwd", std::ios::binary);
    damaged << std::string(ReadAll(document), 0, 40);
  }
  EXPECT_EQ(Cli({"report", (dir / "damaged.bwd").string(), "--pdf", out.string()}).status, 1);
  EXPECT_EQ(ReadAll(out), "old");
  fs::create_directories(dir / "taken.png" / "inside");
  CliRun taken = Cli({"report", document, "--png", (dir / "taken.png").string()});
  EXPECT_EQ(taken.status, 1);
  EXPECT_NE(taken.err.find("taken.png"), std::string::npos) << taken.err;
  EXPECT_TRUE(fs::is_directory(dir / "taken.png" / "inside"));
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir)) entries += e.path().filename().string().find(".part") != std::string::npos;
  EXPECT_EQ(entries, 0);
}

// bindwise-cli report: the printed report of a document as a PDF page or a PNG image,
// rendered without a display, for a lab notebook or a batch of experiments.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "cli/cairo_canvas.h"
#include "cli/cli_command.h"
#include "cli/command_support.h"
#include "commands/model_comparison.h"
#include "document/bwd_file.h"
#include "document/titration.h"
#include "graphview/graph_scale.h"
#include "graphview/report_painter.h"

namespace {

// A PDF is drawn on a virtual 600 dpi page, as a laser printer would report it; the figure
// only sets how finely positions are rounded. PNG images default to a screen-friendly 150.
constexpr int kPdfDpi = 600;
constexpr int kPngDpi = 150;

struct ReportArgs {
  std::string file, pdf, png;
  int dpi = 0;
  bool letter = false;
  bool compare = false;
};

// The name the window shows for an opened document: the file name without its folder.
std::string DocumentName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int RunReport(const ReportArgs& args) {
  auto doc = std::make_unique<Titration>();
  const BwdStatus loaded = LoadBwdFile(args.file, *doc);
  if (!loaded.ok) throw CliFailure{loaded.message};
  std::optional<ReportComparison> table;
  if (args.compare) {
    try {
      table = ReportComparisonTable(compare_models(*doc, {}));
    } catch (const std::invalid_argument& e) {
      throw CliFailure{DocumentName(args.file) + ": " + e.what()};
    }
  }
  auto graph = std::make_unique<GraphState>();
  const std::string name = DocumentName(args.file);
  const ReportDate today = ReportDateToday();
  const PagePainter paint = [&](Canvas& canvas, CanvasSize page, int dpi) {
    PaintReport(canvas, *doc, *graph, name, {page.cx, page.cy, dpi}, today, table ? &*table : nullptr);
  };
  const PaperSize paper = args.letter ? kPaperLetter : kPaperA4;
  const bool pdf = !args.pdf.empty();
  const int dpi = args.dpi > 0 ? args.dpi : (pdf ? kPdfDpi : kPngDpi);
  const std::string error = pdf ? RenderPdfPage(args.pdf, paper, dpi, paint)
                                : RenderPngPage(args.png, paper, dpi, paint);
  if (!error.empty()) throw CliFailure{error};
  return 0;
}

void SetupReport(CLI::App& app, CliIo&, CliRunner& runner) {
  auto args = std::make_shared<ReportArgs>();
  CLI::App* sub = app.add_subcommand(
      "report", "Render the one-page printed report (graph, results, description) as PDF or PNG");
  sub->add_option("FILE", args->file, "document to read (.bwd)")->required();
  auto* pdf = sub->add_option("--pdf", args->pdf, "write the page as a PDF file");
  auto* png = sub->add_option("--png", args->png, "write the page as a PNG image");
  pdf->excludes(png);
  add_integer_option(sub, "--dpi", args->dpi, "resolution in pixels per inch, 30..600 (PNG 150, PDF 600 by default)",
                     30, 600);
  sub->add_flag("--letter", args->letter, "US Letter paper instead of A4");
  sub->add_flag("--compare", args->compare,
                "add the table of every model of the fit's kind fitted to the same points (AICc, BIC, Akaike weights)");
  sub->callback([args, sub, &runner] {
    if (sub->count("--pdf") + sub->count("--png") != 1)
      throw CLI::RequiredError("one of --pdf OUT.pdf or --png OUT.png");
    runner = [args] { return RunReport(*args); };
  });
}

const CliRegistration kReport(80, SetupReport);

}  // namespace

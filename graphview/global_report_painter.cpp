#include "graphview/global_report_painter.h"

#include <algorithm>
#include <span>

#include "commands/display_values.h"
#include "commands/fit_command.h"
#include "commands/identifiability.h"
#include "document/c_text.h"
#include "fitting/model_registry.h"
#include "graphview/comparison_painter.h"
#include "graphview/global_fit_plot.h"
#include "graphview/graph_painter.h"

namespace {

constexpr Rgb kBlack{0, 0, 0};
const CanvasBrush kWhiteBrush{false, {255, 255, 255}};
// Column widths in percent of the page's width between the margins.
constexpr int kSharedColumns[] = {50, 25, 25};
// With profile intervals: the interval column takes the room "5.93 (5.88–5.98)" needs.
constexpr int kSharedProfileColumns[] = {34, 16, 16, 34};
constexpr int kTitrationColumns[] = {46, 14, 14, 26};
constexpr int kLargestTablePoints = 10, kSmallestTablePoints = 6;

bool IsShared(const GlobalFitResult& r, int row) {
  return std::any_of(r.shared.begin(), r.shared.end(), [row](const GlobalSharedRow& s) { return s.row == row; });
}

std::string OwnRowsText(const GlobalFitResult& r, const GlobalTitrationPart& part) {
  std::string text;
  for (int row = 1; row <= kValueRows; ++row) {
    const std::optional<DialogRow> dialogRow = fit_dialog_row(r.model, row);
    if (!dialogRow || IsShared(r, row)) continue;
    const bool fitted = row <= part.job.ma && part.job.flags[row] != 0;
    if (!text.empty()) text += "; ";
    text += std::string(dialogRow->reportLabel) + " " + format_c("%.4g", part.values[row]);
    if (!fitted)
      text += " (fixed)";
    else if (r.haveErrors)
      text += " +- " + format_c("%.2g", part.errors[row]);
    if (fitted && part.intervals[row]) text += ", 68 %: " + interval_text(r.model, *part.intervals[row]);
  }
  return text;
}

// Rows as many as the font at `points` needs; the own rows wrapped to the table's width.
void FitFont(Canvas& canvas, const GlobalReportTexts& texts, const ReportPage& page, int points, GlobalReportLayout& l) {
  l.tableFont = {"Courier New", (page.logPixelsY * points) / 72, 700, false, 0};
  l.rowHeight = std::max(1, l.tableFont.height * 3 / 2);
  canvas.SetFont(l.tableFont);
  const int inset = l.rowHeight / 3;
  l.ownLines.clear();
  for (const std::string& own : texts.ownRows) l.ownLines.push_back(WrapText(canvas, own, l.body.Width() - 3 * inset));
  l.summaryLines = WrapText(canvas, texts.summary, l.body.Width());
}

void DrawCell(Canvas& canvas, const std::string& text, int left, int top, int right, int bottom, int inset) {
  canvas.DrawText(text, {left + inset, top, right, bottom}, kAlignLeft | kAlignVCenter | kSingleLine);
}

// A ruled row of cells across the body; the widths are shares of the body's width.
void DrawTableRow(Canvas& canvas, const std::vector<std::string>& cells, std::span<const int> shares,
                  const CanvasRect& body, int top, int height, int inset) {
  int start = 0;
  for (std::size_t c = 0; c < cells.size() && c < shares.size(); start += shares[c], ++c) {
    const int left = body.left + body.Width() * start / 100;
    const int right = body.left + body.Width() * (start + shares[c]) / 100;
    if (c > 0) canvas.DrawLine(left, top, left, top + height);
    DrawCell(canvas, cells[c], left, top, right, top + height, inset);
  }
}

int DrawSharedTable(Canvas& canvas, const GlobalReportTexts& texts, const GlobalReportLayout& l, int top) {
  const int rows = static_cast<int>(texts.shared.size()), inset = l.rowHeight / 3;
  canvas.DrawRectangle({l.body.left, top, l.body.right, top + rows * l.rowHeight});
  for (int r = 0; r < rows; ++r) {
    const int y = top + r * l.rowHeight;
    if (r > 0) canvas.DrawLine(l.body.left, y, l.body.right, y);
    const std::vector<std::string>& cells = texts.shared[static_cast<std::size_t>(r)];
    DrawTableRow(canvas, cells, cells.size() > 3 ? std::span<const int>(kSharedProfileColumns) : std::span<const int>(kSharedColumns),
                 l.body, y, l.rowHeight, inset);
  }
  return top + rows * l.rowHeight;
}

// Each titration's row, its file name in its graph colour, then its own rows below it.
int DrawTitrationTable(Canvas& canvas, const GlobalReportTexts& texts, const GlobalReportLayout& l, int top) {
  const int inset = l.rowHeight / 3;
  int rows = 1;
  for (const auto& lines : l.ownLines) rows += 1 + static_cast<int>(lines.size());
  canvas.DrawRectangle({l.body.left, top, l.body.right, top + rows * l.rowHeight});
  int y = top;
  DrawTableRow(canvas, texts.titrations.front(), kTitrationColumns, l.body, y, l.rowHeight, inset);
  y += l.rowHeight;
  for (std::size_t t = 0; t + 1 < texts.titrations.size(); ++t) {
    canvas.DrawLine(l.body.left, y, l.body.right, y);
    canvas.SetTextColour(ComparisonColour(static_cast<int>(t)));
    DrawCell(canvas, texts.titrations[t + 1][0], l.body.left, y, l.body.left + l.body.Width() * kTitrationColumns[0] / 100,
             y + l.rowHeight, inset);
    canvas.SetTextColour(kBlack);
    std::vector<std::string> rest = texts.titrations[t + 1];
    rest[0].clear();
    DrawTableRow(canvas, rest, kTitrationColumns, l.body, y, l.rowHeight, inset);
    y += l.rowHeight;
    for (const std::string& line : l.ownLines[t]) {
      canvas.TextOut(l.body.left + 2 * inset, y + (l.rowHeight - l.tableFont.height) / 2, line);
      y += l.rowHeight;
    }
  }
  return y;
}

void DrawGraph(Canvas& canvas, const GlobalFitResult& result, const GlobalReportLayout& l, const ReportPage& page,
               const ReportFonts& fonts) {
  ComparisonPlotInput in;
  in.series = global_fit_series(result);
  in.area = l.graph;
  in.labelFont = fonts.labels;
  in.markRadius = std::max(1, page.height / 375);
  PaintModelComparison(canvas, in);
  canvas.SetFont(fonts.text);
  canvas.SetTextColour(kBlack);
  canvas.DrawText("Total Ca (uM)", l.xCaption, kAlignCenter | kAlignVCenter | kSingleLine);
  // The caption runs upwards, centred beside the graph's height.
  canvas.SetFont(fonts.yCaption);
  const std::string caption = "Normalised response";
  const int cx = canvas.GetTextExtent(caption).cx;
  canvas.TextOut(page.height / 30, (l.graph.top + l.graph.bottom + cx) / 2, caption);
}

}  // namespace

GlobalReportTexts GlobalReportTextsFor(const GlobalFitResult& r, ReportDate date) {
  GlobalReportTexts t;
  t.header = ReportHeaderText("Global fit", date);
  const std::size_t count = r.titrations.size();
  t.title = c_printf("Global fit of %i titration%s", static_cast<int>(count), count == 1 ? "" : "s");
  t.model = results_title(r.model, ResultsView::Report);
  t.shared.push_back({"Shared row", "Value", "Error 68%"});
  if (r.haveProfile) t.shared.front().push_back("Profile 68%");
  for (const GlobalSharedRow& s : r.shared) {
    const std::optional<DialogRow> dialogRow = fit_dialog_row(r.model, s.row);
    t.shared.push_back({dialogRow ? dialogRow->reportLabel : s.name, format_c("%.4g", s.value),
                        r.haveErrors ? format_c("%.2g", s.error) : "-"});
    if (r.haveProfile) t.shared.back().push_back(s.interval ? interval_text(r.model, *s.interval) : "-");
  }
  t.summary = c_printf("Global chi-square %s; n = %i points, p = %i fitted parameters; %s.",
                       format_c("%.4g", r.chiSquare).c_str(), r.n, r.p, fit_stop_text(r.stop));
  t.titrations.push_back({"Titration", "Model", "n", "Chi-square"});
  for (const GlobalTitrationPart& part : r.titrations) {
    t.titrations.push_back({part.name, c_printf("%i", r.model), c_printf("%i", part.n), format_c("%.4g", part.chiSquare)});
    t.ownRows.push_back(OwnRowsText(r, part));
  }
  return t;
}

int GlobalReportLayout::RowsNeeded() const {
  // The shared table, the summary, a blank row, the titrations' heading, then each titration's
  // row and its own rows' lines.
  int rows = sharedRows + static_cast<int>(summaryLines.size()) + 2;
  for (const auto& lines : ownLines) rows += 1 + static_cast<int>(lines.size());
  return rows;
}

GlobalReportLayout GlobalReportLayoutFor(Canvas& canvas, const GlobalReportTexts& texts, const ReportPage& page) {
  GlobalReportLayout l;
  const int V = page.height, H = page.width;
  l.M = V / 10;
  l.title = {l.M, l.M / 3, H - l.M, l.M};
  l.graph = {l.M - V / 20, l.M, H - l.M, V * 45 / 100};
  l.xCaption = {l.M, l.graph.bottom, H - l.M, l.graph.bottom + V / 30};
  l.body = {l.M, l.xCaption.bottom + V / 60, H - l.M, V - l.M / 2};
  l.sharedRows = static_cast<int>(texts.shared.size());
  for (int points = kLargestTablePoints; points >= kSmallestTablePoints; --points) {
    FitFont(canvas, texts, page, points, l);
    if (l.RowsNeeded() * l.rowHeight <= l.body.Height()) break;
  }
  return l;
}

void PaintGlobalReport(Canvas& canvas, const GlobalFitResult& result, const ReportPage& page, ReportDate date) {
  const GlobalReportTexts texts = GlobalReportTextsFor(result, date);
  const ReportFonts fonts = ReportFontsFor(page.logPixelsY);
  const GlobalReportLayout l = GlobalReportLayoutFor(canvas, texts, page);
  canvas.SetTextBackground(false, {255, 255, 255});
  canvas.SetTextColour(kBlack);
  canvas.SetPen(kBlackPen);
  canvas.SetBrush(kWhiteBrush);

  canvas.SetFont(fonts.header);
  canvas.TextOut(l.M - page.height / 25, l.M / 4, texts.header);
  canvas.SetFont(fonts.text);
  const int half = (l.title.top + l.title.bottom) / 2;
  canvas.DrawText(texts.title, {l.title.left, l.title.top, l.title.right, half}, kAlignCenter | kAlignVCenter | kSingleLine);
  canvas.DrawText(texts.model, {l.title.left, half, l.title.right, l.title.bottom}, kAlignCenter | kAlignVCenter | kSingleLine);
  DrawGraph(canvas, result, l, page, fonts);

  canvas.SetFont(l.tableFont);
  canvas.SetTextColour(kBlack);
  canvas.SetPen(kBlackPen);
  canvas.SetBrush(kWhiteBrush);
  // The clip reaches past the body's right edge by the width of the tables' rules.
  canvas.SetClip({l.body.left, l.body.top, l.body.right + l.rowHeight / 4, l.body.bottom});
  int y = DrawSharedTable(canvas, texts, l, l.body.top);
  for (const std::string& line : l.summaryLines) {
    DrawCell(canvas, line, l.body.left, y, l.body.right, y + l.rowHeight, 0);
    y += l.rowHeight;
  }
  y += l.rowHeight;
  DrawTitrationTable(canvas, texts, l, y);
  canvas.ResetClip();
}

#include "graphview/report_painter.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <iterator>

#include "document/titration.h"
#include "commands/display_values.h"
#include "commands/model_comparison.h"
#include "document/c_text.h"
#include "commands/identifiability.h"
#include "graphview/graph_painter.h"
#include "graphview/graph_scale.h"
#include "graphview/residual_strip.h"

// ---------------------------------------------------------------------------------------
// Header, metrics and fonts

ReportDate ReportDateToday() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

std::string ReportHeaderText(const std::string& documentName, ReportDate date) {
  return documentName + c_printf("    %i/%i/%i", date.day, date.month, date.year);
}

ReportMetrics ReportMetricsFor(int pageWidth, int pageHeight) {
  ReportMetrics m;
  m.V = pageHeight;
  m.H = pageWidth;
  m.M = m.V / 10;
  m.W = (m.H - m.M) - m.M;
  m.RT = static_cast<int>(m.V * 0.47619047619047616);
  m.RH = m.V / 50;
  m.X40 = static_cast<int>(m.M + 0.4 * m.W);
  m.X70 = static_cast<int>(m.M + 0.7 * m.W);
  m.IN = m.V / 100;
  m.plot = {m.M, m.M, m.H - m.M, m.V / 2 - m.M};
  m.markRadius = m.V / 375;
  m.tickLength = m.V / 150;
  m.labelX = m.M + m.V / 520;
  m.valueX = m.X40 + m.IN;
  m.upperX = m.X70 + m.IN;
  m.lowerX = static_cast<int>(m.X70 + 2 * m.IN + 0.15 * m.W);
  m.resultsFrame = {m.M, m.RT, m.H - m.M, m.RowTop(15)};
  m.descriptionFrame = {m.M, m.RowTop(16), m.H - m.M, m.RowTop(22)};
  const int shrink = m.V / 520;
  m.descriptionText = {m.descriptionFrame.left + shrink, m.descriptionFrame.top + shrink,
                       m.descriptionFrame.right - shrink, m.descriptionFrame.bottom - shrink};
  return m;
}

ReportFonts ReportFontsFor(int logPixelsY) {
  // Heights as a LOGFONT asks for them: -(LOGPIXELSY * points) / 72, truncated.
  auto height = [logPixelsY](int points) { return (logPixelsY * points) / 72; };
  ReportFonts f;
  // The header is written in the device's own default font; on a printer that is a small
  // fixed bitmap font, so the page names a plain 10 point face of its own instead.
  f.header = {"Arial", height(10), 400, false, 0};
  f.labels = {"MS Sans Serif", height(8), 300, false, 0};
  f.text = {"Courier New", height(12), 700, false, 0};
  f.yCaption = {"Courier New", height(10), 700, false, 900};
  return f;
}

// ---------------------------------------------------------------------------------------
// The results list

// The report's own rows: longer labels than the screen panel, one column, up to 14 rows.
ReportBlock ReportResultsBlock(const ParamSet& fit, double startCaUM, float temperatureK) {
  ReportBlock block;
  block.name = results_title(fit.m_nModel, ResultsView::Report);
  for (const ResultsRowSpec& s : results_row_layout(fit.m_nModel, ResultsView::Report)) {
    ResultsRowTexts texts = results_row_texts(s, fit, startCaUM, temperatureK);
    const bool parameter = s.value == ResultsValue::Raw || s.value == ResultsValue::Micro ||
                           s.value == ResultsValue::LgK || s.value == ResultsValue::LgKd;
    block.rows.push_back({std::move(texts.label), std::move(texts.value), std::move(texts.upper),
                          std::move(texts.lower), parameter ? s.i : 0});
  }
  return block;
}

// ---------------------------------------------------------------------------------------
// Word wrap

namespace {

// Length of the UTF-8 sequence that starts with byte c (1 for stray continuation bytes).
std::size_t Utf8Length(unsigned char c) {
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

// Splits a word wider than width into pieces that fit, at character boundaries; the last
// piece is returned to continue the line with.
std::string BreakLongWord(Canvas& canvas, const std::string& word, int width,
                          std::vector<std::string>& lines) {
  std::string piece;
  for (std::size_t i = 0; i < word.size();) {
    std::size_t n = std::min(Utf8Length(static_cast<unsigned char>(word[i])), word.size() - i);
    std::string next = piece + word.substr(i, n);
    if (!piece.empty() && canvas.GetTextExtent(next).cx > width) {
      lines.push_back(piece);
      piece = word.substr(i, n);
    } else {
      piece = std::move(next);
    }
    i += n;
  }
  return piece;
}

void WrapParagraph(Canvas& canvas, const std::string& paragraph, int width,
                   std::vector<std::string>& lines) {
  std::string line;
  std::size_t pos = 0;
  while (pos < paragraph.size()) {
    std::size_t start = paragraph.find_first_not_of(' ', pos);
    if (start == std::string::npos) break;
    std::size_t end = paragraph.find(' ', start);
    if (end == std::string::npos) end = paragraph.size();
    std::string word = paragraph.substr(start, end - start);
    pos = end;
    std::string candidate = line.empty() ? word : line + " " + word;
    if (canvas.GetTextExtent(candidate).cx <= width) {
      line = std::move(candidate);
      continue;
    }
    if (!line.empty()) lines.push_back(line);
    line = canvas.GetTextExtent(word).cx <= width ? word : BreakLongWord(canvas, word, width, lines);
  }
  lines.push_back(line);
}

}  // namespace

std::vector<std::string> WrapText(Canvas& canvas, const std::string& text, int width) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::size_t pos = 0;
  while (true) {
    std::size_t nl = text.find('\n', pos);
    std::string paragraph = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    for (char& c : paragraph)
      if (c == '\t' || c == '\r') c = ' ';
    WrapParagraph(canvas, paragraph, width, lines);
    if (nl == std::string::npos) break;
    pos = nl + 1;
  }
  return lines;
}

// ---------------------------------------------------------------------------------------
// The page

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kDarkBlue = kFitCurveColour;  // the results text shares the fit's colour
const CanvasBrush kWhiteBrush{false, {255, 255, 255}};

// The page spaces its ticks by whole pixels (the screen by fractions), with marks from both
// edges inwards and label boxes sized from the page height.
// `graph` is the page's plot, or its upper part above the residual strip; x labels stay under
// the whole plot.
void DrawTicksAndLabels(Canvas& canvas, const ReportMetrics& m, const GraphScale& scale, const CanvasRect& graph) {
  const CanvasRect& plot = m.plot;
  const int sx = plot.Width() / scale.m_nXIntervals, sy = graph.Height() / scale.m_nYIntervals;
  const int L = m.tickLength, V = m.V;
  for (int k = 1; k < scale.m_nXIntervals; ++k) {
    const int x = plot.left + k * sx;
    canvas.DrawLine(x, graph.bottom, x, graph.bottom - L);
    canvas.DrawLine(x, plot.top, x, plot.top + L);
    canvas.DrawText(FormatTickLabel(scale.xMin + k * scale.m_dXStep),
                    {x - V / 39, plot.bottom + V / 55, x + V / 39, plot.bottom + V / 28},
                    kAlignCenter | kAlignVCenter | kSingleLine);
  }
  for (int k = 1; k < scale.m_nYIntervals; ++k) {
    const int y = graph.bottom - k * sy;
    canvas.DrawLine(plot.left, y, plot.left + L, y);
    canvas.DrawLine(plot.right, y, plot.right - L, y);
    canvas.DrawText(FormatTickLabel(scale.yMin + k * scale.m_dYStep),
                    {plot.left - V / 20, y - V / 30, plot.left, y + V / 30},
                    kAlignVCenter | kSingleLine);
  }
}

void DrawGraph(Canvas& canvas, const Titration& doc, GraphState& graph, const ReportMetrics& m) {
  graph.points.Collect(doc);
  if (!graph.points.HasSomethingToDraw()) return;
  RunScalingPass(doc, graph);
  const ResidualStripLayout split = SplitPlotForResiduals(m.plot, ResidualStripWanted(doc));
  const GraphMapping map = MakeGraphMapping(graph.scale, split.graph);
  DrawMeasuredPoints(canvas, map, graph.points, doc.m_dStartCa, m.markRadius);
  DrawTicksAndLabels(canvas, m, graph.scale, split.graph);
  DrawSimulatedCurves(canvas, map, doc);
  DrawFitCurve(canvas, map, doc);
  if (split.shown()) {
    // The strip draws its own frame; the gap above it is cleared of the page's plot frame.
    canvas.SetPen({PenStyle::Null, 1, {255, 255, 255}});
    canvas.SetBrush(kWhiteBrush);
    canvas.DrawRectangle({split.graph.left, split.graph.bottom, split.graph.right + 1, split.strip.top + 1});
    canvas.SetPen(kBlackPen);
    canvas.DrawLine(split.graph.left, split.graph.bottom, split.graph.right, split.graph.bottom);
    DrawResidualStrip(canvas, split.strip, map, fit_residuals(doc), m.markRadius);
    canvas.SetPen(kBlackPen);
    canvas.SetBrush(kWhiteBrush);
  }
}

void DrawResults(Canvas& canvas, const Titration& doc, const ReportMetrics& m) {
  canvas.SetTextColour(kDarkBlue);
  canvas.DrawRectangle(m.resultsFrame);
  for (int k = 1; k <= 14; ++k) canvas.DrawLine(m.M, m.RowTop(k), m.H - m.M, m.RowTop(k));
  canvas.DrawLine(m.X40, m.RowTop(1), m.X40, m.RowTop(15));
  canvas.DrawLine(m.X70, m.RowTop(1), m.X70, m.RowTop(15));
  if (doc.m_bShowFit == 0) return;
  const FitDiagnostics& review = doc.m_fitDiagnostics;
  canvas.TextOut(m.upperX, m.RT, review.haveProfile ? "Profile 68% " : "Error 68% ");
  const ReportBlock block = ReportResultsBlock(doc.m_fit, doc.m_dStartCa, doc.m_fTemperature);
  if (block.empty()) return;
  canvas.TextOut(m.labelX, m.RowTop(0), block.name);
  int r = 1;
  for (const ReportRow& row : block.rows) {
    const int y = m.RowTop(r++);
    canvas.TextOut(m.labelX, y, row.label);
    canvas.TextOut(m.valueX, y, row.value);
    // The error column is wide enough for a profile interval in place of the error.
    const RowInterval* interval = review.haveProfile && row.slot ? review.IntervalOf(row.slot) : nullptr;
    if (interval) {
      canvas.TextOut(m.upperX, y, interval_text(doc.m_fit.m_nModel, *interval));
      continue;
    }
    if (review.haveProfile) continue;
    if (!row.upper.empty()) canvas.TextOut(m.upperX, y, row.upper);
    if (!row.lower.empty()) canvas.TextOut(m.lowerX, y, row.lower);
  }
}

// Word-wrapped from the top of the box; a line partly below the box is cut at its edge.
void DrawDescription(Canvas& canvas, const Titration& doc, const ReportMetrics& m) {
  canvas.SetTextColour(kBlack);
  canvas.TextOut(m.M, m.RowTop(15), "Experimental description:");
  canvas.DrawRectangle(m.descriptionFrame);
  const CanvasRect& box = m.descriptionText;
  const int lineHeight = std::max(1, canvas.GetTextExtent("Ag").cy);
  canvas.SetClip(box);
  int y = box.top;
  for (const std::string& line : WrapText(canvas, doc.m_strDescription, box.Width())) {
    if (y >= box.bottom) break;
    canvas.TextOut(box.left, y, line);
    y += lineHeight;
  }
  canvas.ResetClip();
}

// The caption runs upwards from its start, centred beside the plot's height.
void DrawYCaption(Canvas& canvas, const Titration& doc, const ReportMetrics& m,
                  const CanvasFont& font) {
  canvas.SetFont(font);
  const int cx = canvas.GetTextExtent(doc.m_strYCaption).cx;
  const int V = m.V;
  canvas.TextOut(V / 30, -(V / 10) + V / 2 - ((V / 2) - 2 * m.M - cx) / 2, doc.m_strYCaption);
}

}  // namespace

ReportComparison ReportComparisonTable(const ModelComparison& comparison) {
  ReportComparison out;
  if (comparison.candidates.empty()) return out;
  out.rows.push_back({"Model", "p", "Chi-square", "AICc", "BIC", "Akaike weight"});
  for (const CandidateFit& c : comparison.candidates) {
    std::string name = c_printf("%d", c.model);
    if (c.model == comparison.best) name += " (best)";
    if (c.fitted && !c.Warnings().empty()) {
      const std::string mark(1, static_cast<char>('a' + out.notes.size()));
      name += " " + mark;
      std::string note = mark + ") " + c_printf("Model %d:", c.model);
      for (const FitWarning& w : c.Warnings()) note += " " + w.text + ".";
      out.notes.push_back(note);
    }
    if (!c.fitted) {
      out.rows.push_back({name, "not fitted", "", "", "", ""});
      continue;
    }
    out.rows.push_back({name, c_printf("%d", c.p), format_c("%.4g", c.chiSquare), format_c("%.2f", c.aicc),
                        format_c("%.2f", c.bic), format_c("%.3f", c.weight)});
  }
  return out;
}

ReportComparisonBoxes ReportComparisonLayout(const ReportMetrics& m, int tableRows, bool withNotes) {
  ReportComparisonBoxes b;
  // The notes need the room of a description row on a page of four candidates.
  const int tableTop = withNotes ? 19 : 20;
  b.description = {m.M, m.RowTop(16), m.H - m.M, m.RowTop(tableTop - 1)};
  b.table = {m.M, m.RowTop(tableTop), m.H - m.M, m.RowTop(tableTop + tableRows)};
  b.notes = {m.M, b.table.bottom + m.RH / 4, m.H - m.M, std::max(b.table.bottom + m.RH / 4, m.V - m.V / 100)};
  return b;
}

std::vector<std::string> ReportNoteLines(Canvas& canvas, const std::vector<std::string>& notes, int width, int lines) {
  std::vector<std::vector<std::string>> wrapped;
  std::size_t total = 0;
  for (const std::string& note : notes) {
    wrapped.push_back(WrapText(canvas, note, width));
    total += wrapped.back().size();
  }
  std::vector<std::string> out;
  if (lines <= 0) return out;
  const bool cut = total > static_cast<std::size_t>(lines);
  // Cut short, every note keeps its first lines (its letter and model) as far as there is room.
  std::size_t budget = static_cast<std::size_t>(lines) - (cut ? 1 : 0);
  const std::size_t share = cut ? std::max<std::size_t>(1, budget / std::max<std::size_t>(1, notes.size())) : total;
  for (const std::vector<std::string>& note : wrapped)
    for (std::size_t k = 0; k < note.size() && k < share && budget > 0; ++k, --budget) out.push_back(note[k]);
  if (cut) out.push_back(kReportMoreWarnings);
  return out;
}

namespace {

void DrawComparison(Canvas& canvas, const ReportComparison& table, const ReportMetrics& m, const CanvasRect& box) {
  canvas.DrawRectangle(box);
  const int rows = static_cast<int>(table.rows.size());
  for (int k = 1; k < rows; ++k) canvas.DrawLine(box.left, box.top + k * m.RH, box.right, box.top + k * m.RH);
  // Column widths in percent of the frame, so the 12 pt headings fit on A4 and Letter.
  constexpr int kShare[] = {23, 6, 18, 15, 15, 23};
  for (int r = 0; r < rows; ++r) {
    const auto& cells = table.rows[static_cast<std::size_t>(r)];
    int start = 0;
    for (std::size_t c = 0; c < cells.size() && c < std::size(kShare); start += kShare[c], ++c) {
      const int left = box.left + box.Width() * start / 100;
      const int right = box.left + box.Width() * (start + kShare[c]) / 100;
      canvas.DrawText(cells[c], {left + m.IN, box.top + r * m.RH, right, box.top + (r + 1) * m.RH},
                      kAlignLeft | kAlignVCenter | kSingleLine);
    }
  }
}

void DrawComparisonNotes(Canvas& canvas, const ReportComparison& table, const CanvasRect& box) {
  if (table.notes.empty()) return;
  const int lineHeight = std::max(1, canvas.GetTextExtent("Ag").cy);
  int y = box.top;
  for (const std::string& line : ReportNoteLines(canvas, table.notes, box.Width(), box.Height() / lineHeight)) {
    canvas.TextOut(box.left, y, line);
    y += lineHeight;
  }
}

}  // namespace

void PaintReport(Canvas& canvas, const Titration& doc, GraphState& graph,
                 const std::string& documentName, const ReportPage& page, ReportDate date,
                 const ReportComparison* comparison) {
  ReportMetrics m = ReportMetricsFor(page.width, page.height);
  const bool withTable = comparison && !comparison->empty();
  ReportComparisonBoxes boxes;
  if (withTable) {
    boxes = ReportComparisonLayout(m, static_cast<int>(comparison->rows.size()), !comparison->notes.empty());
    const int shrink = m.V / 520;
    m.descriptionFrame = boxes.description;
    m.descriptionText = {boxes.description.left + shrink, boxes.description.top + shrink,
                         boxes.description.right - shrink, boxes.description.bottom - shrink};
  }
  const ReportFonts fonts = ReportFontsFor(page.logPixelsY);
  canvas.SetTextBackground(false, {255, 255, 255});
  canvas.SetTextColour(kBlack);
  canvas.SetPen(kBlackPen);
  canvas.SetBrush(kWhiteBrush);
  canvas.SetFont(fonts.labels);
  canvas.DrawRectangle(m.plot);
  DrawGraph(canvas, doc, graph, m);

  canvas.SetFont(fonts.header);
  canvas.TextOut(m.M - m.V / 25, m.M / 4, ReportHeaderText(documentName, date));

  canvas.SetFont(fonts.text);
  const unsigned centred = kAlignCenter | kAlignVCenter | kSingleLine;
  canvas.DrawText(doc.m_strTitle, {m.M, 0, m.H - m.M, m.M}, centred);
  canvas.DrawText(doc.m_strXCaption,
                  {m.M, m.plot.bottom + m.V / 70, m.H - m.M, m.plot.bottom + m.M}, centred);
  DrawResults(canvas, doc, m);
  DrawDescription(canvas, doc, m);
  if (withTable) {
    canvas.SetFont(fonts.text);
    canvas.SetPen(kBlackPen);
    canvas.SetBrush(kWhiteBrush);
    DrawComparison(canvas, *comparison, m, boxes.table);
    canvas.SetFont(fonts.labels);
    DrawComparisonNotes(canvas, *comparison, boxes.notes);
  }
  DrawYCaption(canvas, doc, m, fonts.yCaption);
}

#include "outputview/results_painter.h"

#include "document/titration.h"
#include "commands/display_values.h"
#include "commands/identifiability.h"

namespace {

constexpr Rgb kBlack{0, 0, 0};
// The dG and d(dG)min values of the two-site models are wider than the column: they start
// this many device units left of it.
constexpr int kNudgeLeft = 11;

void tile_background(Canvas& canvas, const ResultsPanelInput& in) {
  const CanvasImage* image = in.background;
  if (!image || image->width <= 0 || image->height <= 0) return;
  // Whole tiles up to and including the one that holds the client's last pixel column/row.
  const int across = in.client.cx / image->width + 1;
  const int down = in.client.cy / image->height + 1;
  canvas.TileImage({0, 0, across * image->width, down * image->height}, *image);
}

void line(Canvas& canvas, int x1, int y1, int x2, int y2) {
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

void draw_frames_and_rulings(Canvas& canvas, const ControlLayout& m) {
  const int FL = m.m_nFrameLeft, FT = m.m_nFrameTop, FS = m.m_nFrameSplit;
  const int FB = m.m_nFrameBottom, RH = m.m_nRowHeight;
  canvas.DrawRectangle(m.m_rcRightFrame);
  canvas.DrawRectangle(m.m_rcLeftFrame);

  for (int k = 1; k <= 6; ++k) line(canvas, FL, FT + k * RH, FS, FT + k * RH);
  line(canvas, m.m_nResMetricG, FT + RH, m.m_nResMetricG, FB);
  line(canvas, m.m_nErrorColumnX, FT - m.m_nResMetricF, m.m_nErrorColumnX, FB);

  // The right table is the left one moved by the frame split, its origin at the frame top.
  for (int k = 1; k <= 6; ++k) line(canvas, FT + FS, FT + k * RH, 2 * FS - FT, FT + k * RH);
  const int valueRule = m.m_nResMetricG - RH + FT + FS;
  const int errorRule = m.m_nErrorColumnX - RH + FT + FS;
  line(canvas, valueRule, FT - m.m_nResMetricF, valueRule, FB);
  line(canvas, errorRule, FT - m.m_nResMetricF, errorRule, FB);
}

void draw_heading(Canvas& canvas, const ControlLayout& m) {
  const int x = m.m_nErrorColumnX + m.m_nResMetricF;
  canvas.TextOut(x, m.m_nFrameTop + m.m_nResMetricE - m.m_nResMetricF - 2, "Error: 68%");
  canvas.TextOut(x, m.m_nFrameTop + m.m_nResMetricE + m.m_nResMetricF, "Confidence");
}

void draw_row(Canvas& canvas, const ResultsColumns& c, const ResultsRow& row) {
  const bool left = row.table == ResultsTable::Left;
  const int y = c.y(row.row);
  canvas.TextOut(left ? c.leftLabel : c.rightLabel, y, row.label);
  int valueX = left ? c.leftValue : c.rightValue;
  if (row.valueNudgedLeft) valueX -= kNudgeLeft;
  canvas.TextOut(valueX, y, row.value);
  if (!row.upper.empty()) canvas.TextOut(left ? c.leftUpper : c.rightUpper, y, row.upper);
  if (!row.lower.empty()) canvas.TextOut(left ? c.leftLower : c.rightLower, y, row.lower);
}

void draw_block(Canvas& canvas, const Titration& doc, const ControlLayout& m) {
  const ResultsBlock block = results_block(doc.m_fit, doc.m_dStartCa, doc.m_fTemperature);
  if (block.empty()) return;
  const ResultsColumns c = results_columns(m);
  canvas.TextOut(c.leftLabel, c.y(0), block.title);
  for (const ResultsRow& row : block.rows) draw_row(canvas, c, row);
}

// The first of the fit's warnings, one line under the tables (the Parameters dialog lists
// them all).
void draw_warning_line(Canvas& canvas, const Titration& doc, const ControlLayout& m) {
  const std::string line = warnings_summary_line(doc.m_fitDiagnostics);
  if (line.empty()) return;
  canvas.TextOut(m.m_nFrameLeft + m.m_nResMetricF, m.m_nFrameBottom + m.m_nResMetricF, line);
}

}  // namespace

ResultsColumns results_columns(const ControlLayout& m) {
  const int FL = m.m_nFrameLeft, FT = m.m_nFrameTop, FS = m.m_nFrameSplit, RH = m.m_nRowHeight;
  const int F = m.m_nResMetricF, A = m.m_nResMetricA;
  ResultsColumns c{};
  c.rowTop = FT + m.m_nResMetricE;
  c.rowHeight = RH;
  c.leftLabel = FL + F;
  c.leftValue = m.m_nValueColumnX;
  c.leftUpper = m.m_nErrorColumnX + F;
  c.leftLower = c.leftUpper + A;
  c.rightLabel = FT + FS + F;
  c.rightValue = m.m_nResMetricG + FS;
  c.rightUpper = FT + FS - RH + m.m_nErrorColumnX + F;
  c.rightLower = c.rightUpper + A;
  return c;
}

CanvasFont results_font(const ControlLayout& layout, int dpiY) {
  CanvasFont font;
  font.face = "MS Sans Serif";
  font.height = font_pixel_height(layout.m_nResultsFontPt, dpiY);
  font.weight = 200;
  return font;
}

void paint_results_panel(Canvas& canvas, const Titration& doc, const ResultsPanelInput& in) {
  const ControlLayout& m = *in.layout;
  canvas.SetFont(results_font(m, in.dpiY));
  canvas.SetPen({PenStyle::Solid, 1, kBlack});
  canvas.SetTextBackground(false, kBlack);
  canvas.SetBrush({true, {}});
  tile_background(canvas, in);
  canvas.SetTextColour(kBlack);
  draw_frames_and_rulings(canvas, m);
  draw_heading(canvas, m);
  if (doc.m_bShowFit != 0) {
    draw_block(canvas, doc, m);
    draw_warning_line(canvas, doc, m);
  }
}

// The printed page through a recording canvas: layout metrics at two page sizes, the header
// line, the results list of every model, and the description box.
#include "graphview/report_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/titration.h"
#include "fitting/commands/display_values.h"
#include "graphview/graph_scale.h"
#include "support/recording_canvas.h"

namespace {

// An A4 page at 600 dpi and a US Letter page at 300 dpi, as printers report them.
const ReportPage kA4{4960, 7016, 600};
const ReportPage kLetter{2550, 3300, 300};
const ReportDate kSixthDecember{6, 12, 2026};

struct Printed {
  RecordingCanvas canvas;
  ReportMetrics m;
};

void Print(Printed& out, Titration& doc, const ReportPage& page = kA4) {
  GraphState graph;
  out.m = ReportMetricsFor(page.width, page.height);
  PaintReport(out.canvas, doc, graph, "Untitled", page, kSixthDecember);
}

// Texts drawn with their top at y, left to right.
std::vector<std::string> TextsInRow(const RecordingCanvas& c, int y) {
  std::vector<const CanvasCall*> row;
  for (const auto& call : c.calls)
    if (call.kind == CanvasCall::Text && call.p1.y == y) row.push_back(&call);
  std::sort(row.begin(), row.end(), [](auto a, auto b) { return a->p1.x < b->p1.x; });
  std::vector<std::string> out;
  for (auto* call : row) out.push_back(call->text);
  return out;
}

bool HasSegment(const RecordingCanvas& c, CanvasPoint a, CanvasPoint b) {
  for (const auto& call : c.calls)
    if (call.kind == CanvasCall::Segment && call.p1 == a && call.p2 == b) return true;
  return false;
}

void SetFit(Titration& doc, int model, int params, bool errors) {
  doc.m_bShowFit = 1;
  doc.m_fit.m_nModel = model;
  doc.m_fit.m_bErrors = errors ? 1 : 0;
  doc.m_fit.m_p[0] = 0.00123;
  for (int i = 1; i <= params; ++i) {
    doc.m_fit.m_p[i] = 1.0;
    doc.m_fit.m_err[i] = 0.5;
  }
}

}  // namespace

TEST(ReportMetrics, DerivesFromPageSize) {
  struct Case {
    ReportPage page;
    int M, W, RT, RH, X40, X70, IN, lowerX;
  };
  // RT = trunc(V / 2.1); lower column = trunc(X70 + 2 IN + 0.15 W).
  const Case cases[] = {
      {kA4, 701, 3558, 3340, 140, 2124, 3191, 70, 3864},
      {kLetter, 330, 1890, 1571, 66, 1086, 1653, 33, 2002},
  };
  for (const auto& c : cases) {
    ReportMetrics m = ReportMetricsFor(c.page.width, c.page.height);
    EXPECT_EQ(m.M, c.M);
    EXPECT_EQ(m.W, c.W);
    EXPECT_EQ(m.RT, c.RT);
    EXPECT_EQ(m.RH, c.RH);
    EXPECT_EQ(m.X40, c.X40);
    EXPECT_EQ(m.X70, c.X70);
    EXPECT_EQ(m.IN, c.IN);
    EXPECT_EQ(m.lowerX, c.lowerX);
    EXPECT_EQ(m.plot, (CanvasRect{c.M, c.M, c.page.width - c.M, c.page.height / 2 - c.M}));
  }
}

TEST(ReportPage, RulesHeaderAndCaptionsAtBothPageSizes) {
  for (const ReportPage& page : {kA4, kLetter}) {
    Titration doc;
    Printed p;
    Print(p, doc, page);
    const ReportMetrics& m = p.m;
    const RecordingCanvas& c = p.canvas;

    // The results frame with 14 rules across and the two column rules below the name row.
    ASSERT_NE(std::find_if(c.calls.begin(), c.calls.end(),
                           [&](auto& k) { return k.kind == CanvasCall::Rect && k.rect == m.resultsFrame; }),
              c.calls.end());
    EXPECT_EQ(m.resultsFrame, (CanvasRect{m.M, m.RT, m.H - m.M, m.RT + 15 * m.RH}));
    for (int k = 1; k <= 14; ++k)
      EXPECT_TRUE(HasSegment(c, {m.M, m.RT + k * m.RH}, {m.H - m.M, m.RT + k * m.RH})) << k;
    EXPECT_TRUE(HasSegment(c, {m.X40, m.RT + m.RH}, {m.X40, m.RT + 15 * m.RH}));
    EXPECT_TRUE(HasSegment(c, {m.X70, m.RT + m.RH}, {m.X70, m.RT + 15 * m.RH}));

    const CanvasCall* header = c.FindText("Untitled    6/12/2026");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->p1, (CanvasPoint{m.M - m.V / 25, m.M / 4}));

    // Fonts keep their point sizes: 12 pt at the page's resolution.
    const CanvasCall* title = c.FindText("Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->rect, (CanvasRect{m.M, 0, m.H - m.M, m.M}));
    EXPECT_EQ(title->font.height, page.logPixelsY * 12 / 72);
    EXPECT_EQ(c.FindText("Total Ca/uM")->rect,
              (CanvasRect{m.M, m.V / 2 - m.M + m.V / 70, m.H - m.M, m.V / 2}));

    // The y caption runs upwards, centred on the plot's height by its measured length.
    const CanvasCall* yCaption = c.FindText("Response");
    ASSERT_NE(yCaption, nullptr);
    EXPECT_EQ(yCaption->font.escapement, 900);
    const int cx = 8 * std::max(1, yCaption->font.height / 2);
    EXPECT_EQ(yCaption->p1, (CanvasPoint{m.V / 30, -(m.V / 10) + m.V / 2 - (m.V / 2 - 2 * m.M - cx) / 2}));

    EXPECT_EQ(c.FindText("Experimental description:")->p1, (CanvasPoint{m.M, m.RT + 15 * m.RH}));
  }
}

TEST(ReportPage, NoFitLeavesTheFrameEmpty) {
  Titration doc;
  SetFit(doc, 1, 4, true);
  doc.m_bShowFit = 0;  // hidden fit, as after Hide Fit
  Printed p;
  Print(p, doc);
  for (int r = 0; r < 15; ++r) EXPECT_TRUE(TextsInRow(p.canvas, p.m.RowTop(r)).empty()) << r;

  Titration bad;
  SetFit(bad, 11, 4, true);  // a model number no table has
  Printed q;
  Print(q, bad);
  EXPECT_EQ(TextsInRow(q.canvas, q.m.RT), std::vector<std::string>{"Error 68% "});
  for (int r = 1; r < 15; ++r) EXPECT_TRUE(TextsInRow(q.canvas, q.m.RowTop(r)).empty()) << r;
}

TEST(ReportResults, EveryModelNameRowsAndLastRow) {
  struct Case {
    int model, params;
    const char* name;
    int rows;
    const char* last;
  };
  const Case cases[] = {
      {1, 4, "Model: 1 Calcium site + chelator", 7, "dG:"},
      {2, 7, "Model: 2 Ca sites + chelator", 11, "d(dG)min:"},
      {3, 6, "Model: 2 Ca sites", 10, "d(dG)min:"},
      {4, 9, "Model: 4 Ca sites + chelator", 12, "dG:"},
      {5, 9, "Model: 2 Ca sites + 2 chelators", 13, "d(dG)min:"},
      {6, 11, "Model: 6 Ca sites + chelator", 14, "dG:"},
      {7, 4, "Model: 1 Calcium site using Ca electrode", 7, "dG:"},
      {8, 5, "Model: 2 Ca sites using Ca electrode", 9, "d(dG)min:"},
      {9, 7, "Model: 4 Ca sites Ca electrode", 10, "dG:"},
      {10, 9, "Model: 6 Ca sites using Ca electrode", 12, "dG:"},
  };
  for (const auto& c : cases) {
    Titration doc;
    SetFit(doc, c.model, c.params, true);
    Printed p;
    Print(p, doc);
    const ReportMetrics& m = p.m;
    EXPECT_EQ(TextsInRow(p.canvas, m.RT), (std::vector<std::string>{c.name, "Error 68% "}));
    const auto last = TextsInRow(p.canvas, m.RowTop(c.rows));
    ASSERT_FALSE(last.empty()) << c.model;
    EXPECT_EQ(last.front(), c.last) << c.model;
    if (c.rows < 14) {
      EXPECT_TRUE(TextsInRow(p.canvas, m.RowTop(c.rows + 1)).empty()) << c.model;
    }
    // Every row's label stands in the label column, its value right of the first rule.
    const CanvasCall* label = p.canvas.FindText(c.last);
    EXPECT_EQ(label->p1.x, m.labelX);
    EXPECT_EQ(label->textColour, (Rgb{0, 0, 130}));
  }
}

TEST(ReportResults, ModelSixFillsTheFrameDownToItsFreeEnergy) {
  Titration doc;
  SetFit(doc, 6, 11, true);
  Printed p;
  Print(p, doc);
  const ReportMetrics& m = p.m;
  // Row 14 is the frame's last row: its top is one row height above the frame's bottom.
  const auto row14 = TextsInRow(p.canvas, m.RowTop(14));
  ASSERT_EQ(row14.size(), 2u);
  EXPECT_EQ(row14[0], "dG:");
  EXPECT_EQ(m.RowTop(14) + m.RH, m.resultsFrame.bottom);
  // lgK of 1 nM^-1 is 9; six of them at 298.15 K give -6 * 51.372 kJ/mol.
  EXPECT_EQ(row14[1], "-308.234 kJ/mol");
  EXPECT_EQ(TextsInRow(p.canvas, m.RowTop(10)),
            (std::vector<std::string>{"log K6:", " 9.0000", "0.176", "-0.301"}));
  EXPECT_EQ(p.canvas.FindText(" 9.0000")->p1.x, m.valueX);
  EXPECT_EQ(p.canvas.FindText("0.176")->p1.x, m.upperX);
  EXPECT_EQ(p.canvas.FindText("-0.301")->p1.x, m.lowerX);
}

TEST(ReportResults, ReportFormatsDifferFromThePanel) {
  ParamSet fit;
  fit.m_nModel = 1;
  fit.m_bErrors = 1;
  fit.m_p[0] = 0.5;
  fit.m_p[1] = 0.25;
  fit.m_p[3] = 2000.0;  // nM
  fit.m_err[3] = 10.0;
  fit.m_p[4] = 1.0;     // nM^-1
  fit.m_err[4] = 0.0;   // held fixed
  ReportBlock b = ReportResultsBlock(fit, 1.5, 298.15f);
  ASSERT_EQ(b.rows.size(), 7u);
  EXPECT_EQ(b.rows[0].upper, "+-0.00000");
  EXPECT_EQ(b.rows[2].label, "Protein concentration:");
  EXPECT_EQ(b.rows[2].value, " 2.0000 uM");
  EXPECT_EQ(b.rows[2].upper, "+-0.01000");
  // Model 1's log K confidence uses "%7.5f": a fixed constant prints zeros in both columns.
  EXPECT_EQ(b.rows[3].value, "9.00000");
  EXPECT_EQ(b.rows[3].upper, "0.00000");
  EXPECT_EQ(b.rows[3].lower, "0.00000");
  EXPECT_EQ(b.rows[4].value, "0.50000");
  EXPECT_EQ(b.rows[5].value, " 1.5000 uM");
  EXPECT_EQ(b.rows[6].label, "dG:");
  EXPECT_EQ(b.rows[6].value, "-51.372 kJ/mol");

  // Without error estimates: values only. A lower limit at or below zero is not finite.
  fit.m_bErrors = 0;
  for (const auto& row : ReportResultsBlock(fit, 0, 298.15f).rows)
    EXPECT_TRUE(row.upper.empty() && row.lower.empty()) << row.label;
  fit.m_bErrors = 1;
  fit.m_err[4] = 2.0;
  EXPECT_EQ(ReportResultsBlock(fit, 0, 298.15f).rows[3].lower,
            format_lower_confidence("%7.5f", 1.0, 2.0));

  // Model 5 keeps its unsigned response errors and signed concentration errors; model 8's
  // chi-square uses "%7.4G".
  ParamSet five;
  five.m_nModel = 5;
  five.m_bErrors = 1;
  five.m_err[1] = 0.5;
  five.m_err[8] = 3000.0;
  ReportBlock b5 = ReportResultsBlock(five, 0, 298.15f);
  EXPECT_EQ(b5.rows[0].upper, "0.50000");
  EXPECT_EQ(b5.rows[7].upper, "+3.00000 uM");
  ParamSet eight;
  eight.m_nModel = 8;
  eight.m_p[0] = 123456.0;
  EXPECT_EQ(ReportResultsBlock(eight, 0, 298.15f).rows[5].value, "1.235E+05");
}

TEST(ReportDescription, WrappedAtWordsAndCutAtTheBox) {
  Titration doc;
  std::string text;
  for (int i = 0; i < 400; ++i) text += "calcium" + std::to_string(i) + " ";
  doc.m_strDescription = text;
  Printed p;
  Print(p, doc);
  const ReportMetrics& m = p.m;
  const CanvasRect& box = m.descriptionText;
  EXPECT_EQ(box, (CanvasRect{m.M + m.V / 520, m.RT + 16 * m.RH + m.V / 520,
                             m.H - m.M - m.V / 520, m.RT + 22 * m.RH - m.V / 520}));

  bool clipped = false;
  int lines = 0, lastTop = 0;
  std::string shown;
  for (const auto& call : p.canvas.calls) {
    if (call.kind == CanvasCall::Clip) clipped = call.rect == box;
    if (call.kind == CanvasCall::Unclip) clipped = false;
    if (call.kind != CanvasCall::Text || call.p1.y < box.top || call.p1.y >= box.bottom) continue;
    ASSERT_TRUE(clipped) << "description line drawn outside the clip";
    EXPECT_EQ(call.p1.x, box.left);
    EXPECT_LE(static_cast<int>(call.text.size()) * (call.font.height / 2), box.Width());
    EXPECT_NE(call.text.back(), ' ');
    ++lines;
    lastTop = call.p1.y;
    shown += call.text + " ";
  }
  const int lineHeight = p.canvas.FindText("Experimental description:")->font.height;
  EXPECT_EQ(lines, (box.Height() + lineHeight - 1) / lineHeight);  // the last one partly cut
  EXPECT_GT(lastTop + lineHeight, box.bottom);
  EXPECT_EQ(text.rfind(shown, 0), 0u) << "words kept whole and in order";
  EXPECT_LT(shown.size(), text.size());
}

TEST(ReportDescription, LineBreaksAndOverlongWords) {
  RecordingCanvas c;
  c.SetFont({"Courier New", 10, 700, false, 0});  // 5 pixels a character
  EXPECT_EQ(WrapText(c, "pH 7.2\r\nKCl 100 mM", 200), (std::vector<std::string>{"pH 7.2", "KCl 100 mM"}));
  EXPECT_EQ(WrapText(c, "abcdefghij klm", 25), (std::vector<std::string>{"abcde", "fghij", "klm"}));
  EXPECT_EQ(WrapText(c, "one  two three", 40), (std::vector<std::string>{"one two", "three"}));
  EXPECT_TRUE(WrapText(c, "", 40).empty());
}

TEST(ReportGraph, EmptyGridLeavesThePlotEmpty) {
  Titration doc;
  Printed p;
  Print(p, doc);
  EXPECT_TRUE(p.canvas.OfKind(CanvasCall::Ellipse).empty());
  EXPECT_TRUE(p.canvas.OfKind(CanvasCall::Line).empty());
  EXPECT_EQ(p.canvas.OfKind(CanvasCall::Rect).front()->rect, p.m.plot);
  EXPECT_EQ(p.canvas.OfKind(CanvasCall::Rect).front()->brush, (CanvasBrush{false, {255, 255, 255}}));
}

TEST(ReportGraph, PointsTicksAndCurvesOnThePage) {
  // Responses 0.52 .. 0.91 over added Ca 0 .. 200: the axes run 0..220 (11 intervals) and
  // 0.5..0.95 (9 intervals).
  Titration doc;
  for (int r = 0; r < 12; ++r) {
    doc.m_cells[r][0].SetText(std::to_string(0.52 + r * (0.91 - 0.52) / 11));
    doc.m_cells[r][1].SetText(std::to_string(r * 200.0 / 11));
  }
  doc.m_bShowFit = 1;
  for (int j = 0; j < Titration::kCurvePoints; ++j) {
    doc.m_fitCurve[j].x = j * 0.5;   // leaves the plot at x = 220
    doc.m_fitCurve[j].y = 0.7;
  }
  Printed p;
  Print(p, doc, kLetter);
  const ReportMetrics& m = p.m;
  const int r = m.V / 375;

  auto ellipses = p.canvas.OfKind(CanvasCall::Ellipse);
  ASSERT_EQ(ellipses.size(), 12u);
  // First point: (0, 0.52) maps to the left edge, 0.02 / 0.45 of the height above the bottom.
  const double py = m.plot.bottom - 0.02 / 0.45 * m.plot.Height();
  EXPECT_EQ(ellipses[0]->rect, (CanvasRect{m.M - r, int(py - r), m.M + r, int(py + r)}));

  // Ticks at integer steps: 10 inner marks on x, 8 on y, each from both edges, with labels.
  const int sx = m.plot.Width() / 11;
  EXPECT_TRUE(HasSegment(p.canvas, {m.M + sx, m.plot.bottom}, {m.M + sx, m.plot.bottom - m.V / 150}));
  const CanvasCall* x1 = p.canvas.FindText("  20.00");
  ASSERT_NE(x1, nullptr);
  EXPECT_EQ(x1->rect, (CanvasRect{m.M + sx - m.V / 39, m.plot.bottom + m.V / 55, m.M + sx + m.V / 39,
                                  m.plot.bottom + m.V / 28}));
  EXPECT_EQ(x1->font.height, 300 * 8 / 72);
  EXPECT_EQ(p.canvas.FindText(" 220.00"), nullptr);  // no label at the axis end
  EXPECT_NE(p.canvas.FindText("   0.90"), nullptr);

  // The fit curve in dark blue stops at the right edge: no segment reaches the frame.
  auto lines = p.canvas.OfKind(CanvasCall::Line);
  ASSERT_FALSE(lines.empty());
  for (auto* l : lines) {
    EXPECT_EQ(l->pen.colour, (Rgb{0, 0, 130}));
    EXPECT_LT(l->p2.x, m.plot.right);
  }
}

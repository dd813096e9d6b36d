// The printed page through a recording canvas: layout metrics at two page sizes, the header
// line, the results list of every model, and the description box.
#include "graphview/report_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commands/model_comparison.h"
#include "document/titration.h"
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

TEST(ReportPage, LayoutAtBothPageSizes) {
  // Margin M = V/10, results top RT = trunc(V/2.1), row height RH = V/50, column rules at
  // trunc(M + 0.4 W) and trunc(M + 0.7 W) with W = H - 2M.
  struct Case {
    ReportPage page;
    int M, RT, RH, X40, X70;
  };
  for (const Case& k : {Case{kA4, 701, 3340, 140, 2124, 3191}, Case{kLetter, 330, 1571, 66, 1086, 1653}}) {
    Titration doc;
    Printed p;
    Print(p, doc, k.page);
    const RecordingCanvas& c = p.canvas;
    const int H = k.page.width, V = k.page.height, right = H - k.M;

    // The results frame whether or not there is a fit: 14 rules across, two column rules
    // below the name row.
    EXPECT_EQ(p.m.resultsFrame, (CanvasRect{k.M, k.RT, right, k.RT + 15 * k.RH}));
    for (int r = 1; r <= 14; ++r) EXPECT_TRUE(HasSegment(c, {k.M, k.RT + r * k.RH}, {right, k.RT + r * k.RH})) << r;
    EXPECT_TRUE(HasSegment(c, {k.X40, k.RT + k.RH}, {k.X40, k.RT + 15 * k.RH}));
    EXPECT_TRUE(HasSegment(c, {k.X70, k.RT + k.RH}, {k.X70, k.RT + 15 * k.RH}));
    // An empty grid leaves the white plot frame empty.
    EXPECT_EQ(c.OfKind(CanvasCall::Rect).front()->rect, (CanvasRect{k.M, k.M, right, V / 2 - k.M}));
    EXPECT_EQ(c.OfKind(CanvasCall::Rect).front()->brush, (CanvasBrush{false, {255, 255, 255}}));
    EXPECT_TRUE(c.OfKind(CanvasCall::Ellipse).empty() && c.OfKind(CanvasCall::Line).empty());

    const CanvasCall* header = c.FindText("Untitled    6/12/2026");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->p1, (CanvasPoint{k.M - V / 25, k.M / 4}));
    // Fonts keep their point sizes: 12 pt at the page's resolution.
    const CanvasCall* title = c.FindText("Title");
    EXPECT_EQ(title->rect, (CanvasRect{k.M, 0, right, k.M}));
    EXPECT_EQ(title->font.height, k.page.logPixelsY / 6);
    EXPECT_EQ(c.FindText("Total Ca/uM")->rect, (CanvasRect{k.M, V / 2 - k.M + V / 70, right, V / 2}));
    EXPECT_EQ(c.FindText("Experimental description:")->p1, (CanvasPoint{k.M, k.RT + 15 * k.RH}));

    // The y caption runs upwards from its start, centred on the plot's height by its
    // measured length (8 characters of half the font height in the recording canvas).
    const CanvasCall* yCaption = c.FindText("Response");
    EXPECT_EQ(yCaption->font.escapement, 900);
    const int cx = 8 * (yCaption->font.height / 2);
    EXPECT_EQ(yCaption->p1, (CanvasPoint{V / 30, V / 2 - k.M - (V / 2 - 2 * k.M - cx) / 2}));
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
    EXPECT_EQ(p.canvas.FindText(c.last)->textColour, (Rgb{0, 0, 130}));
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
  EXPECT_EQ(b.rows[2].label, "Protein concentration:");
  EXPECT_EQ(b.rows[2].value, " 2.0000 uM");
  EXPECT_EQ(b.rows[2].upper, "+-0.01000");
  // Model 1's log K confidence uses "%7.5f": a fixed constant prints zeros in both columns.
  EXPECT_EQ(b.rows[3].value, "9.00000");
  EXPECT_EQ(b.rows[3].upper, "0.00000");
  EXPECT_EQ(b.rows[3].lower, "0.00000");
  EXPECT_EQ(b.rows[6].label, "dG:");
  EXPECT_EQ(b.rows[6].value, "-51.372 kJ/mol");

  // Without error estimates: values only.
  fit.m_bErrors = 0;
  for (const auto& row : ReportResultsBlock(fit, 0, 298.15f).rows)
    EXPECT_TRUE(row.upper.empty() && row.lower.empty()) << row.label;

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
  // The frame below the label, shrunk by V / 520 = 13 on every side.
  const CanvasRect& box = p.m.descriptionText;
  EXPECT_EQ(box, (CanvasRect{714, 3340 + 16 * 140 + 13, 4259 - 13, 3340 + 22 * 140 - 13}));

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

TEST(ReportGraph, PointsTicksAndLabelsOnThePage) {
  // Responses 0.52 .. 0.91 over added Ca 0 .. 200: the axes run 0..220 (11 intervals) and
  // 0.5..0.95 (9 intervals).
  Titration doc;
  for (int r = 0; r < 12; ++r) {
    doc.m_cells[r][0].SetText(std::to_string(0.52 + r * (0.91 - 0.52) / 11));
    doc.m_cells[r][1].SetText(std::to_string(r * 200.0 / 11));
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
}

namespace {

ModelComparison TwoCandidates() {
  ModelComparison c;
  CandidateFit simple, complex;
  simple.model = 2;
  simple.fitted = true;
  simple.p = 5;
  simple.chiSquare = 0.0123456789;
  simple.aicc = -401.234;
  simple.bic = -390.5;
  simple.weight = 0.0241;
  complex.model = 4;
  complex.message = "no convergence";
  c.candidates = {simple, complex};
  c.best = 2;
  return c;
}

}  // namespace

TEST(ReportComparisonTable, RowsBelowAShorterDescription) {
  const ReportComparison table = ReportComparisonTable(TwoCandidates());
  ASSERT_EQ(table.rows.size(), 3u);
  EXPECT_EQ(table.rows[1], (std::vector<std::string>{"2 (best)", "5", "0.01235", "-401.23", "-390.50", "0.024"}));
  EXPECT_EQ(table.rows[2][0], "4");
  EXPECT_EQ(table.rows[2][1], "not fitted");
  EXPECT_TRUE(ReportComparisonTable(ModelComparison{}).empty());

  Titration doc;
  doc.m_strDescription = "Calbindin D9k";
  GraphState graph;
  RecordingCanvas canvas;
  PaintReport(canvas, doc, graph, "Untitled", kA4, kSixthDecember, &table);
  const ReportMetrics m = ReportMetricsFor(kA4.width, kA4.height);
  const ReportComparisonBoxes boxes = ReportComparisonLayout(m, 3);
  EXPECT_EQ(boxes.table, (CanvasRect{701, 3340 + 20 * 140, 4259, 3340 + 23 * 140}));
  EXPECT_LT(boxes.table.bottom, kA4.height);
  EXPECT_LE(boxes.description.bottom, boxes.table.top);
  // The description frame ends above the table; every cell sits in its row of the table.
  bool frame = false;
  for (const CanvasCall* r : canvas.OfKind(CanvasCall::Rect)) frame = frame || r->rect == boxes.description;
  EXPECT_TRUE(frame);
  for (int row = 0; row < 3; ++row) {
    const CanvasCall* cell = canvas.FindText(table.rows[static_cast<std::size_t>(row)][0]);
    ASSERT_NE(cell, nullptr) << row;
    EXPECT_EQ(cell->rect.top, boxes.table.top + row * m.RH);
    EXPECT_EQ(cell->rect.left, boxes.table.left + m.IN);
  }
  const CanvasCall* weight = canvas.FindText("0.024");
  ASSERT_NE(weight, nullptr);
  EXPECT_GT(weight->rect.left, canvas.FindText("-390.50")->rect.left);
  EXPECT_LE(weight->rect.right, boxes.table.right);

  // Without a table the page is as it always was.
  RecordingCanvas plain;
  GraphState graph2;
  PaintReport(plain, doc, graph2, "Untitled", kA4, kSixthDecember, nullptr);
  EXPECT_EQ(plain.FindText("Model"), nullptr);
}

TEST(ReportComparisonTable, WarningsGetAFootnoteUnderTheTable) {
  ModelComparison comparison = TwoCandidates();
  comparison.candidates[1] = comparison.candidates[0];
  comparison.candidates[1].model = 4;
  comparison.candidates.push_back(comparison.candidates[1]);
  comparison.candidates[2].model = 6;
  comparison.candidates.push_back(comparison.candidates[2]);
  comparison.candidates[3].model = 10;
  comparison.best = 10;
  comparison.candidates[1].result.diagnostics.warnings = {{"correlated", {7, 8}, "log K3 and log K4 are not separately determined"},
                                                          {"not_converged", {}, "The fit did not converge: Singular matrix"}};
  comparison.candidates[3].result.diagnostics.warnings = {{"unbounded", {5}, "log K1 is not determined by these data"}};
  const ReportComparison table = ReportComparisonTable(comparison);
  ASSERT_EQ(table.rows.size(), 5u);
  EXPECT_EQ(table.rows[1][0], "2");
  EXPECT_EQ(table.rows[2][0], "4 a");
  EXPECT_EQ(table.rows[4][0], "10 (best) b");
  EXPECT_EQ(table.notes, (std::vector<std::string>{
                             "a) Model 4: log K3 and log K4 are not separately determined. The fit did not converge: Singular matrix.",
                             "b) Model 10: log K1 is not determined by these data."}));

  // Four candidates with notes: the description gives up a row, the notes stay on the page.
  for (const ReportPage& page : {kA4, kLetter}) {
    const ReportMetrics m = ReportMetricsFor(page.width, page.height);
    const ReportComparisonBoxes boxes = ReportComparisonLayout(m, 5, true);
    EXPECT_EQ(boxes.description.bottom, m.RowTop(18));
    EXPECT_EQ(boxes.table.top, m.RowTop(19));
    EXPECT_GT(boxes.notes.top, boxes.table.bottom);
    EXPECT_LT(boxes.notes.bottom, page.height);
    Titration doc;
    GraphState graph;
    RecordingCanvas canvas;
    PaintReport(canvas, doc, graph, "Untitled", page, kSixthDecember, &table);
    const CanvasCall* first = nullptr;
    for (const CanvasCall* t : canvas.OfKind(CanvasCall::Text))
      if (!first && t->text.rfind("a) Model 4:", 0) == 0) first = t;
    ASSERT_NE(first, nullptr) << "the first note starts on the page";
    EXPECT_EQ(first->p1.y, boxes.notes.top);
    EXPECT_EQ(first->font.height, ReportFontsFor(page.logPixelsY).labels.height);
    for (const CanvasCall* t : canvas.OfKind(CanvasCall::Text))
      if (t->p1.y >= boxes.notes.top) {
        EXPECT_LE(t->p1.y + t->font.height, boxes.notes.bottom) << t->text;
      }
  }

  // Notes that do not all fit end with a line that says so.
  RecordingCanvas narrow;
  narrow.SetFont({"MS Sans Serif", 10, 400, false, 0});
  const std::vector<std::string> all = ReportNoteLines(narrow, table.notes, 5 * 200, 9);
  EXPECT_EQ(all.size(), 2u);
  const std::vector<std::string> wrapped = ReportNoteLines(narrow, table.notes, 5 * 40, 9);
  ASSERT_GT(wrapped.size(), 3u);
  EXPECT_LE(wrapped.size(), 9u);
  // Cut short, each note keeps its first line (its letter and model), then the closing line.
  const std::vector<std::string> cut = ReportNoteLines(narrow, table.notes, 5 * 40, 3);
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[0], wrapped[0]);
  EXPECT_EQ(cut[1].rfind("b) Model 10:", 0), 0u) << cut[1];
  EXPECT_EQ(cut[2], kReportMoreWarnings);
  EXPECT_EQ(ReportNoteLines(narrow, table.notes, 5 * 40, 1), std::vector<std::string>{kReportMoreWarnings});
  EXPECT_TRUE(ReportNoteLines(narrow, table.notes, 5 * 40, 0).empty());
}

#include "outputview/results_painter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/titration.h"
#include "support/recording_canvas.h"

namespace {

// A 1 x 1 stand-in for the background picture; only its size and id matter to the panel.
const std::uint8_t kPixel[3] = {1, 2, 3};
const CanvasImage kTile{50, 40, kPixel, "tile"};

struct Panel {
  explicit Panel(int screenWidth = 1024) : layout(compute_control_layout(screenWidth)) {}

  RecordingCanvas paint(CanvasSize client = {700, 300}) {
    RecordingCanvas canvas;
    ResultsPanelInput in;
    in.layout = &layout;
    in.background = &kTile;
    in.client = client;
    paint_results_panel(canvas, doc, in);
    return canvas;
  }

  // A fit of `model` with every parameter slot at value and every error at error.
  void fit(int model, double value, double error, bool errors) {
    doc.m_bShowFit = 1;
    doc.m_fit.m_nModel = model;
    doc.m_fit.m_bErrors = errors ? 1 : 0;
    doc.m_fit.m_p[0] = 0.0123;
    for (int k = 1; k < ParamSet::kSlots; ++k) {
      doc.m_fit.m_p[k] = value;
      doc.m_fit.m_err[k] = error;
    }
  }

  ControlLayout layout;
  Titration doc;
};

CanvasPoint at(const RecordingCanvas& canvas, const std::string& text) {
  const CanvasCall* call = canvas.FindText(text);
  EXPECT_NE(call, nullptr) << "no text \"" << text << "\"";
  return call ? call->p1 : CanvasPoint{-1, -1};
}

// Texts drawn in one column (x) of the panel, top to bottom as drawn.
std::vector<std::string> texts_at_x(const RecordingCanvas& canvas, int x) {
  std::vector<std::string> out;
  for (const auto* c : canvas.OfKind(CanvasCall::Text))
    if (c->p1.x == x) out.push_back(c->text);
  return out;
}

// Data rows of each model's block (the title row not counted).
constexpr int kModelRows[11] = {0, 7, 11, 10, 12, 12, 14, 7, 9, 10, 12};
// Rows that carry a confidence entry, and of those the constants shown with up and dn.
constexpr int kConfidenceRows[11] = {0, 4, 7, 6, 9, 9, 11, 4, 5, 7, 9};
constexpr int kLogRows[11] = {0, 1, 3, 2, 5, 4, 7, 1, 2, 4, 6};

}  // namespace

// Without a shown fit the panel is only its frame: tiles over the whole client from the
// top-left corner, two frames, sixteen rulings and the two heading lines.
TEST(ResultsPainter, EmptyPanelForNoHiddenOrUnknownFit) {
  for (int variant = 0; variant < 3; ++variant) {
    Panel p;
    if (variant == 1) p.fit(2, 1.0, 0.1, true), p.doc.m_bShowFit = 0;  // Hide Fit
    if (variant == 2) p.fit(11, 1.0, 0.1, true);                       // no such model
    RecordingCanvas c = p.paint({120, 90});
    auto tiles = c.OfKind(CanvasCall::Tile);
    ASSERT_EQ(tiles.size(), 1u);
    EXPECT_EQ(tiles[0]->rect, (CanvasRect{0, 0, 150, 120}));  // 3 x 3 tiles of 50 x 40
    auto rects = c.OfKind(CanvasCall::Rect);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0]->rect, p.layout.m_rcRightFrame);
    EXPECT_EQ(rects[1]->rect, p.layout.m_rcLeftFrame);
    EXPECT_TRUE(rects[0]->brush.hollow);
    EXPECT_EQ(c.OfKind(CanvasCall::Line).size(), 16u);
    EXPECT_EQ(c.Texts(), (std::vector<std::string>{"Error: 68%", "Confidence"})) << variant;
    EXPECT_EQ(at(c, "Error: 68%"), (CanvasPoint{175, 6}));
    EXPECT_EQ(at(c, "Confidence"), (CanvasPoint{175, 18}));
  }
}

// Rulings at 1024: the right table's lines come from the frame top, not the frame left.
TEST(ResultsPainter, RulingsAt1024) {
  Panel p;
  RecordingCanvas c = p.paint();
  std::vector<std::pair<CanvasPoint, CanvasPoint>> lines;
  for (const auto* l : c.OfKind(CanvasCall::Line)) lines.push_back({l->p1, l->p2});
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], std::make_pair(CanvasPoint{10, 30}, CanvasPoint{245, 30}));
  EXPECT_EQ(lines[5], std::make_pair(CanvasPoint{10, 130}, CanvasPoint{245, 130}));
  EXPECT_EQ(lines[6], std::make_pair(CanvasPoint{100, 30}, CanvasPoint{100, 150}));
  EXPECT_EQ(lines[7], std::make_pair(CanvasPoint{170, 5}, CanvasPoint{170, 150}));
  EXPECT_EQ(lines[8], std::make_pair(CanvasPoint{255, 30}, CanvasPoint{480, 30}));
  EXPECT_EQ(lines[14], std::make_pair(CanvasPoint{335, 5}, CanvasPoint{335, 150}));
  EXPECT_EQ(lines[15], std::make_pair(CanvasPoint{405, 5}, CanvasPoint{405, 150}));
  for (const auto* l : c.OfKind(CanvasCall::Line)) EXPECT_EQ(l->pen, (CanvasPen{PenStyle::Solid, 1, {0, 0, 0}}));
}

// Every model, with and without errors: the title in row 0, each row's label and value, and
// confidence entries exactly when the fit carries errors (one per parameter row, two for a
// constant shown as a logarithm).
TEST(ResultsPainter, EveryModelWithAndWithoutErrors) {
  for (int model = 1; model <= 10; ++model) {
    for (bool errors : {false, true}) {
      Panel p;
      p.fit(model, 0.5, 0.1, errors);
      RecordingCanvas c = p.paint();
      const ResultsColumns col = results_columns(p.layout);
      const auto texts = c.Texts();
      const std::size_t confidence = errors ? kConfidenceRows[model] + kLogRows[model] : 0;
      EXPECT_EQ(texts.size(), 2 + 1 + 2 * kModelRows[model] + confidence) << model;
      ASSERT_GE(texts.size(), 3u);
      EXPECT_EQ(texts[2].rfind("Model: ", 0), 0u) << model;
      EXPECT_EQ(at(c, texts[2]), (CanvasPoint{col.leftLabel, col.y(0)}));
      const std::size_t lowers = texts_at_x(c, col.leftLower).size() + texts_at_x(c, col.rightLower).size();
      EXPECT_EQ(lowers, errors ? std::size_t(kLogRows[model]) : 0u) << model;
      EXPECT_EQ(texts_at_x(c, col.leftLabel).size() + texts_at_x(c, col.rightLabel).size(),
                std::size_t(kModelRows[model] + 1)) << model;
    }
  }
}

// Model 2 at 1024, text by text where the columns put it.
TEST(ResultsPainter, ModelTwoPositions) {
  Panel p;
  p.fit(2, 0.001, 0.0005, true);
  p.doc.m_fit.m_p[4] = 1000.0;  // chelator Kd 1 uM: log Kd -6
  p.doc.m_fit.m_err[4] = 0.0;   // held fixed
  p.doc.m_fit.m_p[7] = 2000.0;  // 2 uM
  p.doc.m_fit.m_err[7] = 100.0;
  p.doc.m_dStartCa = 1.5;
  RecordingCanvas c = p.paint();
  EXPECT_EQ(at(c, "Model: 2 Ca sites + chelator"), (CanvasPoint{15, 13}));
  EXPECT_EQ(at(c, "log Kd Chelator:"), (CanvasPoint{15, 93}));
  EXPECT_EQ(at(c, "-6.00000"), (CanvasPoint{105, 93}));
  // A fixed constant's confidence: both limits 0.000 at the upper and lower positions.
  std::vector<CanvasPoint> zeros;
  for (const auto* t : c.OfKind(CanvasCall::Text))
    if (t->text == "0.000") zeros.push_back(t->p1);
  EXPECT_EQ(zeros, (std::vector<CanvasPoint>{{175, 93}, {205, 93}}));
  EXPECT_EQ(at(c, "Chelator conc:"), (CanvasPoint{260, 13}));
  EXPECT_EQ(at(c, " 2.0000 uM"), (CanvasPoint{345, 13}));
  EXPECT_EQ(at(c, "+-0.10000 uM"), (CanvasPoint{410, 13}));
  EXPECT_EQ(at(c, " 1.5000 uM"), (CanvasPoint{345, 53}));
  // dG and d(dG)min of the two-site chelator model start 11 units left of the column.
  EXPECT_EQ(at(c, "dG:").y, 73);
  EXPECT_EQ(at(c, "d(dG)min:").y, 93);
  int nudged = 0;
  for (const auto* t : c.OfKind(CanvasCall::Text)) {
    if (t->p1.y < 73 || t->text.find("kJ/mol") == std::string::npos) continue;
    EXPECT_EQ(t->p1.x, 334) << t->text;
    ++nudged;
  }
  EXPECT_EQ(nudged, 2);
}

// The worked values of the free energies and the log K at the document's default 298.15 K.
TEST(ResultsPainter, WorkedValues) {
  Panel p;
  p.fit(1, 1.0, 0.5, true);  // p4 = 1 per nM: 10^9 per M; s = p/2
  RecordingCanvas c = p.paint();
  EXPECT_EQ(at(c, "9.00000"), (CanvasPoint{105, 93}));
  EXPECT_EQ(at(c, "-51.3723 kJ/mol"), (CanvasPoint{345, 13}));
  EXPECT_EQ(at(c, "0.176"), (CanvasPoint{175, 93}));
  EXPECT_EQ(at(c, "-0.301"), (CanvasPoint{205, 93}));

  Panel equal;
  equal.fit(3, 0.01, 0.01, true);  // K1 = K2; the error reaches the constant
  RecordingCanvas c3 = equal.paint();
  EXPECT_EQ(at(c3, " -3.437 kJ/mol"), (CanvasPoint{345, 73}));  // model 3 is not nudged
  EXPECT_EQ(at(c3, "d(dG)min: ").y, 73);
  EXPECT_NE(c3.FindText("-inf"), nullptr);  // lower limit of a constant at or below zero

  Panel fixed;
  fixed.fit(7, 2.0, 0.0, true);
  RecordingCanvas c7 = fixed.paint();
  EXPECT_EQ(at(c7, "+-0.00000"), (CanvasPoint{175, 33}));
  EXPECT_EQ(texts_at_x(c7, 205), (std::vector<std::string>{"0.00000"}));  // model 7: "%7.5f"
}

// Model 6's last row lies below the frames at 1024 and model 10 spells its unit "KJ/mol".
TEST(ResultsPainter, LongBlocks) {
  Panel p6;
  p6.fit(6, 1.0, 0.0, false);
  RecordingCanvas c6 = p6.paint();
  EXPECT_GT(at(c6, "dG:").y, p6.layout.m_nFrameBottom);
  Panel p10;
  p10.fit(10, 1.0, 0.0, false);
  RecordingCanvas c10 = p10.paint();
  EXPECT_EQ(at(c10, "-308.234 KJ/mol"), (CanvasPoint{345, 113}));  // six times log K 9
}

TEST(ResultsPainter, FontFollowsScreenWidth) {
  EXPECT_EQ(results_font(compute_control_layout(1024), 96).height, 10);  // 8 pt
  EXPECT_EQ(results_font(compute_control_layout(800), 96).height, 8);    // 6 pt
  Panel p(800);
  RecordingCanvas c = p.paint();
  EXPECT_EQ(at(c, "Error: 68%"), (CanvasPoint{137, 8 + 2 - 4 - 2}));
  EXPECT_EQ(c.FindText("Confidence")->font.face, "MS Sans Serif");
}

namespace {

TEST(ResultsPainter, FirstWarningUnderTheTablesWhileTheFitIsShown) {
  Panel p;
  p.fit(1, 1.0, 0.0, false);
  p.doc.m_fitDiagnostics.valid = true;
  p.doc.m_fitDiagnostics.warnings = {{"unbounded", {4}, "log K is not determined by these data: only a lower bound, log K > 8.1"},
                                     {"at_bound", {3}, "second"}};
  const std::string line = "log K is not determined by these data: only a lower bound, log K > 8.1 (+1 more)";
  const CanvasPoint where = at(p.paint(), line);
  EXPECT_EQ(where.x, p.layout.m_nFrameLeft + p.layout.m_nResMetricF);
  EXPECT_EQ(where.y, p.layout.m_nFrameBottom + p.layout.m_nResMetricF);
  p.doc.m_bShowFit = 0;
  EXPECT_EQ(p.paint().FindText(line), nullptr);
  p.doc.m_bShowFit = 1;
  p.doc.m_fitDiagnostics.warnings.clear();
  const auto canvas = p.paint();  // OfKind points into it, so it must outlive the loop
  for (const auto* c : canvas.OfKind(CanvasCall::Text)) EXPECT_LT(c->p1.y, p.layout.m_nFrameBottom) << c->text;
}

}  // namespace

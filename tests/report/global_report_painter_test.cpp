// The printed page of a global fit through a recording canvas: its texts (shared constants
// with errors, every titration's file, chi-square and own rows), every titration's points in
// its colour on the graph, and a page that keeps everything inside it however many
// titrations there are.
#include "graphview/global_report_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commands/fit_command.h"
#include "commands/identifiability.h"
#include "document/c_text.h"
#include "fitting/model_registry.h"
#include "graphview/comparison_painter.h"
#include "support/recording_canvas.h"
#include "tests/commands/series.h"

namespace {

const ReportPage kA4{4960, 7016, 600};
const ReportDate kDate{7, 12, 2026};

// A one-site titration (model 1) with its own responses, fitted on its own with the protein
// concentration fixed.
Titration FittedTitration(double freeResponse, double boundResponse, unsigned seed) {
  Titration doc;
  const SeriesSpec series = series_design(1, {freeResponse, boundResponse, 10.0, 6.0}, 60, 0.002, 40, seed);
  write_series(doc, series);
  FitSettings s = fit_settings_at_truth(series, doc);
  const int flags[] = {0, 1, 1, 0, 1};
  for (int row = 1; row <= 4; ++row) s.m_bFitSlot[row] = flags[row];
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  s.m_dConstantSD = 0.002;
  s.m_bEstimateErrors = 1;
  EXPECT_TRUE(run_fit_command(doc, s, nullptr).fitted);
  return doc;
}

GlobalFitResult GlobalOf(std::vector<Titration>& docs, bool errors = true) {
  std::vector<GlobalFitInput> inputs;
  for (std::size_t i = 0; i < docs.size(); ++i) inputs.push_back({c_printf("titration-%i.bwd", static_cast<int>(i) + 1), &docs[i]});
  GlobalFitRequest request;
  if (errors) {
    fit_dialog_choose_error_radio(request.errors, ErrorRadio::ConstantSD);
    request.errors.m_dConstantSD = 0.002;
    request.errors.m_bEstimateErrors = 1;
  }
  return run_global_fit(inputs, request);
}

std::string Label(int row) { return fit_dialog_row(1, row)->reportLabel; }

bool Inside(const CanvasRect& outer, const CanvasRect& r) {
  return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right && r.bottom <= outer.bottom;
}

class GlobalReport : public ::testing::Test {
 protected:
  void SetUp() override {
    docs_ = {FittedTitration(0.0, 1.0, 3), FittedTitration(2.0, 0.5, 5)};
    result_ = GlobalOf(docs_);
    ASSERT_TRUE(result_.haveErrors);
    ASSERT_EQ(result_.shared.size(), 1u);
  }
  std::vector<Titration> docs_;
  GlobalFitResult result_;
};

TEST_F(GlobalReport, TextsCarryTheSharedConstantsAndEveryTitrationsOwnRows) {
  const GlobalReportTexts t = GlobalReportTextsFor(result_, kDate);
  EXPECT_EQ(t.header, "Global fit    7/12/2026");
  EXPECT_EQ(t.title, "Global fit of 2 titrations");
  ASSERT_EQ(t.shared.size(), 2u);
  EXPECT_EQ(t.shared[1], (std::vector<std::string>{Label(4), format_c("%.4g", result_.shared[0].value),
                                                   format_c("%.2g", result_.shared[0].error)}));
  EXPECT_NE(t.summary.find(format_c("%.4g", result_.chiSquare)), std::string::npos) << t.summary;
  EXPECT_NE(t.summary.find(c_printf("n = %i points", result_.n)), std::string::npos) << t.summary;
  ASSERT_EQ(t.titrations.size(), 3u);
  ASSERT_EQ(t.ownRows.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const GlobalTitrationPart& part = result_.titrations[i];
    EXPECT_EQ(t.titrations[i + 1], (std::vector<std::string>{part.name, "1", c_printf("%i", part.n),
                                                             format_c("%.4g", part.chiSquare)}));
    const std::string& own = t.ownRows[i];
    EXPECT_NE(own.find(Label(1) + " " + format_c("%.4g", part.values[1]) + " +- " + format_c("%.2g", part.errors[1])),
              std::string::npos) << own;
    EXPECT_NE(own.find(Label(3) + " 10 (fixed)"), std::string::npos) << own;
    EXPECT_EQ(own.find(Label(4)), std::string::npos) << "the shared row is not a titration's own: " << own;
  }
  EXPECT_NE(t.ownRows[0], t.ownRows[1]) << "each titration keeps its own responses";

  const GlobalFitResult plain = GlobalOf(docs_, false);
  const GlobalReportTexts p = GlobalReportTextsFor(plain, kDate);
  EXPECT_EQ(p.shared[1][2], "-");
  EXPECT_EQ(p.ownRows[0].find("+-"), std::string::npos) << p.ownRows[0];
}

TEST_F(GlobalReport, ProfileIntervalsTakeAFourthColumnOfTheSharedTable) {
  std::vector<GlobalFitInput> inputs;
  for (std::size_t i = 0; i < docs_.size(); ++i) inputs.push_back({c_printf("titration-%i.bwd", static_cast<int>(i) + 1), &docs_[i]});
  GlobalFitRequest request;
  fit_dialog_choose_error_radio(request.errors, ErrorRadio::ConstantSD);
  request.errors.m_dConstantSD = 0.002;
  request.profileIntervals = true;
  const GlobalFitResult r = run_global_fit(inputs, request);
  ASSERT_TRUE(r.haveProfile && r.shared.front().interval);
  const GlobalReportTexts t = GlobalReportTextsFor(r, kDate);
  EXPECT_EQ(t.shared[0].back(), "Profile 68%");
  const std::string cell = interval_text(1, *r.shared.front().interval);
  EXPECT_EQ(t.shared[1].back(), cell);
  EXPECT_EQ(GlobalReportTextsFor(result_, kDate).shared[1].size(), 3u) << "no column without intervals";
  // Each titration's own fitted rows carry their intervals too.
  int ownIntervals = 0;
  for (std::size_t i = 0; i < r.titrations.size(); ++i) {
    for (int row = 1; row <= kValueRows; ++row) {
      const bool shared = std::any_of(r.shared.begin(), r.shared.end(), [row](const GlobalSharedRow& s) { return s.row == row; });
      if (shared || !r.titrations[i].intervals[row]) continue;
      ++ownIntervals;
      EXPECT_NE(t.ownRows[i].find("68 %: " + interval_text(1, *r.titrations[i].intervals[row])), std::string::npos)
          << t.ownRows[i];
    }
  }
  EXPECT_GT(ownIntervals, 0);

  RecordingCanvas canvas;
  PaintGlobalReport(canvas, r, kA4, kDate);
  const CanvasCall* drawn = canvas.FindText(cell);
  ASSERT_NE(drawn, nullptr) << cell;
  const CanvasCall* error = canvas.FindText(t.shared[1][2]);
  ASSERT_NE(error, nullptr);
  EXPECT_GT(drawn->rect.left, error->rect.left) << "the interval stands right of the error";
  EXPECT_LE(drawn->rect.right, kA4.width - kA4.height / 10) << "inside the right margin";
}

TEST_F(GlobalReport, ThePageDrawsTheSharedConstantsAndEveryTitrationsPointsInItsColour) {
  RecordingCanvas canvas;
  PaintGlobalReport(canvas, result_, kA4, kDate);
  const GlobalReportTexts t = GlobalReportTextsFor(result_, kDate);
  for (const std::string& text : {t.header, t.title, t.summary, t.shared[1][0], t.shared[1][1], t.shared[1][2],
                                  t.titrations[1][0], t.titrations[2][3], std::string("Total Ca (uM)")})
    EXPECT_NE(canvas.FindText(text), nullptr) << "missing: " << text;
  EXPECT_EQ(canvas.FindText(t.titrations[2][0])->textColour, ComparisonColour(1)) << "the file in its graph colour";

  RecordingCanvas measure;
  const GlobalReportLayout layout = GlobalReportLayoutFor(measure, t, kA4);
  for (std::size_t i = 0; i < 2; ++i) {
    int marks = 0;
    for (const CanvasCall* e : canvas.OfKind(CanvasCall::Ellipse))
      if (e->pen.colour == ComparisonColour(static_cast<int>(i)) && Inside(layout.graph, e->rect) && e->brush.hollow)
        ++marks;
    EXPECT_GE(marks, result_.titrations[i].n) << "titration " << i << ": every point on the graph, hollow";
  }
}

TEST_F(GlobalReport, ManyTitrationsShrinkTheTablesAndStayOnThePage) {
  std::vector<Titration> many;
  for (unsigned i = 0; i < 8; ++i) many.push_back(FittedTitration(0.1 * i, 1.0 + 0.1 * i, 10 + i));
  const GlobalFitResult big = GlobalOf(many);
  RecordingCanvas measure;
  const GlobalReportLayout two = GlobalReportLayoutFor(measure, GlobalReportTextsFor(result_, kDate), kA4);
  const GlobalReportLayout eight = GlobalReportLayoutFor(measure, GlobalReportTextsFor(big, kDate), kA4);
  EXPECT_LT(eight.tableFont.height, two.tableFont.height);
  EXPECT_LE(eight.RowsNeeded() * eight.rowHeight, eight.body.Height());
  EXPECT_GT(eight.body.top, eight.graph.bottom);
  EXPECT_LT(eight.body.bottom, kA4.height);

  RecordingCanvas canvas;
  PaintGlobalReport(canvas, big, kA4, kDate);
  const CanvasRect page{0, 0, kA4.width, kA4.height};
  for (const CanvasCall& c : canvas.calls) {
    if (c.kind == CanvasCall::TextRect || c.kind == CanvasCall::Rect) {
      EXPECT_TRUE(Inside(page, c.rect)) << c.text;
    }
    if (c.kind == CanvasCall::Text) {
      EXPECT_GE(c.p1.y, 0) << c.text;
      EXPECT_LT(c.p1.y + c.font.height, kA4.height) << c.text;
    }
  }
  EXPECT_NE(canvas.FindText("titration-8.bwd"), nullptr);
}

}  // namespace

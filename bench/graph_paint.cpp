// A full repaint of the graph pane with the most it ever holds: 99 points, the fit and ten
// simulated curves of 498 samples, drawn onto a canvas that does nothing, so the figure is
// the core's share of a repaint (collection, scaling pass, mapping, formatting).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "canvas/canvas.h"
#include "document/titration.h"
#include "commands/display_values.h"
#include "graphview/graph_painter.h"

namespace {

class NullCanvas : public Canvas {
 public:
  void SetPen(const CanvasPen&) override {}
  void SetBrush(const CanvasBrush&) override {}
  void SetFont(const CanvasFont&) override {}
  void SetTextColour(Rgb) override {}
  void SetTextBackground(bool, Rgb) override {}
  void MoveTo(int x, int) override { benchmark::DoNotOptimize(x); }
  void LineTo(int x, int) override { benchmark::DoNotOptimize(x); }
  void DrawLine(int, int, int, int) override {}
  void DrawRectangle(const CanvasRect&) override {}
  void DrawEllipse(const CanvasRect&) override {}
  void FillSolidRect(const CanvasRect&, Rgb) override {}
  void TileImage(const CanvasRect&, const CanvasImage&) override {}
  void TextOut(int, int, const std::string&) override {}
  void DrawText(const std::string&, const CanvasRect&, unsigned) override {}
  CanvasSize GetTextExtent(const std::string& t) override { return {6 * static_cast<int>(t.size()), 12}; }
  void SetClip(const CanvasRect&) override {}
  void ResetClip() override {}
};

std::unique_ptr<Titration> FullDocument() {
  auto doc = std::make_unique<Titration>();
  for (int r = 0; r < Titration::kRows; ++r) {
    doc->m_cells[r][0].SetText(format_c("%.5f", 0.5 + 0.4 * r / 98));
    doc->m_cells[r][1].SetText(format_c("%.3f", 2.0 * r));
  }
  doc->m_bShowFit = 1;
  doc->m_bHaveSims = 1;
  for (int k = 1; k <= Titration::kMaxSims; ++k) doc->m_bSlotFree[k] = 0;
  for (int i = 0; i < Titration::kCurvePoints; ++i) {
    const double x = 200.0 * i / (Titration::kCurvePoints - 1);
    doc->m_fitCurve[i] = {0.5 + 0.4 * x / (x + 20), x};
    for (int k = 1; k <= Titration::kMaxSims; ++k) {
      doc->m_simCurve[i].x[k] = x;
      doc->m_simCurve[i].y[k] = 0.5 + 0.4 * x / (x + 5.0 * k);
    }
  }
  return doc;
}

void BM_GraphPaneRepaint(benchmark::State& state) {
  auto doc = FullDocument();
  GraphState graph;
  GraphPaneInput in;
  in.geometry = GraphGeometryForWidth(1024);
  in.client = {724, 500};
  NullCanvas canvas;
  for (auto _ : state) PaintGraphPane(canvas, *doc, graph, in);
}
BENCHMARK(BM_GraphPaneRepaint);

}  // namespace

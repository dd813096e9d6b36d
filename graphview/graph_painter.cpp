#include "graphview/graph_painter.h"

#include <cmath>

#include "document/titration.h"
#include "commands/display_values.h"
#include "graphview/background_tile.h"
#include "graphview/plot_colours.h"
#include "graphview/residual_strip.h"

std::string FormatTickLabel(double value) { return format_c("%7.2f", value); }

void DrawMeasuredPoints(Canvas& canvas, const GraphMapping& map, const GraphPointTable& points,
                        double startCa, int radius) {
  for (int i = 0; i < points.m_nGraphPoints; ++i) {
    const auto& p = points.m_graphPoints[i];
    const double px = map.PixelX(startCa + p.addedCa);
    const double py = map.PixelY(p.response);
    if (!map.InsideOrOnFrame(px, py)) continue;
    canvas.DrawEllipse({ToPixel(px - radius), ToPixel(py - radius), ToPixel(px + radius), ToPixel(py + radius)});
  }
}

void CurveTracer::Add(double x, double y) {
  const double px = m_map.PixelX(x), py = m_map.PixelY(y);
  if (!std::isfinite(px) || !std::isfinite(py)) {
    m_bStarted = false;
    return;
  }
  if (m_bStarted && m_map.StrictlyInside(px, py))
    m_canvas.LineTo(ToPixel(px), ToPixel(py));
  else
    m_canvas.MoveTo(ToPixel(px), ToPixel(py));
  m_bStarted = true;
}

void DrawSimulatedCurves(Canvas& canvas, const GraphMapping& map, const Titration& doc) {
  if (doc.m_bHaveSims != 1) return;
  for (int k = 1; k <= Titration::kMaxSims; ++k) {
    if (doc.m_bSlotFree[k] != 0) continue;
    canvas.SetPen({PenStyle::Solid, 1, PlotColour(k)});
    CurveTracer tracer(canvas, map);
    for (const SimPoint& p : doc.m_simCurve) tracer.Add(p.x[k], p.y[k]);
  }
  canvas.SetPen(kBlackPen);
}

void DrawFitCurve(Canvas& canvas, const GraphMapping& map, const Titration& doc) {
  if (doc.m_bShowFit != 1) return;
  canvas.SetPen({PenStyle::Solid, 1, kFitCurveColour});
  CurveTracer tracer(canvas, map);
  for (const FitPoint& p : doc.m_fitCurve) tracer.Add(p.x, p.y);
  canvas.SetPen(kBlackPen);
}

void DrawTickMarks(Canvas& canvas, const CanvasRect& plot, const GraphScale& scale, int length) {
  const double dx = static_cast<double>(plot.Width()) / scale.m_nXIntervals;
  const double dy = static_cast<double>(plot.Height()) / scale.m_nYIntervals;
  for (int i = 1; i < scale.m_nXIntervals; ++i) {
    const int x = static_cast<int>(plot.left + i * dx);
    canvas.DrawLine(x, plot.bottom - 1, x, plot.bottom - length - 1);
    canvas.DrawLine(x, plot.top + length, x, plot.top);
  }
  for (int j = 1; j < scale.m_nYIntervals; ++j) {
    const int y = static_cast<int>(plot.bottom - j * dy);
    canvas.DrawLine(plot.left, y, plot.left + length, y);
    canvas.DrawLine(plot.right - length, y, plot.right, y);
  }
}

void DrawTickLabels(Canvas& canvas, const GraphGeometry& geo, const GraphScale& scale) {
  DrawTickLabels(canvas, geo, scale, geo.PlotRect());
}

void DrawTickLabels(Canvas& canvas, const GraphGeometry& geo, const GraphScale& scale, const CanvasRect& graph) {
  const CanvasRect plot = geo.PlotRect();
  const double dx = static_cast<double>(plot.Width()) / scale.m_nXIntervals;
  const double dy = static_cast<double>(graph.Height()) / scale.m_nYIntervals;
  for (int i = 1; i < scale.m_nXIntervals; ++i) {
    const double xi = plot.left + i * dx;
    const CanvasRect box{static_cast<int>(xi - geo.m_nXLabelHalfWidth), plot.bottom + geo.m_nXLabelTop,
                         static_cast<int>(xi + geo.m_nXLabelHalfWidth), plot.bottom + geo.m_nXLabelBottom};
    canvas.DrawText(FormatTickLabel(scale.xMin + i * scale.m_dXStep), box, kAlignCenter | kAlignVCenter | kSingleLine);
  }
  for (int j = 1; j < scale.m_nYIntervals; ++j) {
    const double yj = graph.bottom - j * dy;
    // The box reaches m_nYLabelHalfHeight into the plot; labels are left-aligned in it.
    const CanvasRect box{plot.left - geo.m_nYLabelIndent, static_cast<int>(yj - geo.m_nYLabelHalfHeight),
                         plot.left + geo.m_nYLabelHalfHeight, static_cast<int>(yj + geo.m_nYLabelHalfHeight)};
    canvas.DrawText(FormatTickLabel(scale.yMin + j * scale.m_dYStep), box, kAlignLeft | kAlignVCenter | kSingleLine);
  }
}

namespace {

constexpr CanvasBrush kHollowBrush{true, {255, 255, 255}};
constexpr CanvasBrush kWhiteBrush{false, {255, 255, 255}};
constexpr unsigned kCentredLine = kAlignCenter | kAlignVCenter | kSingleLine;

void DrawPlotContent(Canvas& canvas, const Titration& doc, GraphState& state, const GraphGeometry& geo) {
  RunScalingPass(doc, state);
  const ResidualStripLayout split = SplitPlotForResiduals(geo.PlotRect(), ResidualStripWanted(doc));
  const CanvasRect plot = split.graph;
  const GraphMapping map = MakeGraphMapping(state.scale, plot);
  DrawMeasuredPoints(canvas, map, state.points, doc.m_dStartCa, geo.m_nMarkSize);
  DrawTickMarks(canvas, plot, state.scale, geo.m_nMarkSize);
  DrawTickLabels(canvas, geo, state.scale, plot);
  DrawSimulatedCurves(canvas, map, doc);
  DrawFitCurve(canvas, map, doc);
  if (split.shown()) {
    DrawResidualStrip(canvas, split.strip, map, fit_residuals(doc), geo.m_nMarkSize);
    canvas.SetPen(kBlackPen);
    canvas.SetBrush(kHollowBrush);
  }
}

void DrawTexts(Canvas& canvas, const Titration& doc, GraphState& state, const GraphPaneInput& in) {
  const GraphGeometry& geo = in.geometry;
  canvas.SetFont(in.fonts.title);
  state.m_rcTitle = {geo.m_nPlotLeft, 0, geo.m_nPlotRight, geo.m_nPlotTop};
  canvas.DrawText(doc.m_strTitle, state.m_rcTitle, kCentredLine);

  canvas.SetFont(in.fonts.xCaption);
  state.m_rcXCaption = {geo.m_nPlotLeft, geo.m_nPlotBottom + geo.m_nXLabelTop, geo.m_nPlotRight, geo.m_nXCaptionBottom};
  canvas.DrawText(doc.m_strXCaption, state.m_rcXCaption, kCentredLine);

  // The Y caption runs upwards from its anchor, centred along the plot's height.
  canvas.SetFont(in.fonts.yCaption);
  const int length = canvas.GetTextExtent(doc.m_strYCaption).cx;
  const int y = geo.m_nPlotBottom - (geo.m_nPlotBottom - geo.m_nPlotTop - length) / 2;
  canvas.TextOut(geo.m_nMarkSize, y, doc.m_strYCaption);
}

}  // namespace

CanvasRect GraphRectFor(const GraphGeometry& geo, const Titration& doc) {
  return SplitPlotForResiduals(geo.PlotRect(), ResidualStripWanted(doc)).graph;
}

void PaintGraphPane(Canvas& canvas, const Titration& doc, GraphState& state, const GraphPaneInput& in) {
  canvas.SetFont(in.fonts.labels);
  canvas.SetTextBackground(false, {255, 255, 255});
  canvas.SetTextColour({0, 0, 0});
  canvas.SetPen(kBlackPen);
  canvas.SetBrush(kHollowBrush);
  canvas.TileImage({0, 0, in.client.cx, in.client.cy}, BackgroundTile());

  canvas.SetBrush(kWhiteBrush);
  canvas.DrawRectangle(GraphRectFor(in.geometry, doc));
  canvas.SetBrush(kHollowBrush);

  state.m_rcPlot = GraphRectFor(in.geometry, doc);
  state.points.Collect(doc);
  if (state.points.HasSomethingToDraw()) DrawPlotContent(canvas, doc, state, in.geometry);

  DrawTexts(canvas, doc, state, in);

  canvas.SetBrush(kHollowBrush);
  if (doc.m_bGraphDrag) canvas.DrawRectangle(in.dragRect);
}

#include "graphview/comparison_painter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "document/c_text.h"
#include "graphview/graph_painter.h"
#include "graphview/graph_scale.h"
#include "graphview/plot_colours.h"

namespace {

// Slots red, magenta, purple, orange, brown, green: the pale ones vanish on white paper.
constexpr int kReadableSlots[] = {1, 3, 6, 7, 10, 2};
constexpr int kGap = 4;  // pixels between the plot and each strip

struct Range {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  void Add(double v) {
    if (!std::isfinite(v)) return;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  bool Empty() const { return lo > hi; }
};

// A nice-stepped axis reaching from at or below lo to at or above hi.
void FitAxis(double lo, double hi, double& min, double& step, int& intervals) {
  if (!(hi > lo)) hi = lo + 1.0;
  step = NiceStep(hi - lo);
  min = std::floor(lo / step) * step;
  intervals = IntervalCount(hi - min, step);
  if (min + intervals * step < hi) ++intervals;
}

GraphScale PlotScale(const ComparisonPlotInput& in) {
  Range x, y;
  x.Add(0.0);
  for (const ComparisonPlotSeries& s : in.series) {
    for (const CandidatePoint& p : s.points) {
      x.Add(p.x);
      y.Add(p.y);
    }
    for (const FitPoint& p : s.curve) {
      x.Add(p.x);
      y.Add(p.y);
    }
  }
  GraphScale scale;
  if (y.Empty()) y.Add(0.0);
  FitAxis(x.lo, x.hi, scale.xMin, scale.m_dXStep, scale.m_nXIntervals);
  FitAxis(y.lo, y.hi, scale.yMin, scale.m_dYStep, scale.m_nYIntervals);
  scale.xMax = scale.xMin + scale.XRange();
  scale.yMax = scale.yMin + scale.YRange();
  return scale;
}

// Every strip runs from -r to +r, r the largest residual of any candidate.
GraphScale StripScale(const ComparisonPlotInput& in, const GraphScale& plot) {
  double reach = 0.0;
  for (const ComparisonPlotSeries& s : in.series)
    for (const CandidatePoint& p : s.points)
      if (std::isfinite(p.Residual())) reach = std::max(reach, std::fabs(p.Residual()));
  if (reach == 0.0) reach = 1.0;
  GraphScale scale = plot;
  scale.m_dYStep = NiceStep(2.0 * reach);
  scale.m_nYIntervals = 2 * static_cast<int>(std::ceil(reach / scale.m_dYStep));
  scale.yMin = -0.5 * scale.m_nYIntervals * scale.m_dYStep;
  scale.yMax = -scale.yMin;
  return scale;
}

void DrawFrame(Canvas& canvas, const CanvasRect& r) {
  canvas.SetPen(kBlackPen);
  canvas.SetBrush({true, {255, 255, 255}});
  canvas.DrawRectangle(r);
}

void DrawPoints(Canvas& canvas, const GraphMapping& map, const std::vector<CandidatePoint>& points, int radius,
                Rgb colour = {0, 0, 0}) {
  GraphPointTable table;
  for (const CandidatePoint& p : points) {
    if (table.m_nGraphPoints >= Titration::kRows) break;
    table.m_graphPoints[table.m_nGraphPoints++] = {p.y, p.x};
  }
  canvas.SetPen({PenStyle::Solid, 1, colour});
  canvas.SetBrush({true, {255, 255, 255}});
  DrawMeasuredPoints(canvas, map, table, 0.0, radius);
}

void DrawCurve(Canvas& canvas, const GraphMapping& map, const ComparisonPlotSeries& s) {
  canvas.SetClip(map.plot);
  canvas.SetPen({PenStyle::Solid, 1, s.colour});
  CurveTracer tracer(canvas, map);
  for (const FitPoint& p : s.curve) tracer.Add(p.x, p.y);
  canvas.ResetClip();
}

void DrawStrip(Canvas& canvas, const GraphMapping& map, const ComparisonPlotSeries& s, int radius) {
  DrawFrame(canvas, map.plot);
  const int zero = ToPixel(map.PixelY(0.0));
  canvas.SetPen({PenStyle::Dot, 1, {0, 0, 0}});
  canvas.DrawLine(map.plot.left, zero, map.plot.right, zero);
  canvas.SetPen({PenStyle::Solid, 1, s.colour});
  canvas.SetBrush({false, s.colour});
  for (const CandidatePoint& p : s.points) {
    const double px = map.PixelX(p.x), py = map.PixelY(p.Residual());
    if (!map.InsideOrOnFrame(px, py)) continue;
    canvas.DrawLine(ToPixel(px), zero, ToPixel(px), ToPixel(py));
    canvas.DrawEllipse({ToPixel(px) - radius, ToPixel(py) - radius, ToPixel(px) + radius, ToPixel(py) + radius});
  }
  canvas.SetTextColour(s.colour);
  canvas.TextOut(map.plot.left + 3, map.plot.top + 1, s.label.empty() ? "Model " + std::to_string(s.model) : s.label);
  canvas.SetTextColour({0, 0, 0});
}

// Residuals are often far below the plot's two decimals, so strips label with three digits.
void DrawYLabels(Canvas& canvas, const CanvasRect& r, const std::string& lo, const std::string& hi, int width) {
  const int h = canvas.GetTextExtent("0").cy;
  canvas.DrawText(hi, {r.left - width, r.top, r.left - 2, r.top + h}, kAlignRight | kSingleLine | kNoClip);
  canvas.DrawText(lo, {r.left - width, r.bottom - h, r.left - 2, r.bottom}, kAlignRight | kSingleLine | kNoClip);
}

}  // namespace

Rgb ComparisonColour(int index) {
  constexpr int n = static_cast<int>(sizeof(kReadableSlots) / sizeof(kReadableSlots[0]));
  return PlotColour(kReadableSlots[((index % n) + n) % n]);
}

ComparisonPlotSeries MakeComparisonSeries(const CandidateFit& candidate, int index) {
  ComparisonPlotSeries s;
  s.model = candidate.model;
  s.colour = ComparisonColour(index);
  s.points = candidate_points(candidate);
  if (candidate.fitted) s.curve.assign(std::begin(candidate.result.curve), std::end(candidate.result.curve));
  return s;
}

ComparisonPlotLayout LayOutComparisonPlot(const CanvasRect& area, int stripCount, int labelWidth, int labelHeight) {
  ComparisonPlotLayout out;
  const CanvasRect inner{area.left + labelWidth, area.top + kGap, area.right - kGap, area.bottom - labelHeight - kGap};
  const int height = std::max(0, inner.Height());
  const int stripShare = stripCount > 0 ? height * 9 / 20 : 0;
  const int stripHeight = stripCount > 0 ? std::max(8, (stripShare - stripCount * kGap) / stripCount) : 0;
  const int plotBottom = std::max(inner.top, inner.bottom - stripCount * (stripHeight + kGap));
  out.plot = {inner.left, inner.top, inner.right, plotBottom};
  int top = plotBottom + kGap;
  for (int i = 0; i < stripCount; ++i, top += stripHeight + kGap)
    out.strips.push_back({inner.left, top, inner.right, top + stripHeight});
  return out;
}

void PaintModelComparison(Canvas& canvas, const ComparisonPlotInput& in) {
  canvas.FillSolidRect(in.area, {255, 255, 255});
  canvas.SetFont(in.labelFont);
  canvas.SetTextColour({0, 0, 0});
  const CanvasSize label = canvas.GetTextExtent(FormatTickLabel(-1000.0));
  const ComparisonPlotLayout layout = LayOutComparisonPlot(in.area, static_cast<int>(in.series.size()), label.cx + 4, label.cy);
  const GraphScale scale = PlotScale(in);
  const GraphMapping map = MakeGraphMapping(scale, layout.plot);

  DrawFrame(canvas, layout.plot);
  DrawTickMarks(canvas, layout.plot, scale, in.markRadius + 1);
  DrawYLabels(canvas, layout.plot, FormatTickLabel(scale.yMin), FormatTickLabel(scale.yMax), label.cx + 4);
  for (const ComparisonPlotSeries& s : in.series) DrawCurve(canvas, map, s);
  for (const ComparisonPlotSeries& s : in.series)
    if (s.ownPoints) DrawPoints(canvas, map, s.points, in.markRadius, s.colour);
  for (const ComparisonPlotSeries& s : in.series)
    if (!s.ownPoints && !s.points.empty()) {
      DrawPoints(canvas, map, s.points, in.markRadius);
      break;  // every candidate saw the same points
    }

  const GraphScale strip = StripScale(in, scale);
  for (std::size_t i = 0; i < in.series.size(); ++i) {
    const GraphMapping stripMap = MakeGraphMapping(strip, layout.strips[i]);
    DrawStrip(canvas, stripMap, in.series[i], std::max(1, in.markRadius - 1));
    DrawYLabels(canvas, layout.strips[i], format_c("%.3g", strip.yMin), format_c("%.3g", strip.yMax), label.cx + 4);
  }
  const CanvasRect& last = layout.strips.empty() ? layout.plot : layout.strips.back();
  canvas.DrawText(FormatTickLabel(scale.xMin), {last.left - label.cx / 2, last.bottom + 2, last.left + label.cx / 2, last.bottom + 2 + label.cy},
                  kAlignCenter | kSingleLine | kNoClip);
  canvas.DrawText(FormatTickLabel(scale.xMax), {last.right - label.cx, last.bottom + 2, last.right, last.bottom + 2 + label.cy},
                  kAlignRight | kSingleLine | kNoClip);
  canvas.SetPen(kBlackPen);
}

#include "graphview/residual_strip.h"

#include <algorithm>
#include <cmath>

#include "document/c_text.h"
#include "document/titration.h"

namespace {

constexpr CanvasPen kZeroLinePen{PenStyle::Dot, 1, {128, 128, 128}};
constexpr CanvasPen kFramePen{PenStyle::Solid, 1, {0, 0, 0}};
constexpr CanvasBrush kHollow{true, {255, 255, 255}};
constexpr CanvasBrush kWhite{false, {255, 255, 255}};

int Round(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

bool ResidualStripWanted(const Titration& doc) { return doc.m_bShowFit != 0 && doc.m_bShowResiduals != 0; }

ResidualStripLayout SplitPlotForResiduals(const CanvasRect& plot, bool show) {
  ResidualStripLayout out{plot, {plot.left, plot.bottom, plot.right, plot.bottom}};
  if (!show) return out;
  const int height = plot.bottom - plot.top;
  const int strip = static_cast<int>(height * kResidualStripShare);
  const int gap = std::max(2, static_cast<int>(height * kResidualStripGapShare));
  if (strip < 8) return out;  // too small to read: the graph keeps the whole rectangle
  out.strip = {plot.left, plot.bottom - strip, plot.right, plot.bottom};
  out.graph.bottom = out.strip.top - gap;
  return out;
}

double ResidualHalfRange(const std::vector<ResidualPoint>& residuals) {
  double largest = 0.0;
  for (const ResidualPoint& p : residuals)
    if (std::isfinite(p.residual)) largest = std::max(largest, std::fabs(p.residual));
  return largest > 0.0 ? 1.1 * largest : 1.0;
}

double ResidualPixelY(const CanvasRect& strip, double halfRange, double r) {
  const double middle = 0.5 * (strip.top + strip.bottom);
  return middle - r / halfRange * 0.5 * (strip.bottom - strip.top);
}

std::string ResidualScaleText(double halfRange, int sign) {
  return c_printf(sign > 0 ? "+%.2g" : "-%.2g", halfRange);
}

void DrawResidualScale(Canvas& canvas, const CanvasRect& strip, double halfRange) {
  // The strip's own scale, in the response's units, left of its top and bottom edges where
  // the graph has its tick labels: without it the strip shows a pattern but not its size.
  const int gap = 4, reach = 200, height = strip.bottom - strip.top;
  const unsigned align = kAlignRight | kAlignVCenter | kSingleLine;
  canvas.DrawText(ResidualScaleText(halfRange, +1), {strip.left - reach, strip.top - height, strip.left - gap, strip.top + height}, align);
  canvas.DrawText(ResidualScaleText(halfRange, -1), {strip.left - reach, strip.bottom - height, strip.left - gap, strip.bottom + height}, align);
}

void DrawResidualStrip(Canvas& canvas, const CanvasRect& strip, const GraphMapping& xMap,
                       const std::vector<ResidualPoint>& residuals, int radius) {
  canvas.SetPen(kFramePen);
  canvas.SetBrush(kWhite);
  canvas.DrawRectangle(strip);
  const double half = ResidualHalfRange(residuals);
  const int zero = Round(ResidualPixelY(strip, half, 0.0));
  canvas.SetPen(kZeroLinePen);
  canvas.DrawLine(strip.left, zero, strip.right, zero);
  DrawResidualScale(canvas, strip, half);
  canvas.SetPen(kFramePen);
  canvas.SetBrush(kHollow);
  for (const ResidualPoint& p : residuals) {
    const double px = xMap.PixelX(p.x);
    const double py = ResidualPixelY(strip, half, p.residual);
    if (!std::isfinite(px) || !std::isfinite(py) || px < strip.left || px > strip.right) continue;
    canvas.DrawEllipse({Round(px) - radius, Round(py) - radius, Round(px) + radius, Round(py) + radius});
  }
}

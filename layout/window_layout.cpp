#include "layout/window_layout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kClassicDivider = 6;  // pixels at scale 1
// Below W = 800 the narrowest buttons (Del) get thinner than GTK's smallest button and the
// toolkit complains about negative sizes; a smaller window shows the 800 layout cut off.
constexpr int kSmallestLayoutWidth = 800;

int Scaled(int pixels, double scale) { return std::max(1, static_cast<int>(std::lround(pixels * scale))); }

// Room kept free right of and below the last control of a pane: a quarter of the control
// pane's first-row offset (5 pixels at W = 1024, where the classic panes fit 1024 exactly).
int Margin(const ControlLayout& c) { return std::max(2, c.T / 4); }

// Lowest edge the control pane must show: the fourth button row and the results frames.
int ControlContentBottom(const ControlLayout& c) {
  return std::max(c.B + 3 * c.m_nButtonPitch, c.m_nFrameBottom) + Margin(c);
}

int GraphContentRight(const GraphGeometry& g) {
  return std::max({g.m_nPlotRight, g.m_rcAxisButton.right, g.m_rcFitButton.right});
}

void Shift(CanvasRect& r, int dx) {
  r.left += dx;
  r.right += dx;
}

// A graph pane wider than its rules give keeps the plot's left margin and its right margin
// and gives the extra width to the plot; the buttons keep their place under its right end.
void StretchGraph(GraphGeometry& g, int extraWidth) {
  if (extraWidth <= 0) return;
  g.m_nPlotRight += extraWidth;
  Shift(g.m_rcAxisButton, extraWidth);
  Shift(g.m_rcFitButton, extraWidth);
}

}  // namespace

bool LayoutWidthFits(int W, CanvasSize client, double scale) {
  if (W > client.cx) return false;
  const PaneSizes panes = PaneSizesForScreen(W);
  const ControlLayout c = compute_control_layout(W);
  const GraphGeometry g = GraphGeometryForWidth(W);
  const int divider = Scaled(kClassicDivider, scale);
  const int rightWidth = client.cx - panes.gridWidth - divider;
  const int needRight = std::max({GraphContentRight(g), c.R, c.m_rcRightFrame.right}) + Margin(c);
  const int buttonsBottom = std::max(g.m_rcAxisButton.bottom, g.m_rcFitButton.bottom);
  return rightWidth >= needRight && buttonsBottom <= panes.graphHeight &&
         panes.graphHeight + divider + ControlContentBottom(c) <= client.cy;
}

WindowLayout ComputeWindowLayout(CanvasSize client, double scale) {
  if (!(scale > 0.0)) scale = 1.0;
  WindowLayout out;
  out.scale = scale;
  out.fontDpi = static_cast<int>(std::lround(96.0 * scale));
  out.dividerWidth = Scaled(kClassicDivider, scale);
  // The widest fitting W; below the smallest one the window shows the smallest layout cut
  // off rather than controls too small to draw.
  int W = std::max(client.cx, kSmallestLayoutWidth);
  while (W > kSmallestLayoutWidth && !LayoutWidthFits(W, client, scale)) --W;
  out.layoutWidth = W;

  out.panes = LayoutPanes(PaneSizesForScreen(W), client.cx, client.cy, out.dividerWidth);
  out.grid = GridMetrics::ForScreenWidth(W);
  out.control = compute_control_layout(W);
  out.graph = GraphGeometryForWidth(W);
  const int classicRight = W - PaneSizesForScreen(W).gridWidth - out.dividerWidth;
  StretchGraph(out.graph, out.panes.graph.Width() - classicRight);

  // Point sizes that grow with W are those of a 96-dpi layout of the width in dots at 96
  // dpi; at the window's own resolution they come out the same size relative to the panes.
  const int dipWidth = static_cast<int>(std::lround(W / scale));
  const GridMetrics gridAt96 = GridMetrics::ForScreenWidth(dipWidth);
  out.grid.m_nCellFontPt = gridAt96.m_nCellFontPt;
  out.grid.m_nHeaderFontPt = gridAt96.m_nHeaderFontPt;
  out.grid.m_nFontDpi = out.fontDpi;
  const ControlLayout controlAt96 = compute_control_layout(dipWidth);
  out.control.m_nResultsFontPt = controlAt96.m_nResultsFontPt;
  out.control.m_nButtonFontPt = controlAt96.m_nButtonFontPt;
  out.control.fontDpi = out.fontDpi;
  return out;
}

std::vector<PlacedRect> PlacedControls(const WindowLayout& l) {
  std::vector<PlacedRect> out;
  auto add = [&](const std::string& name, const CanvasRect& pane, const CanvasRect& r) {
    out.push_back({name, {pane.left + r.left, pane.top + r.top, pane.left + r.right, pane.top + r.bottom}});
  };
  out.push_back({"grid pane", l.panes.grid});
  const GraphGeometry& g = l.graph;
  // The plot with its tick labels: the Y labels left of it, the X labels' text under it.
  const int labelHeight = GraphFontsFor(l.fontDpi).labels.height;
  const int xLabelTextBottom = g.m_nPlotBottom + (g.m_nXLabelTop + g.m_nXLabelBottom + labelHeight) / 2;
  add("plot", l.panes.graph, {g.m_nPlotLeft - g.m_nYLabelIndent, g.m_nPlotTop, g.m_nPlotRight, xLabelTextBottom});
  add("Axis", l.panes.graph, g.m_rcAxisButton);
  add("Hide Fit", l.panes.graph, g.m_rcFitButton);
  for (const ControlPlacement& p : control_placements(l.control))
    add(*p.caption ? p.caption : "plot list", l.panes.control, p.rect);
  add("left results frame", l.panes.control, l.control.m_rcLeftFrame);
  add("right results frame", l.panes.control, l.control.m_rcRightFrame);
  return out;
}

CanvasRect RestoredFrameRect(const CanvasRect& work, CanvasSize remembered, CanvasSize minimum) {
  const int maxW = std::max(1, work.Width()), maxH = std::max(1, work.Height());
  CanvasSize size = remembered;
  const bool sensible = size.cx >= minimum.cx && size.cy >= minimum.cy && size.cx <= maxW && size.cy <= maxH;
  if (!sensible) {
    size.cx = std::max(1024, maxW * 4 / 5);
    size.cy = std::max(700, maxH * 4 / 5);
  }
  size.cx = std::min(size.cx, maxW);
  size.cy = std::min(size.cy, maxH);
  const int left = work.left + (maxW - size.cx) / 2;
  const int top = work.top + (maxH - size.cy) / 2;
  return {left, top, left + size.cx, top + size.cy};
}

double TextScaleFrom(double logicalDpi, double pointSizeFactor) {
  double s = logicalDpi / 96.0;
  if (std::isfinite(pointSizeFactor) && pointSizeFactor > 0.0) s *= pointSizeFactor;
  if (!std::isfinite(s)) s = 1.0;
  s = std::clamp(s, 0.75, 4.0);
  return std::round(s * 100.0) / 100.0;
}

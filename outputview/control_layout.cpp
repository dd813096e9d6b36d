#include "outputview/control_layout.h"

#include <algorithm>

namespace {

// One metric by the three rules: a fixed value at 1024 and at 800 pixels, otherwise the
// product W x factor truncated toward zero (in floating point, as tuned).
int by_factor(int W, int at1024, int at800, double factor) {
  if (W == 1024) return at1024;
  if (W == 800) return at800;
  return static_cast<int>(W * factor);
}

// The same with an integer division W / divisor for the other widths.
int by_divisor(int W, int at1024, int at800, int divisor) {
  if (W == 1024) return at1024;
  if (W == 800) return at800;
  return W / divisor;
}

void compute_metrics(ControlLayout& m, int W) {
  m.m_nResMetricA = by_factor(W, 30, 23, 0.029325513196480937);
  m.m_nErrorColumnX = by_factor(W, 170, 133, 0.16611295681063123);
  m.m_nResMetricB = by_factor(W, 15, 12, 0.014641288433382138);
  m.m_nResMetricC = by_factor(W, 20, 16, 0.01953125);
  m.m_nRowHeight = by_factor(W, 20, 16, 0.01953125);
  m.m_nViewRightInset = by_factor(W, 85, 66, 0.08298755186721991);
  m.m_nDelRightInset = by_factor(W, 150, 117, 0.14641288433382138);
  m.m_nViewLeftInset = by_factor(W, 60, 47, 0.05847953216374269);
  m.m_nResMetricD = by_factor(W, 40, 35, 0.0390625);
  m.m_nResultsFontPt = by_divisor(W, 8, 6, 128);
  m.m_nButtonFontPt = by_factor(W, 11, 9, 0.010741138560687433);
  m.m_nValueColumnX = by_factor(W, 105, 117, 0.10256410256410256);
  m.m_nResMetricE = by_divisor(W, 3, 2, 341);
  m.m_nResMetricF = by_divisor(W, 5, 4, 205);
  m.m_nResMetricG = by_factor(W, 100, 78, 0.09765625);
  m.m_nResMetricH = by_factor(W, 410, 320, 0.4);
  m.m_nResMetricI = by_factor(W, 365, 285, 0.35587188612099646);
  m.m_nDescRightInset = by_factor(W, 85, 65, 0.08305647840531562);
  m.m_nDescLeftInset = by_factor(W, 114, 89, 0.11235955056179775);
  m.m_nButtonPitch = by_factor(W, 40, 25, 0.0390625);
  m.m_nFrameLeft = by_factor(W, 10, 5, 0.009765625);
  m.m_nFrameSplit = by_factor(W, 245, 191, 0.23809523809523808);
  m.m_nFrameTop = by_factor(W, 10, 8, 0.009765625);
  m.m_nFrameBottom = by_factor(W, 150, 120, 0.14641288433382138);

  m.L = by_factor(W, 602, 475, 0.5882352941176471);
  m.R = by_factor(W, 683, 540, 0.6666666666666666);
  m.T = by_factor(W, 20, 20, 0.01953125);
  m.B = by_factor(W, 50, 39, 0.04878048780487805);
}

}  // namespace

ControlLayout compute_control_layout(int screenWidth) {
  ControlLayout m;
  m.screenWidth = screenWidth;
  compute_metrics(m, screenWidth);
  // The right frame's left edge is measured from the frame top, not the frame left: the
  // panel was tuned that way and the rulings of the right table follow the same origin.
  m.m_rcRightFrame = {m.m_nFrameTop + m.m_nFrameSplit, m.m_nFrameTop - 5,
                      2 * m.m_nFrameSplit - m.m_nFrameTop + 1, m.m_nFrameBottom};
  m.m_rcLeftFrame = {m.m_nFrameLeft, m.m_nFrameTop - 5, m.m_nFrameSplit + 1, m.m_nFrameBottom};
  return m;
}

std::array<ControlPlacement, 8> control_placements(const ControlLayout& m) {
  const int L = m.L, R = m.R, T = m.T, B = m.B, P = m.m_nButtonPitch;
  const int leftOfColumn = L - m.m_nDescLeftInset;
  return {{
      {kIdUpdate, "Update", {L, T, R, B}},
      {kIdSimulate, "Simulate", {L, T + P, R, B + P}},
      {kIdFit, "Fit", {L, T + 2 * P, R, B + 2 * P}},
      {kIdGenData, "Gen. Data", {L, T + 3 * P, R, B + 3 * P}},
      {kIdDescription, "Description", {leftOfColumn, T, R - m.m_nDescRightInset, B}},
      {kIdPlotList, "", {leftOfColumn, T + 2 * P, R - m.m_nDescRightInset, B + 3 * P}},
      {kIdDel, "Del", {leftOfColumn, T + P, R - m.m_nDelRightInset, B + P}},
      {kIdView, "View", {L - m.m_nViewLeftInset, T + P, R - m.m_nViewRightInset, B + P}},
  }};
}

PlotListMetrics plot_list_metrics(int gridCellFontHeight, int fontDpi) {
  PlotListMetrics m{};
  m.fontHeight = std::max(gridCellFontHeight, point_font_pixel_height(90, fontDpi));
  m.itemHeight = m.fontHeight + (m.fontHeight + 2) / 3;
  m.swatchLeft = (m.fontHeight + 2) / 4;
  m.swatchLength = m.fontHeight * 3 / 2;
  m.swatchWidth = std::max(2, (fontDpi + 24) / 48);  // 2 pixels at 96 dpi, 3 at 144, 4 at 192
  m.textLeft = m.swatchLeft + m.swatchLength + m.swatchLeft;
  return m;
}

int font_pixel_height(int pointSize, int dpiY) { return (dpiY * pointSize) / 72; }

int point_font_pixel_height(int tenthsOfPoint, int dpiY) { return (dpiY * tenthsOfPoint + 360) / 720; }

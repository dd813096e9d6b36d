#include "graphview/graph_controller.h"

#include <algorithm>
#include <cmath>

#include "document/titration.h"
#include "document/titration_edit.h"

AxisSettings AxisSettingsOf(const Titration& doc, const AxisLimits& shown) {
  AxisSettings s;
  s.title = doc.m_strTitle;
  s.yCaption = doc.m_strYCaption;
  s.xCaption = doc.m_strXCaption;
  s.yMax = shown.yMax;
  s.yMin = shown.yMin;
  s.xMax = shown.xMax;
  s.xMin = shown.xMin;
  return s;
}

void SetFixedLimits(Titration& doc, const AxisLimits& limits) {
  doc.m_dXMin = limits.xMin;
  doc.m_dXMax = limits.xMax;
  doc.m_dYMin = limits.yMin;
  doc.m_dYMax = limits.yMax;
  // Limits the user chose replace any widening still owed to a simulation.
  doc.m_bFitAxesToSims = 0;
}

void ApplyAxisSettings(Titration& doc, const AxisSettings& s) {
  doc.m_strTitle = s.title;
  doc.m_strYCaption = s.yCaption;
  doc.m_strXCaption = s.xCaption;
  if (s.yMax > 0.0 && s.xMax > 0.0) {
    doc.m_bAxisFixed = 1;
    SetFixedLimits(doc, {s.xMin, s.xMax, s.yMin, s.yMax});
  }
  doc.MarkChanged();
}

std::vector<CanvasRect> BandOutlineAreas(const CanvasRect& b) {
  return {{b.left - 2, b.top - 2, b.left + 2, b.bottom + 2},
          {b.right - 2, b.top - 2, b.right + 2, b.bottom + 2},
          {b.left - 2, b.top - 2, b.right + 2, b.top + 2},
          {b.left - 2, b.bottom - 2, b.right + 2, b.bottom + 2}};
}

void GraphController::OnLButtonDown(Titration& doc, int x, int y) {
  m_bSkipZoom = 0;
  m_ptAnchor = {x, y};
  m_rcDrag = {x, y, x, y};
  doc.m_bGraphDrag = 1;
}

std::vector<CanvasRect> GraphController::OnMouseMove(Titration& doc, const CanvasRect& plot, int x, int y) {
  if (!doc.m_bGraphDrag || !plot.Contains(x, y)) return {};
  const CanvasRect old = m_rcDrag;
  // Each edge follows the pointer only on its own side of the anchor.
  if (x > m_ptAnchor.x) m_rcDrag.right = x;
  if (x < m_ptAnchor.x) m_rcDrag.left = x;
  if (y > m_ptAnchor.y) m_rcDrag.bottom = y;
  if (y < m_ptAnchor.y) m_rcDrag.top = y;
  std::vector<CanvasRect> areas = BandOutlineAreas(old);
  areas.push_back(m_rcDrag);
  return areas;
}

void GraphController::ZoomToBand(Titration& doc) const {
  // The inverse of the drawing's mapping (graph_scale.h): the band's pixels through the
  // plot as drawn, from the axis start shown, which may differ from the document's minima.
  const GraphScale& s = m_state.scale;
  const CanvasRect& plot = m_state.m_rcPlot;
  if (plot.Width() <= 0 || plot.Height() <= 0) return;
  const double perXPixel = s.XRange() / plot.Width();
  const double perYPixel = s.YRange() / plot.Height();
  const double yMax = s.yMin + (plot.bottom - m_rcDrag.top) * perYPixel;
  const double yMin = s.yMin + (plot.bottom - m_rcDrag.bottom) * perYPixel;
  const double xMax = s.xMin + (m_rcDrag.right - plot.left) * perXPixel;
  const double xMin = s.xMin + (m_rcDrag.left - plot.left) * perXPixel;
  // A band whose limits differ by 1 % or less on either axis is taken as a slip of the hand.
  if (std::fabs(yMax / yMin) - 1.0 > 0.01 && std::fabs(xMax / xMin) - 1.0 > 0.01)
    SetFixedLimits(doc, {xMin, xMax, yMin, yMax});
}

bool GraphController::OnLButtonUp(Titration& doc, int x, int y) {
  // A release whose press happened elsewhere (or whose drag was cancelled) would otherwise
  // zoom again to the last band.
  if (!doc.m_bGraphDrag) return false;
  doc.m_bGraphDrag = 0;
  if (m_bSkipZoom) {
    m_bSkipZoom = 0;
  } else {
    // A press and release fixes the axes where they are shown, also when the band is a slip.
    SetFixedLimits(doc, m_state.limits);
    ZoomToBand(doc);
  }
  if (x == m_ptAnchor.x || y == m_ptAnchor.y) return false;
  doc.m_bAxisFixed = 1;
  return true;
}

void GraphController::CancelDrag(Titration& doc) { doc.m_bGraphDrag = 0; }

bool GraphController::OnLButtonDblClk(Titration& doc, const CanvasRect& yCaption, int x, int y) {
  if (m_state.m_rcPlot.Contains(x, y)) {
    const GraphPointTable& t = m_state.points;
    AxisLimits reset{0.0, t.MaxAddedCa(), m_state.m_dYStart, t.MaxResponse()};
    if (doc.m_bHaveSims == 1) {
      reset.yMax = std::max(reset.yMax, CurveMaximum(doc));
      reset.xMax = std::max(reset.xMax, GridCaMaximum(doc));
    }
    SetFixedLimits(doc, reset);
    // The double-click is the press of the release that follows: that release ends it
    // without zooming, and the next press starts an ordinary drag.
    OnLButtonDown(doc, x, y);
    m_bSkipZoom = 1;
  }
  return yCaption.Contains(x, y) || m_state.m_rcXCaption.Contains(x, y) || m_state.m_rcTitle.Contains(x, y);
}

void GraphController::ToggleResiduals(Titration& doc) {
  // Like Hide Fit: a view choice, no undo step and no save prompt.
  TitrationEdit edit(doc, EditKind::View, doc.m_bShowResiduals ? "Hide Residuals" : "Show Residuals");
  doc.MarkChanged();
  doc.m_bShowResiduals = doc.m_bShowResiduals ? 0 : 1;
}

std::string GraphController::ToggleFit(Titration& doc) {
  // Hiding or showing the fit only changes what is drawn: no undo step, no save prompt.
  TitrationEdit edit(doc, EditKind::View, m_bFitShown == 1 ? kHideFitCaption : kShowFitCaption);
  doc.MarkChanged();
  std::string caption;
  if (m_bFitShown == 1) {
    m_bHidFit = doc.m_bShowFit != 0;
    doc.m_bShowFit = 0;
    caption = kShowFitCaption;
  } else {
    // Only a fit this document had on show comes back; the fit record and curve outlive
    // New, and must not reappear in (or be saved with) another experiment.
    if (m_bHidFit) doc.m_bShowFit = 1;
    caption = kHideFitCaption;
  }
  m_bFitShown = m_bFitShown ? 0 : 1;
  return caption;
}

#include "graphview/graph_controller.h"

#include <algorithm>
#include <cmath>

#include "document/titration.h"

AxisSettings AxisSettingsOf(const Titration& doc) {
  AxisSettings s;
  s.title = doc.m_strTitle;
  s.yCaption = doc.m_strYCaption;
  s.xCaption = doc.m_strXCaption;
  s.yMax = doc.m_dYMax;
  s.yMin = doc.m_dYMin;
  s.xMax = doc.m_dXMax;
  s.xMin = doc.m_dXMin;
  return s;
}

void ApplyAxisSettings(Titration& doc, const AxisSettings& s) {
  doc.m_strTitle = s.title;
  doc.m_strYCaption = s.yCaption;
  doc.m_strXCaption = s.xCaption;
  if (s.yMax > 0.0 && s.xMax > 0.0) {
    doc.m_bAxisFixed = 1;
    doc.m_dYMax = s.yMax;
    doc.m_dYMin = s.yMin;
    doc.m_dXMax = s.xMax;
    doc.m_dXMin = s.xMin;
  }
  doc.SetModifiedFlag();
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
  if (std::fabs(yMax / yMin) - 1.0 > 0.01 && std::fabs(xMax / xMin) - 1.0 > 0.01) {
    doc.m_dYMax = yMax;
    doc.m_dYMin = yMin;
    doc.m_dXMax = xMax;
    doc.m_dXMin = xMin;
  }
}

bool GraphController::OnLButtonUp(Titration& doc, int x, int y) {
  // A release whose press happened elsewhere (or whose drag was cancelled) would otherwise
  // zoom again to the last band.
  if (!doc.m_bGraphDrag) return false;
  doc.m_bGraphDrag = 0;
  if (m_bSkipZoom) {
    m_bSkipZoom = 0;
  } else {
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
    doc.m_dYMax = t.MaxResponse();
    doc.m_dXMax = t.MaxAddedCa();
    if (doc.m_bHaveSims == 1) {
      doc.m_dYMax = std::max(doc.m_dYMax, CurveMaximum(doc));
      doc.m_dXMax = std::max(doc.m_dXMax, GridCaMaximum(doc));
    }
    doc.m_dYMin = m_state.m_dYStart;
    doc.m_dXMin = 0.0;
    // The double-click is the press of the release that follows: that release ends it
    // without zooming, and the next press starts an ordinary drag.
    OnLButtonDown(doc, x, y);
    m_bSkipZoom = 1;
  }
  return yCaption.Contains(x, y) || m_state.m_rcXCaption.Contains(x, y) || m_state.m_rcTitle.Contains(x, y);
}

std::string GraphController::ToggleFit(Titration& doc) {
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

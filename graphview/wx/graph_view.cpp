#include "graphview/wx/graph_view.h"

#include "app/wx/offscreen_dc.h"

wxWindow* CGraphView::CreateCanvas(wxWindow* parent) {
  auto* canvas = new CPaneCanvas(this, parent);
  canvas->SetBackgroundColour(*wxWHITE);
  return canvas;
}

void CGraphView::OnDraw(wxDC* dc) { COffscreenDC buffer(*dc); }

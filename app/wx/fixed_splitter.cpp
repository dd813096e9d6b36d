#include "app/wx/fixed_splitter.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

CFixedSplitter::CFixedSplitter(wxWindow* parent, const PaneSizes& sizes)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxCLIP_CHILDREN),
      m_sizes(sizes) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_SIZE, &CFixedSplitter::OnSize, this);
  Bind(wxEVT_PAINT, &CFixedSplitter::OnPaint, this);
}

void CFixedSplitter::SetPanes(wxWindow* grid, wxWindow* graph, wxWindow* control) {
  m_pGrid = grid;
  m_pGraph = graph;
  m_pControl = control;
  Place();
}

PaneRects CFixedSplitter::CurrentLayout() const {
  const wxSize client = GetClientSize();
  return LayoutPanes(m_sizes, client.x, client.y, kDividerWidth);
}

void CFixedSplitter::OnSize(wxSizeEvent& event) {
  Place();
  Refresh(false);
  event.Skip();
}

void CFixedSplitter::Place() {
  const PaneRects r = CurrentLayout();
  auto place = [](wxWindow* w, const CanvasRect& rc) {
    if (w) w->SetSize(rc.left, rc.top, std::max(0, rc.Width()), std::max(0, rc.Height()));
  };
  place(m_pGrid, r.grid);
  place(m_pGraph, r.graph);
  place(m_pControl, r.control);
}

void CFixedSplitter::OnPaint(wxPaintEvent&) {
  // Only the dividers show: the panes cover everything else.
  wxPaintDC dc(this);
  const wxSize client = GetClientSize();
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  dc.DrawRectangle(0, 0, client.x, client.y);
  const PaneRects r = CurrentLayout();
  dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
  dc.DrawLine(r.grid.right, 0, r.grid.right, client.y);
  dc.DrawLine(r.graph.left - 1, 0, r.graph.left - 1, client.y);
  dc.DrawLine(r.graph.left, r.graph.bottom, client.x, r.graph.bottom);
  dc.DrawLine(r.control.left, r.control.top - 1, client.x, r.control.top - 1);
}

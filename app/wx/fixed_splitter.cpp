#include "app/wx/fixed_splitter.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

CFixedSplitter::CFixedSplitter(wxWindow* parent, double textScale, LayoutListener onLayout)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxCLIP_CHILDREN),
      m_textScale(textScale),
      m_onLayout(std::move(onLayout)) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  m_layout = ComputeWindowLayout({1024, 679}, m_textScale);
  Bind(wxEVT_SIZE, &CFixedSplitter::OnSize, this);
  Bind(wxEVT_PAINT, &CFixedSplitter::OnPaint, this);
}

void CFixedSplitter::SetPanes(wxWindow* grid, wxWindow* graph, wxWindow* control) {
  m_pGrid = grid;
  m_pGraph = graph;
  m_pControl = control;
  Relayout();
}

void CFixedSplitter::SetTextScale(double textScale) {
  m_textScale = textScale;
  Relayout();
}

void CFixedSplitter::OnSize(wxSizeEvent& event) {
  Relayout();
  Refresh(false);
  event.Skip();
}

void CFixedSplitter::Relayout() {
  const wxSize client = GetClientSize();
  // Before the first real size event GTK reports 0 x 0 or 1 x 1: nothing to lay out yet.
  if (client.x < 2 || client.y < 2) return;
  m_layout = ComputeWindowLayout({client.x, client.y}, m_textScale);
  // GTK complains about panes smaller than their scroll bar and its buttons: a pane squeezed
  // that far (a window below its minimum size, possible without a window manager) is hidden.
  const int smallest = static_cast<int>(48 * m_textScale);
  auto place = [smallest](wxWindow* w, const CanvasRect& rc) {
    if (!w) return;
    const bool visible = rc.Width() >= smallest && rc.Height() >= smallest;
    if (visible) w->SetSize(rc.left, rc.top, rc.Width(), rc.Height());
    w->Show(visible);
  };
  place(m_pGrid, m_layout.panes.grid);
  place(m_pGraph, m_layout.panes.graph);
  place(m_pControl, m_layout.panes.control);
  if (m_onLayout && m_pGrid) m_onLayout(m_layout);
}

void CFixedSplitter::OnPaint(wxPaintEvent&) {
  // Only the dividers show: the panes cover everything else.
  wxPaintDC dc(this);
  const wxSize client = GetClientSize();
  if (client.x <= 0 || client.y <= 0) return;
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  dc.DrawRectangle(0, 0, client.x, client.y);
  const PaneRects& r = m_layout.panes;
  dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
  dc.DrawLine(r.grid.right, 0, r.grid.right, client.y);
  dc.DrawLine(r.graph.left - 1, 0, r.graph.left - 1, client.y);
  dc.DrawLine(r.graph.left, r.graph.bottom, client.x, r.graph.bottom);
  dc.DrawLine(r.control.left, r.control.top - 1, client.x, r.control.top - 1);
}

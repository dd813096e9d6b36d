#include "graphview/wx/comparison_plot_panel.h"

#include <algorithm>

#include <wx/dcbuffer.h>

#include "app/wx/wx_canvas.h"

CComparisonPlotPanel::CComparisonPlotPanel(wxWindow* parent, const wxSize& size, const wxString& name)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, parent->FromDIP(size), wxFULL_REPAINT_ON_RESIZE, name) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, [this](wxPaintEvent&) { Paint(); });
}

void CComparisonPlotPanel::SetSeries(std::vector<ComparisonPlotSeries> series) {
  m_input.series = std::move(series);
  Refresh();
}

void CComparisonPlotPanel::Paint() {
  wxAutoBufferedPaintDC dc(this);
  WxCanvas canvas(dc);
  const wxSize size = GetClientSize();
  m_input.area = {0, 0, size.x, size.y};
  m_input.labelFont.height = FromDIP(12);
  m_input.markRadius = std::max(2, FromDIP(3));
  PaintModelComparison(canvas, m_input);
}

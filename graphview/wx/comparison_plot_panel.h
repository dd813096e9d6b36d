// A panel that paints curves over points with a residual strip each, through the core's
// comparison painter: the Compare Models and Global Fit dialogs show their fits with it.
#pragma once

#include <vector>

#include <wx/panel.h>

#include "graphview/comparison_painter.h"

class CComparisonPlotPanel : public wxPanel {
 public:
  // size in device-independent pixels; name is the panel's accessible name.
  CComparisonPlotPanel(wxWindow* parent, const wxSize& size, const wxString& name);
  void SetSeries(std::vector<ComparisonPlotSeries> series);

 private:
  void Paint();

  ComparisonPlotInput m_input;
};

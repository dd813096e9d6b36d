// CFixedSplitter: the main window's client area, split into the grid pane on the left, the
// graph pane top right and the control pane bottom right. The dividers cannot be dragged
// and show the ordinary arrow cursor: the grid keeps its width and the graph its height,
// extra or missing space goes to the right column and the bottom pane.
#pragma once

#include <wx/window.h>

#include "gridview/shell_layout.h"

class CFixedSplitter : public wxWindow {
 public:
  static constexpr int kDividerWidth = 6;

  CFixedSplitter(wxWindow* parent, const PaneSizes& sizes);

  // The three panes, created by the views as children of this window.
  void SetPanes(wxWindow* grid, wxWindow* graph, wxWindow* control);
  PaneRects CurrentLayout() const;

 private:
  void OnSize(wxSizeEvent& event);
  void OnPaint(wxPaintEvent& event);
  void Place();

  PaneSizes m_sizes;
  wxWindow* m_pGrid = nullptr;
  wxWindow* m_pGraph = nullptr;
  wxWindow* m_pControl = nullptr;
};

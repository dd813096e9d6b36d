// CFixedSplitter: the main window's client area, split into the grid pane on the left, the
// graph pane top right and the control pane bottom right. The dividers cannot be dragged
// and show the ordinary arrow cursor. Every resize recomputes the whole layout from the
// client size and the window's text scale (layout/window_layout.h), places the panes and
// hands the layout to the frame, which passes each view its part.
#pragma once

#include <functional>

#include <wx/window.h>

#include "layout/window_layout.h"

class CFixedSplitter : public wxWindow {
 public:
  using LayoutListener = std::function<void(const WindowLayout&)>;

  CFixedSplitter(wxWindow* parent, double textScale, LayoutListener onLayout);

  // The three panes, created by the views as children of this window.
  void SetPanes(wxWindow* grid, wxWindow* graph, wxWindow* control);
  // A new text scale (the window moved to a screen of another resolution).
  void SetTextScale(double textScale);
  const WindowLayout& CurrentLayout() const { return m_layout; }

 private:
  void OnSize(wxSizeEvent& event);
  void OnPaint(wxPaintEvent& event);
  void Relayout();

  double m_textScale;
  LayoutListener m_onLayout;
  WindowLayout m_layout;
  wxWindow* m_pGrid = nullptr;
  wxWindow* m_pGraph = nullptr;
  wxWindow* m_pControl = nullptr;
};

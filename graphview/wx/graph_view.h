// CGraphView: the graph pane, top right of the main window.
//
// Contract with the frame (see app/wx/pane_view.h): default-constructible; the frame
// attaches it to the document as the second view and calls CreateCanvas(parent) once.
// Print and Print preview (wxID_PRINT, wxID_PREVIEW) reach this view from every pane.
#pragma once

#include "app/wx/pane_view.h"

class CGraphView : public CPaneView {
 public:
  CGraphView() = default;

  wxWindow* CreateCanvas(wxWindow* parent) override;
  void OnDraw(wxDC* dc) override;
};

// CGraphView: the graph pane, top right of the main window. It draws the titration points,
// the fit and the simulated curves through the core painter, zooms with a rubber band,
// resets on a double-click, edits title, captions and limits in the Axis dialog and hides
// or shows the fit. Everything it decides is in the core (GraphController); this class
// turns wx events into those calls and repaints.
//
// Contract with the frame (see app/wx/pane_view.h): default-constructible; the frame
// attaches it to the document as the second view and calls CreateCanvas(parent) once.
// Print and Print preview (wxID_PRINT, wxID_PREVIEW) reach this view from every pane.
#pragma once

#include <wx/font.h>

#include "app/wx/pane_view.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/graph_controller.h"
#include "graphview/graph_geometry.h"
#include "graphview/graph_scale.h"

class wxButton;
class wxUpdateUIEvent;
struct WindowLayout;

class CGraphView : public CPaneView, public FitVisibility {
 public:
  CGraphView();
  ~CGraphView() override;

  wxWindow* CreateCanvas(wxWindow* parent) override;
  void OnInitialUpdate() override;
  void OnDraw(wxDC* dc) override;
  // The window's new layout: the plot, the buttons and the fonts follow it.
  void ApplyLayout(const WindowLayout& layout);

  // The Axis dialog on the document ("Axis" button, double-click on a text).
  void OnAxisCommand();
  // "Hide Fit" / "Show Fit".
  void OnFitToggle();
  // FitVisibility: a save asks before it leaves a hidden fit out.
  bool HidesFit() const override;
  void ShowHiddenFit() override;
  void OnResidualsToggle();  // the residual strip under the graph (shown while a fit is)

  // The scale and point table of the last redraw; the printout draws with the same state.
  GraphState& GetGraphState() { return m_state; }
  const GraphGeometry& GetGeometry() const { return m_geometry; }
  wxButton* GetAxisButton() const { return m_btnAxis; }
  // Repaints so far, for tests of what redraws the graph.
  int GetPaintCount() const { return m_nPaints; }
  wxButton* GetFitButton() const { return m_btnShowFit; }

 private:
  void CreateButtons(wxWindow* canvas);
  void PlaceButtons();
  void OnToggleFitUpdateUI(wxUpdateUIEvent& event);
  void OnToggleResidualsUpdateUI(wxUpdateUIEvent& event);

  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnLeftDClick(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void EndCapture();

  // Printing: the wxID_PRINT / wxID_PREVIEW / wxID_PRINT_SETUP handlers are bound by the
  // constructor (graphview/wx/report_printout.h) and draw with m_state.

  GraphGeometry m_geometry;
  GraphState m_state;
  GraphController m_controller{m_state};
  wxButton* m_btnAxis = nullptr;
  wxButton* m_btnShowFit = nullptr;
  wxFont m_fontAxisButton;
  int m_nFontDpi = 96;
  int m_nPaints = 0;

};

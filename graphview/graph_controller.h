// The graph pane's mouse and button logic without a window: rubber-band zoom, the
// double-click reset and caption hits, the Hide/Show Fit toggle and the Axis dialog's
// effect on the document. The view forwards events and repaints what it is told.
//
// The mouse maps pixels to data through the plot rectangle and the axis limits of the last
// redraw (GraphState), so a band drawn from one data point to another zooms to exactly the
// region between them, whatever the window's size.
//
// Event order: a toolkit sends a double-click as down, up, double-click, up (GTK) or down,
// up, down, double-click, up; the double-click counts as the press of the last release.
#pragma once

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "graphview/graph_scale.h"

class Titration;

inline constexpr int kMaxTitleLength = 55;    // characters
inline constexpr int kMaxCaptionLength = 30;  // characters

inline constexpr const char* kHideFitCaption = "Hide Fit";
inline constexpr const char* kShowFitCaption = "Show Fit";

// What the Axis dialog edits.
struct AxisSettings {
  std::string title, yCaption, xCaption;
  double yMax = 0.0, yMin = 0.0, xMax = 0.0, xMin = 0.0;
};

// The dialog's texts from the document and its limits as the graph shows them.
AxisSettings AxisSettingsOf(const Titration& doc, const AxisLimits& shown);

// Stores limits for fixed axes (the zoom, the reset, the Axis dialog).
void SetFixedLimits(Titration& doc, const AxisLimits& limits);

// OK in the Axis dialog: texts always; the limits (and fixed axes) only when Y-max and
// X-max are both above 0. Marks the document modified.
void ApplyAxisSettings(Titration& doc, const AxisSettings& settings);

class GraphController {
 public:
  explicit GraphController(GraphState& state) : m_state(state) {}

  // Left button down anywhere in the pane starts a drag.
  void OnLButtonDown(Titration& doc, int x, int y);
  // Moves inside the plot stretch the band; returns the areas to repaint (none otherwise).
  std::vector<CanvasRect> OnMouseMove(Titration& doc, const CanvasRect& plot, int x, int y);
  // Ends the drag and zooms to the band; true when the whole pane must be repainted.
  // Does nothing when no drag is in progress.
  bool OnLButtonUp(Titration& doc, int x, int y);
  // The drag ended without a button release (the window lost the mouse): no zoom.
  void CancelDrag(Titration& doc);
  // Resets the limits inside the plot; true when the double-click hit the title or a
  // caption, so the Axis dialog should open. The pane is repainted either way.
  bool OnLButtonDblClk(Titration& doc, const CanvasRect& yCaption, int x, int y);

  // Hide/Show Fit button; returns the button's new caption.
  std::string ToggleFit(Titration& doc);
  // Hides or shows the residual strip under the graph (shown while a fit is shown).
  void ToggleResiduals(Titration& doc);
  // A new or opened document: a fit hidden in the previous one is not to be shown again.
  void OnNewDocument() { m_bHidFit = 0; }

  const CanvasRect& DragRect() const { return m_rcDrag; }
  bool FitShown() const { return m_bFitShown != 0; }
  // A fit is on hand but hidden by the fit button: saving now would leave it out.
  bool HidesFit(const Titration& doc) const { return m_bFitShown == 0 && m_bHidFit != 0 && doc.m_bShowFit == 0; }

 private:
  void ZoomToBand(Titration& doc) const;

  GraphState& m_state;
  CanvasPoint m_ptAnchor;
  CanvasRect m_rcDrag;
  BYTE m_bSkipZoom = 0;
  BYTE m_bFitShown = 1;
  BYTE m_bHidFit = 0;  // the last Hide press hid a fit that was on show
};

// Repaint bands 2 pixels either side of each edge of a zoom band, so its old outline goes.
std::vector<CanvasRect> BandOutlineAreas(const CanvasRect& band);

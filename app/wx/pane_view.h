// The common base of the three views of the main window (grid, graph, control panel).
//
// Contract between a view and the frame:
//   - The frame constructs the view (default constructor), attaches it to the one document
//     (SetDocument), sets itself as the view's frame (SetFrame) and then calls
//     CreateCanvas(parent) once; the view creates its window there and returns it. The
//     window should derive from CPaneCanvas, which paints through the view's OnDraw and
//     makes the view active when it gets the focus.
//   - OnInitialUpdate() runs once after creation and again after every New and Open, when
//     the document's contents were replaced; recompute presentation state there.
//   - OnUpdate() runs on the document's UpdateAllViews(); the default repaints the pane.
//   - GetDoc() gives the document, GetMainFrame() the frame. Nothing keeps global pointers.
//   - Menu commands reach every view, whichever pane has the focus: put EVT_MENU /
//     EVT_UPDATE_UI entries in the view's own event table.
#pragma once

#include <vector>

#include <wx/docview.h>
#include <wx/scrolwin.h>

class BindwiseDoc;
class CMainFrame;
class CPaneCanvas;

class CPaneView : public wxView {
 public:
  CPaneView() = default;
  ~CPaneView() override;

  virtual wxWindow* CreateCanvas(wxWindow* parent) = 0;
  virtual void OnInitialUpdate();
  void OnUpdate(wxView* sender, wxObject* hint = nullptr) override;
  // A new file name or a change of the modified flag: the frame's caption follows.
  void OnChangeFilename() override;

  BindwiseDoc* GetDoc() const;
  CMainFrame* GetMainFrame() const;
  wxWindow* GetCanvas() const;

 private:
  friend class CPaneCanvas;
  CPaneCanvas* m_pPaneCanvas = nullptr;
};

// A pane window: paints through its view's OnDraw (after DoPrepareDC, so a scrolled pane
// draws in logical coordinates), activates its view on focus, takes the focus on a click.
// Set a background style of wxBG_STYLE_PAINT: OnDraw paints every pixel.
class CPaneCanvas : public wxScrolledCanvas {
 public:
  CPaneCanvas(CPaneView* view, wxWindow* parent, long style = 0);
  ~CPaneCanvas() override;

  CPaneView* GetView() const { return m_pView; }
  // The pane's controls in the order Tab visits them (Shift+Tab goes back); the pane
  // itself comes first, so Tab from the pane reaches the first control and Tab from the
  // last control returns to the pane.
  void SetTabOrder(std::vector<wxWindow*> controls);

 private:
  friend class CPaneView;
  void OnPaint(wxPaintEvent& event);
  void OnFocus(wxFocusEvent& event);
  void OnMouseDown(wxMouseEvent& event);
  void OnTabKey(wxKeyEvent& event);

  CPaneView* m_pView;
  std::vector<wxWindow*> m_tabOrder;
};

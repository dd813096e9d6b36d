// CCellView: the data grid pane on the left of the main window, a thin window over the
// toolkit-free GridController (editing rules) and PaintGrid (drawing). It handles the
// Edit menu's Cut, Copy and Paste through the system clipboard, whichever pane has the
// focus.
#pragma once

#include <memory>

#include <wx/font.h>

#include "app/wx/pane_view.h"
#include "gridview/grid_controller.h"

class CCellCanvas;
struct WindowLayout;

class CCellView : public CPaneView, public GridHost {
 public:
  static constexpr int kAutoScrollTimerId = 1;

  CCellView();
  ~CCellView() override;

  wxWindow* CreateCanvas(wxWindow* parent) override;
  void OnInitialUpdate() override;
  void OnDraw(wxDC* dc) override;
  // The window's new layout: metrics, fonts and scroll sizes follow it.
  void ApplyLayout(const WindowLayout& layout);

  GridController* GetController() { return m_pGrid.get(); }

  // File > Import Data... on a chosen file (also for files dropped onto the window): the
  // import dialog, then the table replaces the grid's contents. False when nothing changed.
  bool ImportDataFile(const wxString& path);
  // The file name patterns Import Data offers.
  static const char* ImportFileFilter();
  // The area the last repaint composed off screen (logical coordinates), for tests.
  wxRect GetLastRepaintArea() const { return m_rcLastRepaint; }

 private:
  friend class CCellCanvas;

  // GridHost
  int TextWidth(const std::string& text) override;
  int ScrollY() const override;
  int ClientHeight() const override;
  void ScrollToY(int y) override;
  void Invalidate(const CanvasRect& logical) override;
  void InvalidateAll() override;
  void StartAutoScrollTimer() override;
  void StopAutoScrollTimer() override;
  void ShowStatus(const std::string& text) override;

  void SetScrollSizes(const GridMetrics& metrics);
  void OnEditCut(wxCommandEvent& event);
  void OnEditCopy(wxCommandEvent& event);
  void OnEditPaste(wxCommandEvent& event);
  void OnImportData(wxCommandEvent& event);
  void PutOnClipboard(const std::string& text);

  // The pane's window, or nullptr once wx has destroyed it (the frame may go first).
  CCellCanvas* CellCanvas() const;

  std::unique_ptr<GridController> m_pGrid;
  wxFont m_fontCell;
  wxRect m_rcLastRepaint;

  wxDECLARE_EVENT_TABLE();
};

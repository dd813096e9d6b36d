// CMainFrame: the one main window. Tool bar, status bar (message field, an empty field,
// NUM, SCRL), the menus, and the three fixed panes whose views it creates against the one
// document in the order grid, graph, control panel.
//
// Command routing: a menu command (or its update-UI query) goes first to the active view
// and its document, then to every other view of the document in view order, then to the
// document manager (file commands), the frame and the application. So the grid's Cut,
// Copy and Paste, the graph's Print and the control panel's exports work whichever pane
// has the focus.
#pragma once

#include <wx/docview.h>
#include <wx/timer.h>

#include "layout/window_layout.h"

class BindwiseDoc;
class CCellView;
class CFixedSplitter;
class CGraphView;
class COutputView;
class CPaneView;
class wxMenu;

class CMainFrame : public wxDocParentFrame {
 public:
  explicit CMainFrame(wxDocManager* manager);
  ~CMainFrame() override;

  // Creates the three views on doc and their panes. False when a view fails.
  bool CreatePanes(BindwiseDoc* doc);

  // The layout of the client area as it is now (recomputed on every resize).
  const WindowLayout& GetLayout() const;
  BindwiseDoc* GetDoc() const { return m_pDoc; }
  CCellView* GetCellView() const { return m_pCellView; }
  CGraphView* GetGraphView() const { return m_pGraphView; }
  COutputView* GetOutputView() const { return m_pOutputView; }
  CFixedSplitter* GetSplitter() const { return m_pSplitter; }
  // The pane windows in focus order: grid, graph, control.
  wxWindow* GetPane(int index) const;

  // The caption names the document: "two-sites-chelator.bwd — Bindwise", with a leading
  // "*" while it has unsaved changes. Titles set from elsewhere are replaced by that.
  void SetTitle(const wxString& title) override;
  void SetLabel(const wxString& label) override { SetTitle(label); }
  void UpdateTitle();

  // Rebuilds the recent-file entries of the File menu from the document manager's history.
  void RefreshRecentFiles();

  // A file dropped onto the window: a .bwd document opens, any other file goes to the
  // Import Data dialog. False when nothing changed.
  bool OpenDroppedFile(const wxString& path);

 protected:
  bool TryBefore(wxEvent& event) override;

 private:
  void SetFrameIcons();
  void PlaceOnScreen();
  void OnLayoutChanged(const WindowLayout& layout);
  void OnFrameSize(wxSizeEvent& event);
  void OnDpiChanged(wxDPIChangedEvent& event);
  void CreateMenus();
  void CreateToolBarButtons();
  void CreateStatusBarFields();
  void CreateAccelerators();
  void OnNextPane(wxCommandEvent& event);
  void OnPrevPane(wxCommandEvent& event);
  void MovePaneFocus(int delta);
  void OnHelpTopics(wxCommandEvent& event);
  void OnIndicatorTimer(wxTimerEvent& event);
  void OnCloseWhileFitting(wxCloseEvent& event);

  wxSize m_restoredSize;  // the size the window had when it was last neither maximized nor iconized
  wxSize m_chrome;        // menu, tool and status bars around the client area, as measured before showing
  BindwiseDoc* m_pDoc = nullptr;
  CFixedSplitter* m_pSplitter = nullptr;
  CCellView* m_pCellView = nullptr;
  CGraphView* m_pGraphView = nullptr;
  COutputView* m_pOutputView = nullptr;
  wxMenu* m_pFileMenu = nullptr;
  wxMenu* m_pEditMenu = nullptr;
  size_t m_nRecentPos = 0;  // menu position of the first recent-file entry
  int m_nRecentShown = 0;
  wxTimer m_indicatorTimer;
  bool m_bRouting = false;

  wxDECLARE_EVENT_TABLE();
};

// COutputView: the control and results pane, bottom right of the main window. Its top strip
// holds the command buttons (Update, Simulate, Fit, Gen. Data, Description, Del, View) and
// the plot list; the rest is the results panel (outputview/results_painter.h). Positions
// and fonts follow the screen width (outputview/control_layout.h), not the pane's size.
//
// Contract with the frame (see app/wx/pane_view.h): default-constructible; the frame
// attaches it to the document as the third view and calls CreateCanvas(parent) once.
//
// Adding commands: the buttons are children of the pane window; their clicks are bound in
// BindButtons() to member functions. File menu commands (ID_FILE_EXPORT_* in
// app/wx/command_ids.h) reach this view from every pane through its event table: add
// EVT_MENU entries to it (output_view.cpp). The "Gen. Data" button (kIdGenData) is created
// disabled; the Generate Data command binds it and enables it. The plot list's selection,
// the Fit and Simulate settings and the layout are public for those commands.
#pragma once

#include <string>
#include <vector>

#include <wx/font.h>

#include "app/wx/pane_view.h"
#include "fitting/commands/fit_settings.h"
#include "outputview/control_layout.h"

class CPlotListBox;
class wxButton;
struct FitJob;
struct FitResult;

class COutputView : public CPaneView {
 public:
  COutputView() = default;

  wxWindow* CreateCanvas(wxWindow* parent) override;
  void OnInitialUpdate() override;
  void OnDraw(wxDC* dc) override;

  // The commands of the buttons (and of a double click in the plot list for View).
  void OnUpdateCommand();
  void OnSimulate();
  void OnFit();
  void OnDescription();
  void OnDel();
  void OnViewParameters();

  // Tells the other panes the document changed and repaints this one.
  void UpdateViews();

  CPlotListBox* GetPlotList() const { return m_plotList; }
  wxButton* GetButton(int id) const;
  const ControlLayout& GetLayout() const { return m_layout; }
  bool IsFitRunning() const { return m_bFitRunning; }

  // The Fit and Simulate dialogs' values, kept from one opening to the next.
  FitSettings m_dlgFit;
  SimulateSettings m_dlgSimulate;

 private:
  void CreateControls();
  void BindButtons();
  bool RunFitWithProgress(const FitJob& job, FitResult& result);
  void ShowMessages(const std::vector<std::string>& messages);
  wxWindow* DialogParent() const;
  static int ScreenDpiY();

  ControlLayout m_layout;
  wxFont m_buttonFont;
  wxButton* m_btnUpdate = nullptr;
  wxButton* m_btnSimulate = nullptr;
  wxButton* m_btnFit = nullptr;
  wxButton* m_btnGenData = nullptr;
  wxButton* m_btnDescription = nullptr;
  wxButton* m_btnDel = nullptr;
  wxButton* m_btnView = nullptr;
  CPlotListBox* m_plotList = nullptr;
  bool m_bFitRunning = false;

  wxDECLARE_EVENT_TABLE();
};

// COutputView: the control and results pane, bottom right of the main window. Its top strip
// holds the command buttons (Update, Simulate, Fit, Gen. Data, Description, Del, View) and
// the plot list; the rest is the results panel (outputview/results_painter.h). Positions
// and fonts follow the window's layout (layout/window_layout.h), recomputed on every resize.
// Each button's command is also in the Analysis menu (app/wx/analysis_menu.h).
//
// Contract with the frame (see app/wx/pane_view.h): default-constructible; the frame
// attaches it to the document as the third view and calls CreateCanvas(parent) once.
//
// Adding commands: the buttons are children of the pane window; their clicks are bound in
// BindButtons() to member functions. File menu commands (ID_FILE_EXPORT_* in
// app/wx/command_ids.h) reach this view from every pane through its event table
// (output_view.cpp): the five ASCII exports are handled there. The plot list's selection,
// the Fit and Simulate settings and the layout are public for those commands.
//
// "Gen. Data" opens the modeless Generate Data dialog (or brings it to the front); the
// dialog tells this view about "Add", "Predict" and its closing through its three events.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/font.h>

#include "app/wx/pane_view.h"
#include "commands/fit_settings.h"
#include "outputview/ascii_export.h"
#include "outputview/control_layout.h"
#include "outputview/wx/export_command.h"

class CGenerateDataDlg;
class CPlotListBox;
class wxButton;
struct FitJob;
struct FitResult;
struct WindowLayout;

class COutputView : public CPaneView {
 public:
  COutputView();
  ~COutputView() override;

  wxWindow* CreateCanvas(wxWindow* parent) override;
  void OnInitialUpdate() override;
  // Every change of the document: the plot list follows it, the pane repaints.
  void OnUpdate(wxView* sender, wxObject* hint = nullptr) override;
  void OnDraw(wxDC* dc) override;
  // The window's new layout: buttons, list, fonts and the results panel follow it.
  void ApplyLayout(const WindowLayout& layout);

  // The commands of the buttons (and of a double click in the plot list for View).
  void OnUpdateCommand();
  void OnSimulate();
  void OnFit();
  void OnDescription();
  void OnDel();
  void OnViewParameters();
  void OnViewFitParameters();  // the fit's Parameters dialog, while a fit is shown
  void OnGenData();
  // Analysis > Compare Models...: every model of the fit's kind fitted and ranked.
  void OnCompareModels();
  // Analysis > Global Fit...: the open document and files fitted together with shared rows.
  void OnGlobalFit();
  // Runs one File menu export (the points, a curve or a saturation curve) as the classic
  // ASCII text or as CSV.
  void RunExport(ExportKind kind, bool csv = false);

  CPlotListBox* GetPlotList() const { return m_plotList; }
  wxButton* GetButton(int id) const;
  const ControlLayout& GetLayout() const { return m_layout; }
  bool IsFitRunning() const { return m_bFitRunning; }
  // Asks a running fit to stop (Esc, or the Cancel button beside the progress bar); the
  // document stays as it was. Nothing happens without a running fit.
  void CancelFit();
  // The Cancel button shown beside the progress bar while a fit runs; null otherwise.
  wxButton* GetCancelButton() const;
  // The Parameters dialog for the document's fit (values, how it ended, its run count); a
  // double click on the results panel opens it.
  // Puts the view in the fitting state without a fit, for tests of what a fit blocks.
  void SetFitRunningForTest(bool running) { m_bFitRunning = running; }
  // The open Generate Data dialog, null while it is closed.
  CGenerateDataDlg* GetGenerateDialog() const { return m_pGenerateDlg; }
  // The point count of the last curve export (100 until one is chosen).
  int GetExportCount() const { return m_nExportCount; }

  // The Fit and Simulate dialogs' values, kept from one opening to the next.
  FitSettings m_dlgFit;
  SimulateSettings m_dlgSimulate;
  // Where an export goes: the save dialog, replaceable (tests cannot drive it).
  ExportPathChooser m_chooseExportPath = ChooseExportPathWithDialog;

 private:
  void CreateControls();
  void PlaceControls();
  void BindButtons();
  void StartFit(FitJob job);
  void FinishFit();
  void ShowMessages(const std::vector<std::string>& messages);
  // Shows why a command cannot run while a cell is not a number; true when it cannot.
  bool RefusedForCells(const std::string& action);
  wxWindow* DialogParent() const;
  void OnGenerateAdd(wxCommandEvent& event);
  void OnGeneratePredict(wxCommandEvent& event);
  void OnGenerateGone(wxCommandEvent& event);
  void OnExportMenu(wxCommandEvent& event);
  void OnAnalysisMenu(wxCommandEvent& event);

  ControlLayout m_layout;
  int m_nGridFontHeight = 0;  // pixels; the plot list's text is never smaller
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
  struct RunningFit;
  std::unique_ptr<RunningFit> m_pRunningFit;
  CGenerateDataDlg* m_pGenerateDlg = nullptr;  // deletes itself when closed
  int m_nExportCount = kExportCountDefault;
  std::string m_strPredictNoise;  // Generate Data's reading noise, kept from one opening to the next

  wxDECLARE_EVENT_TABLE();
};

// Analysis > Global Fit...: several fitted titrations of one protein fitted together with the
// chosen rows shared. The dialog lists the documents (the open one first when it holds a fit,
// then files added), the rows that may be shared, the search and error choices, runs the
// global fit on a worker thread (Cancel or Esc stops it, and a stopped run changes nothing)
// and shows its shared constants and every titration's own rows (with their 68 % profile
// intervals when "Profile-likelihood intervals" is ticked); "Apply" makes the open
// document's part its fit and offers to save the other documents' parts into their files;
// "Report..." previews and prints the one-page report of the result.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/timer.h>

#include "commands/global_fit.h"
#include "commands/global_project.h"

class CComparisonPlotPanel;
class wxButton;
class wxCheckBox;
class wxCheckListBox;
class wxGauge;
class wxListCtrl;
class wxRadioBox;
class wxStaticText;
class wxTextCtrl;
class Titration;

class GlobalFitDlg : public wxDialog {
 public:
  // openDoc may be null or hold no fit: then only files take part. onApplied runs after the
  // open document's fit changed (to mark it modified and update the views).
  GlobalFitDlg(wxWindow* parent, Titration* openDoc, const std::string& openName, const FitSettings& errors,
               std::function<void()> onApplied);
  ~GlobalFitDlg() override;

  // Reads a .bwd file into the list; false with *message set when it cannot be read.
  bool AddFile(const std::string& path, std::string* message = nullptr);
  void RemoveDocument(int index);
  int DocumentCount() const { return static_cast<int>(m_docs.size()); }

  std::vector<int> CheckedSharedRows() const;
  void SetSharedRows(const std::vector<int>& rows);

  // Starts the global fit with the dialog's choices on a worker thread and returns; false
  // (message shown) when the choices are refused before it starts. The result, or a refusal
  // found by the fit, arrives on this thread once the worker is done.
  bool Run();
  bool IsRunning() const { return m_running != nullptr; }
  // Asks the running fit to stop; it ends soon after and leaves the previous result shown.
  void CancelRun();
  wxButton* CancelButton() const { return m_cancelButton; }
  const std::optional<GlobalFitResult>& Result() const { return m_result; }
  wxListCtrl* SharedTable() const { return m_sharedTable; }
  wxListCtrl* TitrationTable() const { return m_titrationTable; }
  wxRadioBox* ErrorMethod() const { return m_errorMethod; }
  wxCheckBox* ExtensiveBox() const { return m_extensive; }
  wxCheckBox* ProfileBox() const { return m_profile; }
  wxTextCtrl* WarningsText() const { return m_warnings; }
  wxTextCtrl* ConstantSDField() const { return m_sd; }
  wxListCtrl* DocumentTable() const { return m_docTable; }

  // "Report...": the print preview of the result's one-page report, from which it prints.
  // Returns the preview frame, or null when there is no result or no preview.
  wxWindow* OnReport();
  wxButton* ReportButton() const { return m_reportButton; }

  // Stores the open document's part as its fit; with saveOthers also every other document's
  // part, written into its file. False when there is no result to apply.
  bool ApplyResult(bool saveOthers);

  void SaveProject(const std::string& path) const;   // throws std::runtime_error
  void OpenProject(const std::string& path);         // throws std::runtime_error

 private:
  struct Entry;
  struct RunningFit;
  void BuildDocumentGroup(wxWindow* parent, wxSizer* top);
  void BuildChoiceGroup(wxWindow* parent, wxSizer* top);
  void BuildResultGroup(wxWindow* parent, wxSizer* top);
  void FillDocuments();
  void FillSharedRows(const std::vector<int>& checked);
  int CommonModel() const;
  FitSettings ErrorChoice() const;
  void ShowResult();
  void FinishRun(unsigned serial);
  void StopAndJoin();
  void LockForRun(bool running);
  void ClearResult();
  void OnAddFiles();
  void OnApply();
  void OnSaveProject();
  void OnOpenProject();
  void Tell(const wxString& text) const;

  Titration* m_openDoc;
  FitSettings m_errorDefaults;
  std::function<void()> m_onApplied;
  std::vector<std::unique_ptr<Entry>> m_docs;
  std::vector<int> m_rowOfItem;  // Fit-dialog row of each shared-row check box
  int m_rowsModel = 0;           // the model the check boxes were made for
  std::optional<GlobalFitResult> m_result;
  std::unique_ptr<RunningFit> m_running;
  unsigned m_runSerial = 0;  // tells a finished run's message from a discarded one's
  std::vector<wxWindow*> m_lockedWhileRunning;
  wxTimer m_pulse;

  wxListCtrl* m_docTable = nullptr;
  wxCheckListBox* m_sharedRows = nullptr;
  wxCheckBox* m_extensive = nullptr;
  wxCheckBox* m_profile = nullptr;
  wxRadioBox* m_errorMethod = nullptr;
  wxTextCtrl* m_sd = nullptr;
  wxStaticText* m_summary = nullptr;
  wxTextCtrl* m_warnings = nullptr;
  wxListCtrl* m_sharedTable = nullptr;
  wxListCtrl* m_titrationTable = nullptr;
  wxButton* m_applyButton = nullptr;
  wxButton* m_cancelButton = nullptr;
  wxButton* m_reportButton = nullptr;
  wxGauge* m_busy = nullptr;
  wxStaticText* m_runState = nullptr;
  CComparisonPlotPanel* m_graph = nullptr;
};

// The error methods of the dialog's radio box, in its order.
enum class GlobalErrorMethod { None = 0, ConstantSD = 1, Jackknife = 2 };
FitSettings global_error_settings(const FitSettings& defaults, GlobalErrorMethod method, double sd);

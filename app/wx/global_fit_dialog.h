// Analysis > Global Fit...: several fitted titrations of one protein fitted together with the
// chosen rows shared. The dialog lists the documents (the open one first when it holds a fit,
// then files added), the rows that may be shared, the search and error choices, runs the
// global fit and shows its shared constants and every titration's own rows; "Apply" makes the
// open document's part its fit and offers to save the other documents' parts into their files.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "commands/global_fit.h"
#include "commands/global_project.h"

class CComparisonPlotPanel;
class wxButton;
class wxCheckBox;
class wxCheckListBox;
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

  // Runs the global fit with the dialog's choices; false (message shown) when it refuses.
  bool Run();
  const std::optional<GlobalFitResult>& Result() const { return m_result; }
  wxListCtrl* SharedTable() const { return m_sharedTable; }
  wxListCtrl* TitrationTable() const { return m_titrationTable; }
  wxRadioBox* ErrorMethod() const { return m_errorMethod; }
  wxTextCtrl* ConstantSDField() const { return m_sd; }
  wxListCtrl* DocumentTable() const { return m_docTable; }

  // Stores the open document's part as its fit; with saveOthers also every other document's
  // part, written into its file. False when there is no result to apply.
  bool ApplyResult(bool saveOthers);

  void SaveProject(const std::string& path) const;   // throws std::runtime_error
  void OpenProject(const std::string& path);         // throws std::runtime_error

 private:
  struct Entry;
  void BuildDocumentGroup(wxWindow* parent, wxSizer* top);
  void BuildChoiceGroup(wxWindow* parent, wxSizer* top);
  void BuildResultGroup(wxWindow* parent, wxSizer* top);
  void FillDocuments();
  void FillSharedRows(const std::vector<int>& checked);
  int CommonModel() const;
  FitSettings ErrorChoice() const;
  void ShowResult();
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

  wxListCtrl* m_docTable = nullptr;
  wxCheckListBox* m_sharedRows = nullptr;
  wxCheckBox* m_extensive = nullptr;
  wxRadioBox* m_errorMethod = nullptr;
  wxTextCtrl* m_sd = nullptr;
  wxStaticText* m_summary = nullptr;
  wxListCtrl* m_sharedTable = nullptr;
  wxListCtrl* m_titrationTable = nullptr;
  wxButton* m_applyButton = nullptr;
  CComparisonPlotPanel* m_graph = nullptr;
};

// The error methods of the dialog's radio box, in its order.
enum class GlobalErrorMethod { None = 0, ConstantSD = 1, Jackknife = 2 };
FitSettings global_error_settings(const FitSettings& defaults, GlobalErrorMethod method, double sd);

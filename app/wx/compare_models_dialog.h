// Analysis > Compare Models...: the candidates of a model comparison in a sortable table (with
// how each fit ended and its warnings), the selected candidate's warning texts, the verdict and
// the F tests, the candidates' curves over the points with a residual strip each, and "Use
// this model", which makes the selected candidate the document's fit.
#pragma once

#include <functional>

#include <wx/dialog.h>

#include "commands/model_comparison.h"

class wxListCtrl;
class wxListEvent;
class wxButton;
class wxPanel;
class wxTextCtrl;
class Titration;

class CompareModelsDlg : public wxDialog {
 public:
  // onApplied runs after a candidate became the document's fit (to update the views).
  CompareModelsDlg(wxWindow* parent, Titration& doc, ModelComparison comparison, std::function<void()> onApplied);

  const ModelComparison& Comparison() const { return m_comparison; }
  wxListCtrl* Table() const { return m_table; }
  // The selected candidate's warnings, one per line below its model.
  wxTextCtrl* WarningsText() const { return m_warnings; }
  // Sorts the table by a column, as a click on its header does (a second click reverses).
  void SortByColumn(int column);
  // Selects the row of a model; false when the table has none.
  bool SelectModel(int model);
  // Applies the selected candidate; false (and nothing changes) when none is selected or it
  // was not fitted.
  bool UseSelectedModel();

 private:
  void BuildTable(wxWindow* parent);
  void FillTable();
  void FitTableWidth();
  void OnColumnClick(wxListEvent& event);
  void OnSelectionChanged();
  const CandidateFit* SelectedCandidate() const;

  Titration& m_doc;
  ModelComparison m_comparison;
  std::function<void()> m_onApplied;
  std::vector<int> m_order;  // candidate index of each table row
  int m_sortColumn = -1;
  bool m_ascending = true;
  wxListCtrl* m_table = nullptr;
  wxButton* m_useButton = nullptr;
  wxTextCtrl* m_warnings = nullptr;
};

// The text of a table cell (column 0 model, 1 n, 2 p, 3 chi-square, 4 AICc, 5 BIC,
// 6 Akaike weight, 7 how the fit ended, 8 its warnings' count and kinds, 9 note), as the
// dialog shows it.
wxString ComparisonCell(const CandidateFit& candidate, int column);
inline constexpr int kComparisonColumns = 10;
// What the text below the table shows for a candidate: its model, then each warning's text.
wxString CandidateWarningsText(const CandidateFit& candidate);

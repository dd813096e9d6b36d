#include "app/wx/compare_models_dialog.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/gdicmn.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "document/c_text.h"
#include "graphview/comparison_painter.h"
#include "graphview/wx/comparison_plot_panel.h"

namespace {

const char* const kColumnTitles[kComparisonColumns] = {"Model", "n", "p", "Chi-square", "AICc", "BIC", "Akaike weight",
                                                       "Fit ended", "Warnings", "Note"};
constexpr int kStopColumn = 7, kWarningsColumn = 8, kNoteColumn = 9;

wxString Number(double v, const char* format) {
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  return wxString::FromUTF8(c_printf(format, v));
}

// The sort key of a numeric column; a candidate that was not fitted sorts last either way.
double SortKey(const CandidateFit& c, int column) {
  switch (column) {
    case 0: return c.model;
    case 1: return c.n;
    case 2: return c.p;
    case 3: return c.chiSquare;
    case 4: return c.aicc;
    case 5: return c.bic;
    case 6: return c.weight;
    case kStopColumn: return static_cast<double>(c.result.stop);
    case kWarningsColumn: return static_cast<double>(c.Warnings().size());
    default: return 0.0;
  }
}

wxString FTestText(const ModelComparison& comparison) {
  if (comparison.fTests.empty()) return "F tests: no nested pair was fitted.";
  wxString text = "F tests (extra sum of squares):";
  for (const FTestResult& t : comparison.fTests)
    text += wxString::FromUTF8(c_printf("\n  model %d against model %d: F = %.4g, p = %.3g", t.complex, t.simple, t.F, t.p));
  return text;
}

// "none", "correlated" or "3: unbounded, ..." (the count and the first kind; the text below
// the table spells every warning out).
wxString WarningsCell(const CandidateFit& c) {
  const std::vector<FitWarning>& warnings = c.Warnings();
  if (warnings.empty()) return "none";
  if (warnings.size() == 1) return wxString::FromUTF8(warnings[0].kind);
  bool oneKind = true;
  for (const FitWarning& w : warnings) oneKind = oneKind && w.kind == warnings[0].kind;
  return wxString::FromUTF8(std::to_string(warnings.size()) + ": " + warnings[0].kind + (oneKind ? "" : ", ..."));
}

}  // namespace

wxString CandidateWarningsText(const CandidateFit& c) {
  if (!c.fitted) return wxString::Format("Model %d was not fitted.", c.model);
  if (c.Warnings().empty()) return wxString::Format("Model %d: no warnings.", c.model);
  wxString text = wxString::Format("Model %d:", c.model);
  for (const FitWarning& w : c.Warnings()) text += "\n" + wxString::FromUTF8(w.text);
  return text;
}

wxString ComparisonCell(const CandidateFit& c, int column) {
  if (column == 0) return wxString::Format("%d", c.model);
  if (column == kNoteColumn) return wxString::FromUTF8(c.message);
  if (!c.fitted) return "";
  switch (column) {
    case 1: return wxString::Format("%d", c.n);
    case 2: return wxString::Format("%d", c.p);
    case 3: return Number(c.chiSquare, "%.6g");
    case 4: return Number(c.aicc, "%.2f");
    case 5: return Number(c.bic, "%.2f");
    case 6: return Number(c.weight, "%.3f");
    case kStopColumn: return fit_stop_text(c.result.stop);
    case kWarningsColumn: return WarningsCell(c);
    default: return "";
  }
}

CompareModelsDlg::CompareModelsDlg(wxWindow* parent, Titration& doc, ModelComparison comparison,
                                   std::function<void()> onApplied)
    : wxDialog(parent, wxID_ANY, "Compare Models", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_doc(doc), m_comparison(std::move(comparison)), m_onApplied(std::move(onApplied)) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  const int gap = FromDIP(6);
  top->Add(new wxStaticText(this, wxID_ANY, "&Candidates:"), 0, wxLEFT | wxRIGHT | wxTOP, gap);
  BuildTable(this);
  top->Add(m_table, 0, wxEXPAND | wxLEFT | wxRIGHT, gap);
  top->Add(new wxStaticText(this, wxID_ANY, "&Warnings of the selected model:"), 0, wxLEFT | wxRIGHT | wxTOP, gap);
  m_warnings = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, FromDIP(wxSize(620, 64)),
                              wxTE_MULTILINE | wxTE_READONLY, wxDefaultValidator, "Warnings of the selected model");
  top->Add(m_warnings, 0, wxEXPAND | wxLEFT | wxRIGHT, gap);
  auto* verdict = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(m_comparison.verdict), wxDefaultPosition, wxDefaultSize, 0, "Verdict");
  verdict->Wrap(FromDIP(560));
  top->Add(verdict, 0, wxALL, gap);
  top->Add(new wxStaticText(this, wxID_ANY, FTestText(m_comparison), wxDefaultPosition, wxDefaultSize, 0, "F tests"), 0,
           wxLEFT | wxRIGHT, gap);
  top->Add(new wxStaticText(this, wxID_ANY, "Curves over the points, and each model's residuals:"), 0, wxLEFT | wxRIGHT | wxTOP, gap);
  // Sized so the whole dialog fits a 768-pixel-high screen; it can be made larger.
  auto* graph = new CComparisonPlotPanel(this, wxSize(560, 290), "Curves and residuals");
  std::vector<ComparisonPlotSeries> series;
  for (std::size_t i = 0; i < m_comparison.candidates.size(); ++i)
    if (m_comparison.candidates[i].fitted) series.push_back(MakeComparisonSeries(m_comparison.candidates[i], static_cast<int>(i)));
  graph->SetSeries(std::move(series));
  top->Add(graph, 1, wxEXPAND | wxLEFT | wxRIGHT, gap);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  m_useButton = new wxButton(this, wxID_ANY, "&Use this model");
  m_useButton->SetToolTip("Make the selected model's fit the document's fit");
  m_useButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { UseSelectedModel(); });
  buttons->Add(m_useButton, 0, wxRIGHT, gap);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Close"));
  SetEscapeId(wxID_CANCEL);
  top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, gap);
  SetSizerAndFit(top);

  SelectModel(m_comparison.best);
  OnSelectionChanged();
}

void CompareModelsDlg::BuildTable(wxWindow* parent) {
  m_table = new wxListCtrl(parent, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(620, 130)),
                           wxLC_REPORT | wxLC_SINGLE_SEL, wxDefaultValidator, "Candidates");
  for (int col = 0; col < kComparisonColumns; ++col) m_table->AppendColumn(kColumnTitles[col]);
  for (std::size_t i = 0; i < m_comparison.candidates.size(); ++i) m_order.push_back(static_cast<int>(i));
  FillTable();
  FitTableWidth();
  m_table->Bind(wxEVT_LIST_COL_CLICK, &CompareModelsDlg::OnColumnClick, this);
  m_table->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { OnSelectionChanged(); });
  m_table->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { OnSelectionChanged(); });
  m_table->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { UseSelectedModel(); });
}

void CompareModelsDlg::FillTable() {
  m_table->DeleteAllItems();
  for (std::size_t row = 0; row < m_order.size(); ++row) {
    const CandidateFit& c = m_comparison.candidates[static_cast<std::size_t>(m_order[row])];
    const long item = m_table->InsertItem(static_cast<long>(row), ComparisonCell(c, 0));
    for (int col = 1; col < kComparisonColumns; ++col) m_table->SetItem(item, col, ComparisonCell(c, col));
  }
  for (int col = 0; col < kComparisonColumns; ++col) m_table->SetColumnWidth(col, wxLIST_AUTOSIZE_USEHEADER);
}

// Wide enough for every column, within the screen.
void CompareModelsDlg::FitTableWidth() {
  int width = FromDIP(8);
  for (int col = 0; col < kComparisonColumns; ++col) width += m_table->GetColumnWidth(col);
  const int screen = wxGetClientDisplayRect().GetWidth() * 9 / 10;
  m_table->SetInitialSize(wxSize(std::clamp(width, FromDIP(620), std::max(FromDIP(620), screen)), FromDIP(130)));
}

void CompareModelsDlg::OnColumnClick(wxListEvent& event) { SortByColumn(event.GetColumn()); }

void CompareModelsDlg::SortByColumn(int column) {
  if (column < 0 || column >= kComparisonColumns) return;
  m_ascending = column == m_sortColumn ? !m_ascending : true;
  m_sortColumn = column;
  const CandidateFit* selected = SelectedCandidate();
  const auto& all = m_comparison.candidates;
  std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
    const CandidateFit& ca = all[static_cast<std::size_t>(a)];
    const CandidateFit& cb = all[static_cast<std::size_t>(b)];
    if (column != 0 && column != kNoteColumn && ca.fitted != cb.fitted) return ca.fitted;
    if (column == kNoteColumn) return m_ascending ? ca.message < cb.message : cb.message < ca.message;
    return m_ascending ? SortKey(ca, column) < SortKey(cb, column) : SortKey(cb, column) < SortKey(ca, column);
  });
  FillTable();
  m_table->ShowSortIndicator(column, m_ascending);
  if (selected) SelectModel(selected->model);
}

bool CompareModelsDlg::SelectModel(int model) {
  for (std::size_t row = 0; row < m_order.size(); ++row)
    if (m_comparison.candidates[static_cast<std::size_t>(m_order[row])].model == model) {
      m_table->SetItemState(static_cast<long>(row), wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                            wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
      OnSelectionChanged();
      return true;
    }
  return false;
}

const CandidateFit* CompareModelsDlg::SelectedCandidate() const {
  const long row = m_table->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  if (row < 0 || row >= static_cast<long>(m_order.size())) return nullptr;
  return &m_comparison.candidates[static_cast<std::size_t>(m_order[static_cast<std::size_t>(row)])];
}

void CompareModelsDlg::OnSelectionChanged() {
  if (!m_useButton || !m_warnings) return;
  const CandidateFit* c = SelectedCandidate();
  m_useButton->Enable(c != nullptr && c->fitted);
  m_warnings->ChangeValue(c ? CandidateWarningsText(*c) : wxString("No model is selected."));
}

bool CompareModelsDlg::UseSelectedModel() {
  const CandidateFit* c = SelectedCandidate();
  if (!c || !c->fitted) return false;
  apply_candidate(m_doc, *c);
  if (m_onApplied) m_onApplied();
  if (IsModal()) EndModal(wxID_OK);
  return true;
}

#include "app/wx/global_fit_dialog.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <thread>

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "commands/identifiability.h"
#include "document/bwd_file.h"
#include "document/c_text.h"
#include "document/titration.h"
#include "fitting/fit_stop.h"
#include "fitting/model_registry.h"
#include "graphview/global_fit_plot.h"
#include "graphview/wx/comparison_plot_panel.h"
#include "graphview/wx/global_report_printout.h"

struct GlobalFitDlg::Entry {
  std::string name;  // shown in the list and the results
  std::string path;  // empty for the open document
  std::unique_ptr<Titration> owned;
  Titration* doc = nullptr;
};

// Everything a global fit on the worker reads and writes until its result is back on the
// dialog's thread. The documents it reads stay put: the dialog refuses every change to its
// list while a run is going, and the window behind the modal dialog takes no input.
struct GlobalFitDlg::RunningFit {
  std::vector<GlobalFitInput> inputs;
  GlobalFitRequest request;
  StopFlag stop;
  std::optional<GlobalFitResult> result;
  std::exception_ptr failure;
  std::thread worker;
};

namespace {

bool HoldsFit(const Titration& doc) { return is_valid_model(doc.m_fit.m_nModel); }

wxString Utf8(const std::string& text) { return wxString::FromUTF8(text); }

wxString Number(double v) { return Utf8(c_printf("%.6g", v)); }

std::string RowLabel(int model, int row) {
  const std::optional<DialogRow> r = fit_dialog_row(model, row);
  return r ? r->label : c_printf("row %i", row);
}

wxListCtrl* MakeTable(wxWindow* parent, const char* name, std::initializer_list<const char*> columns, wxSize size) {
  auto* table = new wxListCtrl(parent, wxID_ANY, wxDefaultPosition, size, wxLC_REPORT | wxLC_SINGLE_SEL, wxDefaultValidator, name);
  for (const char* title : columns) table->AppendColumn(title);
  return table;
}

void AutosizeColumns(wxListCtrl* table) {
  for (int col = 0; col < table->GetColumnCount(); ++col) table->SetColumnWidth(col, wxLIST_AUTOSIZE_USEHEADER);
}

}  // namespace

FitSettings global_error_settings(const FitSettings& defaults, GlobalErrorMethod method, double sd) {
  FitSettings s = defaults;
  switch (method) {
    case GlobalErrorMethod::None:
      s.m_bEstimateErrors = 0;
      fit_dialog_choose_error_radio(s, ErrorRadio::Percent);
      break;
    case GlobalErrorMethod::ConstantSD:
      s.m_bEstimateErrors = 1;
      fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
      s.m_dConstantSD = sd;
      break;
    case GlobalErrorMethod::Jackknife:
      s.m_bEstimateErrors = 1;
      fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
      break;
  }
  return s;
}

GlobalFitDlg::GlobalFitDlg(wxWindow* parent, Titration* openDoc, const std::string& openName, const FitSettings& errors,
                           std::function<void()> onApplied)
    : wxDialog(parent, wxID_ANY, "Global Fit", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_openDoc(openDoc), m_errorDefaults(errors), m_onApplied(std::move(onApplied)) {
  if (openDoc && HoldsFit(*openDoc)) {
    auto entry = std::make_unique<Entry>();
    entry->name = openName;
    entry->doc = openDoc;
    m_docs.push_back(std::move(entry));
  }
  auto* top = new wxBoxSizer(wxVERTICAL);
  BuildDocumentGroup(this, top);
  BuildChoiceGroup(this, top);
  BuildResultGroup(this, top);
  const int gap = FromDIP(6);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* save = new wxButton(this, wxID_ANY, "&Save Project...");
  save->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSaveProject(); });
  auto* open = new wxButton(this, wxID_ANY, "&Open Project...");
  open->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOpenProject(); });
  buttons->Add(open, 0, wxRIGHT, gap);
  buttons->Add(save, 0, wxRIGHT, gap);
  buttons->AddStretchSpacer();
  buttons->Add(new wxButton(this, wxID_CANCEL, "Close"));
  SetEscapeId(wxID_CANCEL);
  m_lockedWhileRunning.insert(m_lockedWhileRunning.end(), {open, save});
  // Esc during a run stops the run and keeps the dialog; Close (or the title bar's close)
  // stops it, waits for the worker and closes.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
    if (IsRunning() && e.GetKeyCode() == WXK_ESCAPE)
      CancelRun();
    else
      e.Skip();
  });
  Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) {
    StopAndJoin();
    e.Skip();
  }, wxID_CANCEL);
  m_pulse.SetOwner(this);
  Bind(wxEVT_TIMER, [this](wxTimerEvent&) { m_busy->Pulse(); });
  top->Add(buttons, 0, wxEXPAND | wxALL, gap);
  SetSizerAndFit(top);
  FillDocuments();
  FillSharedRows(default_shared_rows(CommonModel()));
}

// The worker must not outlive the documents and the dialog it reads; a result it posted is
// dropped with the dialog's pending events.
GlobalFitDlg::~GlobalFitDlg() { StopAndJoin(); }

void GlobalFitDlg::BuildDocumentGroup(wxWindow* parent, wxSizer* top) {
  const int gap = FromDIP(6);
  top->Add(new wxStaticText(parent, wxID_ANY, "&Documents:"), 0, wxLEFT | wxRIGHT | wxTOP, gap);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  m_docTable = MakeTable(parent, "Documents", {"File", "Model", "Fit"}, FromDIP(wxSize(460, 96)));
  row->Add(m_docTable, 1, wxEXPAND | wxRIGHT, gap);
  auto* side = new wxBoxSizer(wxVERTICAL);
  auto* add = new wxButton(parent, wxID_ANY, "&Add files...");
  add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddFiles(); });
  auto* remove = new wxButton(parent, wxID_ANY, "&Remove");
  remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    const long item = m_docTable->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (item >= 0) RemoveDocument(static_cast<int>(item));
  });
  m_lockedWhileRunning.insert(m_lockedWhileRunning.end(), {add, remove});
  side->Add(add, 0, wxEXPAND | wxBOTTOM, gap);
  side->Add(remove, 0, wxEXPAND);
  row->Add(side);
  top->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT, gap);
}

void GlobalFitDlg::BuildChoiceGroup(wxWindow* parent, wxSizer* top) {
  const int gap = FromDIP(6);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  auto* left = new wxBoxSizer(wxVERTICAL);
  left->Add(new wxStaticText(parent, wxID_ANY, "S&hared rows:"));
  m_sharedRows = new wxCheckListBox(parent, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(200, 150)), 0, nullptr, 0,
                                    wxDefaultValidator, "Shared rows");
  m_sharedRows->Bind(wxEVT_CHECKLISTBOX, [this](wxCommandEvent&) { ClearResult(); });
  left->Add(m_sharedRows, 1, wxEXPAND);
  row->Add(left, 0, wxEXPAND | wxRIGHT, gap);

  auto* right = new wxBoxSizer(wxVERTICAL);
  m_extensive = new wxCheckBox(parent, wxID_ANY, "E&xtensive");
  m_extensive->SetToolTip("Search broadly over the shared constants before the fit");
  right->Add(m_extensive, 0, wxBOTTOM, gap);
  const wxString methods[] = {"None", "Constant SD", "Jackknife"};
  // One row of choices, so the dialog with its results fits a 768-pixel-high screen.
  m_errorMethod = new wxRadioBox(parent, wxID_ANY, "&Errors", wxDefaultPosition, wxDefaultSize, 3, methods, 3,
                                 wxRA_SPECIFY_COLS);
  right->Add(m_errorMethod, 0, wxBOTTOM, gap);
  m_profile = new wxCheckBox(parent, wxID_ANY, "Profile-likelihood &intervals");
  m_profile->SetToolTip("68 % and 95 % intervals of every fitted row from the global chi-square; takes longer");
  right->Add(m_profile, 0, wxBOTTOM, gap);
  auto* sdRow = new wxBoxSizer(wxHORIZONTAL);
  sdRow->Add(new wxStaticText(parent, wxID_ANY, "Constant &SD:"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
  m_sd = new wxTextCtrl(parent, wxID_ANY, Number(m_errorDefaults.m_dConstantSD > 0 ? m_errorDefaults.m_dConstantSD : 0.01),
                        wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, "Constant SD");
  sdRow->Add(m_sd);
  right->Add(sdRow, 0, wxBOTTOM, gap);
  auto* runRow = new wxBoxSizer(wxHORIZONTAL);
  auto* run = new wxButton(parent, wxID_ANY, "R&un");
  run->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Run(); });
  m_cancelButton = new wxButton(parent, wxID_ANY, "Cancel");
  m_cancelButton->SetToolTip("Stop the running global fit (Esc); the results shown stay as they were");
  m_cancelButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CancelRun(); });
  m_cancelButton->Disable();
  runRow->Add(run, 0, wxRIGHT, gap);
  runRow->Add(m_cancelButton);
  right->Add(runRow, 0, wxBOTTOM, gap);
  m_busy = new wxGauge(parent, wxID_ANY, 100, wxDefaultPosition, FromDIP(wxSize(160, 12)), wxGA_HORIZONTAL,
                       wxDefaultValidator, "Global fit progress");
  right->Add(m_busy, 0, wxEXPAND | wxBOTTOM, gap);
  m_runState = new wxStaticText(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0, "Run state");
  right->Add(m_runState, 0, wxEXPAND);
  row->Add(right);
  m_lockedWhileRunning.insert(m_lockedWhileRunning.end(), {m_sharedRows, m_extensive, m_errorMethod, m_profile, m_sd, run});
  top->Add(row, 0, wxEXPAND | wxALL, gap);
}

void GlobalFitDlg::BuildResultGroup(wxWindow* parent, wxSizer* top) {
  const int gap = FromDIP(6);
  m_summary = new wxStaticText(parent, wxID_ANY, "Not run yet.", wxDefaultPosition, wxDefaultSize, 0, "Summary");
  top->Add(m_summary, 0, wxLEFT | wxRIGHT, gap);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  auto* tables = new wxBoxSizer(wxVERTICAL);
  tables->Add(new wxStaticText(parent, wxID_ANY, "Shared &constants:"), 0, wxTOP, gap);
  m_sharedTable = MakeTable(parent, "Shared constants", {"Row", "Value", "Error", "Profile 68%"}, FromDIP(wxSize(420, 110)));
  tables->Add(m_sharedTable, 0, wxEXPAND);
  tables->Add(new wxStaticText(parent, wxID_ANY, "&Titrations:"), 0, wxTOP, gap);
  m_titrationTable = MakeTable(parent, "Titrations", {"File", "n", "Chi-square", "Own rows"}, FromDIP(wxSize(420, 110)));
  tables->Add(m_titrationTable, 1, wxEXPAND);
  m_applyButton = new wxButton(parent, wxID_ANY, "A&pply");
  m_applyButton->SetToolTip("Make the open document's part of the global fit its fit");
  m_applyButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnApply(); });
  m_applyButton->Disable();
  m_reportButton = new wxButton(parent, wxID_ANY, "Report...");
  m_reportButton->SetToolTip("Preview and print the one-page report of this global fit");
  m_reportButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnReport(); });
  m_reportButton->Disable();
  auto* resultButtons = new wxBoxSizer(wxHORIZONTAL);
  resultButtons->Add(m_reportButton, 0, wxRIGHT, gap);
  resultButtons->Add(m_applyButton);
  tables->Add(resultButtons, 0, wxALIGN_RIGHT | wxTOP, gap);
  row->Add(tables, 0, wxEXPAND | wxRIGHT, gap);
  auto* graph = new wxBoxSizer(wxVERTICAL);
  graph->Add(new wxStaticText(parent, wxID_ANY, "Normalised response against total Ca (uM), with residuals:"), 0, wxTOP, gap);
  m_graph = new CComparisonPlotPanel(parent, wxSize(460, 200), "Normalised curves and residuals");
  graph->Add(m_graph, 1, wxEXPAND);
  // Every warning of the review in full: what the shared constants and each titration's own
  // rows can and cannot be trusted for.
  graph->Add(new wxStaticText(parent, wxID_ANY, "&Warnings:"), 0, wxTOP, gap);
  m_warnings = new wxTextCtrl(parent, wxID_ANY, "", wxDefaultPosition, FromDIP(wxSize(460, 48)),
                              wxTE_MULTILINE | wxTE_READONLY | wxTE_WORDWRAP, wxDefaultValidator, "Warnings");
  graph->Add(m_warnings, 0, wxEXPAND);
  row->Add(graph, 1, wxEXPAND);
  top->Add(row, 1, wxEXPAND | wxLEFT | wxRIGHT, gap);
}

void GlobalFitDlg::FillDocuments() {
  m_docTable->DeleteAllItems();
  for (std::size_t i = 0; i < m_docs.size(); ++i) {
    const Titration& doc = *m_docs[i]->doc;
    const long item = m_docTable->InsertItem(static_cast<long>(i), Utf8(m_docs[i]->name));
    const bool fitted = HoldsFit(doc);
    m_docTable->SetItem(item, 1, fitted ? wxString::Format("%d", doc.m_fit.m_nModel) : wxString("-"));
    m_docTable->SetItem(item, 2, fitted ? Utf8(c_printf("chi-square %.6g", doc.m_fit.m_p[0])) : wxString("none"));
  }
  AutosizeColumns(m_docTable);
}

int GlobalFitDlg::CommonModel() const {
  for (const auto& e : m_docs)
    if (HoldsFit(*e->doc)) return e->doc->m_fit.m_nModel;
  return 0;
}

void GlobalFitDlg::FillSharedRows(const std::vector<int>& checked) {
  m_rowsModel = CommonModel();
  m_sharedRows->Clear();
  m_rowOfItem.clear();
  if (m_rowsModel == 0) return;
  for (int row = 1; row <= kValueRows; ++row) {
    const std::optional<DialogRow> r = fit_dialog_row(m_rowsModel, row);
    if (!r) continue;
    const unsigned item = m_sharedRows->Append(Utf8(c_printf("%i  %s", row, r->label)));
    m_rowOfItem.push_back(row);
    m_sharedRows->Check(item, std::find(checked.begin(), checked.end(), row) != checked.end());
  }
}

std::vector<int> GlobalFitDlg::CheckedSharedRows() const {
  std::vector<int> rows;
  for (std::size_t i = 0; i < m_rowOfItem.size(); ++i)
    if (m_sharedRows->IsChecked(static_cast<unsigned>(i))) rows.push_back(m_rowOfItem[i]);
  return rows;
}

void GlobalFitDlg::SetSharedRows(const std::vector<int>& rows) { FillSharedRows(rows); }

bool GlobalFitDlg::AddFile(const std::string& path, std::string* message) {
  if (IsRunning()) {
    if (message) *message = "Wait for the global fit to end, or cancel it.";
    return false;
  }
  auto entry = std::make_unique<Entry>();
  entry->owned = std::make_unique<Titration>();
  const BwdStatus status = LoadBwdFile(path, *entry->owned);
  if (!status.ok) {
    if (message) *message = status.message;
    return false;
  }
  entry->doc = entry->owned.get();
  entry->path = path;
  entry->name = wxFileName(Utf8(path)).GetFullName().utf8_string();
  const bool firstModel = CommonModel() == 0;
  m_docs.push_back(std::move(entry));
  FillDocuments();
  if (firstModel) FillSharedRows(default_shared_rows(CommonModel()));
  ClearResult();
  return true;
}

void GlobalFitDlg::RemoveDocument(int index) {
  if (IsRunning() || index < 0 || index >= DocumentCount()) return;
  m_docs.erase(m_docs.begin() + index);
  FillDocuments();
  if (CommonModel() != m_rowsModel) FillSharedRows(default_shared_rows(CommonModel()));
  ClearResult();
}

FitSettings GlobalFitDlg::ErrorChoice() const {
  const auto method = static_cast<GlobalErrorMethod>(m_errorMethod->GetSelection());
  double sd = 0.0;
  if (method == GlobalErrorMethod::ConstantSD) {
    if (!parse_number_field(m_sd->GetValue().utf8_string(), &sd) || !(sd > 0.0))
      throw std::invalid_argument("Constant SD: type a positive number.");
  }
  return global_error_settings(m_errorDefaults, method, sd);
}

bool GlobalFitDlg::Run() {
  if (IsRunning()) return false;
  auto run = std::make_unique<RunningFit>();
  try {
    run->request.sharedRows = CheckedSharedRows();
    if (run->request.sharedRows.empty()) throw std::invalid_argument("Tick at least one shared row.");
    run->request.extensive = m_extensive->GetValue();
    run->request.profileIntervals = m_profile->GetValue();
    run->request.errors = ErrorChoice();
  } catch (const std::invalid_argument& e) {
    Tell(Utf8(e.what()));
    return false;
  }
  for (const auto& e : m_docs) run->inputs.push_back({e->name, e->doc});
  run->request.stop = &run->stop;
  m_running = std::move(run);
  const unsigned serial = ++m_runSerial;
  LockForRun(true);
  RunningFit* worker = m_running.get();
  worker->worker = std::thread([this, worker, serial] {
    try {
      worker->result = run_global_fit(worker->inputs, worker->request);
    } catch (...) {
      worker->failure = std::current_exception();
    }
    CallAfter([this, serial] { FinishRun(serial); });
  });
  return true;
}

void GlobalFitDlg::CancelRun() {
  if (!m_running) return;
  m_running->stop.RequestStop();
  m_runState->SetLabel("Stopping...");
}

void GlobalFitDlg::StopAndJoin() {
  if (!m_running) return;
  std::unique_ptr<RunningFit> run = std::move(m_running);
  run->stop.RequestStop();
  run->worker.join();
  LockForRun(false);
  m_runState->SetLabel("Stopped; nothing changed.");
}

// The worker is done: the result replaces the shown one unless the run was stopped, and a
// refusal or failure is told; a stopped run leaves everything as it was.
void GlobalFitDlg::FinishRun(unsigned serial) {
  if (!m_running || serial != m_runSerial) return;  // already joined by Close
  std::unique_ptr<RunningFit> run = std::move(m_running);
  run->worker.join();
  LockForRun(false);
  if (run->failure) {
    m_runState->SetLabel("");
    try {
      std::rethrow_exception(run->failure);
    } catch (const std::invalid_argument& e) {
      Tell(Utf8(e.what()));
    } catch (const std::exception& e) {
      Tell(Utf8(std::string("The global fit could not be completed.\n") + e.what()));
    } catch (...) {
      Tell("The global fit could not be completed.");
    }
    return;
  }
  if (!run->result || run->result->stop == FitStop::Stopped) {
    m_runState->SetLabel("Stopped; nothing changed.");
    return;
  }
  m_runState->SetLabel("");
  m_result = std::move(run->result);
  ShowResult();
}

void GlobalFitDlg::LockForRun(bool running) {
  for (wxWindow* w : m_lockedWhileRunning) w->Enable(!running);
  m_cancelButton->Enable(running);
  m_applyButton->Enable(!running && m_result && m_openDoc);
  m_reportButton->Enable(!running && m_result);
  if (running) {
    m_runState->SetLabel("Fitting all titrations together...");
    m_cancelButton->SetFocus();
    m_busy->Pulse();
    m_pulse.Start(100);
  } else {
    m_pulse.Stop();
    m_busy->SetValue(0);
  }
}

void GlobalFitDlg::ClearResult() {
  m_result.reset();
  if (!m_sharedTable) return;
  m_sharedTable->DeleteAllItems();
  m_titrationTable->DeleteAllItems();
  m_summary->SetLabel("Not run yet.");
  m_warnings->Clear();
  m_graph->SetSeries({});
  m_applyButton->Disable();
  m_reportButton->Disable();
}

void GlobalFitDlg::ShowResult() {
  const GlobalFitResult& r = *m_result;
  m_summary->SetLabel(Utf8(c_printf("Model %i, n = %i, p = %i, chi-square = %.6g, %s.", r.model, r.n, r.p, r.chiSquare,
                                    fit_stop_name(r.stop))));
  std::string warnings;
  for (const FitWarning& w : global_fit_warnings(r)) warnings += (warnings.empty() ? "" : "\n") + w.text;
  m_warnings->ChangeValue(Utf8(warnings.empty() ? std::string("None") : warnings));
  m_sharedTable->DeleteAllItems();
  for (std::size_t i = 0; i < r.shared.size(); ++i) {
    const GlobalSharedRow& s = r.shared[i];
    const long item = m_sharedTable->InsertItem(static_cast<long>(i), Utf8(c_printf("%i  %s", s.row, s.name.c_str())));
    m_sharedTable->SetItem(item, 1, Number(s.value));
    m_sharedTable->SetItem(item, 2, r.haveErrors ? Number(s.error) : wxString("-"));
    m_sharedTable->SetItem(item, 3, s.interval ? Utf8(interval_text(r.model, *s.interval)) : wxString("-"));
  }
  m_titrationTable->DeleteAllItems();
  std::vector<int> shared;
  for (const GlobalSharedRow& s : r.shared) shared.push_back(s.row);
  for (std::size_t i = 0; i < r.titrations.size(); ++i) {
    const GlobalTitrationPart& t = r.titrations[i];
    const long item = m_titrationTable->InsertItem(static_cast<long>(i), Utf8(t.name));
    m_titrationTable->SetItem(item, 1, wxString::Format("%d", t.n));
    m_titrationTable->SetItem(item, 2, Number(t.chiSquare));
    std::string own;
    for (int row = 1; row <= kValueRows; ++row) {
      if (!fit_dialog_row(r.model, row) || std::find(shared.begin(), shared.end(), row) != shared.end()) continue;
      if (!own.empty()) own += ", ";
      const std::optional<RowInterval>& interval = t.intervals[row];
      own += RowLabel(r.model, row) + " " + (interval ? interval_text(r.model, *interval) : c_printf("%.6g", t.values[row]));
      if (r.haveErrors) own += c_printf(" +- %.3g", t.errors[row]);
    }
    m_titrationTable->SetItem(item, 3, Utf8(own));
  }
  AutosizeColumns(m_sharedTable);
  AutosizeColumns(m_titrationTable);
  m_graph->SetSeries(global_fit_series(r));
  m_applyButton->Enable(m_openDoc != nullptr);
  m_reportButton->Enable();
  Layout();
}

bool GlobalFitDlg::ApplyResult(bool saveOthers) {
  if (!m_result) return false;
  std::string failures;
  for (std::size_t i = 0; i < m_docs.size() && i < m_result->titrations.size(); ++i) {
    Entry& e = *m_docs[i];
    if (e.doc == m_openDoc) {
      apply_global_part(*e.doc, m_result->titrations[i]);
      if (m_onApplied) m_onApplied();
    } else if (saveOthers) {
      Titration updated = *e.doc;
      apply_global_part(updated, m_result->titrations[i]);
      const BwdStatus status = SaveBwdFile(e.path, updated);
      if (status.ok)
        *e.doc = updated;
      else
        failures += status.message + "\n";
    }
  }
  FillDocuments();
  if (!failures.empty()) Tell(Utf8("These documents were not saved:\n" + failures));
  return true;
}

void GlobalFitDlg::OnApply() {
  if (!m_result) return;
  const bool others = std::any_of(m_docs.begin(), m_docs.end(), [this](const auto& e) { return e->doc != m_openDoc; });
  bool saveOthers = false;
  if (others)
    saveOthers = wxMessageBox("Also save each other document's part of the global fit as its fit, into its file?",
                              "Global Fit", wxYES_NO | wxICON_QUESTION, this) == wxYES;
  ApplyResult(saveOthers);
}

wxWindow* GlobalFitDlg::OnReport() {
  if (!m_result || IsRunning()) return nullptr;
  return PreviewGlobalReport(this, *m_result);
}

void GlobalFitDlg::OnAddFiles() {
  wxFileDialog dialog(this, "Add titrations", "", "", "Bindwise documents (*.bwd)|*.bwd|All files (*)|*",
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
  if (dialog.ShowModal() != wxID_OK) return;
  wxArrayString paths;
  dialog.GetPaths(paths);
  std::string failures;
  for (const wxString& p : paths) {
    std::string message;
    if (!AddFile(p.utf8_string(), &message)) failures += message + "\n";
  }
  if (!failures.empty()) Tell(Utf8(failures));
}

void GlobalFitDlg::SaveProject(const std::string& path) const {
  GlobalProject project;
  for (const auto& e : m_docs)
    if (!e->path.empty()) project.documents.push_back(e->path);
  project.sharedRows = CheckedSharedRows();
  project.extensive = m_extensive->GetValue();
  write_global_project(path, project);
}

void GlobalFitDlg::OpenProject(const std::string& path) {
  if (IsRunning()) throw std::runtime_error("Wait for the global fit to end, or cancel it.");
  const GlobalProject project = read_global_project(path);
  std::vector<std::unique_ptr<Entry>> kept;
  for (auto& e : m_docs)
    if (e->doc == m_openDoc) kept.push_back(std::move(e));
  m_docs = std::move(kept);
  std::string failures;
  for (const std::string& doc : project.documents) {
    std::string message;
    if (!AddFile(doc, &message)) failures += message + "\n";
  }
  FillDocuments();
  FillSharedRows(project.sharedRows.empty() ? default_shared_rows(CommonModel()) : project.sharedRows);
  m_extensive->SetValue(project.extensive);
  ClearResult();
  if (!failures.empty()) throw std::runtime_error(failures);
}

void GlobalFitDlg::OnSaveProject() {
  wxFileDialog dialog(this, "Save global analysis", "", "analysis.bwglobal", "Global analyses (*.bwglobal)|*.bwglobal",
                      wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK) return;
  try {
    SaveProject(dialog.GetPath().utf8_string());
  } catch (const std::runtime_error& e) {
    Tell(Utf8(e.what()));
  }
}

void GlobalFitDlg::OnOpenProject() {
  wxFileDialog dialog(this, "Open global analysis", "", "", "Global analyses (*.bwglobal)|*.bwglobal|All files (*)|*",
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return;
  try {
    OpenProject(dialog.GetPath().utf8_string());
  } catch (const std::runtime_error& e) {
    Tell(Utf8(e.what()));
  }
}

void GlobalFitDlg::Tell(const wxString& text) const {
  wxMessageBox(text, "Global Fit", wxOK | wxICON_INFORMATION, const_cast<GlobalFitDlg*>(this));
}

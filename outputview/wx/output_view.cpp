#include "outputview/wx/output_view.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/eventfilter.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include "app/wx/analysis_menu.h"
#include "app/wx/command_ids.h"
#include "app/wx/compare_models_dialog.h"
#include "app/wx/fixed_splitter.h"
#include "app/wx/global_fit_dialog.h"
#include "app/wx/main_frame.h"
#include "app/wx/offscreen_dc.h"
#include "app/wx/progress_bar.h"
#include "app/wx/wx_canvas.h"
#include "document/c_text.h"
#include "document/cell_check.h"
#include "document/titration_edit.h"
#include "document/wx/bindwise_doc.h"
#include "commands/fit_command.h"
#include "commands/model_comparison.h"
#include "commands/simulate_command.h"
#include "commands/wx/fit_dlg.h"
#include "commands/wx/fit_parameters_dlg.h"
#include "outputview/ascii_export.h"
#include "commands/wx/parameters_dlg.h"
#include "commands/wx/simulate_dlg.h"
#include "graphview/background_tile.h"
#include "outputview/description_text.h"
#include "outputview/generate_data.h"
#include "outputview/plan_prediction.h"
#include "outputview/plot_selection.h"
#include "outputview/results_painter.h"
#include "outputview/wx/description_dlg.h"
#include "outputview/wx/generate_data_dialog.h"
#include "outputview/wx/plot_list_box.h"

wxBEGIN_EVENT_TABLE(COutputView, CPaneView)
  EVT_MENU(ID_FILE_EXPORT_POINTS, COutputView::OnExportMenu)
  EVT_MENU(ID_FILE_EXPORT_FIT, COutputView::OnExportMenu)
  EVT_MENU(ID_FILE_EXPORT_SIM, COutputView::OnExportMenu)
  EVT_MENU(ID_FILE_EXPORT_SAT, COutputView::OnExportMenu)
  EVT_MENU(ID_FILE_EXPORT_SIM_SAT, COutputView::OnExportMenu)
  EVT_MENU(ID_FILE_EXPORT_RESIDUALS, COutputView::OnExportMenu)
  EVT_MENU(ID_FILE_EXPORT_CSV_RESIDUALS, COutputView::OnExportMenu)
  EVT_MENU(ID_ANALYSIS_FIT, COutputView::OnAnalysisMenu)
  EVT_MENU(ID_ANALYSIS_SIMULATE, COutputView::OnAnalysisMenu)
  EVT_MENU(ID_ANALYSIS_GENERATE, COutputView::OnAnalysisMenu)
  EVT_MENU(ID_ANALYSIS_UPDATE, COutputView::OnAnalysisMenu)
  EVT_MENU(ID_ANALYSIS_DESCRIPTION, COutputView::OnAnalysisMenu)
  EVT_MENU(ID_ANALYSIS_COMPARE, COutputView::OnAnalysisMenu)
  EVT_MENU_RANGE(ID_FILE_EXPORT_CSV_POINTS, ID_FILE_EXPORT_CSV_SIM_SAT, COutputView::OnExportMenu)
  EVT_MENU(ID_ANALYSIS_GLOBAL_FIT, COutputView::OnAnalysisMenu)
  EVT_MENU(ID_ANALYSIS_FIT_PARAMETERS, COutputView::OnAnalysisMenu)
  EVT_COMMAND(wxID_ANY, EVT_GENERATE_DATA_ADD, COutputView::OnGenerateAdd)
  EVT_COMMAND(wxID_ANY, EVT_GENERATE_DATA_PREDICT, COutputView::OnGeneratePredict)
  EVT_COMMAND(wxID_ANY, EVT_GENERATE_DATA_GONE, COutputView::OnGenerateGone)
wxEND_EVENT_TABLE()

namespace {

wxString app_title() { return wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("Bindwise"); }

wxRect to_wx(const CanvasRect& r) { return wxRect(r.left, r.top, r.Width(), r.Height()); }

// The fit's progress and stop channel between the worker and the window: the worker posts
// each position to the window's thread; a stop asked there is read by the worker between
// least-squares steps.
class PostedProgress : public FitProgress {
 public:
  explicit PostedProgress(std::function<void(int)> post) : m_post(std::move(post)) {}
  void SetPosition(int position) override { m_post(position); }
  bool StopRequested() override { return m_stop.load(); }
  void RequestStop() { m_stop.store(true); }

 private:
  std::function<void(int)> m_post;
  std::atomic<bool> m_stop{false};
};

// While a fit runs, commands from menus, the toolbar and accelerators are swallowed whichever
// window they reach (the document must not change under the fit), and Esc anywhere cancels.
class FitInputFilter : public wxEventFilter {
 public:
  explicit FitInputFilter(std::function<void()> cancel) : m_cancel(std::move(cancel)) { wxEvtHandler::AddFilter(this); }
  ~FitInputFilter() override { wxEvtHandler::RemoveFilter(this); }
  FitInputFilter(const FitInputFilter&) = delete;
  FitInputFilter& operator=(const FitInputFilter&) = delete;

  int FilterEvent(wxEvent& event) override {
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_MENU) return Event_Ignore;
    if ((type == wxEVT_CHAR_HOOK || type == wxEVT_KEY_DOWN) &&
        static_cast<wxKeyEvent&>(event).GetKeyCode() == WXK_ESCAPE) {
      m_cancel();
      return Event_Processed;
    }
    return Event_Skip;
  }

 private:
  std::function<void()> m_cancel;
};

// RGB(210, 0, 0) as the COLORREF (0x00BBGGRR) the progress bar takes.
constexpr std::uint32_t kFitBarColour =
    (std::uint32_t(kFitProgressColourB) << 16) | (std::uint32_t(kFitProgressColourG) << 8) | kFitProgressColourR;

}  // namespace

// Everything a fit on the worker needs until its result is back on the window's thread.
struct COutputView::RunningFit {
  FitJob job;
  std::unique_ptr<FitResult> result = std::make_unique<FitResult>();  // 498-sample curve: not on the stack
  std::exception_ptr failure;
  std::unique_ptr<PostedProgress> progress;
  std::unique_ptr<CProgressBar> bar;
  wxButton* cancel = nullptr;
  wxWindow* panes = nullptr;  // disabled while the fit runs
  std::unique_ptr<wxWindowDisabler> otherWindows;
  std::unique_ptr<FitInputFilter> filter;
  std::thread worker;
};

COutputView::COutputView() = default;

COutputView::~COutputView() {
  // The dialog may outlive this view while the main window closes: it must not call back.
  if (m_pGenerateDlg) m_pGenerateDlg->DetachView();
  // The frame refuses to close during a fit; should the view go anyway, the worker must not
  // outlive the job it reads.
  if (m_pRunningFit) {
    m_pRunningFit->progress->RequestStop();
    if (m_pRunningFit->worker.joinable()) m_pRunningFit->worker.join();
  }
}

wxWindow* COutputView::CreateCanvas(wxWindow* parent) {
  auto* canvas = new CPaneCanvas(this, parent);
  canvas->SetBackgroundColour(wxColour(kBackgroundMainColour.r, kBackgroundMainColour.g, kBackgroundMainColour.b));
  return canvas;
}

wxWindow* COutputView::DialogParent() const {
  wxWindow* frame = GetFrame();
  return frame ? frame : GetCanvas();
}

void COutputView::OnInitialUpdate() {
  BindwiseDoc* doc = GetDoc();
  if (CMainFrame* frame = GetMainFrame()) {
    m_layout = frame->GetLayout().control;
    m_nGridFontHeight = frame->GetLayout().grid.CellFont().height;
  }
  // Controls are made once; a later New or Open keeps their windows.
  if (!m_plotList) CreateControls();
  PlaceControls();
  if (doc) {
    doc->m_pPlotList = m_plotList;
    m_plotList->SetDocument(doc);
    m_plotList->SetEntries(PlotListEntries(*doc));
  }
  // After New or Open an open Generate Data dialog shows the new document's plan.
  if (m_pGenerateDlg) m_pGenerateDlg->LoadFromDocument();
  CPaneView::OnInitialUpdate();
}

void COutputView::PlaceControls() {
  if (!m_plotList) return;
  CanvasFont font;
  font.face = "Arial";
  font.height = font_pixel_height(m_layout.m_nButtonFontPt, m_layout.fontDpi);
  font.weight = 600;
  m_buttonFont = WxCanvas::MakeFont(font);
  for (const ControlPlacement& place : control_placements(m_layout)) {
    wxRect r = to_wx(place.rect);
    if (place.id == kIdPlotList) {
      // Below the window's minimum size (while a window manager without size hints shrinks
      // it) the list's rectangle can be shorter than its scroll bar: the list keeps the
      // bar's height rather than be laid out at a size GTK cannot draw.
      r.height = std::max(r.height, m_plotList->MinimumHeight());
      m_plotList->SetSize(r);
      m_plotList->SetEntryMetrics(plot_list_metrics(m_nGridFontHeight, m_layout.fontDpi));
    } else if (wxButton* button = GetButton(place.id)) {
      button->SetSize(r);
      button->SetFont(m_buttonFont);
    }
  }
}

void COutputView::ApplyLayout(const WindowLayout& layout) {
  m_layout = layout.control;
  m_nGridFontHeight = layout.grid.CellFont().height;
  PlaceControls();
  if (wxWindow* canvas = GetCanvas()) canvas->Refresh(false);
}

void COutputView::OnAnalysisMenu(wxCommandEvent& event) {
  switch (event.GetId()) {
    case ID_ANALYSIS_FIT: OnFit(); break;
    case ID_ANALYSIS_SIMULATE: OnSimulate(); break;
    case ID_ANALYSIS_GENERATE: OnGenData(); break;
    case ID_ANALYSIS_UPDATE: OnUpdateCommand(); break;
    case ID_ANALYSIS_DESCRIPTION: OnDescription(); break;
    case ID_ANALYSIS_COMPARE: OnCompareModels(); break;
    case ID_ANALYSIS_GLOBAL_FIT: OnGlobalFit(); break;
    case ID_ANALYSIS_FIT_PARAMETERS: OnViewFitParameters(); break;
    default: event.Skip();
  }
}

void COutputView::CreateControls() {
  wxWindow* canvas = GetCanvas();
  if (!canvas) return;
  // Each button with the Analysis menu command it shares.
  const std::pair<int, int> commands[] = {{kIdUpdate, ID_ANALYSIS_UPDATE},     {kIdSimulate, ID_ANALYSIS_SIMULATE},
                                          {kIdFit, ID_ANALYSIS_FIT},           {kIdGenData, ID_ANALYSIS_GENERATE},
                                          {kIdDescription, ID_ANALYSIS_DESCRIPTION}};
  for (const ControlPlacement& place : control_placements(m_layout)) {
    if (place.id == kIdPlotList) {
      m_plotList = new CPlotListBox(canvas, kIdPlotList, wxDefaultPosition, wxDefaultSize);
      m_plotList->SetOnDoubleClick([this] { OnViewParameters(); });
      continue;
    }
    auto* button = new wxButton(canvas, place.id, place.caption);
    for (const auto& [buttonId, commandId] : commands)
      if (buttonId == place.id) button->SetToolTip(AnalysisToolTip(commandId));
    if (place.id == kIdDel) button->SetToolTip("Remove the selected simulated curve");
    if (place.id == kIdView) button->SetToolTip("Show the parameters of the selected simulated curve");
    switch (place.id) {
      case kIdUpdate: m_btnUpdate = button; break;
      case kIdSimulate: m_btnSimulate = button; break;
      case kIdFit: m_btnFit = button; break;
      case kIdGenData: m_btnGenData = button; break;
      case kIdDescription: m_btnDescription = button; break;
      case kIdDel: m_btnDel = button; break;
      case kIdView: m_btnView = button; break;
    }
  }
  BindButtons();
  // Tab visits the controls row by row, left to right.
  static_cast<CPaneCanvas*>(canvas)->SetTabOrder({m_btnDescription, m_btnUpdate, m_btnDel, m_btnView, m_btnSimulate,
                                                  m_plotList, m_btnFit, m_btnGenData});
  // A double click on the results opens the fit's Parameters dialog (or says there is no fit).
  canvas->Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent&) { OnViewFitParameters(); });
}

void COutputView::BindButtons() {
  m_btnUpdate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnUpdateCommand(); });
  m_btnSimulate->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSimulate(); });
  m_btnFit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFit(); });
  m_btnGenData->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnGenData(); });
  m_btnDescription->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDescription(); });
  m_btnDel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDel(); });
  m_btnView->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnViewParameters(); });
}

wxButton* COutputView::GetButton(int id) const {
  switch (id) {
    case kIdUpdate: return m_btnUpdate;
    case kIdSimulate: return m_btnSimulate;
    case kIdFit: return m_btnFit;
    case kIdGenData: return m_btnGenData;
    case kIdDescription: return m_btnDescription;
    case kIdDel: return m_btnDel;
    case kIdView: return m_btnView;
    default: return nullptr;
  }
}

void COutputView::OnUpdate(wxView* sender, wxObject* hint) {
  if (BindwiseDoc* doc = GetDoc(); doc && m_plotList) m_plotList->SetEntries(PlotListEntries(*doc));
  CPaneView::OnUpdate(sender, hint);
}

void COutputView::OnDraw(wxDC* dc) {
  const BindwiseDoc* doc = GetDoc();
  COffscreenDC buffer(*dc);
  if (!doc) return;
  WxCanvas canvas(buffer.GetDC());
  ResultsPanelInput in;
  in.layout = &m_layout;
  in.background = &BackgroundTile();
  const wxSize client = GetCanvas() ? GetCanvas()->GetClientSize() : wxSize(0, 0);
  in.client = {client.x, client.y};
  in.dpiY = m_layout.fontDpi;
  paint_results_panel(canvas, *doc, in);
}

void COutputView::ShowMessages(const std::vector<std::string>& messages) {
  for (const std::string& text : messages)
    wxMessageBox(wxString::FromUTF8(text), app_title(), wxOK, DialogParent());
}

bool COutputView::RefusedForCells(const std::string& action) {
  BindwiseDoc* doc = GetDoc();
  const std::string refused = doc ? cells_refusal(*doc, action) : std::string();
  if (refused.empty()) return false;
  wxMessageBox(wxString::FromUTF8(refused), app_title(), wxOK | wxICON_WARNING, DialogParent());
  return true;
}

void COutputView::OnUpdateCommand() {
  if (wxWindow* canvas = GetCanvas()) {
    canvas->Refresh(true);
    canvas->Update();
  }
  if (BindwiseDoc* doc = GetDoc()) doc->UpdateAllViews(this);
}

void COutputView::OnSimulate() {
  BindwiseDoc* doc = GetDoc();
  if (!doc || RefusedForCells("simulating")) return;
  CSimulateDlg dialog(DialogParent(), m_dlgSimulate, doc);
  if (dialog.ShowModal() == wxID_OK) {
    const SimulateOutcome outcome = run_simulate_command(*doc, m_dlgSimulate, &m_dlgFit);
    ShowMessages(outcome.messages);
  }
}

void COutputView::OnFit() {
  BindwiseDoc* doc = GetDoc();
  if (!doc || m_bFitRunning || RefusedForCells("fitting")) return;
  CFitDlg dialog(DialogParent(), m_dlgFit, *doc);
  if (dialog.ShowModal() == wxID_OK) {
    if (std::optional<FitJob> job = prepare_fit(*doc, m_dlgFit)) {
      StartFit(std::move(*job));
      return;  // FinishFit updates the views
    }
  }
}

// Starts the computation on a worker thread and returns. Meanwhile the panes and every other
// window refuse input (so the document cannot change under the fit) but keep painting; the
// status bar shows "Calculating", the progress posted by the worker, and a Cancel button.
// FinishFit runs on this thread once the worker is done.
void COutputView::StartFit(FitJob job) {
  wxWindow* canvas = GetCanvas();
  if (!canvas) return;
  m_bFitRunning = true;
  m_pRunningFit = std::make_unique<RunningFit>();
  RunningFit& run = *m_pRunningFit;
  run.job = std::move(job);
  run.progress = std::make_unique<PostedProgress>([this, canvas](int position) {
    canvas->CallAfter([this, position] {
      if (m_pRunningFit && m_pRunningFit->bar) m_pRunningFit->bar->SetPos(position);
    });
  });
  run.bar = std::make_unique<CProgressBar>(kFitProgressText, 80, 100, false, 0);
  run.bar->SetBarColour(kFitBarColour);
  run.bar->SetPos(0);
  if (wxStatusBar* status = CProgressBar::GetStatusBar(); status && run.bar->IsCreated()) {
    const wxRect barRect = run.bar->GetBarRect();
    run.cancel = new wxButton(status, wxID_CANCEL, "Cancel");
    run.cancel->SetSize(barRect.GetRight() + 6, barRect.GetTop(), run.cancel->GetBestSize().x, barRect.GetHeight());
    run.cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CancelFit(); });
    run.cancel->SetFocus();
  }
  CMainFrame* frame = GetMainFrame();
  run.otherWindows = std::make_unique<wxWindowDisabler>(frame);
  run.panes = frame ? static_cast<wxWindow*>(frame->GetSplitter()) : nullptr;
  if (run.panes) run.panes->Disable();
  run.filter = std::make_unique<FitInputFilter>([this] { CancelFit(); });
  RunningFit* worker = &run;
  run.worker = std::thread([this, worker, canvas] {
    try {
      *worker->result = compute_fit(worker->job, worker->progress.get());
    } catch (...) {
      worker->failure = std::current_exception();
    }
    canvas->CallAfter([this] { FinishFit(); });
  });
}

void COutputView::CancelFit() {
  if (m_pRunningFit) m_pRunningFit->progress->RequestStop();
}

wxButton* COutputView::GetCancelButton() const { return m_pRunningFit ? m_pRunningFit->cancel : nullptr; }

// The worker is done: input back, then the result into the document (unless stopped or
// failed) and the messages, in that order.
void COutputView::FinishFit() {
  if (!m_pRunningFit) return;
  std::unique_ptr<RunningFit> run = std::move(m_pRunningFit);
  run->worker.join();
  run->filter.reset();
  if (run->cancel) run->cancel->Destroy();
  if (run->panes) run->panes->Enable();
  run->otherWindows.reset();
  if (run->result->stop != FitStop::Stopped && !run->failure) run->bar->SetPos(100);
  run->bar.reset();
  m_bFitRunning = false;
  BindwiseDoc* doc = GetDoc();
  if (run->failure) {
    std::string what = "The fit could not be completed.";
    try {
      std::rethrow_exception(run->failure);
    } catch (const std::exception& e) {
      what += std::string("\n") + e.what();
    } catch (...) {
    }
    wxMessageBox(wxString::FromUTF8(what), app_title(), wxOK | wxICON_ERROR, DialogParent());
  } else if (doc && run->result->stop != FitStop::Stopped) {
    apply_fit(*doc, run->job, *run->result);
    ShowMessages(run->result->messages);
  }
}

void COutputView::OnDescription() {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return;
  CDescriptionDlg dialog(DialogParent(), wxString::FromUTF8(description_for_editing(doc->m_strDescription)));
  if (dialog.ShowModal() != wxID_OK) return;
  // OK always counts as a change, as the command always did.
  TitrationEdit edit(*doc, EditKind::Experiment, "Description");
  doc->m_strDescription = description_for_storing(dialog.m_strConditions.ToStdString(wxConvUTF8));
  doc->MarkChanged();
}

void COutputView::OnDel() {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return;
  const DeletePlotOutcome outcome = delete_selected_plot(*doc);
  if (!outcome.removed) {
    // No caption of its own: the toolkit's default title shows.
    wxMessageBox(wxString::FromUTF8(outcome.message), wxMessageBoxCaptionStr, wxOK, DialogParent());
  }
}

void COutputView::OnViewParameters() {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return;
  const PlotChoice choice = choose_plot_to_view(*doc);
  if (choice.slot == 0) {
    wxMessageBox(wxString::FromUTF8(choice.message), app_title(), wxOK, DialogParent());
    return;
  }
  CParametersDlg dialog(DialogParent(), *doc, choice.slot);
  dialog.ShowModal();
}

void COutputView::OnViewFitParameters() {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return;
  if (!doc->m_bShowFit) {
    wxMessageBox(wxString::FromUTF8(kNoFitMessage), app_title(), wxOK, DialogParent());
    return;
  }
  CFitParametersDlg dialog(DialogParent(), *doc);
  dialog.ShowModal();
}

void COutputView::OnGenData() {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return;
  if (!m_pGenerateDlg) {
    m_pGenerateDlg = new CGenerateDataDlg(DialogParent(), this, *doc);
    if (!m_strPredictNoise.empty()) m_pGenerateDlg->SetNoiseText(m_strPredictNoise);
    else if (m_dlgFit.m_dConstantSD > 0.0) m_pGenerateDlg->SetNoiseText(c_printf("%g", m_dlgFit.m_dConstantSD));
    m_pGenerateDlg->Show();
  }
  m_pGenerateDlg->Raise();
  m_pGenerateDlg->SetFocus();
}

// "Add": the dialog's fields passed their checks; generate the run into the grid.
void COutputView::OnGenerateAdd(wxCommandEvent&) {
  BindwiseDoc* doc = GetDoc();
  if (!doc || !m_pGenerateDlg) return;
  const GenerateOutcome outcome = take_generate_request(*doc, m_pGenerateDlg->Request(), m_pGenerateDlg->EntryLines());
  m_pGenerateDlg->ShowEntries();
  if (!outcome.generated) {
    // No caption of its own: the toolkit's default title shows.
    if (!outcome.message.empty())
      wxMessageBox(wxString::FromUTF8(outcome.message), wxMessageBoxCaptionStr, wxOK, m_pGenerateDlg);
  }
}

// "Predict": the fields passed their checks; the plan with their run, fitted back from the
// expected constants. On 99 points a covariance prediction takes about 10 ms and a six-site
// jackknife one about 0.1 s (bench_commands_bench), so it runs here under a busy cursor.
void COutputView::OnGeneratePredict(wxCommandEvent&) {
  BindwiseDoc* doc = GetDoc();
  if (!doc || !m_pGenerateDlg) return;
  m_strPredictNoise = m_pGenerateDlg->NoiseText();
  const PlanPredictionRequest request =
      plan_prediction_request(*doc, m_pGenerateDlg->Request(), m_dlgFit, m_strPredictNoise);
  PrecisionPrediction prediction;
  if (request.ok) {
    wxBusyCursor busy;
    prediction = predict_precision(request.plan, request.expected, request.noiseSD);
  }
  if (!request.ok || !prediction.ok) {
    m_pGenerateDlg->ShowPrediction({});
    // As "Add" says it: no caption of its own.
    wxMessageBox(wxString::FromUTF8(request.ok ? prediction.message : request.message), wxMessageBoxCaptionStr, wxOK,
                 m_pGenerateDlg);
    return;
  }
  m_pGenerateDlg->ShowPrediction(prediction_lines(request, prediction));
}

void COutputView::OnGenerateGone(wxCommandEvent&) { m_pGenerateDlg = nullptr; }

void COutputView::OnExportMenu(wxCommandEvent& event) {
  switch (event.GetId()) {
    case ID_FILE_EXPORT_POINTS: RunExport(ExportKind::Points); break;
    case ID_FILE_EXPORT_FIT: RunExport(ExportKind::Fit); break;
    case ID_FILE_EXPORT_SIM: RunExport(ExportKind::Simulation); break;
    case ID_FILE_EXPORT_SAT: RunExport(ExportKind::Saturation); break;
    case ID_FILE_EXPORT_SIM_SAT: RunExport(ExportKind::SimulationSaturation); break;
    case ID_FILE_EXPORT_CSV_POINTS: RunExport(ExportKind::Points, true); break;
    case ID_FILE_EXPORT_CSV_FIT: RunExport(ExportKind::Fit, true); break;
    case ID_FILE_EXPORT_CSV_SIM: RunExport(ExportKind::Simulation, true); break;
    case ID_FILE_EXPORT_CSV_SAT: RunExport(ExportKind::Saturation, true); break;
    case ID_FILE_EXPORT_CSV_SIM_SAT: RunExport(ExportKind::SimulationSaturation, true); break;
    case ID_FILE_EXPORT_RESIDUALS: RunExport(ExportKind::Residuals); break;
    case ID_FILE_EXPORT_CSV_RESIDUALS: RunExport(ExportKind::Residuals, true); break;
    default: event.Skip();
  }
}

void COutputView::RunExport(ExportKind kind, bool csv) {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return;
  ExportCommandContext context;
  context.parent = DialogParent();
  const int selection = m_plotList ? m_plotList->GetCurSel() : -1;
  context.listPosition = selection >= 0 ? selection + 1 : 0;
  context.exportCount = &m_nExportCount;
  context.choosePath = m_chooseExportPath;
  context.documentPath = doc->GetFilename().utf8_string();
  context.csv = csv;
  RunExportCommand(*doc, kind, context);
}

void COutputView::OnCompareModels() {
  BindwiseDoc* doc = GetDoc();
  if (!doc || m_bFitRunning) return;
  ComparisonOptions options;
  options.errors = m_dlgFit;  // the error method the user last chose for fits
  std::optional<ModelComparison> comparison;
  try {
    wxBusyCursor busy;
    comparison = compare_models(*doc, options);
  } catch (const std::invalid_argument& e) {
    wxMessageBox(wxString::FromUTF8(e.what()), app_title(), wxOK | wxICON_INFORMATION, DialogParent());
    return;
  }
  if (comparison->best == 0 && !comparison->candidates.empty()) {
    // Nothing could be fitted (a grid emptied since the fit, say): the first reason is the
    // one to read.
    wxMessageBox(wxString::FromUTF8(comparison->candidates.front().message), app_title(), wxOK | wxICON_INFORMATION,
                 DialogParent());
    return;
  }
  CompareModelsDlg dialog(DialogParent(), *doc, std::move(*comparison), {});
  dialog.ShowModal();
}

void COutputView::OnGlobalFit() {
  BindwiseDoc* doc = GetDoc();
  if (!doc || m_bFitRunning) return;
  // Applying a part stores it through the Fit command's record, one undoable edit that
  // updates every view.
  GlobalFitDlg dialog(DialogParent(), doc, doc->GetUserReadableName().utf8_string(), m_dlgFit, {});
  dialog.ShowModal();
}

#include "app/wx/main_frame.h"

#include <wx/accel.h>
#include <wx/artprov.h>
#include <wx/cmdproc.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/dnd.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "app/wx/analysis_menu.h"
#include "app/wx/bindwise_app.h"
#include "app/wx/command_ids.h"
#include "app/wx/fixed_splitter.h"
#include "app/wx/progress_bar.h"
#include "app/wx/resource_path.h"
#include "app/wx/window_scale.h"
#include "document/document_title.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/wx/graph_view.h"
#include "gridview/wx/cell_view.h"
#include "outputview/wx/output_view.h"

namespace {

constexpr int kIndicatorPollMs = 250;

// Menu prompts shown in the status bar while an item is highlighted.
constexpr const char* kPromptNew = "Create a new document";
constexpr const char* kPromptOpen = "Open an existing document";
constexpr const char* kPromptSave = "Save the active document";
constexpr const char* kPromptSaveAs = "Save the active document with a new name";
constexpr const char* kPromptPrint = "Print the active document";
constexpr const char* kPromptImport = "Read a table of measurements (CSV, TSV, TXT) into the grid";
constexpr const char* kPromptRecent = "Open this document";
constexpr const char* kPromptCopy = "Copy the selection and put it on the Clipboard";
constexpr const char* kPromptCut = "Cut the selection and put it on the Clipboard";
constexpr const char* kPromptPaste = "Insert Clipboard contents";
constexpr const char* kPromptUndo = "Undo the last action";
constexpr const char* kPromptRedo = "Redo the previously undone action";
constexpr const char* kPromptAbout = "Display program information, version number and copyright";
constexpr const char* kPromptExit = "Quit the application; prompts to save documents";

// Files dropped anywhere on the window. The work runs after the drop has finished, so its
// dialogs do not run inside the toolkit's drag-and-drop handling.
class CFileDropTarget : public wxFileDropTarget {
 public:
  explicit CFileDropTarget(CMainFrame* frame) : m_pFrame(frame) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    if (files.empty()) return false;
    const wxString path = files[0];
    m_pFrame->CallAfter([frame = m_pFrame, path] { frame->OpenDroppedFile(path); });
    return true;
  }

 private:
  CMainFrame* m_pFrame;
};

}  // namespace

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
  EVT_MENU(ID_NEXT_PANE, CMainFrame::OnNextPane)
  EVT_MENU(ID_PREV_PANE, CMainFrame::OnPrevPane)
  EVT_MENU(wxID_HELP_CONTENTS, CMainFrame::OnHelpTopics)
wxEND_EVENT_TABLE()

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, "Bindwise", wxDefaultPosition, wxSize(1024, 700),
                       wxDEFAULT_FRAME_STYLE),
      m_indicatorTimer(this) {
  CreateMenus();
  CreateToolBarButtons();
  CreateStatusBarFields();
  CreateAccelerators();
  SetFrameIcons();
  m_pSplitter = new CFixedSplitter(this, WindowTextScale(this),
                                   [this](const WindowLayout& layout) { OnLayoutChanged(layout); });
  Bind(wxEVT_TIMER, &CMainFrame::OnIndicatorTimer, this);
  // Bound dynamically so it runs before the document frame's own close handling.
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnCloseWhileFitting, this);
  Bind(wxEVT_SIZE, &CMainFrame::OnFrameSize, this);
  Bind(wxEVT_DPI_CHANGED, &CMainFrame::OnDpiChanged, this);
  m_indicatorTimer.Start(kIndicatorPollMs);
  SetDropTarget(new CFileDropTarget(this));
  PlaceOnScreen();
  UpdateTitle();
}

// The window opens at its remembered size (or a sensible one), centred, and maximized when
// it was maximized last time (the first start opens maximized); so un-maximizing always
// has a real size to return to.
void CMainFrame::PlaceOnScreen() {
  const int display = wxDisplay::GetFromWindow(this);
  const wxRect work = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
  const double scale = WindowTextScale(this);
  const wxSize minimum(std::min(static_cast<int>(kMinimumFrame.cx * scale), work.width),
                       std::min(static_cast<int>(kMinimumFrame.cy * scale), work.height));
  SetMinSize(minimum);
  const FrameState state = LoadFrameState();
  const CanvasRect r = RestoredFrameRect({work.x, work.y, work.GetRight() + 1, work.GetBottom() + 1},
                                         {state.restoredSize.x, state.restoredSize.y}, {minimum.x, minimum.y});
  // Sized through its client area: a frame given its outer size before it is shown is first
  // shown at the size of its window-manager frame alone (0 x 0 inside, where GTK complains
  // about negative sizes) while wx waits for the frame's extents. The remembered size is the
  // window without that frame: the client area plus the menu, tool and status bars.
  m_chrome = GetSize() - GetClientSize();
  SetClientSize(r.Width() - m_chrome.x, r.Height() - m_chrome.y);
  Move(r.left, r.top);
  m_restoredSize = wxSize(r.Width(), r.Height());
  if (state.maximized) Maximize(true);
}

void CMainFrame::OnFrameSize(wxSizeEvent& event) {
  if (!IsMaximized() && !IsIconized() && !IsFullScreen()) m_restoredSize = GetClientSize() + m_chrome;
  event.Skip();
}

void CMainFrame::OnDpiChanged(wxDPIChangedEvent& event) {
  if (m_pSplitter) m_pSplitter->SetTextScale(WindowTextScale(this));
  event.Skip();
}

const WindowLayout& CMainFrame::GetLayout() const { return m_pSplitter->CurrentLayout(); }

void CMainFrame::OnLayoutChanged(const WindowLayout& layout) {
  if (m_pCellView) m_pCellView->ApplyLayout(layout);
  if (m_pGraphView) m_pGraphView->ApplyLayout(layout);
  if (m_pOutputView) m_pOutputView->ApplyLayout(layout);
}

CMainFrame::~CMainFrame() { m_indicatorTimer.Stop(); }

// A fit runs inside the control view's handler while the window keeps its event loop alive;
// closing the frame then would destroy the document and views under that handler. The window
// manager's close box is the only way in (input is disabled), so refuse it until the fit ends.
void CMainFrame::OnCloseWhileFitting(wxCloseEvent& event) {
  if (event.CanVeto() && m_pOutputView && m_pOutputView->IsFitRunning()) {
    event.Veto();
    return;
  }
  SaveFrameState({m_restoredSize, IsMaximized()});
  event.Skip();
}

void CMainFrame::SetFrameIcons() {
  wxIconBundle icons;
  for (const char* size : {"16x16", "32x32", "48x48"}) {
    const wxString path = FindResourceFile(wxString::Format("icons/%s/bindwise.png", size));
    if (!path.empty()) icons.AddIcon(path, wxBITMAP_TYPE_PNG);
  }
  if (!icons.IsEmpty()) SetIcons(icons);
}

void CMainFrame::SetTitle(const wxString&) { UpdateTitle(); }

void CMainFrame::UpdateTitle() {
  const std::string path = m_pDoc ? std::string(m_pDoc->SavedPath().utf8_str()) : std::string();
  const bool modified = m_pDoc && m_pDoc->IsModified();
  const wxString title = wxString::FromUTF8(MainWindowTitle(path, modified));
  if (GetTitle() != title) wxDocParentFrame::SetTitle(title);
}

void CMainFrame::CreateMenus() {
  auto* file = new wxMenu;
  file->Append(wxID_NEW, "&New\tCtrl+N", kPromptNew);
  file->Append(wxID_OPEN, "&Open...\tCtrl+O", kPromptOpen);
  file->Append(wxID_SAVE, "&Save\tCtrl+S", kPromptSave);
  file->Append(wxID_SAVEAS, "Save &As...", kPromptSaveAs);
  file->Append(ID_FILE_IMPORT_DATA, "&Import Data...", kPromptImport);
  file->Append(ID_FILE_EXPORT_POINTS, "Export Points as ASCII...");
  file->Append(ID_FILE_EXPORT_FIT, "Export fit as ASCII...");
  file->Append(ID_FILE_EXPORT_SIM, "Export simulation as ASCII...");
  file->Append(ID_FILE_EXPORT_SAT, "Export saturation curve...");
  file->Append(ID_FILE_EXPORT_SIM_SAT, "Export simulation as saturation curve...");
  file->Append(ID_FILE_EXPORT_RESIDUALS, "Export residuals as ASCII...");
  auto* csv = new wxMenu;
  csv->Append(ID_FILE_EXPORT_CSV_POINTS, "Points...");
  csv->Append(ID_FILE_EXPORT_CSV_FIT, "Fit...");
  csv->Append(ID_FILE_EXPORT_CSV_SIM, "Simulation...");
  csv->Append(ID_FILE_EXPORT_CSV_SAT, "Saturation curve...");
  csv->Append(ID_FILE_EXPORT_CSV_SIM_SAT, "Simulation as saturation curve...");
  csv->Append(ID_FILE_EXPORT_CSV_RESIDUALS, "Residuals...");
  file->AppendSubMenu(csv, "Export as &CSV");
  file->Append(wxID_PRINT, "&Print...\tCtrl+P", kPromptPrint);
  file->Append(wxID_PRINT_SETUP, "P&rint Setup...");
  file->Append(wxID_PREVIEW, "Print preview...");
  file->AppendCheckItem(ID_FILE_PRINT_COMPARISON, "Print &Model Comparison",
                       "Add the table of every model of the fit's kind, fitted to the same points, to the report");
  file->AppendSeparator();
  m_nRecentPos = file->GetMenuItemCount();
  file->AppendSeparator();
  file->Append(wxID_EXIT, "E&xit", kPromptExit);
  m_pFileMenu = file;

  auto* edit = new wxMenu;
  edit->Append(wxID_UNDO, "&Undo\tCtrl+Z", kPromptUndo);
  edit->Append(wxID_REDO, "&Redo\tCtrl+Y", kPromptRedo);
  edit->AppendSeparator();
  edit->Append(wxID_CUT, "Cu&t\tCtrl+X", kPromptCut);
  edit->Append(wxID_COPY, "&Copy\tCtrl+C", kPromptCopy);
  edit->Append(wxID_PASTE, "&Paste\tCtrl+V", kPromptPaste);
  m_pEditMenu = edit;

  wxMenu* analysis = CreateAnalysisMenu();

  auto* help = new wxMenu;
  help->Append(wxID_ABOUT, "&About Bindwise...", kPromptAbout);
  help->Append(wxID_HELP_CONTENTS, "&Help Topics");

  auto* bar = new wxMenuBar;
  bar->Append(file, "&File");
  bar->Append(edit, "&Edit");
  bar->Append(analysis, "&Analysis");
  bar->Append(help, "&Help");
  SetMenuBar(bar);
  RefreshRecentFiles();
}

void CMainFrame::RefreshRecentFiles() {
  if (!m_pFileMenu) return;
  for (int i = 0; i < m_nRecentShown; ++i) m_pFileMenu->Destroy(m_pFileMenu->FindItemByPosition(m_nRecentPos));
  m_nRecentShown = 0;
  wxFileHistory* history = m_docManager ? m_docManager->GetFileHistory() : nullptr;
  const int count = history ? static_cast<int>(history->GetCount()) : 0;
  if (count == 0) {
    // The empty list shows its place holder, greyed.
    m_pFileMenu->Insert(m_nRecentPos, wxID_FILE1, "Recent File", kPromptRecent);
    m_pFileMenu->Enable(wxID_FILE1, false);
    m_nRecentShown = 1;
    return;
  }
  for (int i = 0; i < count; ++i) {
    wxString label = wxFileName(history->GetHistoryFile(i)).GetFullName();
    label.Replace("&", "&&");
    m_pFileMenu->Insert(m_nRecentPos + i, wxID_FILE1 + i, wxString::Format("&%d %s", i + 1, label),
                        kPromptRecent);
  }
  m_nRecentShown = count;
}

void CMainFrame::CreateToolBarButtons() {
  wxToolBar* tb = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
  auto art = [](const wxArtID& id) { return wxArtProvider::GetBitmapBundle(id, wxART_TOOLBAR); };
  tb->AddTool(wxID_NEW, "New", art(wxART_NEW), wxString(), wxITEM_NORMAL);
  tb->AddTool(wxID_OPEN, "Open", art(wxART_FILE_OPEN), wxString(), wxITEM_NORMAL);
  tb->AddTool(wxID_SAVE, "Save", art(wxART_FILE_SAVE), wxString(), wxITEM_NORMAL);
  tb->AddSeparator();
  tb->AddTool(wxID_CUT, "Cut", art(wxART_CUT), wxString(), wxITEM_NORMAL);
  tb->AddTool(wxID_COPY, "Copy", art(wxART_COPY), wxString(), wxITEM_NORMAL);
  tb->AddTool(wxID_PASTE, "Paste", art(wxART_PASTE), wxString(), wxITEM_NORMAL);
  tb->AddSeparator();
  tb->AddTool(wxID_PRINT, "Print", art(wxART_PRINT), wxString(), wxITEM_NORMAL);
  tb->AddTool(wxID_ABOUT, "About", art(wxART_HELP), wxString(), wxITEM_NORMAL);
  const struct { int id; const char* prompt; } prompts[] = {
      {wxID_NEW, kPromptNew}, {wxID_OPEN, kPromptOpen}, {wxID_SAVE, kPromptSave},
      {wxID_CUT, kPromptCut}, {wxID_COPY, kPromptCopy}, {wxID_PASTE, kPromptPaste},
      {wxID_PRINT, kPromptPrint}, {wxID_ABOUT, kPromptAbout}};
  for (const auto& p : prompts) tb->SetToolLongHelp(p.id, p.prompt);
  tb->Realize();
}

void CMainFrame::CreateStatusBarFields() {
  wxStatusBar* bar = CreateStatusBar(4);
  wxClientDC dc(bar);
  dc.SetFont(bar->GetFont());
  // Fields 0 and 1 share the free width; the lock indicators are as wide as their texts.
  const int margin = 2 * dc.GetTextExtent(" ").x + 8;
  const int widths[4] = {-1, -1, dc.GetTextExtent("NUM").x + margin, dc.GetTextExtent("SCRL").x + margin};
  bar->SetStatusWidths(4, widths);
  bar->SetStatusText(kIdleStatusText, 0);
}

void CMainFrame::CreateAccelerators() {
  // The menu labels carry Ctrl+N, O, S, Z, Y, X, C, V, P; these are the extra bindings.
  wxAcceleratorEntry entries[] = {
      {wxACCEL_CTRL | wxACCEL_SHIFT, 'Z', wxID_REDO},
      {wxACCEL_SHIFT, WXK_DELETE, wxID_CUT},   {wxACCEL_CTRL, WXK_INSERT, wxID_COPY},
      {wxACCEL_SHIFT, WXK_INSERT, wxID_PASTE}, {wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
      {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE},
  };
  SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(entries), entries));
}

bool CMainFrame::CreatePanes(BindwiseDoc* doc) {
  m_pDoc = doc;
  m_pCellView = new CCellView;
  m_pGraphView = new CGraphView;
  m_pOutputView = new COutputView;
  CPaneView* views[3] = {m_pCellView, m_pGraphView, m_pOutputView};
  wxWindow* panes[3] = {};
  for (int i = 0; i < 3; ++i) {
    views[i]->SetDocument(doc);
    views[i]->SetFrame(this);
    panes[i] = views[i]->CreateCanvas(m_pSplitter);
    if (!panes[i]) return false;
  }
  m_pSplitter->SetPanes(panes[0], panes[1], panes[2]);
  // Undo and Redo name the action they would take back ("Undo Paste").
  if (wxCommandProcessor* history = doc->GetCommandProcessor()) {
    history->SetEditMenu(m_pEditMenu);
    history->Initialize();
  }
  doc->NotifyInitialUpdate();
  UpdateTitle();
  m_pCellView->Activate(true);
  panes[0]->SetFocus();
  return true;
}

wxWindow* CMainFrame::GetPane(int index) const {
  const CPaneView* views[3] = {m_pCellView, m_pGraphView, m_pOutputView};
  if (index < 0 || index > 2 || !views[index]) return nullptr;
  return views[index]->GetCanvas();
}

bool CMainFrame::TryBefore(wxEvent& event) {
  const wxEventType type = event.GetEventType();
  if ((type == wxEVT_MENU || type == wxEVT_UPDATE_UI) && m_pDoc && !m_bRouting) {
    // Guard against the views' own forwarding bringing the event back here.
    m_bRouting = true;
    wxView* active = m_docManager ? m_docManager->GetCurrentView() : nullptr;
    bool handled = active && active->ProcessEventLocally(event);
    for (wxList::compatibility_iterator node = m_pDoc->GetViews().GetFirst(); node && !handled;
         node = node->GetNext()) {
      auto* view = static_cast<wxView*>(node->GetData());
      if (view != active) handled = view->ProcessEventLocally(event);
    }
    m_bRouting = false;
    if (handled) return true;
  }
  return wxDocParentFrame::TryBefore(event);
}

bool CMainFrame::OpenDroppedFile(const wxString& path) {
  if (m_pOutputView && m_pOutputView->IsFitRunning()) return false;
  if (wxFileName(path).GetExt().Lower() == "bwd") return CBindwiseApp::Get().GetDocManager()->OpenPath(path);
  return m_pCellView && m_pCellView->ImportDataFile(path);
}

void CMainFrame::OnNextPane(wxCommandEvent&) { MovePaneFocus(+1); }
void CMainFrame::OnPrevPane(wxCommandEvent&) { MovePaneFocus(-1); }

void CMainFrame::MovePaneFocus(int delta) {
  int current = 0;
  for (wxWindow* w = FindFocus(); w; w = w->GetParent()) {
    for (int i = 0; i < 3; ++i)
      if (GetPane(i) == w) current = i;
  }
  const int next = (current + delta + 3) % 3;
  if (wxWindow* pane = GetPane(next)) pane->SetFocus();
}

void CMainFrame::OnHelpTopics(wxCommandEvent&) { CBindwiseApp::Get().ShowHelp(0); }

void CMainFrame::OnIndicatorTimer(wxTimerEvent&) {
  wxStatusBar* bar = GetStatusBar();
  if (!bar) return;
  const wxString num = wxGetKeyState(WXK_NUMLOCK) ? "NUM" : "";
  const wxString scrl = wxGetKeyState(WXK_SCROLL) ? "SCRL" : "";
  if (bar->GetStatusText(2) != num) bar->SetStatusText(num, 2);
  if (bar->GetStatusText(3) != scrl) bar->SetStatusText(scrl, 3);
}

#include "app/wx/bindwise_app.h"

#include <algorithm>

#include <wx/cmdline.h>
#include <wx/config.h>
#include <wx/dir.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/fileconf.h>
#include <wx/filedlg.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/treectrl.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>

#include "app/wx/about_dialog.h"
#include "app/wx/main_frame.h"
#include "app/wx/resource_path.h"
#include "app/wx/scroll_bar_room.h"
#include "document/wx/bindwise_doc.h"

namespace {

constexpr int kRecentFiles = 4;
constexpr const char* kVendor = "Bindwise Software";
constexpr const char* kFileFilter = "Bindwise Files (*.bwd)|*.bwd";

}  // namespace

// ---------------------------------------------------------------------------------------
// Document manager

wxBEGIN_EVENT_TABLE(CBindwiseDocManager, wxDocManager)
  EVT_MENU(wxID_NEW, CBindwiseDocManager::OnFileNew)
  EVT_MENU(wxID_OPEN, CBindwiseDocManager::OnFileOpen)
  EVT_MENU_RANGE(wxID_FILE1, wxID_FILE9, CBindwiseDocManager::OnRecentFile)
  EVT_MENU(wxID_PRINT, CBindwiseDocManager::OnPrintNotHere)
  EVT_MENU(wxID_PREVIEW, CBindwiseDocManager::OnPrintNotHere)
wxEND_EVENT_TABLE()

CBindwiseDocManager::CBindwiseDocManager() : wxDocManager(0, true) {
  SetMaxDocsOpen(1);
  // The base constructor made its history before this class's override existed.
  delete m_fileHistory;
  m_fileHistory = OnCreateFileHistory();
}

wxFileHistory* CBindwiseDocManager::OnCreateFileHistory() { return new wxFileHistory(kRecentFiles); }

BindwiseDoc* CBindwiseDocManager::GetDoc() const {
  const wxList& docs = const_cast<CBindwiseDocManager*>(this)->GetDocuments();
  return docs.IsEmpty() ? nullptr : static_cast<BindwiseDoc*>(docs.GetFirst()->GetData());
}

bool CBindwiseDocManager::NewDocument() {
  BindwiseDoc* doc = GetDoc();
  if (!doc || !doc->OnSaveModified()) return false;
  if (!doc->OnNewDocument()) return false;
  doc->NotifyInitialUpdate();
  return true;
}

bool CBindwiseDocManager::OpenPath(const wxString& path) {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return false;
  const bool wasModified = doc->IsModified();
  if (!doc->OnSaveModified()) return false;
  if (!doc->OnOpenDocument(path)) {
    // Answering "No" to the save prompt cleared the flag, but the document was kept: its
    // changes are still unsaved and must be asked about again at exit.
    if (wasModified) doc->Modify(true);
    return false;
  }
  AddFileToHistory(path);
  doc->NotifyInitialUpdate();
  return true;
}

void CBindwiseDocManager::OnFileNew(wxCommandEvent&) { NewDocument(); }

void CBindwiseDocManager::OnFileOpen(wxCommandEvent&) {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return;
  wxFileDialog dialog(wxTheApp->GetTopWindow(), "Open", GetLastDirectory(), wxString(), kFileFilter,
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return;
  SetLastDirectory(dialog.GetDirectory());
  OpenPath(dialog.GetPath());
}

void CBindwiseDocManager::OnRecentFile(wxCommandEvent& event) {
  wxFileHistory* history = GetFileHistory();
  const size_t index = static_cast<size_t>(event.GetId() - wxID_FILE1);
  if (!history || index >= history->GetCount()) return;
  const wxString path = history->GetHistoryFile(index);
  if (!wxFileName::FileExists(path)) {
    RemoveFileFromHistory(index);
    wxMessageBox(wxString::Format("The file %s no longer exists.", path), "Bindwise",
                 wxOK | wxICON_EXCLAMATION, wxTheApp->GetTopWindow());
    return;
  }
  OpenPath(path);
}

void CBindwiseDocManager::OnPrintNotHere(wxCommandEvent&) {
  // Printing belongs to the graph pane; the frame routes Print and Print preview to it
  // before the document manager is asked, so reaching here means no pane prints yet. The
  // manager's own handler would print whichever pane is active, which is never wanted.
}

void CBindwiseDocManager::AddFileToHistory(const wxString& file) {
  wxDocManager::AddFileToHistory(file);
  HistoryChanged();
}

void CBindwiseDocManager::RemoveFileFromHistory(size_t i) {
  wxDocManager::RemoveFileFromHistory(i);
  HistoryChanged();
}

void CBindwiseDocManager::HistoryChanged() {
  // Written at once, so a crash later does not lose the list.
  if (wxConfigBase* config = wxConfigBase::Get(false)) {
    FileHistorySave(*config);
    config->Flush();
  }
  if (auto* frame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow())) frame->RefreshRecentFiles();
}

// ---------------------------------------------------------------------------------------
// Application

wxBEGIN_EVENT_TABLE(CBindwiseApp, wxApp)
  EVT_MENU(wxID_ABOUT, CBindwiseApp::OnAppAbout)
wxEND_EVENT_TABLE()

CBindwiseApp::CBindwiseApp() = default;
CBindwiseApp::~CBindwiseApp() = default;

CBindwiseApp& CBindwiseApp::Get() { return *static_cast<CBindwiseApp*>(wxTheApp); }

BindwiseDoc* CBindwiseApp::GetDoc() const { return m_pDocManager ? m_pDocManager->GetDoc() : nullptr; }

void CBindwiseApp::OnInitCmdLine(wxCmdLineParser& parser) {
  wxApp::OnInitCmdLine(parser);
  parser.AddParam("document", wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL);
}

bool CBindwiseApp::OnCmdLineParsed(wxCmdLineParser& parser) {
  if (parser.GetParamCount() > 0) m_strFileToOpen = parser.GetParam(0);
  return wxApp::OnCmdLineParsed(parser);
}

bool CBindwiseApp::OnInit() {
  if (!wxApp::OnInit()) return false;
  return StartUp(m_strFileToOpen);
}

void CBindwiseApp::SetUpConfig() {
  SetAppName("Bindwise");
  SetVendorName(kVendor);
  SetAppDisplayName("Bindwise");
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
  // wx does not create the configuration folder itself, and a failed write at exit is
  // worse than none.
  const wxString dir = wxStandardPaths::Get().GetUserConfigDir();
  if (!wxDirExists(dir)) wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  wxConfigBase::Set(new wxFileConfig("Bindwise", kVendor, wxString(), wxString(),
                                     wxCONFIG_USE_LOCAL_FILE));
}

bool CBindwiseApp::StartUp(const wxString& fileToOpen) {
  SetUpConfig();
  wxInitAllImageHandlers();
  m_pDocManager = new CBindwiseDocManager;
  m_pDocManager->FileHistoryLoad(*wxConfigBase::Get());
  new wxDocTemplate(m_pDocManager, "Bindwise Files", "*.bwd", wxString(), "bwd", "BindwiseDoc",
                    "Bindwise", CLASSINFO(BindwiseDoc), nullptr);

  m_pFrame = new CMainFrame(m_pDocManager);
  SetTopWindow(m_pFrame);
  auto* doc = static_cast<BindwiseDoc*>(m_pDocManager->CreateDocument(wxString(), wxDOC_NEW));
  if (!doc || !m_pFrame->CreatePanes(doc)) return false;
  m_pFrame->RefreshRecentFiles();
  m_pFrame->Show(true);
  // A file named on the command line that cannot be read leaves the new, empty document;
  // the reader's message has told the user why.
  if (!fileToOpen.empty()) m_pDocManager->OpenPath(wxFileName(fileToOpen).GetAbsolutePath());
  return true;
}

int CBindwiseApp::OnExit() {
  if (m_pDocManager) {
    if (wxConfigBase* config = wxConfigBase::Get(false)) m_pDocManager->FileHistorySave(*config);
    delete m_pDocManager;
    m_pDocManager = nullptr;
  }
  m_pHelp.reset();
  delete wxConfigBase::Set(nullptr);
  return wxApp::OnExit();
}

void CBindwiseApp::OnAppAbout(wxCommandEvent&) {
  CAboutDlg dialog(GetTopWindow());
  dialog.ShowModal();
}

namespace {

// The help viewer's windows are created at placeholder sizes and laid out by their sizers
// only as GTK first sizes them, so its contents tree would be given less room than its
// scroll bars need for that first pass: room is made before the frame first shows. Once it
// is laid out, neither the frame nor the divider may shrink the page or the contents tree
// below what their scroll bars need.
class CHelpController : public wxHtmlHelpController {
 public:
  using wxHtmlHelpController::wxHtmlHelpController;

 protected:
  wxHtmlHelpFrame* CreateHelpFrame(wxHtmlHelpData* data) override {
    wxHtmlHelpFrame* frame = wxHtmlHelpController::CreateHelpFrame(data);
    if (frame) {
      SendSizeEventsDown(frame);
      KeepRoomForScrollBars(frame);
      frame->CallAfter([frame] { KeepHelpReadable(frame); });
    }
    return frame;
  }

 private:
  // The frame shrinks the page in both directions and the contents tree in height (the
  // divider keeps the contents' width).
  static void KeepHelpReadable(wxHtmlHelpFrame* frame) {
    wxHtmlHelpWindow* help = frame->GetHelpWindow();
    if (!help || !help->GetHtmlWindow() || !help->GetSplitterWindow()) return;
    const wxSize frameSize = frame->GetSize();
    wxWindow* page = help->GetHtmlWindow();
    const wxSize pageRoom = ScrollBarsMinimumSize(page);
    wxSize minimum(frameSize.x - page->GetSize().x + pageRoom.x, frameSize.y - page->GetSize().y + pageRoom.y);
    int leftPane = 0;
    if (wxWindow* tree = help->GetTreeCtrl()) {
      // Every page beside the contents (index, search) shrinks with it: each keeps the room
      // its controls need.
      wxWindow* pages = tree->GetParent()->GetParent();
      for (wxWindow* tab : pages->GetChildren()) {
        if (!tab->GetSizer()) continue;
        minimum.y = std::max(minimum.y, frameSize.y - tab->GetSize().y + tab->GetSizer()->GetMinSize().y);
        leftPane = std::max(leftPane, pages->GetSize().x - tab->GetSize().x + tab->GetSizer()->GetMinSize().x);
      }
      const wxSize treeRoom = ScrollBarsMinimumSize(tree);
      minimum.y = std::max(minimum.y, frameSize.y - tree->GetSize().y + treeRoom.y);
    }
    help->GetSplitterWindow()->SetMinimumPaneSize(std::max(pageRoom.x, leftPane));
    frame->SetMinSize(minimum);
  }
};

}  // namespace

void CBindwiseApp::ShowHelp(int context) {
  if (!m_pHelp) {
    wxString book = FindResourceFile("help/bindwise.hhp");
    if (book.empty()) {
      wxMessageBox("The help book is not installed.", "Bindwise", wxOK | wxICON_EXCLAMATION,
                   GetTopWindow());
      return;
    }
    m_pHelp = std::make_unique<CHelpController>(wxHF_DEFAULT_STYLE, GetTopWindow());
    if (!m_pHelp->AddBook(wxFileName(book))) {
      m_pHelp.reset();
      wxMessageBox("The help book could not be read.", "Bindwise", wxOK | wxICON_EXCLAMATION,
                   GetTopWindow());
      return;
    }
  }
  if (context == 0)
    m_pHelp->DisplayContents();
  else
    m_pHelp->Display(context);
}

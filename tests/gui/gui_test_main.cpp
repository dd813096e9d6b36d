// The GUI test program: starts the real desktop program (its application class, frame and
// document) without running its main loop, then runs the GoogleTest cases of every file of
// this folder against it, pumping events in between. Needs an X display (xvfb-run).
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/dialog.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "app/wx/bindwise_app.h"
#include "app/wx/main_frame.h"
#include "document/wx/bindwise_doc.h"
#include "gui_test_support.h"

namespace {

std::deque<int> g_answers;
std::vector<std::string> g_gtkComplaints;

// GLib's structured log writer, declared here as the program is built without GLib's headers.
struct LogField {
  const char* key;
  const void* value;
  long length;
};
using LogWriter = int (*)(int level, const LogField* fields, std::size_t count, void* data);
constexpr int kLogCritical = 1 << 3, kLogWarning = 1 << 4;

int RecordGtkComplaint(int level, const LogField* fields, std::size_t count, void* data) {
  static const auto writeDefault = reinterpret_cast<LogWriter>(dlsym(RTLD_DEFAULT, "g_log_writer_default"));
  std::string domain, message;
  for (std::size_t i = 0; i < count; ++i) {
    const auto text = [&] { return fields[i].length < 0 ? std::string(static_cast<const char*>(fields[i].value))
                                                        : std::string(static_cast<const char*>(fields[i].value),
                                                                      static_cast<std::size_t>(fields[i].length)); };
    if (std::strcmp(fields[i].key, "GLIB_DOMAIN") == 0) domain = text();
    if (std::strcmp(fields[i].key, "MESSAGE") == 0) message = text();
  }
  if ((level & (kLogCritical | kLogWarning)) && domain == "Gtk") g_gtkComplaints.push_back(message);
  return writeDefault ? writeDefault(level, fields, count, data) : 1;
}

// Must run before anything is logged.
void RecordGtkComplaints() {
  using SetWriter = void (*)(LogWriter, void*, void (*)(void*));
  if (const auto setWriter = reinterpret_cast<SetWriter>(dlsym(RTLD_DEFAULT, "g_log_set_writer_func")))
    setWriter(RecordGtkComplaint, nullptr, nullptr);
}
std::vector<wxString> g_dialogTexts;
wxString g_scratch;

class DialogHook : public wxModalDialogHook {
 protected:
  int Enter(wxDialog* dialog) override {
    wxString text = dialog->GetTitle();
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) text = box->GetMessage();
    g_dialogTexts.push_back(text);
    if (g_answers.empty()) {
      ADD_FAILURE() << "unexpected dialog: " << text.utf8_string();
      return wxID_CANCEL;
    }
    const int answer = g_answers.front();
    g_answers.pop_front();
    return answer;
  }
  void Exit(wxDialog*) override {}
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
  ADD_FAILURE() << "wx assertion " << cond.utf8_string() << " in " << func.utf8_string() << " at "
                << file.utf8_string() << ":" << line << ": " << msg.utf8_string();
}

class GuiTestApp : public CBindwiseApp {
 public:
  bool OnInit() override {
    wxSetAssertHandler(FailOnAssert);
    m_hook.Register();
    return StartUp(wxString());
  }

 private:
  DialogHook m_hook;
};

// The window the program opens: 1024 x 768, which holds the classic panes whatever the
// display, or with BINDWISE_GUI_TEST_WINDOW=full the whole screen.
void WriteWindowConfig(const wxString& path) {
  wxSize size(1024, 768);
  if (const char* window = std::getenv("BINDWISE_GUI_TEST_WINDOW"); window && std::string(window) == "full")
    size = wxGetDisplaySize();
  std::ofstream(path.fn_str()) << "[Window]\nWidth=" << size.x << "\nHeight=" << size.y << "\nMaximized=0\n";
}

}  // namespace

namespace gui {

CMainFrame& Frame() { return *CBindwiseApp::Get().GetMainFrame(); }
BindwiseDoc& Doc() { return *CBindwiseApp::Get().GetDoc(); }

void Pump(int ms) {
  const wxLongLong end = wxGetLocalTimeMillis() + ms;
  do {
    wxTheApp->ProcessPendingEvents();
    wxYield();
    wxTheApp->ProcessIdle();
    wxMilliSleep(5);
  } while (wxGetLocalTimeMillis() < end);
}

void ResetDocument() {
  Doc().Modify(false);
  CBindwiseApp::Get().GetDocManager()->NewDocument();
  if (wxWindow* grid = Frame().GetPane(0)) grid->SetFocus();
  Pump(100);
}

void ClickAt(wxWindow* window, const wxPoint& p) {
  wxUIActionSimulator sim;
  sim.MouseMove(window->ClientToScreen(p));
  Pump(60);
  sim.MouseClick();
  Pump(120);
}

void DoubleClickAt(wxWindow* window, const wxPoint& p) {
  wxUIActionSimulator sim;
  sim.MouseMove(window->ClientToScreen(p));
  Pump(60);
  sim.MouseDblClick();
  Pump(120);
}

void TypeText(const char* text) {
  wxUIActionSimulator sim;
  sim.Text(text);
  Pump(120);
}

void KeyChord(int keycode, int modifiers) {
  wxUIActionSimulator sim;
  sim.Char(keycode, modifiers);
  Pump(120);
}

void ExpectDialog(int answerId) { g_answers.push_back(answerId); }
int PendingDialogs() { return static_cast<int>(g_answers.size()); }

std::vector<wxString> TakeDialogTexts() {
  std::vector<wxString> texts;
  texts.swap(g_dialogTexts);
  return texts;
}

wxString SaveScreenshot(const wxString& name) {
  Pump(300);
  Frame().Update();
  const wxRect r = Frame().GetScreenRect();
  const wxString path = wxString(BINDWISE_TEST_OUTPUT_DIR) + "/" + name + ".png";
  // ImageMagick reads the X server's current pixels; wx's screen DC on GTK 3 can hand back
  // an earlier picture.
  const wxString command = wxString::Format("/usr/bin/import -window root -crop %dx%d+%d+%d +repage %s",
                                            r.width, r.height, r.x, r.y, path);
  if (wxFileName::FileExists("/usr/bin/import") && wxExecute(command, wxEXEC_SYNC) == 0) return path;
  wxBitmap bitmap(r.width, r.height, 24);
  {
    wxScreenDC screen;
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y);
  }
  bitmap.SaveFile(path, wxBITMAP_TYPE_PNG);
  return path;
}

wxString ScratchPath(const wxString& name) { return g_scratch + "/" + name; }

std::vector<std::string> TakeGtkComplaints() { return std::exchange(g_gtkComplaints, {}); }

}  // namespace gui

int main(int argc, char** argv) {
  RecordGtkComplaints();
  testing::InitGoogleTest(&argc, argv);
  // A private configuration folder, so the user's recent-file list is neither read nor
  // changed.
  g_scratch = wxFileName::CreateTempFileName("bindwise-gui");
  wxRemoveFile(g_scratch);
  wxMkdir(g_scratch);
  setenv("XDG_CONFIG_HOME", (g_scratch + "/config").utf8_string().c_str(), 1);
  wxMkdir(g_scratch + "/config");

  wxApp::SetInstance(new GuiTestApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "test_gui needs an X display: run it under xvfb-run\n");
    return 1;
  }
  WriteWindowConfig(g_scratch + "/config/Bindwise.conf");
  if (!wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "the desktop program did not start\n");
    return 1;
  }
  gui::Pump(500);
  const int status = RUN_ALL_TESTS();

  gui::Doc().Modify(false);
  gui::Frame().Close(true);
  gui::Pump(100);
  wxTheApp->OnExit();
  wxEntryCleanup();
  wxDir::Remove(g_scratch, wxPATH_RMDIR_RECURSIVE);
  return status;
}

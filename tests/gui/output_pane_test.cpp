// The control pane driven as a person would, under Xvfb: the real program's window, its
// buttons clicked, its dialogs filled and confirmed with OK (so their validation runs), and
// the message boxes caught and checked. Ends with a screenshot of the whole window after a
// fit and three simulations (written to the path given as the first argument).
//
// Scenarios run one after the other in a single program; each failure is printed and the
// exit status is 1 when any check failed.

#include <cmath>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filename.h>
#include <wx/utils.h>
#include <wx/image.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/wx/bindwise_app.h"
#include "app/wx/field_validators.h"
#include "app/wx/main_frame.h"
#include "document/wx/bindwise_doc.h"
#include "commands/display_values.h"
#include "fitting/models.h"
#include "commands/wx/fit_dlg.h"
#include "commands/wx/fit_parameters_dlg.h"
#include "commands/wx/parameters_dlg.h"
#include "commands/wx/simulate_dlg.h"
#include "graphview/plot_colours.h"
#include "outputview/results_painter.h"
#include "outputview/wx/description_dlg.h"
#include "outputview/wx/output_view.h"
#include "outputview/wx/plot_list_box.h"

namespace {

int g_failures = 0;
bool g_started = false;  // asserts while the frame is built belong to the shell's own tests

#define CHECK(cond)                                                          \
  do {                                                                       \
    if (!(cond)) {                                                           \
      ++g_failures;                                                          \
      std::fprintf(stderr, "%s:%d: CHECK failed: %s\n", __FILE__, __LINE__, #cond); \
    }                                                                        \
  } while (0)

#define CHECK_EQ(a, b)                                                                      \
  do {                                                                                      \
    const auto& a_ = (a);                                                                   \
    const auto& b_ = (b);                                                                   \
    if (!(a_ == b_)) {                                                                      \
      ++g_failures;                                                                         \
      std::fprintf(stderr, "%s:%d: CHECK_EQ failed: %s == %s\n", __FILE__, __LINE__, #a, #b); \
    }                                                                                       \
  } while (0)

// Catches every modal dialog: message boxes are recorded and answered OK without showing;
// the program's own dialogs get the next scripted action, run inside their modal loop. A
// dialog nobody expected is a failure and is cancelled.
class DialogDriver : public wxModalDialogHook {
 public:
  struct Message {
    std::string text, caption;
  };
  std::vector<Message> messages;
  std::deque<std::function<void(wxDialog*)>> actions;

  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
      messages.push_back({box->GetMessage().ToStdString(wxConvUTF8), box->GetTitle().ToStdString(wxConvUTF8)});
      return wxID_OK;
    }
    if (actions.empty()) {
      ++g_failures;
      std::fprintf(stderr, "unexpected dialog \"%s\"\n", dialog->GetTitle().ToStdString().c_str());
      return wxID_CANCEL;
    }
    auto action = actions.front();
    actions.pop_front();
    dialog->CallAfter([action, dialog] { action(dialog); });
    return wxID_NONE;
  }
  void Exit(wxDialog*) override {}

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
  }
};

DialogDriver* g_driver = nullptr;
wxString g_shotDir;  // where screenshots go; none when empty

// A picture of a top-level window as it is on the screen, after it had time to paint.
// Taken by ImageMagick from the X server: in one process wxScreenDC keeps returning its
// first picture of the screen on GTK 3.
void save_shot(wxWindow* window, const wxString& path) {
  window->Refresh();
  window->Update();
  for (int i = 0; i < 50; ++i) wxYield(), wxMilliSleep(10);
  const wxRect r = window->GetScreenRect();
  const wxString command = wxString::Format("/usr/bin/import -window root -crop %dx%d+%d+%d +repage %s", r.width,
                                            r.height, r.x, r.y, path);
  CHECK_EQ(wxExecute(command, wxEXEC_SYNC), 0L);
}

void save_window_shot(wxWindow* window, const wxString& name) {
  if (!g_shotDir.empty()) save_shot(window, g_shotDir + "/" + name + ".png");
}

void click(wxWindow* button) {
  wxCommandEvent event(wxEVT_BUTTON, button->GetId());
  event.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(event);
}

void click_in(wxDialog* dialog, int id) { click(dialog->FindWindow(id)); }

void type(wxWindow* edit, const std::string& text) { static_cast<wxTextCtrl*>(edit)->SetValue(text); }

// A model-1 titration: R0 = 1, R1 = 2, protein 1 uM, log K 6, volume 2 ml throughout.
void enter_titration(BindwiseDoc& doc) {
  Vec a(1, 4), bound(1, 2), freeCa(1, 2);
  a[1] = 1.0;
  a[2] = 2.0;
  a[3] = uM_to_internal(1.0);
  a[4] = logK_to_internal(6.0);
  for (int r = 0; r < 16; ++r) {
    const double addedUM = 0.4 * r;
    const double y = model_response(ModelFamily::OneSite, false, true, uM_to_internal(addedUM), a, 1.0, bound, freeCa, 1);
    doc.m_cells[r][0].SetText(c_printf("%.6f", y));
    doc.m_cells[r][1].SetText(c_printf("%.1f", addedUM));
    doc.m_cells[r][2].SetText("2");
  }
}

class TestApp : public CBindwiseApp {
 public:
  bool OnInit() override {
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
      if (g_started) ++g_failures;
      std::fprintf(stderr, "wx assert %s:%d %s %s\n", file.ToStdString().c_str(), line, cond.ToStdString().c_str(),
                   msg.ToStdString().c_str());
    });
    if (argc > 1) g_shotDir = wxFileName(argv[1]).GetPath();
    if (argc > 1) m_shotPath = argv[1];
    if (!StartUp(wxString())) return false;
    g_started = true;
    g_driver = new DialogDriver;
    g_driver->Register();
    CallAfter(&TestApp::RunScenarios);
    return true;
  }

  int OnRun() override {
    const int rc = CBindwiseApp::OnRun();
    return g_failures ? 1 : rc;
  }

 private:
  COutputView* View() { return GetMainFrame()->GetOutputView(); }
  BindwiseDoc& Doc() { return *GetDoc(); }

  void RunScenarios() {
    // Let the frame reach its size before anything is clicked or painted.
    for (int i = 0; i < 20; ++i) Yield(true), wxMilliSleep(10);
    enter_titration(Doc());
    FitDialogKeepsSettings();
    EstimateFillsTheCheckedRows();
    FitFromTheButton();
    SimulateThreeDeleteTheMiddle();
    ViewParameters();
    Description();
    Screenshot();
    NewDocumentEmptiesTheList();
    CHECK(g_driver->actions.empty());
    Doc().Modify(false);
    GetMainFrame()->Destroy();
    ExitMainLoop();
  }

  // Flags kept when the model stays, defaults on a model change, the radio persisting, and
  // Cancel leaving everything as it was.
  void FitDialogKeepsSettings() {
    FitSettings settings;
    auto open = [&](std::function<void(CFitDlg&)> action) {
      g_driver->actions.push_back([action](wxDialog* d) { action(*static_cast<CFitDlg*>(d)); });
      CFitDlg dialog(GetMainFrame(), settings, Doc());
      return dialog.ShowModal();
    };
    open([](CFitDlg& d) {
      d.SelectModel(1);  // model 2: rows 4 and 7 unchecked by its defaults
      CHECK(!d.Area().Check(4)->GetValue());
      CHECK(!d.Area().Check(7)->GetValue());
      CHECK(d.Area().Check(7)->IsShown());
      CHECK(!d.Area().Check(8)->IsShown());
      d.Area().Check(2)->SetValue(false);
      wxCommandEvent radio(wxEVT_RADIOBUTTON, static_cast<int>(ErrorRadio::Jackknife));
      d.Radio(ErrorRadio::Jackknife)->SetValue(true);
      d.Radio(ErrorRadio::Jackknife)->GetEventHandler()->ProcessEvent(radio);
      click_in(&d, wxID_OK);
    });
    CHECK_EQ(settings.m_nModelIndex, 1);
    CHECK_EQ(settings.m_bFitSlot[2], 0);
    CHECK_EQ(settings.m_bUseJackknife, 1);
    open([](CFitDlg& d) {
      CHECK(!d.Area().Check(2)->GetValue());  // same model: the user's flag stays
      CHECK(d.Radio(ErrorRadio::Jackknife)->GetValue());
      CHECK_EQ(d.Area().Label(5)->GetLabel(), wxString("log K1"));
      d.SelectModel(5);
      save_window_shot(&d, "fit_dialog_model6");
      d.SelectModel(3);  // model 4: rows 7 and 8 checked, 4 and 9 unchecked
      CHECK(d.Area().Check(8)->GetValue());
      CHECK(!d.Area().Check(9)->GetValue());
      CHECK(d.Area().Edit(9)->IsShown());
      click_in(&d, wxID_CANCEL);
    });
    CHECK_EQ(settings.m_nModelIndex, 1);  // Cancel: as before the opening
    CHECK_EQ(settings.m_bFitSlot[2], 0);
    // A bad or empty number shows the toolkit's message and keeps the dialog open.
    bool stayedOpen = false;
    const int result = open([&stayedOpen](CFitDlg& d) {
      type(d.Area().Edit(3), "");
      click_in(&d, wxID_OK);
      type(d.Area().Edit(3), "1.2x");
      click_in(&d, wxID_OK);
      stayedOpen = d.IsModal();
      type(d.Area().Edit(3), " 1.25 ");
      click_in(&d, wxID_OK);
    });
    CHECK(stayedOpen);
    CHECK_EQ(result, wxID_OK);
    CHECK_EQ(g_driver->Texts(), (std::vector<std::string>{CNumberFieldValidator::kMessage, CNumberFieldValidator::kMessage}));
    CHECK_EQ(settings.m_dValue[3], 1.25);
    g_driver->messages.clear();
  }

  // "Estimate" in the Fit dialog: the checked rows get values from the points (the titration
  // was made with log K 6, responses 1 and 2), the unchecked protein row keeps its value;
  // the Simulate dialog offers the same.
  void EstimateFillsTheCheckedRows() {
    FitSettings settings;
    g_driver->actions.push_back([](wxDialog* d) {
      auto& dlg = *static_cast<CFitDlg*>(d);
      dlg.SelectModel(0);
      const char* values[] = {"", "0", "0", "1", "0"};
      for (int row = 1; row <= 4; ++row) type(dlg.Area().Edit(row), values[row]);
      dlg.Area().Check(3)->SetValue(false);
      click_in(&dlg, kEstimateStartId);
      click_in(&dlg, wxID_OK);
    });
    CFitDlg dialog(GetMainFrame(), settings, Doc());
    CHECK_EQ(dialog.ShowModal(), wxID_OK);
    CHECK(std::fabs(settings.m_dValue[4] - 6.0) < 0.05);
    CHECK(std::fabs(settings.m_dValue[1] - 1.0) < 0.01);
    CHECK(std::fabs(settings.m_dValue[2] - 2.0) < 0.02);
    CHECK_EQ(settings.m_dValue[3], 1.0);
    SimulateSettings sim;
    g_driver->actions.push_back([](wxDialog* d) {
      auto& dlg = *static_cast<CSimulateDlg*>(d);
      dlg.SelectModel(0);
      type(dlg.Area().Edit(3), "1");
      click_in(&dlg, kEstimateValuesId);
      click_in(&dlg, wxID_OK);
    });
    CSimulateDlg simulate(GetMainFrame(), sim, &Doc());
    CHECK_EQ(simulate.ShowModal(), wxID_OK);
    CHECK(std::fabs(sim.m_dValue[4] - 6.0) < 0.05);
  }

  // The Fit button, the dialog's OK, the worker thread, then the results block on screen.
  void FitFromTheButton() {
    g_driver->actions.push_back([](wxDialog* d) {
      auto& dlg = *static_cast<CFitDlg*>(d);
      dlg.SelectModel(0);
      const char* values[] = {"", "1.1", "1.8", "1.2", "5.5"};
      for (int row = 1; row <= 4; ++row) type(dlg.Area().Edit(row), values[row]);
      for (int row = 1; row <= 4; ++row) dlg.Area().Check(row)->SetValue(true);
      save_window_shot(&dlg, "fit_dialog");
      click_in(&dlg, wxID_OK);
    });
    click(View()->GetButton(kIdFit));
    for (int i = 0; i < 3000 && View()->IsFitRunning(); ++i) wxYield(), wxMilliSleep(10);
    CHECK(!View()->IsFitRunning());
    CHECK(GetMainFrame()->IsEnabled());  // input is back after the fit
    CHECK_EQ(Doc().m_bShowFit, 1);
    CHECK_EQ(Doc().m_fit.m_nModel, 1);
    CHECK(std::fabs(display_lgK(Doc().m_fit.m_p[4]) - 6.0) < 1e-3);
    CHECK(Doc().IsModified());
    CHECK(g_driver->messages.empty());

    // The block as it reaches the screen: the panel painted into a bitmap has dark text in
    // the value column of the left table, which is empty without a fit.
    CHECK(DarkPixelsInValueColumn() > 20);
    Doc().m_bShowFit = 0;
    CHECK_EQ(DarkPixelsInValueColumn(), 0);
    DoubleClickResults();
    CHECK_EQ(g_driver->Texts(), std::vector<std::string>{"No Fit exists..."});
    g_driver->messages.clear();
    Doc().m_bShowFit = 1;

    // A double click on the results opens the fit's Parameters dialog: the fitted rows and
    // how the fit ended.
    std::string title, run;
    size_t rows = 0;
    g_driver->actions.push_back([&](wxDialog* d) {
      auto& dlg = *static_cast<CFitParametersDlg*>(d);
      title = dlg.Title().ToStdString();
      rows = dlg.Rows().size();
      run = dlg.FitRunText().ToStdString();
      click_in(&dlg, wxID_OK);
    });
    DoubleClickResults();
    CHECK_EQ(title, model_info(1).fitName);
    CHECK_EQ(rows, size_t{4});
    CHECK_EQ(run.rfind("Fit ended: ", 0), 0u);
  }

  void DoubleClickResults() {
    wxWindow* canvas = View()->GetCanvas();
    wxMouseEvent dclick(wxEVT_LEFT_DCLICK);
    dclick.SetPosition(wxPoint(20, 20));
    dclick.SetEventObject(canvas);
    canvas->GetEventHandler()->ProcessEvent(dclick);
  }

  int DarkPixelsInValueColumn() {
    const wxSize size = View()->GetCanvas()->GetClientSize();
    wxBitmap bitmap(size);
    {
      wxMemoryDC dc(bitmap);
      View()->OnDraw(&dc);
    }
    const wxImage image = bitmap.ConvertToImage();
    const ControlLayout& m = View()->GetLayout();
    const ResultsColumns c = results_columns(m);
    int dark = 0;
    for (int y = c.y(1) + 1; y < m.m_nFrameBottom - 1 && y < image.GetHeight(); ++y) {
      if ((y - m.m_nFrameTop) % m.m_nRowHeight == 0) continue;  // a ruling, not text
      for (int x = c.leftValue; x < m.m_nErrorColumnX - 2 && x < image.GetWidth(); ++x)
        if (image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) < 300) ++dark;
    }
    return dark;
  }

  void SimulateOnce(const char* logK) {
    g_driver->actions.push_back([logK](wxDialog* d) {
      auto& dlg = *static_cast<CSimulateDlg*>(d);
      dlg.SelectModel(0);
      const char* values[] = {"", "1", "2", "1", logK};
      for (int row = 1; row <= 4; ++row) type(dlg.Area().Edit(row), values[row]);
      if (std::string(logK) == "5") save_window_shot(&dlg, "simulate_dialog");
      click_in(&dlg, wxID_OK);
    });
    click(View()->GetButton(kIdSimulate));
  }

  // Three curves, the middle one deleted: the others keep their order and their slots'
  // colours; the next curve takes the freed slot and its colour, at the end of the list.
  void SimulateThreeDeleteTheMiddle() {
    CPlotListBox* list = View()->GetPlotList();
    list->SetSelection(wxNOT_FOUND);
    click(View()->GetButton(kIdDel));
    CHECK_EQ(g_driver->Texts(), std::vector<std::string>{"No simulated curves to remove!"});
    SimulateOnce("5");
    SimulateOnce("6");
    SimulateOnce("7");
    CHECK_EQ(list->GetCount(), 3);
    CHECK_EQ(Doc().m_nSims, 3);
    list->SetSelection(wxNOT_FOUND);
    g_driver->messages.clear();
    click(View()->GetButton(kIdDel));
    CHECK_EQ(g_driver->Texts(), std::vector<std::string>{"Select plot"});
    CHECK(g_driver->messages[0].caption != "Bindwise");  // the toolkit's own title
    g_driver->messages.clear();
    list->SetSelection(1);
    click(View()->GetButton(kIdDel));
    CHECK_EQ(list->GetCount(), 2);
    CHECK_EQ(list->GetString(0), std::string("Plot 1"));
    CHECK_EQ(list->GetString(1), std::string("Plot 3"));
    CHECK_EQ(list->EntryColour(0), wxColour(255, 0, 0));    // slot 1
    CHECK_EQ(list->EntryColour(1), wxColour(255, 0, 255));  // slot 3
    SimulateOnce("6.5");
    CHECK_EQ(list->GetString(2), std::string("Plot 4"));
    CHECK_EQ(list->EntryColour(2), wxColour(0, 255, 0));  // the freed slot 2
    CHECK(g_driver->messages.empty());
  }

  void ViewParameters() {
    CPlotListBox* list = View()->GetPlotList();
    list->SetSelection(wxNOT_FOUND);
    click(View()->GetButton(kIdView));
    CHECK_EQ(g_driver->Texts(), std::vector<std::string>{"Select plot"});
    CHECK_EQ(g_driver->messages.back().caption, std::string("Bindwise"));
    g_driver->messages.clear();
    // A double click on the last entry (slot 2, log K 6.5) opens its parameters.
    std::string title, line4, line5;
    g_driver->actions.push_back([&](wxDialog* d) {
      auto& dlg = *static_cast<CParametersDlg*>(d);
      title = dlg.Title().ToStdString();
      line4 = dlg.Line(4).ToStdString();
      line5 = dlg.Line(5).ToStdString();
      CHECK(!dlg.IsLineShown(6));
      save_window_shot(&dlg, "parameters_dialog");
      click_in(&dlg, wxID_OK);
    });
    list->SetSelection(2);
    wxCommandEvent dclick(wxEVT_LISTBOX_DCLICK, list->GetId());
    dclick.SetEventObject(list);
    dclick.SetInt(2);
    list->GetEventHandler()->ProcessEvent(dclick);
    CHECK_EQ(title, std::string("One Ca site"));
    CHECK_EQ(line4, std::string("log K:  6.50000"));
    CHECK_EQ(line5.rfind("Ca0:  ", 0), 0u);
  }

  void Description() {
    Doc().Modify(false);
    g_driver->actions.push_back([](wxDialog* d) {
      auto& dlg = *static_cast<CDescriptionDlg*>(d);
      type(dlg.Edit(), "pH 7.2\n25 C");
      click_in(&dlg, wxID_OK);
    });
    click(View()->GetButton(kIdDescription));
    CHECK_EQ(Doc().m_strDescription, std::string("pH 7.2\r\n25 C"));
    CHECK(Doc().IsModified());

    Doc().Modify(false);
    g_driver->actions.push_back([](wxDialog* d) {
      auto& dlg = *static_cast<CDescriptionDlg*>(d);
      CHECK_EQ(dlg.Edit()->GetValue(), wxString("pH 7.2\n25 C"));
      type(dlg.Edit(), "changed");
      click_in(&dlg, wxID_CANCEL);
    });
    click(View()->GetButton(kIdDescription));
    CHECK_EQ(Doc().m_strDescription, std::string("pH 7.2\r\n25 C"));
    CHECK(!Doc().IsModified());

    g_driver->actions.push_back([](wxDialog* d) { click_in(d, wxID_OK); });  // OK, no change
    click(View()->GetButton(kIdDescription));
    CHECK(Doc().IsModified());
  }

  // New resets the document in place: the next repaint empties the plot list, and the
  // pane keeps its one set of buttons.
  void NewDocumentEmptiesTheList() {
    const size_t children = View()->GetCanvas()->GetChildren().size();
    for (int i = 0; i < 2; ++i) {
      Doc().Modify(false);
      CHECK(GetDocManager()->NewDocument());
      for (int k = 0; k < 30; ++k) Yield(true), wxMilliSleep(10);
    }
    CHECK_EQ(View()->GetPlotList()->GetCount(), 0);
    CHECK_EQ(View()->GetCanvas()->GetChildren().size(), children);
    CHECK(static_cast<PlotListSink*>(View()->GetPlotList()) == Doc().m_pPlotList);
    CHECK_EQ(DarkPixelsInValueColumn(), 0);  // no fit after New
  }

  void Screenshot() {
    if (!m_shotPath.empty()) save_shot(GetMainFrame(), m_shotPath);
  }

  wxString m_shotPath;
};

}  // namespace

wxIMPLEMENT_APP(TestApp);

// Generate Data and the File menu's ASCII exports through the running window: the dialog's
// fields typed and its buttons pressed, the export commands sent from each pane's focus
// with the count dialog answered as a person would and the file path handed in (the save
// dialog itself cannot be driven here).
#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/listbox.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/wx/bindwise_app.h"
#include "app/wx/command_ids.h"
#include "app/wx/main_frame.h"
#include "app/wx/pane_view.h"
#include "document/wx/bindwise_doc.h"
#include "commands/simulate_command.h"
#include "gui_test_support.h"
#include "outputview/ascii_export.h"
#include "outputview/control_layout.h"
#include "outputview/wx/export_count_dlg.h"
#include "outputview/wx/generate_data_dialog.h"
#include "outputview/wx/output_view.h"
#include "outputview/wx/plot_list_box.h"

namespace {

using Dlg = CGenerateDataDlg;

COutputView& View() { return *gui::Frame().GetOutputView(); }

void Press(wxWindow* button) {
  wxCommandEvent event(wxEVT_BUTTON, button->GetId());
  event.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(event);
  gui::Pump(50);
}

wxTextCtrl* Edit(wxWindow* dialog, int id) { return static_cast<wxTextCtrl*>(dialog->FindWindow(id)); }
void Type(wxWindow* dialog, int id, const char* text) { Edit(dialog, id)->SetValue(text); }
wxString Label(wxWindow* dialog, int id) { return static_cast<wxStaticText*>(dialog->FindWindow(id))->GetLabel(); }

void Choose(wxWindow* dialog, int id, int index) {
  auto* choice = static_cast<wxChoice*>(dialog->FindWindow(id));
  choice->SetSelection(index);
  wxCommandEvent event(wxEVT_CHOICE, id);
  event.SetInt(index);
  event.SetEventObject(choice);
  choice->GetEventHandler()->ProcessEvent(event);
}

std::vector<std::string> ListLines(wxWindow* dialog) {
  auto* list = static_cast<wxListBox*>(dialog->FindWindow(Dlg::IDC_ENTRIES));
  std::vector<std::string> lines;
  for (unsigned i = 0; i < list->GetCount(); ++i) lines.push_back(list->GetString(i).utf8_string());
  return lines;
}

std::string AddCa(int cell) { return gui::Doc().m_cells[cell - 1][1].Text(); }
std::string Volume(int cell) { return gui::Doc().m_cells[cell - 1][2].Text(); }

// "Gen. Data" clicked with the pointer.
Dlg* PressGenData() {
  wxWindow* button = View().GetButton(kIdGenData);
  gui::ClickAt(button, wxPoint(button->GetSize().x / 2, button->GetSize().y / 2));
  return View().GetGenerateDialog();
}

void FillRun(Dlg* d, const char* start, const char* additions) {
  Type(d, Dlg::IDC_VOL_START, "2");
  Choose(d, Dlg::IDC_VOL_UNIT, 1);   // ul
  Choose(d, Dlg::IDC_CONC_UNIT, 0);  // mM
  Type(d, Dlg::IDC_START_CELL, start);
  Type(d, Dlg::IDC_ADDITIONS, additions);
  Type(d, Dlg::IDC_VOL_ADDED, "5");
  Type(d, Dlg::IDC_CONC_ADDED, "10");
}

int OpenGenerateDialogs() {
  int n = 0;
  for (wxWindow* w : wxTopLevelWindows)
    if (dynamic_cast<Dlg*>(w) && !w->IsBeingDeleted()) ++n;
  return n;
}

TEST(GenerateDataDialog, WorkedExampleThenACutRun) {
  gui::ResetDocument();
  Dlg* d = PressGenData();
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->IsShown());
  EXPECT_EQ(d->GetTitle(), "Generate Data");
  EXPECT_EQ(Edit(d, Dlg::IDC_START_CELL)->GetValue(), "2");  // a new plan proposes cell 2
  EXPECT_TRUE(ListLines(d).empty());

  FillRun(d, "2", "10");
  EXPECT_EQ(Label(d, Dlg::IDC_VOL_UNIT_LABEL), "ul");
  EXPECT_EQ(Label(d, Dlg::IDC_CONC_UNIT_LABEL), "mM");
  Press(d->FindWindow(wxID_OK));
  // 2 ml, then 10 additions of 5 ul of 10 mM Ca from cell 2.
  EXPECT_EQ(AddCa(1), "0.000000");
  EXPECT_EQ(Volume(1), "2.000000");
  EXPECT_EQ(AddCa(2), "24.937656");  // (0 x 2 + 5 x 10 / 1000 x 1000) / 2.005 uM
  EXPECT_EQ(Volume(2), "2.005000");
  EXPECT_EQ(Volume(11), "2.050000");
  EXPECT_EQ(Volume(12), "");
  EXPECT_EQ(gui::Doc().m_cells[1][0].Text(), "") << "the response column is never written";
  EXPECT_EQ(ListLines(d), std::vector<std::string>{" 2  | 10  |   5.00  |   10.00 "});
  EXPECT_TRUE(gui::Doc().IsModified());
  EXPECT_EQ(View().GetGenerateDialog(), d) << "Add leaves the dialog open";
  gui::SaveScreenshot("generate_data_dialog");

  // A run from cell 8 cuts the first to 6 additions and continues from row 7.
  Type(d, Dlg::IDC_START_CELL, "8");
  Type(d, Dlg::IDC_ADDITIONS, "2");
  Press(d->FindWindow(wxID_OK));
  EXPECT_EQ(ListLines(d), (std::vector<std::string>{" 2  | 6  |   5.00  |   10.00 ", " 8  | 2  |   5.00  |   10.00 "}));
  EXPECT_EQ(Volume(8), "2.035000");
  EXPECT_EQ(Volume(10), "");
  EXPECT_EQ(AddCa(11), "");

  // Selecting a line copies that run into the fields.
  auto* list = static_cast<wxListBox*>(d->FindWindow(Dlg::IDC_ENTRIES));
  list->SetSelection(0);
  wxCommandEvent select(wxEVT_LISTBOX, Dlg::IDC_ENTRIES);
  select.SetInt(0);
  select.SetEventObject(list);
  list->GetEventHandler()->ProcessEvent(select);
  EXPECT_EQ(Edit(d, Dlg::IDC_START_CELL)->GetValue(), "2");
  EXPECT_EQ(Edit(d, Dlg::IDC_ADDITIONS)->GetValue(), "6");
  EXPECT_EQ(Edit(d, Dlg::IDC_VOL_ADDED)->GetValue(), "  5.000");
  EXPECT_EQ(Edit(d, Dlg::IDC_CONC_ADDED)->GetValue(), " 10.000");

  Press(d->FindWindow(Dlg::IDC_HELP));
  gui::Pump(300);
  wxHtmlHelpFrame* help = nullptr;
  for (wxWindow* w : wxTopLevelWindows)
    if (auto* frame = dynamic_cast<wxHtmlHelpFrame*>(w); frame && frame->IsShown()) help = frame;
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage().EndsWith("generate.html"));
  help->Close(true);
  Press(d->FindWindow(wxID_CANCEL));
}

// Bad fields show their message and send nothing; a run past the grid is refused by the view.
TEST(GenerateDataDialog, RefusedFieldsChangeNothing) {
  gui::ResetDocument();
  Dlg* d = PressGenData();
  ASSERT_NE(d, nullptr);
  const struct {
    const char *start, *additions, *conc, *message;
  } bad[] = {
      {"98", "1", "10", "Please enter an integer between 0 and 97."},
      {"2", "1.5", "10", "Please enter an integer."},
      {"2", "1", "1,5", "Please enter a number."},
      {"90", "8", "10", " No more than 100 cells can be adressed"},
  };
  for (const auto& b : bad) {
    FillRun(d, b.start, b.additions);
    Type(d, Dlg::IDC_CONC_ADDED, b.conc);
    gui::ExpectDialog(wxID_OK);
    Press(d->FindWindow(wxID_OK));
    EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{b.message}) << b.start << " " << b.additions;
    EXPECT_EQ(Volume(1), "") << b.message;
    EXPECT_TRUE(ListLines(d).empty());
  }
  EXPECT_FALSE(gui::Doc().IsModified());
  EXPECT_EQ(gui::PendingDialogs(), 0);
  d->Close();  // the close box acts as Cancel
  gui::Pump(100);
  EXPECT_EQ(View().GetGenerateDialog(), nullptr);
  EXPECT_EQ(OpenGenerateDialogs(), 0);
}

// Cancel rewrites the planned added-Ca cells and closes; the next opening lists the plan
// kept in the document; a second "Gen. Data" only brings the open dialog forward.
TEST(GenerateDataDialog, CancelThenReopenShowsThePlan) {
  gui::ResetDocument();
  Dlg* d = PressGenData();
  ASSERT_NE(d, nullptr);
  FillRun(d, "2", "4");
  Press(d->FindWindow(wxID_OK));
  FillRun(d, "6", "3");
  Edit(d, Dlg::IDC_ADDITIONS)->SetFocus();
  gui::Pump(100);
  gui::KeyChord(WXK_RETURN);  // Enter is "Add"
  EXPECT_EQ(Volume(8), "2.035000");
  gui::Doc().m_cells[2][1].SetText("7");  // typed over a generated cell
  Press(d->FindWindow(wxID_CANCEL));
  gui::Pump(100);
  EXPECT_EQ(View().GetGenerateDialog(), nullptr);
  EXPECT_EQ(OpenGenerateDialogs(), 0);
  EXPECT_EQ(AddCa(3), "7.000000");

  d = PressGenData();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(ListLines(d), (std::vector<std::string>{" 2  | 4  |   5.00  |   10.00 ", " 6  | 3  |   5.00  |   10.00 "}));
  EXPECT_EQ(Edit(d, Dlg::IDC_START_CELL)->GetValue(), "2");
  EXPECT_EQ(Edit(d, Dlg::IDC_ADDITIONS)->GetValue(), "4");
  EXPECT_EQ(Edit(d, Dlg::IDC_VOL_START)->GetValue(), "  2.000");
  EXPECT_EQ(Label(d, Dlg::IDC_VOL_UNIT_LABEL), "ul");
  EXPECT_EQ(PressGenData(), d);
  EXPECT_EQ(OpenGenerateDialogs(), 1);

  // New while it is open: the dialog shows the new, empty plan.
  gui::ResetDocument();
  EXPECT_TRUE(ListLines(d).empty());
  Edit(d, Dlg::IDC_START_CELL)->SetFocus();
  gui::Pump(100);
  gui::KeyChord(WXK_ESCAPE);  // Escape is "Cancel"
  gui::Pump(100);
  EXPECT_EQ(View().GetGenerateDialog(), nullptr);
  gui::ResetDocument();
}

// Predict shows each fitted row's expected error from the plan with the fields' run, while
// the grid, the plan and the list stay as they were; a refused run predicts nothing and says
// what Add says.
TEST(GenerateDataDialog, PredictLeavesThePlanAlone) {
  gui::ResetDocument();
  const FitSettings keptFit = View().m_dlgFit;
  FitSettings& typed = View().m_dlgFit;  // the constants a user expects, as the Fit dialog keeps them
  typed = FitSettings{};
  typed.m_nModelIndex = 1;
  fit_dialog_open(typed, gui::Doc());
  const double rows[] = {0, 0.62, 0.18, 20.0, -5.8, 5.9, 6.3, 25.0};
  for (int r = 1; r <= 7; ++r) typed.m_dValue[r] = rows[r];
  Dlg* d = PressGenData();
  ASSERT_NE(d, nullptr);
  const std::vector<std::string> hint = d->PredictionLines();
  ASSERT_EQ(hint.size(), 1u);
  EXPECT_LE(d->GetSize().y, 720) << "fits a 1366x768 laptop screen below its top bar";

  FillRun(d, "2", "39");
  Type(d, Dlg::IDC_CONC_ADDED, "1.6");
  Type(d, Dlg::IDC_NOISE, "0.003");
  Press(d->FindWindow(Dlg::IDC_PREDICT));
  std::vector<std::string> lines = d->PredictionLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Model 2, 40 planned points, reading noise 0.003, covariance errors:");
  EXPECT_NE(std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("log K2: 6.3 \u00b1 ", 0) == 0; }),
            lines.end());
  EXPECT_EQ(Volume(2), "");
  EXPECT_TRUE(ListLines(d).empty());
  EXPECT_FALSE(gui::Doc().IsModified());

  FillRun(d, "90", "8");
  gui::ExpectDialog(wxID_OK);
  Press(d->FindWindow(Dlg::IDC_PREDICT));
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{" No more than 100 cells can be adressed"});
  EXPECT_EQ(d->PredictionLines(), hint);
  EXPECT_EQ(gui::PendingDialogs(), 0);

  Press(d->FindWindow(wxID_CANCEL));
  View().m_dlgFit = keptFit;
  gui::ResetDocument();
}

// Answers the "Export..." dialog as a person would: types each count in turn and presses
// OK (the dialog's own checks run) until one is accepted; no counts means Cancel. Records
// the captions of message boxes and leaves their answers to the test program's hook.
class CountDialogAnswers : public wxModalDialogHook {
 public:
  CountDialogAnswers() { Register(); }
  std::deque<std::vector<wxString>> answers;
  std::vector<wxString> captions;
  int asked = 0;

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) captions.push_back(box->GetTitle());
    if (dialog->GetTitle() != "Export...") return wxID_NONE;
    ++asked;
    if (answers.empty()) {
      ADD_FAILURE() << "count dialog not expected";
      return wxID_CANCEL;
    }
    const std::vector<wxString> counts = answers.front();
    answers.pop_front();
    dialog->InitDialog();
    for (const wxString& count : counts) {
      Edit(dialog, CExportCountDlg::IDC_COUNT)->SetValue(count);
      if (dialog->Validate() && dialog->TransferDataFromWindow()) return wxID_OK;
    }
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}
};

std::string ReadFile(const wxString& path) {
  std::ifstream in(path.utf8_string(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Three rows (2.000, 2.005, 2.010 ml; 0, 24.94, 49.75 uM added), start Ca 1 uM, a one-site
// fit and two simulated curves, the second selected in the plot list.
void EnterKnownDocument() {
  gui::ResetDocument();
  BindwiseDoc& doc = gui::Doc();
  const char* rows[3][3] = {{"1", "0", "2.000"}, {"1.5", "24.94", "2.005"}, {"2", "49.75", "2.010"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) doc.m_cells[r][c].SetText(rows[r][c]);
  doc.m_dStartCa = 1.0;
  doc.m_fit.m_nModel = 1;
  doc.m_fit.m_nParams = 4;
  doc.m_fit.m_dStartCa = 1.0;
  doc.m_fit.m_p[1] = 1;
  doc.m_fit.m_p[2] = 2;
  doc.m_fit.m_p[3] = 1e3;   // protein, nM
  doc.m_fit.m_p[4] = 1e-3;  // K, nM^-1
  doc.m_bShowFit = 1;
  SimulateSettings s;
  s.m_dValue[1] = 1;
  s.m_dValue[2] = 2;
  s.m_dValue[3] = 1;
  s.m_dValue[4] = 6;
  run_simulate_command(doc, s, nullptr);
  s.m_dValue[2] = 5;
  run_simulate_command(doc, s, nullptr);
  View().GetPlotList()->SetSelection(1);
  doc.Modify(false);
  gui::Pump(100);
}

void SendMenu(int id) {
  wxCommandEvent event(wxEVT_MENU, id);
  gui::Frame().GetEventHandler()->ProcessEvent(event);
  gui::Pump(30);
}

struct ExportCase {
  int id;
  ExportKind kind;
};
const ExportCase kExports[] = {{ID_FILE_EXPORT_POINTS, ExportKind::Points},
                               {ID_FILE_EXPORT_FIT, ExportKind::Fit},
                               {ID_FILE_EXPORT_SIM, ExportKind::Simulation},
                               {ID_FILE_EXPORT_SAT, ExportKind::Saturation},
                               {ID_FILE_EXPORT_SIM_SAT, ExportKind::SimulationSaturation},
                               {ID_FILE_EXPORT_RESIDUALS, ExportKind::Residuals}};

TEST(AsciiExportCommands, EveryExportFromEveryPane) {
  EnterKnownDocument();
  const wxString path = gui::ScratchPath("export.txt");
  View().m_chooseExportPath = [&](wxWindow*, const ExportFileRequest&) { return path; };
  CountDialogAnswers counts;
  const char* paneCounts[3] = {"20", "37", "500"};
  for (int pane = 0; pane < 3; ++pane) {
    gui::Frame().GetPane(pane)->SetFocus();
    gui::Pump(100);
    auto* active = dynamic_cast<CPaneCanvas*>(gui::Frame().GetPane(pane));
    ASSERT_EQ(CBindwiseApp::Get().GetDocManager()->GetCurrentView(), active->GetView()) << "pane " << pane;
    const int count = std::stoi(paneCounts[pane]);
    for (const ExportCase& e : kExports) {
      if (export_needs_count(e.kind)) counts.answers.push_back({paneCounts[pane]});
      std::remove(path.utf8_string().c_str());
      SendMenu(e.id);
      const std::string text = ReadFile(path);
      EXPECT_EQ(text, export_text(gui::Doc(), e.kind, count, 2)) << "pane " << pane << " command " << e.id;
      const auto lines = std::count(text.begin(), text.end(), e.kind == ExportKind::Points || e.kind == ExportKind::Fit ? '\r' : '\n');
      // Three measured points; the residuals add their header line.
      const int expected = e.kind == ExportKind::Points ? 3 : e.kind == ExportKind::Residuals ? 4 : count;
      EXPECT_EQ(lines, expected) << "command " << e.id;
    }
  }
  EXPECT_TRUE(counts.answers.empty());
  EXPECT_TRUE(counts.captions.empty()) << "no message on the way";
  View().m_chooseExportPath = ChooseExportPathWithDialog;
  gui::ResetDocument();
}

// The count dialog's range and Cancel; every refusal; a cancelled save; a name without an
// extension; a file that cannot be written.
TEST(AsciiExportCommands, CountDialogRefusalsAndFiles) {
  EnterKnownDocument();
  wxString path = gui::ScratchPath("curve.txt");
  View().m_chooseExportPath = [&](wxWindow*, const ExportFileRequest&) { return path; };
  CountDialogAnswers counts;
  auto lines = [&] {
    const std::string text = ReadFile(path);
    return std::count(text.begin(), text.end(), '\r') + std::count(text.begin(), text.end(), '\n');
  };

  counts.answers.push_back({"19", "501", "20"});
  gui::ExpectDialog(wxID_OK);
  gui::ExpectDialog(wxID_OK);
  SendMenu(ID_FILE_EXPORT_FIT);
  EXPECT_EQ(gui::TakeDialogTexts(), (std::vector<wxString>{"Please enter an integer between 20 and 500.",
                                                            "Please enter an integer between 20 and 500."}));
  EXPECT_EQ(lines(), 20);
  EXPECT_EQ(View().GetExportCount(), 20);
  // Cancel keeps the last count for the fit curves...
  counts.answers.push_back({});
  std::remove(path.utf8_string().c_str());
  SendMenu(ID_FILE_EXPORT_SAT);
  EXPECT_EQ(lines(), 20);
  // ... and ends a simulation export.
  for (int id : {ID_FILE_EXPORT_SIM, ID_FILE_EXPORT_SIM_SAT}) {
    counts.answers.push_back({});
    std::remove(path.utf8_string().c_str());
    gui::ExpectDialog(wxID_OK);
    SendMenu(id);
    EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{"Select curve to export"});
    EXPECT_FALSE(wxFileName::FileExists(path));
  }

  // Refusals come before any dialog; the selection message carries the toolkit's title.
  counts.captions.clear();
  View().GetPlotList()->SetSelection(wxNOT_FOUND);
  gui::ExpectDialog(wxID_OK);
  SendMenu(ID_FILE_EXPORT_SIM_SAT);
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{"No simulation is selected"});
  EXPECT_EQ(counts.captions, std::vector<wxString>{wxMessageBoxCaptionStr});
  gui::Doc().m_bShowFit = 0;  // a hidden fit cannot be exported either
  gui::Doc().m_bHaveSims = 0;
  for (int id : {ID_FILE_EXPORT_FIT, ID_FILE_EXPORT_SAT, ID_FILE_EXPORT_SIM}) {
    gui::ExpectDialog(wxID_OK);
    SendMenu(id);
  }
  EXPECT_EQ(gui::TakeDialogTexts(),
            (std::vector<wxString>{"No Fit exists...", "No Fit exists...", "No Simulations exists..."}));
  EXPECT_EQ(counts.asked, 4);

  // Save cancelled: nothing written, nothing said. A name without extension gets ".txt".
  std::remove(path.utf8_string().c_str());
  path.clear();
  SendMenu(ID_FILE_EXPORT_POINTS);
  EXPECT_TRUE(gui::TakeDialogTexts().empty());
  path = gui::ScratchPath("points");
  SendMenu(ID_FILE_EXPORT_POINTS);
  EXPECT_TRUE(wxFileName::FileExists(gui::ScratchPath("points.txt")));
  // A file that cannot be written: the system's reason.
  path = "/nonexistent-folder/points.txt";
  gui::ExpectDialog(wxID_OK);
  SendMenu(ID_FILE_EXPORT_POINTS);
  const std::vector<wxString> texts = gui::TakeDialogTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find("No such file or directory"), wxString::npos) << texts[0];
  EXPECT_EQ(gui::PendingDialogs(), 0);
  View().m_chooseExportPath = ChooseExportPathWithDialog;
  gui::ResetDocument();
}

}  // namespace

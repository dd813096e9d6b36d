// CGenerateDataDlg, "Generate Data": the modeless planner of titration runs. The user gives
// the start volume, the units, the start cell, the number of additions and the volume and
// concentration of one addition; "Add" asks the view to write the run into the grid and
// leaves the dialog open; the list shows the plan's runs, and selecting one copies it into
// the fields. "Cancel" (or the close box) rewrites the planned "Add. Ca/uM" cells and
// closes the dialog. "Predict" shows, below the fields, the error each constant would get
// from the plan with the run in the fields added (nothing is written into the grid), at the
// reading noise typed in "Reading noise (SD):".
//
// The dialog talks to the view that opened it through three events, processed directly by
// that view (not through the frame): EVT_GENERATE_DATA_ADD when "Add" passed the field
// checks (the view takes Request(), generates the run, updates EntryLines() and calls
// ShowEntries()), EVT_GENERATE_DATA_PREDICT when "Predict" passed them (the view predicts
// from Request() and NoiseText() and calls ShowPrediction()), and EVT_GENERATE_DATA_GONE
// when the dialog closes (the view forgets it).
// The dialog deletes itself when closed.
#pragma once

#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/event.h>

#include "outputview/generate_data.h"

class wxChoice;
class wxListBox;
class wxStaticText;
class wxTextCtrl;

wxDECLARE_EVENT(EVT_GENERATE_DATA_ADD, wxCommandEvent);
wxDECLARE_EVENT(EVT_GENERATE_DATA_PREDICT, wxCommandEvent);
wxDECLARE_EVENT(EVT_GENERATE_DATA_GONE, wxCommandEvent);

class CGenerateDataDlg : public wxDialog {
 public:
  enum ControlId : int {
    IDC_CONC_UNIT = 1001,
    IDC_START_CELL = 1007,
    IDC_ADDITIONS = 1009,
    IDC_CONC_ADDED = 1010,
    IDC_VOL_ADDED = 1011,
    IDC_ENTRIES = 1022,
    IDC_VOL_START = 1034,
    IDC_VOL_UNIT = 1045,
    IDC_CONC_UNIT_LABEL = 1046,
    IDC_VOL_UNIT_LABEL = 1047,
    IDC_HELP = 1059,
    IDC_NOISE = 1100,
    IDC_PREDICT = 1101,
  };
  static constexpr int kHelpContext = 133076;

  // Created hidden, filled from doc; view receives the two events.
  CGenerateDataDlg(wxWindow* parent, wxEvtHandler* view, Titration& doc);
  ~CGenerateDataDlg() override;

  // The fields as the last "Add" or "Predict" that passed the checks read them.
  const GenerateRequest& Request() const { return m_request; }
  // The list's lines; the generation updates them, ShowEntries() puts them on screen.
  std::vector<std::string>& EntryLines() { return m_lines; }
  void ShowEntries();
  // "Reading noise (SD):" as typed.
  std::string NoiseText() const;
  void SetNoiseText(const std::string& text);
  // The predicted errors, one line each under the fields; none puts back the hint.
  void ShowPrediction(const std::vector<std::string>& lines);
  // The lines shown under the fields now (the hint when nothing was predicted).
  std::vector<std::string> PredictionLines() const;
  // Fields, units and list from the document's plan (on opening, after New or Open).
  void LoadFromDocument();
  // The view is going away: the dialog stops telling it anything.
  void DetachView() { m_pView = nullptr; }

  bool TransferDataFromWindow() override;

 private:
  void CreateControls();
  wxTextCtrl* AddField(wxSizer* grid, int id, const wxString& label, wxStaticText** unitLabel,
                       const wxValidator& validator);
  wxChoice* AddUnitChoice(wxSizer* grid, int id, const wxString& label, const char* (*unitName)(int));
  void SetEditTexts(const GenerateEditTexts& texts);
  void UpdateUnitLabels();
  void Notify(wxEventType type);

  void CreatePredictionArea(wxSizer* top);
  void OnAdd(wxCommandEvent& event);
  void OnPredict(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnEntrySelected(wxCommandEvent& event);
  void OnHelp(wxCommandEvent& event);
  void CloseAndRewrite();

  wxEvtHandler* m_pView;
  Titration& m_doc;
  GenerateRequest m_request;
  std::vector<std::string> m_lines;
  bool m_bClosing = false;

  wxTextCtrl* m_pVolStart = nullptr;
  wxChoice* m_pVolUnit = nullptr;
  wxChoice* m_pConcUnit = nullptr;
  wxTextCtrl* m_pStartCell = nullptr;
  wxTextCtrl* m_pAdditions = nullptr;
  wxTextCtrl* m_pConcAdded = nullptr;
  wxTextCtrl* m_pVolAdded = nullptr;
  wxStaticText* m_pConcUnitLabel = nullptr;
  wxStaticText* m_pVolUnitLabel = nullptr;
  wxListBox* m_pEntries = nullptr;
  wxTextCtrl* m_pNoise = nullptr;
  wxSizer* m_pPredictionSizer = nullptr;
  wxWindow* m_pPredictionBox = nullptr;
};

#include "outputview/wx/generate_data_dialog.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/wx/bindwise_app.h"
#include "app/wx/field_validators.h"

wxDEFINE_EVENT(EVT_GENERATE_DATA_ADD, wxCommandEvent);
wxDEFINE_EVENT(EVT_GENERATE_DATA_PREDICT, wxCommandEvent);
wxDEFINE_EVENT(EVT_GENERATE_DATA_GONE, wxCommandEvent);

namespace {

constexpr const char* kPredictionHint = "Predict shows the error each constant would get from this plan.";

// The dialog writes its boxes' texts itself ("%7.3f", the entry's texts).
CNumberFieldValidator NumberField(double* value) {
  return CNumberFieldValidator(value, CNumberFieldValidator::Text::LeftToDialog);
}

CIntFieldValidator IntField(int* value, GenIntField field) {
  return CIntFieldValidator(value, [field](int v) { return gen_validate_field(field, v); });
}

}  // namespace

CGenerateDataDlg::CGenerateDataDlg(wxWindow* parent, wxEvtHandler* view, Titration& doc)
    : wxDialog(parent, wxID_ANY, "Generate Data"), m_pView(view), m_doc(doc) {
  CreateControls();
  Bind(wxEVT_BUTTON, &CGenerateDataDlg::OnAdd, this, wxID_OK);
  Bind(wxEVT_BUTTON, &CGenerateDataDlg::OnCancel, this, wxID_CANCEL);
  Bind(wxEVT_BUTTON, &CGenerateDataDlg::OnHelp, this, IDC_HELP);
  Bind(wxEVT_BUTTON, &CGenerateDataDlg::OnPredict, this, IDC_PREDICT);
  Bind(wxEVT_CLOSE_WINDOW, &CGenerateDataDlg::OnClose, this);
  Bind(wxEVT_LISTBOX, &CGenerateDataDlg::OnEntrySelected, this, IDC_ENTRIES);
  Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateUnitLabels(); }, IDC_VOL_UNIT);
  Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { UpdateUnitLabels(); }, IDC_CONC_UNIT);
  LoadFromDocument();
}

CGenerateDataDlg::~CGenerateDataDlg() {
  // Destroyed without Cancel (the main window closing): the view still has to forget it.
  if (m_pView) Notify(EVT_GENERATE_DATA_GONE);
}

void CGenerateDataDlg::CreateControls() {
  auto* fields = new wxFlexGridSizer(3, wxSize(8, 6));
  // Created in the order the checks run, so the first field that fails is the one reported.
  m_pVolStart = AddField(fields, IDC_VOL_START, "Volume-start:", nullptr, NumberField(&m_request.m_dVolStart));
  fields->Add(new wxStaticText(this, wxID_ANY, "ml"), 0, wxALIGN_CENTER_VERTICAL);
  m_pVolUnit = AddUnitChoice(fields, IDC_VOL_UNIT, "Unit Volume added:", gen_volume_unit_name);
  m_pConcUnit = AddUnitChoice(fields, IDC_CONC_UNIT, "Unit Conc:", gen_conc_unit_name);
  m_pStartCell = AddField(fields, IDC_START_CELL, "Start cell nbr:", nullptr,
                          IntField(&m_request.m_nStartCell, GenIntField::StartCell));
  fields->AddSpacer(0);
  m_pAdditions = AddField(fields, IDC_ADDITIONS, "nbr of additions:", nullptr,
                          IntField(&m_request.m_nAdditionCount, GenIntField::Additions));
  fields->AddSpacer(0);
  m_pConcAdded = AddField(fields, IDC_CONC_ADDED, "Ca Conc added:", &m_pConcUnitLabel,
                          NumberField(&m_request.m_dConcAdded));
  m_pVolAdded = AddField(fields, IDC_VOL_ADDED, "Volume added:", &m_pVolUnitLabel,
                         NumberField(&m_request.m_dVolAdded));
  // Read only by Predict, so "Add" never asks for it.
  fields->Add(new wxStaticText(this, wxID_ANY, "Reading noise (SD):"), 0, wxALIGN_CENTER_VERTICAL);
  m_pNoise = new wxTextCtrl(this, IDC_NOISE, wxEmptyString, wxDefaultPosition, wxSize(GetCharWidth() * 12, -1),
                            wxTE_PROCESS_ENTER);
  m_pNoise->SetToolTip("One standard deviation of a reading, in response units");
  m_pNoise->Bind(wxEVT_TEXT_ENTER, &CGenerateDataDlg::OnPredict, this);
  fields->Add(m_pNoise, 0);
  fields->AddSpacer(0);

  auto* list = new wxBoxSizer(wxVERTICAL);
  list->Add(new wxStaticText(this, wxID_ANY, "Start | Nbr add | Vol | Conc"), 0, wxBOTTOM, 4);
  m_pEntries = new wxListBox(this, IDC_ENTRIES, wxDefaultPosition, wxSize(GetCharWidth() * 30, -1), 0, nullptr,
                             wxLB_SINGLE | wxLB_NEEDED_SB);
  list->Add(m_pEntries, 1, wxEXPAND);

  auto* body = new wxBoxSizer(wxHORIZONTAL);
  body->Add(fields, 0, wxALL, 10);
  body->Add(list, 1, wxEXPAND | wxTOP | wxRIGHT | wxBOTTOM, 10);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* add = new wxButton(this, wxID_OK, "Add");
  add->SetDefault();
  buttons->Add(add, 0, wxRIGHT, 6);
  buttons->Add(new wxButton(this, IDC_PREDICT, "Predict"), 0, wxRIGHT, 6);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxRIGHT, 6);
  buttons->Add(new wxButton(this, IDC_HELP, "Help"), 0);

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(body, 1, wxEXPAND);
  CreatePredictionArea(top);
  top->Add(buttons, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(top);
  CentreOnParent();
}

void CGenerateDataDlg::CreatePredictionArea(wxSizer* top) {
  auto* box = new wxStaticBoxSizer(wxVERTICAL, this, "Predicted errors");
  m_pPredictionBox = box->GetStaticBox();
  m_pPredictionSizer = box;
  top->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  ShowPrediction({});
}

void CGenerateDataDlg::ShowPrediction(const std::vector<std::string>& lines) {
  m_pPredictionSizer->Clear(true);
  const std::vector<std::string> shown = lines.empty() ? std::vector<std::string>{kPredictionHint} : lines;
  // One text per line, so each constant's error is its own labelled element.
  for (const std::string& line : shown)
    m_pPredictionSizer->Add(new wxStaticText(m_pPredictionBox, wxID_ANY, wxString::FromUTF8(line)), 0, wxALL, 2);
  // Grow to show every line; never shrink below the size the user gave the dialog.
  if (!GetSizer()) return;  // still being built
  wxSize size = GetSize();
  size.IncTo(GetSizer()->ComputeFittingWindowSize(this));
  SetSize(size);
  Layout();
}

std::vector<std::string> CGenerateDataDlg::PredictionLines() const {
  std::vector<std::string> lines;
  for (const wxSizerItem* item : m_pPredictionSizer->GetChildren())
    if (const auto* text = dynamic_cast<const wxStaticText*>(item->GetWindow()))
      lines.push_back(text->GetLabel().utf8_string());
  return lines;
}

std::string CGenerateDataDlg::NoiseText() const { return m_pNoise->GetValue().utf8_string(); }
void CGenerateDataDlg::SetNoiseText(const std::string& text) { m_pNoise->ChangeValue(wxString::FromUTF8(text)); }

wxTextCtrl* CGenerateDataDlg::AddField(wxSizer* grid, int id, const wxString& label, wxStaticText** unitLabel,
                                       const wxValidator& validator) {
  grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
  // Enter in a field is "Add", as in any dialog; GTK's entries do not reach the default
  // button by themselves.
  auto* edit = new wxTextCtrl(this, id, wxEmptyString, wxDefaultPosition, wxSize(GetCharWidth() * 12, -1),
                              wxTE_PROCESS_ENTER, validator);
  edit->Bind(wxEVT_TEXT_ENTER, &CGenerateDataDlg::OnAdd, this);
  grid->Add(edit, 0);
  if (unitLabel) {
    // Wide enough for the longest unit whatever is selected now.
    *unitLabel = new wxStaticText(this, id == IDC_CONC_ADDED ? IDC_CONC_UNIT_LABEL : IDC_VOL_UNIT_LABEL, "mM");
    (*unitLabel)->SetMinSize((*unitLabel)->GetBestSize());
    grid->Add(*unitLabel, 0, wxALIGN_CENTER_VERTICAL);
  }
  return edit;
}

wxChoice* CGenerateDataDlg::AddUnitChoice(wxSizer* grid, int id, const wxString& label, const char* (*unitName)(int)) {
  grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
  wxArrayString units;
  for (int i = 0; i < 3; ++i) units.Add(unitName(i));
  auto* choice = new wxChoice(this, id, wxDefaultPosition, wxDefaultSize, units);
  grid->Add(choice, 0, wxEXPAND);
  grid->AddSpacer(0);
  return choice;
}

void CGenerateDataDlg::LoadFromDocument() {
  // A unit index outside the three units (from a file) selects nothing and counts as 1.0.
  auto select = [](wxChoice* choice, int index) {
    choice->SetSelection(index >= 0 && index < static_cast<int>(choice->GetCount()) ? index : wxNOT_FOUND);
  };
  select(m_pVolUnit, m_doc.m_nGenVolUnit);
  select(m_pConcUnit, m_doc.m_nGenConcUnit);
  SetEditTexts(gen_texts_on_open(m_doc));
  UpdateUnitLabels();
  m_lines = gen_list_lines(m_doc);
  ShowEntries();
}

void CGenerateDataDlg::ShowEntries() {
  wxArrayString lines;
  for (const std::string& line : m_lines) lines.Add(wxString::FromUTF8(line));
  m_pEntries->Set(lines);
}

void CGenerateDataDlg::SetEditTexts(const GenerateEditTexts& texts) {
  if (!texts.startVolume.empty()) m_pVolStart->ChangeValue(texts.startVolume);
  if (texts.startCell.empty()) return;  // no such entry
  m_pStartCell->ChangeValue(texts.startCell);
  m_pAdditions->ChangeValue(texts.additions);
  m_pConcAdded->ChangeValue(texts.conc);
  m_pVolAdded->ChangeValue(texts.volume);
}

void CGenerateDataDlg::UpdateUnitLabels() {
  m_pVolUnitLabel->SetLabel(m_pVolUnit->GetStringSelection());
  m_pConcUnitLabel->SetLabel(m_pConcUnit->GetStringSelection());
}

bool CGenerateDataDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  m_request.m_nVolUnit = m_pVolUnit->GetSelection();
  m_request.m_nConcUnit = m_pConcUnit->GetSelection();
  return true;
}

void CGenerateDataDlg::Notify(wxEventType type) {
  wxCommandEvent event(type, GetId());
  event.SetEventObject(this);
  m_pView->ProcessEvent(event);
}

void CGenerateDataDlg::OnAdd(wxCommandEvent&) {
  if (!Validate() || !TransferDataFromWindow()) return;
  if (m_pView) Notify(EVT_GENERATE_DATA_ADD);
}

void CGenerateDataDlg::OnPredict(wxCommandEvent&) {
  if (!Validate() || !TransferDataFromWindow()) return;
  if (m_pView) Notify(EVT_GENERATE_DATA_PREDICT);
}

void CGenerateDataDlg::OnEntrySelected(wxCommandEvent& event) {
  if (event.GetSelection() != wxNOT_FOUND) SetEditTexts(gen_texts_for_entry(m_doc, event.GetSelection()));
}

void CGenerateDataDlg::OnHelp(wxCommandEvent&) { CBindwiseApp::Get().ShowHelp(kHelpContext); }

void CGenerateDataDlg::OnCancel(wxCommandEvent&) { CloseAndRewrite(); }
void CGenerateDataDlg::OnClose(wxCloseEvent&) { CloseAndRewrite(); }

void CGenerateDataDlg::CloseAndRewrite() {
  if (m_bClosing) return;  // Escape and the close box both ask while the window goes
  m_bClosing = true;
  cancel_generate(m_doc);
  if (m_pView) Notify(EVT_GENERATE_DATA_GONE);
  m_pView = nullptr;
  Destroy();
}

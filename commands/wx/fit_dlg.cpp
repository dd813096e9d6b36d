#include "commands/wx/fit_dlg.h"

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/wx/bindwise_app.h"
#include "app/wx/field_validators.h"
#include "commands/auto_start.h"

namespace {

constexpr ErrorRadio kRadioOrder[3] = {ErrorRadio::Percent, ErrorRadio::ConstantSD, ErrorRadio::Jackknife};

wxTextCtrl* number_edit(wxWindow* parent, int id, double* value) {
  return new wxTextCtrl(parent, id, "", wxDefaultPosition,
                        wxSize(parent->GetTextExtent("0000000000").x, -1), 0, CNumberFieldValidator(value));
}

wxBoxSizer* labelled(wxWindow* parent, const char* label, wxWindow* control, const char* unit) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(parent, wxID_ANY, label), 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  row->Add(control, 0, wxALIGN_CENTER_VERTICAL);
  if (unit) row->Add(new wxStaticText(parent, wxID_ANY, unit), 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
  return row;
}

}  // namespace

CFitDlg::CFitDlg(wxWindow* parent, FitSettings& settings, Titration& doc)
    : wxDialog(parent, wxID_ANY, "Fit"),
      m_settings(settings),
      m_doc(doc),
      m_atOpening(settings),
      m_nDocLastModelAtOpening(doc.m_nFitDlgLastModel) {
  SetExtraStyle(GetExtraStyle() | wxWS_EX_VALIDATE_RECURSIVELY);
  BuildControls();
  fit_dialog_open(m_settings, m_doc);
}

void CFitDlg::BuildControls() {
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  auto* left = new wxBoxSizer(wxVERTICAL);

  wxStaticBoxSizer* modelBox = m_model.Create(this, fit_dialog_model_name);
  left->Add(modelBox, 0, wxEXPAND | wxALL, 6);

  auto* paramBox = new wxStaticBoxSizer(wxVERTICAL, this, "Parameters");
  wxWindow* pbox = paramBox->GetStaticBox();
  paramBox->Add(m_area.Create(pbox, m_settings.m_dValue, true), 0, wxEXPAND | wxALL, 4);
  paramBox->Add(labelled(pbox, "Ca conc. start:", number_edit(pbox, kStartCaId, &m_settings.m_dStartCa), "uM"),
                0, wxEXPAND | wxALL, 4);
  m_pDilution = new wxCheckBox(pbox, kDilutionId, "Signal effected by dilution:", wxDefaultPosition,
                               wxDefaultSize, wxALIGN_RIGHT);
  paramBox->Add(m_pDilution, 0, wxALL, 4);
  left->Add(paramBox, 0, wxEXPAND | wxLEFT | wxRIGHT, 6);

  auto* right = new wxBoxSizer(wxVERTICAL);
  auto* search = new wxStaticBoxSizer(wxVERTICAL, this, "Search depth");
  wxWindow* sbox = search->GetStaticBox();
  auto* broad = new wxStaticText(sbox, wxID_ANY,
                                 "Broad search (slow, use if you are very uncertain of yor starting conditions):");
  broad->Wrap(sbox->GetTextExtent("Broad search (slow, use if you are very").x);
  search->Add(broad, 0, wxALL, 4);
  m_pExtensive = new wxCheckBox(sbox, kExtensiveId, "Extensive");
  search->Add(m_pExtensive, 0, wxALL, 4);
  right->Add(search, 0, wxEXPAND | wxALL, 6);

  auto* errors = new wxStaticBoxSizer(wxVERTICAL, this, "Estimate errors");
  wxWindow* ebox = errors->GetStaticBox();
  m_pEstimate = new wxCheckBox(ebox, kEstimateErrorsId, "Estimate errors:", wxDefaultPosition, wxDefaultSize,
                               wxALIGN_RIGHT);
  errors->Add(m_pEstimate, 0, wxALL, 4);
  const char* radioLabels[3] = {"Procentual standard error in measurment:", "Constant standard dev error:",
                                "Jackknife method"};
  for (int i = 0; i < 3; ++i) {
    m_pRadios[i] = new wxRadioButton(ebox, static_cast<int>(kRadioOrder[i]), radioLabels[i], wxDefaultPosition,
                                     wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
    m_pRadios[i]->Bind(wxEVT_RADIOBUTTON, &CFitDlg::OnRadio, this);
  }
  auto radioRow = [&](int i, wxWindow* edit) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(m_pRadios[i], 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    if (edit) row->Add(edit, 0, wxALIGN_CENTER_VERTICAL);
    errors->Add(row, 0, wxEXPAND | wxALL, 4);
  };
  radioRow(0, number_edit(ebox, kPercentErrorId, &m_settings.m_dPercentError));
  radioRow(1, number_edit(ebox, kConstantSDId, &m_settings.m_dConstantSD));
  radioRow(2, nullptr);
  // Independent of the radio choice: the intervals are computed beside either error.
  m_pProfile = new wxCheckBox(ebox, kProfileIntervalsId, "Profile-likelihood intervals");
  errors->Add(m_pProfile, 0, wxALL, 4);
  right->Add(errors, 0, wxEXPAND | wxLEFT | wxRIGHT, 6);

  auto* temperature = new wxStaticBoxSizer(wxVERTICAL, this, "Temperature");
  wxWindow* tbox = temperature->GetStaticBox();
  temperature->Add(labelled(tbox, "Temperature of experiment:",
                            number_edit(tbox, kTemperatureId, &m_settings.m_dTemperature), "C"),
                   0, wxEXPAND | wxALL, 4);
  right->Add(temperature, 0, wxEXPAND | wxALL, 6);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALL, 4);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxALL, 4);
  auto* estimate = new wxButton(this, kEstimateStartId, "Estimate");
  estimate->SetToolTip("Start values of the checked rows from the titration's points");
  buttons->Add(estimate, 0, wxALL, 4);
  auto* help = new wxButton(this, kHelpModelId, "Help model");
  buttons->Add(help, 0, wxALL, 4);
  right->AddStretchSpacer();
  right->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 6);

  top->Add(left, 0, wxEXPAND);
  top->Add(right, 0, wxEXPAND);
  SetSizerAndFit(top);  // sized with all eleven rows shown; hidden rows leave space below

  m_model.Combo()->Bind(wxEVT_CHOICE, &CFitDlg::OnModelChange, this);
  help->Bind(wxEVT_BUTTON, &CFitDlg::OnHelpModel, this);
  estimate->Bind(wxEVT_BUTTON, &CFitDlg::OnEstimate, this);
  SetDefaultItem(FindWindow(wxID_OK));
}

wxRadioButton* CFitDlg::Radio(ErrorRadio radio) const {
  for (int i = 0; i < 3; ++i)
    if (kRadioOrder[i] == radio) return m_pRadios[i];
  return nullptr;
}

void CFitDlg::ShowModelLayout() {
  const int index = m_settings.m_nModelIndex;
  const DialogModelLayout layout = fit_dialog_layout(index);
  m_area.ApplyLayout(layout);
  m_area.SetChecks(m_settings.m_bFitSlot);
  m_model.Show(index, layout.description);
  Layout();
}

void CFitDlg::ShowRadios() {
  if (wxRadioButton* radio = Radio(fit_dialog_checked_radio(m_settings))) radio->SetValue(true);
}

bool CFitDlg::TransferDataToWindow() {
  m_pDilution->SetValue(m_settings.m_bDilution != 0);
  m_pEstimate->SetValue(m_settings.m_bEstimateErrors != 0);
  m_pExtensive->SetValue(m_settings.m_bExtensive != 0);
  m_pProfile->SetValue(m_settings.m_bProfile != 0);
  ShowModelLayout();
  ShowRadios();
  return wxDialog::TransferDataToWindow();
}

bool CFitDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  m_settings.m_nModelIndex = m_model.Combo()->GetSelection();
  m_area.GetChecks(m_settings.m_bFitSlot);
  m_settings.m_bDilution = m_pDilution->GetValue() ? 1 : 0;
  m_settings.m_bEstimateErrors = m_pEstimate->GetValue() ? 1 : 0;
  m_settings.m_bExtensive = m_pExtensive->GetValue() ? 1 : 0;
  m_settings.m_bProfile = m_pProfile->GetValue() ? 1 : 0;
  return true;
}

int CFitDlg::ShowModal() {
  const int result = wxDialog::ShowModal();
  if (result != wxID_OK) {
    m_settings = m_atOpening;
    m_doc.m_nFitDlgLastModel = m_nDocLastModelAtOpening;
  }
  return result;
}

void CFitDlg::SelectModel(int index) {
  // The check boxes carry the user's clicks; the configuration starts from them.
  m_area.GetChecks(m_settings.m_bFitSlot);
  m_settings.m_nModelIndex = index;
  fit_dialog_configure(m_settings, m_doc);
  ShowModelLayout();
}

void CFitDlg::ChooseErrorRadio(ErrorRadio radio) {
  fit_dialog_choose_error_radio(m_settings, radio);
  ShowRadios();
}

void CFitDlg::OnModelChange(wxCommandEvent& event) { SelectModel(event.GetSelection()); }

void CFitDlg::OnRadio(wxCommandEvent& event) { ChooseErrorRadio(static_cast<ErrorRadio>(event.GetId())); }

void CFitDlg::OnHelpModel(wxCommandEvent&) { CBindwiseApp::Get().ShowHelp(kFitHelpContext); }

bool CFitDlg::EstimateStartValues() {
  if (!Validate() || !TransferDataFromWindow()) return false;
  AutoStartOutcome out;
  {
    wxBusyCursor busy;
    out = estimate_start_values(m_doc, m_settings);
  }
  if (!out.ok) {
    wxMessageBox(out.message, "Bindwise", wxOK | wxICON_INFORMATION, this);
    return false;
  }
  TransferDataToWindow();
  return true;
}

void CFitDlg::OnEstimate(wxCommandEvent&) { EstimateStartValues(); }

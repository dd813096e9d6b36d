#include "commands/wx/simulate_dlg.h"

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "commands/auto_start.h"
#include "app/wx/bindwise_app.h"
#include "app/wx/field_validators.h"

CSimulateDlg::CSimulateDlg(wxWindow* parent, SimulateSettings& settings, const Titration* doc)
    : wxDialog(parent, wxID_ANY, "Simulate Data"), m_settings(settings), m_doc(doc), m_atOpening(settings) {
  SetExtraStyle(GetExtraStyle() | wxWS_EX_VALIDATE_RECURSIVELY);
  simulate_dialog_open(m_settings);
  BuildControls();
}

void CSimulateDlg::BuildControls() {
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  auto* left = new wxBoxSizer(wxVERTICAL);

  wxStaticBoxSizer* modelBox = m_model.Create(this, simulate_dialog_model_name);
  left->Add(modelBox, 0, wxEXPAND | wxALL, 6);

  auto* paramBox = new wxStaticBoxSizer(wxVERTICAL, this, "Parameters");
  wxWindow* pbox = paramBox->GetStaticBox();
  paramBox->Add(m_area.Create(pbox, m_settings.m_dValue, false), 0, wxEXPAND | wxALL, 4);
  auto* startRow = new wxBoxSizer(wxHORIZONTAL);
  startRow->Add(new wxStaticText(pbox, wxID_ANY, "Ca start konc:"), 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  startRow->Add(new wxTextCtrl(pbox, kStartCaId, "", wxDefaultPosition,
                               wxSize(pbox->GetTextExtent("0000000000000").x, -1), 0,
                               CNumberFieldValidator(&m_settings.m_dStartCa)),
                0, wxALIGN_CENTER_VERTICAL);
  startRow->Add(new wxStaticText(pbox, wxID_ANY, "uM"), 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
  paramBox->Add(startRow, 0, wxEXPAND | wxALL, 4);
  m_pDilution = new wxCheckBox(pbox, kDilutionId, "Signal effected by dilution:", wxDefaultPosition,
                               wxDefaultSize, wxALIGN_RIGHT);
  paramBox->Add(m_pDilution, 0, wxALL, 4);
  left->Add(paramBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);

  auto* buttons = new wxBoxSizer(wxVERTICAL);
  buttons->Add(new wxButton(this, wxID_OK, "OK"), 0, wxEXPAND | wxALL, 4);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxEXPAND | wxALL, 4);
  auto* copy = new wxButton(this, kCopyToFitId, "Copy to Fit");
  buttons->Add(copy, 0, wxEXPAND | wxALL, 4);
  if (m_doc) {
    auto* estimate = new wxButton(this, kEstimateValuesId, "Estimate");
    estimate->SetToolTip("Values of the rows the fit adjusts, from the titration's points");
    buttons->Add(estimate, 0, wxEXPAND | wxALL, 4);
    estimate->Bind(wxEVT_BUTTON, &CSimulateDlg::OnEstimate, this);
  }
  auto* help = new wxButton(this, kHelpModelId, "Help model");
  buttons->Add(help, 0, wxEXPAND | wxALL, 4);

  top->Add(left, 0, wxEXPAND);
  top->Add(buttons, 0, wxALL, 6);
  SetSizerAndFit(top);

  m_model.Combo()->Bind(wxEVT_CHOICE, &CSimulateDlg::OnModelChange, this);
  copy->Bind(wxEVT_BUTTON, &CSimulateDlg::OnCopyToFit, this);
  help->Bind(wxEVT_BUTTON, &CSimulateDlg::OnHelpModel, this);
  SetDefaultItem(FindWindow(wxID_OK));
}

void CSimulateDlg::ShowModelLayout() {
  const DialogModelLayout layout = simulate_dialog_layout(m_settings.m_nModelIndex);
  m_area.ApplyLayout(layout);
  m_model.Show(m_settings.m_nModelIndex, layout.description);
  Layout();
}

bool CSimulateDlg::TransferDataToWindow() {
  m_pDilution->SetValue(m_settings.m_bDilution != 0);
  ShowModelLayout();
  return wxDialog::TransferDataToWindow();
}

bool CSimulateDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  m_settings.m_nModelIndex = m_model.Combo()->GetSelection();
  m_settings.m_bDilution = m_pDilution->GetValue() ? 1 : 0;
  return true;
}

int CSimulateDlg::ShowModal() {
  const int result = wxDialog::ShowModal();
  if (result != wxID_OK) m_settings = m_atOpening;
  return result;
}

void CSimulateDlg::SelectModel(int index) {
  m_settings.m_nModelIndex = index;
  ShowModelLayout();
}

void CSimulateDlg::OnModelChange(wxCommandEvent& event) { SelectModel(event.GetSelection()); }

// The copy itself happens when the dialog ends with OK and the command runs.
void CSimulateDlg::OnCopyToFit(wxCommandEvent&) { m_settings.m_bCopyToFit = 1; }

void CSimulateDlg::OnHelpModel(wxCommandEvent&) { CBindwiseApp::Get().ShowHelp(kSimulateHelpContext); }

bool CSimulateDlg::EstimateValues() {
  if (!m_doc || !Validate() || !TransferDataFromWindow()) return false;
  AutoStartOutcome out;
  {
    wxBusyCursor busy;
    out = estimate_simulation_values(*m_doc, m_settings);
  }
  if (!out.ok) {
    wxMessageBox(out.message, "Bindwise", wxOK | wxICON_INFORMATION, this);
    return false;
  }
  TransferDataToWindow();
  return true;
}

void CSimulateDlg::OnEstimate(wxCommandEvent&) { EstimateValues(); }

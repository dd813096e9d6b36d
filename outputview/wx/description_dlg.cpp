#include "outputview/wx/description_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

CDescriptionDlg::CDescriptionDlg(wxWindow* parent, const wxString& conditions)
    : wxDialog(parent, wxID_ANY, "Experimental conditions"), m_strConditions(conditions) {
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  // Sized as the dialog always was: about 56 characters by 16 lines of the dialog font.
  const wxSize chars = GetTextExtent("M");
  m_pEdit = new wxTextCtrl(this, kConditionsEditId, "", wxDefaultPosition,
                           wxSize(chars.x * 40, chars.y * 16), wxTE_MULTILINE | wxTE_WORDWRAP);
  top->Add(m_pEdit, 1, wxEXPAND | wxALL, 10);
  auto* buttons = new wxBoxSizer(wxVERTICAL);
  buttons->Add(new wxButton(this, wxID_OK, "OK"), 0, wxEXPAND | wxBOTTOM, 4);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxEXPAND);
  top->Add(buttons, 0, wxTOP | wxRIGHT, 10);
  SetSizerAndFit(top);
  // OK is not the default button: Enter belongs to the text.
  SetDefaultItem(nullptr);
}

bool CDescriptionDlg::TransferDataToWindow() {
  m_pEdit->ChangeValue(m_strConditions);
  m_pEdit->SetFocus();
  return true;
}

bool CDescriptionDlg::TransferDataFromWindow() {
  m_strConditions = m_pEdit->GetValue();
  return true;
}

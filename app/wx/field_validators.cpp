#include "app/wx/field_validators.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include "document/titration.h"
#include "commands/display_values.h"

namespace {

// The validated box, or null when the validator sits on something else.
wxTextCtrl* EditOf(wxValidator* validator) { return wxDynamicCast(validator->GetWindow(), wxTextCtrl); }

std::string Utf8(const wxTextCtrl* edit) { return std::string(edit->GetValue().utf8_str()); }

}  // namespace

bool RejectField(wxWindow* field, const wxString& message) {
  wxMessageBox(message, wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("Bindwise"), wxOK | wxICON_EXCLAMATION,
               wxGetTopLevelParent(field));
  field->SetFocus();
  if (auto* edit = wxDynamicCast(field, wxTextCtrl)) edit->SelectAll();
  return false;
}

wxString CNumberFieldValidator::Format(double value) { return wxString::FromUTF8(c_printf("%.15g", value)); }

bool CNumberFieldValidator::Validate(wxWindow*) {
  auto* edit = EditOf(this);
  if (!edit || !edit->IsShown()) return true;
  double value = 0.0;
  return parse_number_field(Utf8(edit), &value) || RejectField(edit, kMessage);
}

bool CNumberFieldValidator::TransferToWindow() {
  auto* edit = EditOf(this);
  if (!edit || !m_pValue) return false;
  if (m_text == Text::Shown) edit->ChangeValue(Format(*m_pValue));
  return true;
}

bool CNumberFieldValidator::TransferFromWindow() {
  auto* edit = EditOf(this);
  if (!edit || !m_pValue) return false;
  if (parse_number_field(Utf8(edit), m_pValue)) return true;
  return !edit->IsShown();  // a hidden row with a bad text keeps its old value
}

bool CIntFieldValidator::Validate(wxWindow*) {
  auto* edit = EditOf(this);
  if (!edit || !edit->IsShown()) return true;
  int value = 0;
  if (!parse_int_field(Utf8(edit), &value)) return RejectField(edit, kMessage);
  const std::string message = m_check ? m_check(value) : std::string();
  return message.empty() || RejectField(edit, wxString::FromUTF8(message));
}

bool CIntFieldValidator::TransferFromWindow() {
  auto* edit = EditOf(this);
  if (!edit || !m_pValue) return false;
  return parse_int_field(Utf8(edit), m_pValue) || !edit->IsShown();
}

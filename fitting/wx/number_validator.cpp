#include "fitting/wx/number_validator.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include "document/titration.h"
#include "fitting/commands/display_values.h"

wxString CDoubleValidator::Format(double value) {
  // 15 significant digits show what was typed ("0.1", not "0.10000000000000001").
  return wxString::FromUTF8(c_printf("%.15g", value));
}

bool CDoubleValidator::Parse(const wxString& text, double* value) {
  std::string s = text.ToStdString();
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return false;  // empty: not a number
  s = s.substr(first, s.find_last_not_of(" \t") - first + 1);
  bool trailing = false;
  const double v = parse_decimal(s, &trailing);
  if (trailing) return false;  // "1.5x", "1e", "abc"
  *value = v;
  return true;
}

bool CDoubleValidator::Validate(wxWindow* parent) {
  auto* edit = wxDynamicCast(GetWindow(), wxTextCtrl);
  if (!edit || !edit->IsShown()) return true;
  double value = 0.0;
  if (Parse(edit->GetValue(), &value)) return true;
  wxMessageBox(kMessage, wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("Bindwise"),
               wxOK | wxICON_EXCLAMATION, parent);
  edit->SetFocus();
  edit->SelectAll();
  return false;
}

bool CDoubleValidator::TransferToWindow() {
  auto* edit = wxDynamicCast(GetWindow(), wxTextCtrl);
  if (!edit || !m_pValue) return false;
  edit->ChangeValue(Format(*m_pValue));
  return true;
}

bool CDoubleValidator::TransferFromWindow() {
  auto* edit = wxDynamicCast(GetWindow(), wxTextCtrl);
  if (!edit || !m_pValue) return false;
  double value = 0.0;
  if (Parse(edit->GetValue(), &value)) *m_pValue = value;
  return true;  // a hidden row with a bad text keeps its old value
}

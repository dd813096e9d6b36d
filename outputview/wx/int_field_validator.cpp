#include "outputview/wx/int_field_validator.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

bool RejectField(wxWindow* field, const wxString& message) {
  wxMessageBox(message, wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("Bindwise"), wxOK | wxICON_EXCLAMATION,
               wxGetTopLevelParent(field));
  field->SetFocus();
  if (auto* edit = wxDynamicCast(field, wxTextCtrl)) edit->SelectAll();
  return false;
}

bool CIntFieldValidator::Parse(const wxString& text, int* value) {
  const std::string s = text.ToStdString();
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const std::size_t last = s.find_last_not_of(" \t");
  const std::string digits = s.substr(first, last - first + 1);
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(digits.c_str(), &end, 10);
  if (end != digits.c_str() + digits.size() || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  *value = static_cast<int>(v);
  return true;
}

bool CIntFieldValidator::Validate(wxWindow*) {
  auto* edit = wxDynamicCast(GetWindow(), wxTextCtrl);
  if (!edit) return true;
  int value = 0;
  if (!Parse(edit->GetValue(), &value)) return RejectField(edit, kMessage);
  const std::string message = m_check ? m_check(value) : std::string();
  return message.empty() || RejectField(edit, wxString::FromUTF8(message));
}

bool CIntFieldValidator::TransferFromWindow() {
  auto* edit = wxDynamicCast(GetWindow(), wxTextCtrl);
  if (!edit || !m_pValue) return false;
  int value = 0;
  if (!Parse(edit->GetValue(), &value)) return false;
  *m_pValue = value;
  return true;
}

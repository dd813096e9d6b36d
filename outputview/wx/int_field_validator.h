// A validator for an edit box bound to an int with a range check, for the Generate Data and
// Export dialogs. wx's own integer validator accepts silently in 3.2 and then OK does
// nothing; this one shows a message, puts the focus back on the box and keeps the dialog
// open. The range check and its message come from the caller (the core's rules).
//
// TransferToWindow leaves the box alone: the dialogs write their texts in their own formats.
#pragma once

#include <functional>
#include <string>

#include <wx/validate.h>

class CIntFieldValidator : public wxValidator {
 public:
  // check returns the message for a value out of range, or "" when it is acceptable.
  using RangeCheck = std::function<std::string(int)>;

  CIntFieldValidator(int* value, RangeCheck check) : m_pValue(value), m_check(std::move(check)) {}
  CIntFieldValidator(const CIntFieldValidator& other) = default;

  wxObject* Clone() const override { return new CIntFieldValidator(*this); }
  bool Validate(wxWindow* parent) override;
  bool TransferToWindow() override { return true; }
  bool TransferFromWindow() override;

  // True when text is one whole decimal integer, blanks around it allowed; value in *value.
  static bool Parse(const wxString& text, int* value);

  static constexpr const char* kMessage = "Please enter an integer.";

 private:
  int* m_pValue;
  RangeCheck m_check;
};

// Shows a field's message with the application's title, then puts the focus on the field
// with its text selected. Returns false, for use as a validator's answer.
bool RejectField(wxWindow* field, const wxString& message);

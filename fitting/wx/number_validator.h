// A validator for an edit box bound to a double, as the dialogs' number fields need it:
// the text must be a whole decimal number in the C locale ("1.5", "-3e-2"); anything else,
// an empty box included, shows "Please enter a number.", puts the focus back on the box and
// keeps the dialog open. (wx's own numeric validators accept silently and then do nothing
// on OK, which looks like a broken button.) Hidden boxes are not checked: a row the current
// model does not use never blocks OK, and its value stays as it was.
#pragma once

#include <wx/validate.h>

class CDoubleValidator : public wxValidator {
 public:
  explicit CDoubleValidator(double* value) : m_pValue(value) {}
  CDoubleValidator(const CDoubleValidator& other) : wxValidator(other), m_pValue(other.m_pValue) {}

  wxObject* Clone() const override { return new CDoubleValidator(*this); }
  bool Validate(wxWindow* parent) override;
  bool TransferToWindow() override;
  bool TransferFromWindow() override;

  // The text a value is shown with: shortest round-trip form, C locale.
  static wxString Format(double value);
  // True when text is a complete decimal number; its value in *value.
  static bool Parse(const wxString& text, double* value);

  // The message a bad entry shows.
  static constexpr const char* kMessage = "Please enter a number.";

 private:
  double* m_pValue;
};

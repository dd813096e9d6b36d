// Validators for the dialogs' number fields. wx's own numeric validators accept silently
// in 3.2 and then OK does nothing, which looks like a broken button; these show a message,
// put the focus back on the box with its text selected and keep the dialog open. The text
// rules are the core's (parse_number_field, parse_int_field): C locale, whatever the
// user's locale is.
//
// Hidden boxes are not checked: a row the current model does not use never blocks OK, and
// its value stays as it was.
#pragma once

#include <functional>
#include <string>

#include <wx/validate.h>

// Shows a field's message with the application's title, then puts the focus on the field
// with its text selected. Returns false, for use as a validator's answer.
bool RejectField(wxWindow* field, const wxString& message);

// An edit box bound to a double.
class CNumberFieldValidator : public wxValidator {
 public:
  // Who writes the box's text: the validator (shortest round-trip form) or the dialog,
  // in its own format.
  enum class Text { Shown, LeftToDialog };

  explicit CNumberFieldValidator(double* value, Text text = Text::Shown) : m_pValue(value), m_text(text) {}
  CNumberFieldValidator(const CNumberFieldValidator& other) = default;

  wxObject* Clone() const override { return new CNumberFieldValidator(*this); }
  bool Validate(wxWindow* parent) override;
  bool TransferToWindow() override;
  bool TransferFromWindow() override;

  // The text a value is shown with: up to 15 significant digits ("0.1", not
  // "0.10000000000000001"), C locale.
  static wxString Format(double value);

  static constexpr const char* kMessage = "Please enter a number.";

 private:
  double* m_pValue;
  Text m_text;
};

// An edit box bound to an int with a range check. The dialogs write these boxes' texts in
// their own formats, so TransferToWindow leaves the box alone.
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

  static constexpr const char* kMessage = "Please enter an integer.";

 private:
  int* m_pValue;
  RangeCheck m_check;
};

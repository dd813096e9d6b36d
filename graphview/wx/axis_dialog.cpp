#include "graphview/wx/axis_dialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/validate.h>

#include "app/wx/field_validators.h"

namespace {

std::string ToUtf8(const wxString& s) { return std::string(s.utf8_str()); }

// Text with a length limit in characters (not bytes: a caption may hold a "µ").
class LimitedTextValidator : public wxValidator {
 public:
  LimitedTextValidator(std::string* target, int maxChars) : m_target(target), m_maxChars(maxChars) {}
  wxObject* Clone() const override { return new LimitedTextValidator(*this); }

  bool TransferToWindow() override {
    Text()->ChangeValue(wxString::FromUTF8(*m_target));
    return true;
  }
  bool TransferFromWindow() override {
    *m_target = ToUtf8(Text()->GetValue());
    return true;
  }
  bool Validate(wxWindow*) override {
    if (static_cast<int>(Text()->GetValue().length()) <= m_maxChars) return true;
    return RejectField(Text(), wxString::Format("Enter no more than %d characters.", m_maxChars));
  }

 private:
  wxTextCtrl* Text() const { return static_cast<wxTextCtrl*>(GetWindow()); }
  std::string* m_target;
  int m_maxChars;
};

}  // namespace

CAxisDlg::CAxisDlg(wxWindow* parent, const AxisSettings& settings)
    : wxDialog(parent, wxID_ANY, "Axis"), m_settings(settings) {
  auto* grid = new wxFlexGridSizer(2, wxSize(8, 6));
  grid->AddGrowableCol(1);
  // Created in the order the checks run, so the first failing field is the one reported.
  AddTextField(grid, IDC_TITLE, "Title:", &m_settings.title, kMaxTitleLength);
  AddNumberField(grid, IDC_YMAX, "Y-max:", &m_settings.yMax);
  AddNumberField(grid, IDC_YMIN, "Y-min:", &m_settings.yMin);
  AddNumberField(grid, IDC_XMAX, "X-max:", &m_settings.xMax);
  AddNumberField(grid, IDC_XMIN, "X-min:", &m_settings.xMin);
  AddTextField(grid, IDC_YCAPTION, "Y-axis caption:", &m_settings.yCaption, kMaxCaptionLength);
  AddTextField(grid, IDC_XCAPTION, "X-axis caption:", &m_settings.xCaption, kMaxCaptionLength);

  auto* buttons = new wxStdDialogButtonSizer();
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  buttons->AddButton(ok);
  buttons->AddButton(new wxButton(this, wxID_CANCEL, "Cancel"));
  buttons->Realize();

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 10);
  top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(top);
  CentreOnParent();
}

void CAxisDlg::AddTextField(wxSizer* grid, int id, const wxString& label, std::string* target, int maxChars) {
  grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
  auto* text = new wxTextCtrl(this, id, wxEmptyString, wxDefaultPosition, wxSize(320, -1), 0,
                              LimitedTextValidator(target, maxChars));
  grid->Add(text, 1, wxEXPAND);
}

void CAxisDlg::AddNumberField(wxSizer* grid, int id, const wxString& label, double* target) {
  grid->Add(new wxStaticText(this, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(new wxTextCtrl(this, id, wxEmptyString, wxDefaultPosition, wxSize(160, -1), 0, CNumberFieldValidator(target)), 0);
}

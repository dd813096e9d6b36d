#include "fitting/wx/parameter_area.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "fitting/wx/number_validator.h"

wxFlexGridSizer* CParameterArea::Create(wxWindow* parent, double values[kValueRows + 1],
                                        bool withFitChecks) {
  auto* grid = new wxFlexGridSizer(withFitChecks ? 4 : 3, 3, 6);
  grid->AddGrowableCol(0);
  // The widest label ("Chelator concentration:") fixes the column so the dialog does not
  // change its size when the model changes.
  const int labelWidth = parent->GetTextExtent("Chelator concentration:  ").x;
  if (withFitChecks) {
    grid->AddSpacer(0);
    grid->AddSpacer(0);
    grid->AddSpacer(0);
    grid->Add(new wxStaticText(parent, wxID_ANY, "Fit variabel:"), 0, wxALIGN_CENTER);
  }
  for (int row = 1; row <= kValueRows; ++row) {
    m_label[row] = new wxStaticText(parent, kRowLabelIds[row], "", wxDefaultPosition,
                                    wxSize(labelWidth, -1), wxST_NO_AUTORESIZE);
    m_edit[row] = new wxTextCtrl(parent, kValueEditIds[row], "", wxDefaultPosition,
                                 wxSize(parent->GetTextExtent("0000000000000").x, -1), 0,
                                 CDoubleValidator(&values[row]));
    grid->Add(m_label[row], 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_edit[row], 0, wxALIGN_CENTER_VERTICAL);
    if (kUnitLabelIds[row]) {
      m_unit[row] = new wxStaticText(parent, kUnitLabelIds[row], "uM");
      grid->Add(m_unit[row], 0, wxALIGN_CENTER_VERTICAL);
    } else {
      grid->Add(parent->GetTextExtent("uM").x, 1);
    }
    if (withFitChecks) {
      m_check[row] = new wxCheckBox(parent, kFitCheckIds[row], "");
      grid->Add(m_check[row], 0, wxALIGN_CENTER);
    }
  }
  return grid;
}

void CParameterArea::ApplyLayout(const DialogModelLayout& layout) {
  for (int row = 1; row <= kValueRows; ++row) {
    const bool shown = row <= layout.rowsShown;
    m_label[row]->SetLabel(shown ? wxString::FromUTF8(layout.labels[row]) : wxString());
    m_label[row]->Show(shown);
    m_edit[row]->Show(shown);
    if (m_unit[row]) m_unit[row]->Show(shown && layout.uMRow[row]);
    if (m_check[row]) m_check[row]->Show(shown);
  }
}

void CParameterArea::SetChecks(const int flags[kValueRows + 1]) {
  for (int row = 1; row <= kValueRows; ++row)
    if (m_check[row]) m_check[row]->SetValue(flags[row] != 0);
}

void CParameterArea::GetChecks(int flags[kValueRows + 1]) const {
  for (int row = 1; row <= kValueRows; ++row)
    if (m_check[row]) flags[row] = m_check[row]->GetValue() ? 1 : 0;
}

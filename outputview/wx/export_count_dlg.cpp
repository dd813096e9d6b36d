#include "outputview/wx/export_count_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/wx/field_validators.h"
#include "outputview/ascii_export.h"

CExportCountDlg::CExportCountDlg(wxWindow* parent, int count)
    : wxDialog(parent, wxID_ANY, "Export..."), m_nCount(count) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, wxID_ANY, kExportCountLabel), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  const CIntFieldValidator validator(&m_nCount, [](int value) {
    return export_count_valid(value) ? std::string() : export_count_message();
  });
  m_pCount = new wxTextCtrl(this, IDC_COUNT, wxEmptyString, wxDefaultPosition, wxSize(GetCharWidth() * 8, -1),
                            wxTE_PROCESS_ENTER, validator);
  // Enter is OK: GTK's entries do not reach the default button by themselves.
  m_pCount->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) {
    if (Validate() && TransferDataFromWindow()) EndModal(wxID_OK);
  });
  row->Add(m_pCount, 0, wxALIGN_CENTER_VERTICAL);

  auto* buttons = new wxStdDialogButtonSizer();
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  buttons->AddButton(ok);
  buttons->AddButton(new wxButton(this, wxID_CANCEL, "Cancel"));
  buttons->Realize();

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(row, 0, wxALL, 10);
  top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(top);
  CentreOnParent();
}

bool CExportCountDlg::TransferDataToWindow() {
  m_pCount->ChangeValue(wxString::Format("%d", m_nCount));
  m_pCount->SetFocus();
  m_pCount->SelectAll();
  return wxDialog::TransferDataToWindow();
}

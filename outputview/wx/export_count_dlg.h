// CExportCountDlg, "Export...": how many points a curve export samples (20 to 500). A
// count outside the range or not a whole number keeps the dialog open with a message.
#pragma once

#include <wx/dialog.h>

class wxTextCtrl;

class CExportCountDlg : public wxDialog {
 public:
  static constexpr int IDC_COUNT = 1051;

  // count: what the field shows on opening (the last count chosen).
  CExportCountDlg(wxWindow* parent, int count);

  bool TransferDataToWindow() override;

  int m_nCount;  // after OK, the count chosen

 private:
  wxTextCtrl* m_pCount = nullptr;
};

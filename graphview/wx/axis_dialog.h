// CAxisDlg, "Axis": the graph's title, the two axis captions and the four axis limits.
// The view fills it from the document and applies what OK returns (see ApplyAxisSettings).
// A field that fails its check keeps the dialog open with a message and the focus on it.
#pragma once

#include <wx/dialog.h>

#include "graphview/graph_controller.h"

class CAxisDlg : public wxDialog {
 public:
  enum ControlId : int {
    IDC_TITLE = 1007,
    IDC_YCAPTION = 1008,
    IDC_YMAX = 1009,
    IDC_YMIN = 1010,
    IDC_XMAX = 1011,
    IDC_XMIN = 1012,
    IDC_XCAPTION = 1013,
  };

  CAxisDlg(wxWindow* parent, const AxisSettings& settings);

  // The values after OK (or the initial ones).
  const AxisSettings& Settings() const { return m_settings; }

 private:
  void AddTextField(wxSizer* grid, int id, const wxString& label, std::string* target, int maxChars);
  void AddNumberField(wxSizer* grid, int id, const wxString& label, double* target);

  AxisSettings m_settings;
};

// CDescriptionDlg, "Experimental conditions": a free text about the experiment, kept with
// the document and printed at the bottom of the report. Enter starts a new line; OK and
// Cancel are the buttons. The text is exchanged through m_strConditions (line breaks as LF
// while editing; the view converts to and from the document's CR LF).
#pragma once

#include <wx/dialog.h>

class wxTextCtrl;

inline constexpr int kConditionsEditId = 1007;

class CDescriptionDlg : public wxDialog {
 public:
  CDescriptionDlg(wxWindow* parent, const wxString& conditions);

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

  wxString m_strConditions;
  wxTextCtrl* Edit() const { return m_pEdit; }

 private:
  wxTextCtrl* m_pEdit = nullptr;
};

// The fit's "Parameters" dialog: the fitted model, each fitted row with its value and, when
// computed, its 68 % and 95 % profile-likelihood intervals, the strong correlations, every
// warning about rows the data do not fix, and how the fit ended. A fit read from a file shows
// its stored values and says how it ended is not known. It only shows; its one button is OK.
#pragma once

#include <vector>

#include <wx/dialog.h>

class Titration;
class wxStaticText;

class CFitParametersDlg : public wxDialog {
 public:
  CFitParametersDlg(wxWindow* parent, const Titration& doc);

  wxString Title() const;
  std::vector<wxString> Rows() const;
  std::vector<wxString> Warnings() const;
  wxString FitRunText() const;  // the "Fit" group's lines (how the fit ended), one per line

 private:
  wxStaticText* m_pTitle = nullptr;
  std::vector<wxStaticText*> m_rows, m_warnings, m_run;
};

// CParametersDlg, "Parameters": the model and the parameter values a simulated curve was
// drawn with, in display units. It only shows; its one button is OK.
#pragma once

#include <string>
#include <vector>

#include <wx/dialog.h>

class Titration;
struct ParameterLines;
class wxStaticText;

inline constexpr int kParameterLineCount = 12;
// Line 1..12 top to bottom, and the title inside the "Model" group.
inline constexpr int kParameterLineIds[kParameterLineCount + 1] = {0,    1064, 1065, 1066, 1067, 1068, 1069,
                                                                   1070, 1060, 1061, 1062, 1063, 1071};
inline constexpr int kParameterTitleId = 1072;

class CParametersDlg : public wxDialog {
 public:
  // slot: the simulation slot 1..10 whose record is shown.
  CParametersDlg(wxWindow* parent, const Titration& doc, int slot);

  int m_nSlot;

  wxString Title() const;
  wxString Line(int line) const;  // line 1..12; empty when hidden
  bool IsLineShown(int line) const;

 private:
  void Build(const ParameterLines& shown);

  wxStaticText* m_pTitle = nullptr;
  wxStaticText* m_pLines[kParameterLineCount + 1] = {};
};

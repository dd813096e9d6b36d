// CFitDlg, "Fit": the model, its start values and fit flags, the start Ca, the dilution
// switch, the broad search, the error method and the temperature. The settings live in a
// FitSettings the control view keeps for the whole session, so every value is there again
// at the next opening; this window exists only while it is shown. OK keeps what the user
// entered; Cancel leaves the settings (and the document's last model) as they were.
#pragma once

#include <wx/dialog.h>

#include "commands/fit_settings.h"
#include "commands/wx/parameter_area.h"

class wxCheckBox;
class wxRadioButton;

inline constexpr int kEstimateErrorsId = 1072;
inline constexpr int kPercentErrorId = 1073;
inline constexpr int kConstantSDId = 1074;
inline constexpr int kExtensiveId = 1075;
inline constexpr int kTemperatureId = 1076;
inline constexpr int kEstimateStartId = 1077;
inline constexpr int kProfileIntervalsId = 1090;
// Help topic of the Fit dialog's "Help model" button.
inline constexpr int kFitHelpContext = 133073;

class CFitDlg : public wxDialog {
 public:
  // Runs the model configuration of the current model at once (the opening rules).
  CFitDlg(wxWindow* parent, FitSettings& settings, Titration& doc);

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;
  int ShowModal() override;

  // The combo's selection changed to index: the fit-flag defaults and the row layout.
  void SelectModel(int index);
  void ChooseErrorRadio(ErrorRadio radio);
  // "Estimate": start values of the checked rows from the grid's points. False (after
  // saying why) when a field is not a number or nothing could be estimated.
  bool EstimateStartValues();

  CParameterArea& Area() { return m_area; }
  wxChoice* ModelCombo() const { return m_model.Combo(); }
  wxRadioButton* Radio(ErrorRadio radio) const;

 private:
  void BuildControls();
  void ShowModelLayout();
  void ShowRadios();
  void OnModelChange(wxCommandEvent& event);
  void OnRadio(wxCommandEvent& event);
  void OnHelpModel(wxCommandEvent& event);
  void OnEstimate(wxCommandEvent& event);

  FitSettings& m_settings;
  Titration& m_doc;
  FitSettings m_atOpening;
  int m_nDocLastModelAtOpening;
  CParameterArea m_area;
  CModelGroup m_model;
  wxCheckBox* m_pDilution = nullptr;
  wxCheckBox* m_pEstimate = nullptr;
  wxCheckBox* m_pExtensive = nullptr;
  wxCheckBox* m_pProfile = nullptr;
  wxRadioButton* m_pRadios[3] = {};
};

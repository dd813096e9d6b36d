// CSimulateDlg, "Simulate Data": a model and a full set of parameter values for drawing a
// model curve without fitting. Same parameter rows as the Fit dialog without fit flags,
// plus "Copy to Fit", which makes the Simulate command also hand the values to the Fit
// dialog. The settings live in the control view for the whole session; Cancel leaves them
// as they were (an earlier "Copy to Fit" included).
#pragma once

#include <wx/dialog.h>

#include "commands/fit_settings.h"
#include "commands/wx/parameter_area.h"

class wxCheckBox;

inline constexpr int kCopyToFitId = 1044;
inline constexpr int kEstimateValuesId = 1045;
// Help topic of the Simulate dialog's "Help model" button.
inline constexpr int kSimulateHelpContext = 133075;

class CSimulateDlg : public wxDialog {
 public:
  // With a document, the dialog offers "Estimate" (values from its grid's points).
  CSimulateDlg(wxWindow* parent, SimulateSettings& settings, const Titration* doc = nullptr);

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;
  int ShowModal() override;

  void SelectModel(int index);
  bool EstimateValues();

  CParameterArea& Area() { return m_area; }
  wxChoice* ModelCombo() const { return m_model.Combo(); }

 private:
  void BuildControls();
  void ShowModelLayout();
  void OnModelChange(wxCommandEvent& event);
  void OnCopyToFit(wxCommandEvent& event);
  void OnHelpModel(wxCommandEvent& event);
  void OnEstimate(wxCommandEvent& event);

  SimulateSettings& m_settings;
  const Titration* m_doc;
  SimulateSettings m_atOpening;
  CParameterArea m_area;
  CModelGroup m_model;
  wxCheckBox* m_pDilution = nullptr;
};

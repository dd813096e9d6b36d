// The eleven parameter rows shared by the Fit and Simulate dialogs: for each row a label, an
// edit box bound to the dialog's value, an optional "uM" unit label and, in the Fit dialog,
// the fit check box. A model's row layout (fit_settings.h) decides which rows show and
// what their labels read; the values themselves never change with the model.
#pragma once

#include <wx/bitmap.h>

#include "commands/fit_settings.h"

class wxCheckBox;
class wxChoice;
class wxFlexGridSizer;
class wxStaticBitmap;
class wxStaticBoxSizer;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

// Control ids of row 1..11 (index 0 unused), as the dialogs have always numbered them.
inline constexpr int kValueEditIds[kValueRows + 1] = {0, 1007, 1009, 1010, 1011, 1012, 1013,
                                                      1014, 1015, 1016, 1008, 1017};
inline constexpr int kRowLabelIds[kValueRows + 1] = {0, 1024, 1025, 1023, 1027, 1026, 1028,
                                                     7, 1029, 1030, 1048, 1049};
inline constexpr int kFitCheckIds[kValueRows + 1] = {0, 1032, 1033, 1034, 1035, 1036, 1037,
                                                     1038, 1039, 1040, 1044, 1041};
// Rows that can carry a "uM" label, 0 where a row never does.
inline constexpr int kUnitLabelIds[kValueRows + 1] = {0, 0, 0, 1052, 1053, 0, 0,
                                                      1054, 1055, 1056, 0, 1057};
inline constexpr int kModelComboId = 1000;
inline constexpr int kDescriptionId = 1042;
inline constexpr int kPictureId = 1031;
inline constexpr int kStartCaId = 1050;
inline constexpr int kDilutionId = 1043;
inline constexpr int kHelpModelId = 1059;

// The "Model:" group at the top of both dialogs: the model combo, the model's description
// and its picture.
class CModelGroup {
 public:
  // names(i) gives the combo text of model index i (0..9).
  wxStaticBoxSizer* Create(wxWindow* parent, const char* (*names)(int));
  void Show(int modelIndex, const char* description);

  wxChoice* Combo() const { return m_pCombo; }

 private:
  wxChoice* m_pCombo = nullptr;
  wxStaticText* m_pDescription = nullptr;
  wxStaticBitmap* m_pPicture = nullptr;
};

class CParameterArea {
 public:
  // Creates the rows as children of parent; values[1..11] are bound to the edit boxes.
  // With fit checks the grid gets a fourth column headed "Fit variabel:".
  wxFlexGridSizer* Create(wxWindow* parent, double values[kValueRows + 1], bool withFitChecks);

  // Shows the rows of the layout with its labels and unit labels, hides the others and
  // blanks their labels.
  void ApplyLayout(const DialogModelLayout& layout);
  void SetChecks(const int flags[kValueRows + 1]);
  void GetChecks(int flags[kValueRows + 1]) const;

  wxTextCtrl* Edit(int row) const { return m_edit[row]; }
  wxStaticText* Label(int row) const { return m_label[row]; }
  wxCheckBox* Check(int row) const { return m_check[row]; }

 private:
  wxStaticText* m_label[kValueRows + 1] = {};
  wxTextCtrl* m_edit[kValueRows + 1] = {};
  wxStaticText* m_unit[kValueRows + 1] = {};
  wxCheckBox* m_check[kValueRows + 1] = {};
};

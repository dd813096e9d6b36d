#include "commands/wx/parameter_area.h"

#include <algorithm>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/wx/field_validators.h"
#include "fitting/models.h"
#include "commands/wx/model_picture.h"

namespace {

// Width of the widest of texts in window's font.
int widest(wxWindow* window, const std::vector<std::string>& texts) {
  int width = 0;
  for (const std::string& text : texts) width = std::max(width, window->GetTextExtent(wxString::FromUTF8(text)).x);
  return width;
}

std::vector<std::string> model_descriptions() {
  std::vector<std::string> texts;
  for (int model = 1; model <= kModelCount; ++model) {
    texts.push_back(model_info(model).description);
    texts.push_back(model_info(model).simulateDescription);
  }
  return texts;
}

std::vector<std::string> row_labels() {
  std::vector<std::string> texts;
  for (int model = 1; model <= kModelCount; ++model) {
    const ModelInfo& m = model_info(model);
    for (int row = 1; row <= m.DialogRows(); ++row) {
      texts.push_back(std::string(m.slot[row].dialogLabel) + "  ");
      texts.push_back(std::string(m.slot[row].simulateLabel) + "  ");
    }
  }
  return texts;
}

}  // namespace

wxStaticBoxSizer* CModelGroup::Create(wxWindow* parent, const char* (*names)(int)) {
  auto* group = new wxStaticBoxSizer(wxHORIZONTAL, parent, "Model:");
  wxWindow* box = group->GetStaticBox();
  m_pCombo = new wxChoice(box, kModelComboId);
  for (int i = 0; i < kModelCount; ++i) m_pCombo->Append(wxString::FromUTF8(names(i)));
  // As wide as the longest description, so a model change never resizes the dialog.
  const int width = widest(box, model_descriptions());
  m_pDescription = new wxStaticText(box, kDescriptionId, "", wxDefaultPosition, wxSize(width, -1),
                                    wxST_NO_AUTORESIZE);
  m_pPicture = new wxStaticBitmap(box, kPictureId, ModelPicture(1));
  auto* text = new wxBoxSizer(wxVERTICAL);
  text->Add(m_pCombo, 0, wxEXPAND | wxBOTTOM, 6);
  text->Add(m_pDescription, 0, wxEXPAND);
  group->Add(text, 1, wxALIGN_CENTER_VERTICAL | wxALL, 4);
  group->Add(m_pPicture, 0, wxALL, 4);
  return group;
}

void CModelGroup::Show(int modelIndex, const char* description) {
  if (m_pCombo->GetSelection() != modelIndex) m_pCombo->SetSelection(modelIndex);
  m_pDescription->SetLabel(wxString::FromUTF8(description));
  m_pPicture->SetBitmap(ModelPicture(modelIndex + 1));
}

wxFlexGridSizer* CParameterArea::Create(wxWindow* parent, double values[kValueRows + 1],
                                        bool withFitChecks) {
  auto* grid = new wxFlexGridSizer(withFitChecks ? 4 : 3, 3, 6);
  grid->AddGrowableCol(0);
  // The widest label of any model fixes the column so the dialog does not change its size
  // when the model changes.
  const int labelWidth = widest(parent, row_labels());
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
                                 CNumberFieldValidator(&values[row]));
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

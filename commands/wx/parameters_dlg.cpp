#include "commands/wx/parameters_dlg.h"

#include <algorithm>
#include <string>

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "document/titration.h"
#include "commands/display_values.h"
#include "fitting/model_registry.h"

namespace {

// The widest line any model can show, with a wide value in it.
int widest_line(wxWindow* window) {
  int width = 0;
  for (int model = 1; model <= kModelCount; ++model) {
    const ModelInfo& m = model_info(model);
    for (int row = 1; row <= m.DialogRows(); ++row) {
      std::string line = std::string(m.slot[row].parameterLabel) + "  -0000.00000";
      if (*slot_unit(m.slot[row].kind)) line += std::string(" ") + slot_unit(m.slot[row].kind);
      width = std::max(width, window->GetTextExtent(wxString::FromUTF8(line)).x);
    }
  }
  return width;
}

}  // namespace

CParametersDlg::CParametersDlg(wxWindow* parent, const Titration& doc, int slot)
    : wxDialog(parent, wxID_ANY, "Parameters"), m_nSlot(slot) {
  ParameterLines shown;
  if (slot >= 1 && slot <= Titration::kMaxSims) shown = simulation_parameter_lines(doc.m_sims[slot - 1]);
  Build(shown);
}

void CParametersDlg::Build(const ParameterLines& shown) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* modelBox = new wxStaticBoxSizer(wxVERTICAL, this, "Model");
  m_pTitle = new wxStaticText(modelBox->GetStaticBox(), kParameterTitleId, wxString::FromUTF8(shown.title));
  modelBox->Add(m_pTitle, 0, wxALL, 4);
  top->Add(modelBox, 0, wxEXPAND | wxALL, 8);

  auto* paramBox = new wxStaticBoxSizer(wxVERTICAL, this, "Parameters");
  wxWindow* pbox = paramBox->GetStaticBox();
  // Sized for the longest line any model shows, so every model gets the same dialog.
  const int width = widest_line(pbox);
  for (int line = 1; line <= kParameterLineCount; ++line) {
    const bool used = line <= static_cast<int>(shown.lines.size());
    m_pLines[line] = new wxStaticText(pbox, kParameterLineIds[line],
                                      used ? wxString::FromUTF8(shown.lines[line - 1]) : wxString(),
                                      wxDefaultPosition, wxSize(width, -1));
    paramBox->Add(m_pLines[line], 0, wxALL, 3);
  }
  top->Add(paramBox, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
  top->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALIGN_CENTER | wxALL, 8);
  SetSizerAndFit(top);
  for (int line = static_cast<int>(shown.lines.size()) + 1; line <= kParameterLineCount; ++line)
    m_pLines[line]->Hide();
  Layout();
  SetEscapeId(wxID_OK);
}

wxString CParametersDlg::Title() const { return m_pTitle->GetLabel(); }

wxString CParametersDlg::Line(int line) const {
  return IsLineShown(line) ? m_pLines[line]->GetLabel() : wxString();
}

bool CParametersDlg::IsLineShown(int line) const {
  return line >= 1 && line <= kParameterLineCount && m_pLines[line]->IsShown();
}

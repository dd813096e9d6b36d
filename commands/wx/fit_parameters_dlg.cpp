#include "commands/wx/fit_parameters_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "commands/identifiability.h"
#include "document/titration.h"

namespace {

// A labelled group of one static text per line (a line "None" when there are none).
std::vector<wxStaticText*> add_group(wxWindow* parent, wxSizer* top, const char* caption,
                                     const std::vector<std::string>& lines, int wrapWidth) {
  auto* box = new wxStaticBoxSizer(wxVERTICAL, parent, caption);
  std::vector<wxStaticText*> texts;
  for (const std::string& line : lines) {
    auto* text = new wxStaticText(box->GetStaticBox(), wxID_ANY, wxString::FromUTF8(line));
    text->Wrap(wrapWidth);
    box->Add(text, 0, wxALL, 3);
    texts.push_back(text);
  }
  if (lines.empty()) box->Add(new wxStaticText(box->GetStaticBox(), wxID_ANY, "None"), 0, wxALL, 3);
  top->Add(box, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);
  return texts;
}

}  // namespace

CFitParametersDlg::CFitParametersDlg(wxWindow* parent, const Titration& doc)
    : wxDialog(parent, wxID_ANY, "Parameters") {
  const FitReviewLines shown = fit_review_lines(doc);
  const int wrap = GetTextExtent("Chelator concentration:  0.00000 (0.00000-0.00000);  95 %: 0.0000-0.00000 uM").x;
  auto* top = new wxBoxSizer(wxVERTICAL);
  auto* modelBox = new wxStaticBoxSizer(wxVERTICAL, this, "Model");
  m_pTitle = new wxStaticText(modelBox->GetStaticBox(), wxID_ANY,
                              wxString::FromUTF8(shown.title.empty() ? "No fit" : shown.title));
  modelBox->Add(m_pTitle, 0, wxALL, 4);
  top->Add(modelBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);
  const FitDiagnostics& d = doc.m_fitDiagnostics;
  const char* rowsCaption = !d.valid        ? "Parameters"
                            : d.haveProfile ? "Fitted rows with 68 % and 95 % profile intervals"
                                            : "Fitted rows";
  m_rows = add_group(this, top, rowsCaption, shown.rows, wrap);
  // A fit read from a file was not reviewed: no empty groups claiming there is nothing to say.
  if (d.valid) {
    add_group(this, top, "Correlations above 0.9", shown.correlations, wrap);
    m_warnings = add_group(this, top, "Warnings", shown.warnings, wrap);
  }
  m_run = add_group(this, top, "Fit", shown.run, wrap);
  top->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALIGN_CENTER | wxALL, 8);
  SetSizerAndFit(top);
  SetEscapeId(wxID_OK);
}

wxString CFitParametersDlg::Title() const { return m_pTitle->GetLabel(); }

std::vector<wxString> CFitParametersDlg::Rows() const {
  std::vector<wxString> out;
  for (const wxStaticText* t : m_rows) out.push_back(t->GetLabel());
  return out;
}

wxString CFitParametersDlg::FitRunText() const {
  wxString text;
  for (const wxStaticText* t : m_run) text += (text.empty() ? "" : "\n") + t->GetLabel();
  return text;
}

std::vector<wxString> CFitParametersDlg::Warnings() const {
  std::vector<wxString> out;
  for (const wxStaticText* t : m_warnings) out.push_back(t->GetLabel());
  return out;
}

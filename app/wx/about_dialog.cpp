#include "app/wx/about_dialog.h"

#include <wx/button.h>
#include <wx/animate.h>
#include <wx/generic/animate.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "app/wx/resource_path.h"

CAboutDlg::CAboutDlg(wxWindow* parent) : wxDialog(parent, wxID_ANY, "About Bindwise") {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  // The native GTK control reports no frames for a GIF; the generic one plays it.
  const wxString path = FindResourceFile("about.gif");
  wxAnimation animation(wxGenericAnimationCtrl::CreateCompatibleAnimation());
  if (!path.empty() && animation.LoadFile(path)) {
    m_animate = new wxGenericAnimationCtrl(this, kAnimationId, animation, wxDefaultPosition,
                                           wxSize(65, 56), wxAC_DEFAULT_STYLE | wxAC_NO_AUTORESIZE);
    m_animate->SetUseWindowBackgroundColour(true);
    row->Add(m_animate, 0, wxALL, 10);
  } else {
    row->AddSpacer(85);
  }
  auto* texts = new wxBoxSizer(wxVERTICAL);
  texts->Add(new wxStaticText(this, wxID_ANY, "Bindwise Version 1.04"), 0, wxBOTTOM, 12);
  texts->Add(new wxStaticText(this, wxID_ANY, "Calcium binding to proteins"), 0);
  row->Add(texts, 1, wxTOP | wxBOTTOM | wxRIGHT, 12);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  row->Add(ok, 0, wxALL, 10);
  SetSizerAndFit(row);
  CentreOnParent();
  // Loops from the first to the last frame until the box closes.
  if (m_animate) m_animate->Play(true);
}

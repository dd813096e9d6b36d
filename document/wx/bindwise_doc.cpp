#include "document/wx/bindwise_doc.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "app/wx/pane_view.h"
#include "document/bwd_file.h"
#include "document/document_title.h"
#include "document/save_check.h"

wxIMPLEMENT_DYNAMIC_CLASS(BindwiseDoc, wxDocument);

bool BindwiseDoc::OnCreate(const wxString&, long) { return true; }

bool BindwiseDoc::OnNewDocument() {
  if (!wxDocument::OnNewDocument()) return false;
  ResetForNew();
  Modify(false);
  return true;
}

wxString BindwiseDoc::GetUserReadableName() const {
  return wxString::FromUTF8(DocumentDisplayName(std::string(SavedPath().utf8_str())));
}

void BindwiseDoc::NotifyInitialUpdate() {
  for (wxList::compatibility_iterator node = GetViews().GetFirst(); node; node = node->GetNext())
    if (auto* view = dynamic_cast<CPaneView*>(static_cast<wxView*>(node->GetData()))) view->OnInitialUpdate();
  // New and Open change the name after the framework told the views, so the caption is
  // brought up to date here.
  if (wxView* first = GetFirstView()) first->OnChangeFilename();
}

namespace {

void ShowFileError(const std::string& message) {
  wxMessageBox(wxString::FromUTF8(message), "Bindwise", wxOK | wxICON_EXCLAMATION, wxTheApp->GetTopWindow());
}

}  // namespace

bool BindwiseDoc::DoOpenDocument(const wxString& file) {
  // The reader parses into a separate document; this one changes only on success.
  const BwdStatus status = LoadBwdFile(std::string(file.fn_str()), *this);
  if (!status.ok) {
    ShowFileError(status.message);
    return false;
  }
  Modify(false);
  return true;
}

bool BindwiseDoc::ConfirmSave() {
  wxWindow* parent = wxTheApp->GetTopWindow();
  FitVisibility* fitView = nullptr;
  for (wxList::compatibility_iterator node = GetViews().GetFirst(); node && !fitView; node = node->GetNext())
    fitView = dynamic_cast<FitVisibility*>(static_cast<wxView*>(node->GetData()));
  if (fitView && fitView->HidesFit()) {
    wxMessageDialog ask(parent, kHiddenFitQuestion, "Bindwise", wxYES_NO | wxCANCEL | wxICON_QUESTION);
    ask.SetYesNoCancelLabels("Save", "Show fit and save", "Cancel");
    const int answer = ask.ShowModal();
    if (answer == wxID_CANCEL) return false;
    if (answer == wxID_NO) fitView->ShowHiddenFit();
  }
  const std::vector<std::string> lost = chars_outside_code_page(*this);
  if (!lost.empty()) {
    wxMessageDialog ask(parent, wxString::FromUTF8(code_page_question(lost)), "Bindwise",
                        wxYES_NO | wxICON_WARNING);
    ask.SetYesNoLabels("Save", "Cancel");
    if (ask.ShowModal() != wxID_YES) return false;
  }
  return true;
}

bool BindwiseDoc::DoSaveDocument(const wxString& file) {
  if (!ConfirmSave()) return false;
  const BwdStatus status = SaveBwdFile(std::string(file.fn_str()), *this);
  if (!status.ok) ShowFileError(status.message);
  return status.ok;
}

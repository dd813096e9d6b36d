#include "document/wx/bindwise_doc.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "app/wx/pane_view.h"
#include "document/bwd_file.h"
#include "document/document_title.h"

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

bool BindwiseDoc::DoSaveDocument(const wxString& file) {
  const BwdStatus status = SaveBwdFile(std::string(file.fn_str()), *this);
  if (!status.ok) ShowFileError(status.message);
  return status.ok;
}

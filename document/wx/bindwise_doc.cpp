#include "document/wx/bindwise_doc.h"

#include <wx/app.h>
#include <wx/cmdproc.h>
#include <wx/msgdlg.h>

#include "app/wx/pane_view.h"
#include "document/bwd_file.h"
#include "document/document_title.h"
#include "document/save_check.h"
#include "document/titration_edit.h"

wxIMPLEMENT_DYNAMIC_CLASS(BindwiseDoc, wxDocument);

namespace {

// One undoable action as a wx command. It is stored after the action already ran, so its
// first Do never comes; Do is the redo.
class TitrationCommand : public wxCommand {
 public:
  TitrationCommand(BindwiseDoc& doc, UndoStep step)
      : wxCommand(true, wxString::FromUTF8(step.Name())), m_doc(doc), m_step(std::move(step)), m_nId(++s_nLastId) {}

  bool Do() override {
    m_step.Redo(m_doc);
    return true;
  }
  bool Undo() override {
    m_step.Undo(m_doc);
    return true;
  }

  UndoStep& Step() { return m_step; }
  long Id() const { return m_nId; }

 private:
  BindwiseDoc& m_doc;
  UndoStep m_step;
  long m_nId;
  static inline long s_nLastId = 0;
};

class TitrationCommandProcessor : public wxCommandProcessor {
 public:
  explicit TitrationCommandProcessor(BindwiseDoc& doc) : wxCommandProcessor(BindwiseDoc::kMaxUndoSteps), m_doc(doc) {}

  bool Undo() override { return Moved(wxCommandProcessor::Undo()); }
  bool Redo() override { return Moved(wxCommandProcessor::Redo()); }

 private:
  bool Moved(bool moved) {
    if (moved) m_doc.OnHistoryMoved();
    return moved;
  }
  BindwiseDoc& m_doc;
};

void ShowFileError(const std::string& message) {
  wxMessageBox(wxString::FromUTF8(message), "Bindwise", wxOK | wxICON_EXCLAMATION, wxTheApp->GetTopWindow());
}

}  // namespace

bool BindwiseDoc::OnCreate(const wxString&, long) { return true; }

wxCommandProcessor* BindwiseDoc::OnCreateCommandProcessor() { return new TitrationCommandProcessor(*this); }

bool BindwiseDoc::OnNewDocument() {
  if (!wxDocument::OnNewDocument()) return false;
  ResetForNew();
  ForgetHistory();
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

long BindwiseDoc::CurrentStepId() const {
  const wxCommandProcessor* history = GetCommandProcessor();
  const auto* current = history ? dynamic_cast<const TitrationCommand*>(history->GetCurrentCommand()) : nullptr;
  return current ? current->Id() : 0;
}

void BindwiseDoc::Modify(bool modified) {
  if (modified) {
    m_bUnrecordedChange = true;
  } else {
    m_nSavedStep = CurrentStepId();
    m_bUnrecordedChange = false;
    m_bMergeOpen = false;
  }
  wxDocument::Modify(modified);
}

void BindwiseDoc::FollowHistory() { wxDocument::Modify(m_bUnrecordedChange || CurrentStepId() != m_nSavedStep); }

void BindwiseDoc::ForgetHistory() {
  if (wxCommandProcessor* history = GetCommandProcessor()) {
    history->ClearCommands();
    history->SetMenuStrings();
  }
  m_nSavedStep = 0;
  m_bMergeOpen = false;
}

void BindwiseDoc::RecordStep(const EditRecord& record) {
  wxCommandProcessor* history = GetCommandProcessor();
  if (!history || !record.before) {
    m_bUnrecordedChange = true;
    return;
  }
  const wxList& steps = history->GetCommands();
  auto* current = dynamic_cast<TitrationCommand*>(history->GetCurrentCommand());
  const bool atEnd = current && steps.GetLast() && steps.GetLast()->GetData() == current;
  if (m_bMergeOpen && atEnd && current->Step().Absorb(record, *this)) return;
  // The oldest step is about to be dropped: the state before it, if it was the saved one,
  // can no longer be reached by undoing.
  if (static_cast<int>(steps.GetCount()) >= kMaxUndoSteps && m_nSavedStep == 0) m_nSavedStep = -1;
  history->Store(new TitrationCommand(*this, UndoStep(record, *this)));
  m_bMergeOpen = record.mergeKey != 0;
}

void BindwiseDoc::OnEdited(const EditRecord& record) {
  if (record.kind == EditKind::View) {
    UpdateAllViews();
    return;
  }
  if (IsUndoable(record.kind))
    RecordStep(record);
  else
    m_bUnrecordedChange = true;
  FollowHistory();
  UpdateAllViews();
}

void BindwiseDoc::OnHistoryMoved() {
  m_bMergeOpen = false;
  FollowHistory();
  HistoryMoveHint hint;
  UpdateAllViews(nullptr, &hint);
}

bool BindwiseDoc::DoOpenDocument(const wxString& file) {
  // The reader parses into a separate document; this one changes only on success.
  const BwdStatus status = LoadBwdFile(std::string(file.fn_str()), *this);
  if (!status.ok) {
    ShowFileError(status.message);
    return false;
  }
  ForgetHistory();
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

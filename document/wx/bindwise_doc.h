// BindwiseDoc: the one document of the desktop program, the titration experiment
// (Titration, whose members views read directly: doc->m_cells[r][c]) joined to the wx
// document framework for New, Open, Save, the modified flag, undo and view updates.
//
// The document is created once at start-up and reused: New resets it in place, Open reads
// the file into a fresh experiment and replaces this one only when the whole file was
// read. Views: the frame attaches them in the order grid, graph, control panel.
//
// Changes: the core reports each finished user action once (Titration::OnEdited). Undoable
// actions become commands of the document's command processor (Edit > Undo / Redo); every
// action updates all views. The modified flag follows the undo history: undoing back to the
// state last saved or opened clears it, unless a change that cannot be undone (the axes)
// happened since.
#pragma once

#include <wx/docview.h>

#include "document/titration.h"

// A view that can hide the fit (the graph pane) tells the document so: a save asks before
// it leaves a hidden fit out, and can show it again.
class FitVisibility {
 public:
  virtual ~FitVisibility() = default;
  virtual bool HidesFit() const = 0;
  virtual void ShowHiddenFit() = 0;
};

class UndoStep;

// The hint UpdateAllViews carries: an undo or redo replaced data the views may have cached.
class HistoryMoveHint : public wxObject {};

class BindwiseDoc : public wxDocument, public Titration {
 public:
  static constexpr int kMaxUndoSteps = 100;

  BindwiseDoc() = default;

  // Resets every member a New resets, clears the file name, the history and the modified flag.
  bool OnNewDocument() override;
  // The frame creates the views itself; the template creates none.
  bool OnCreate(const wxString& path, long flags) override;
  wxCommandProcessor* OnCreateCommandProcessor() override;

  // What the save prompt and the caption call the document: its file's name, or
  // "Untitled" (the framework's own name would be "unnamed1" even after an Open).
  wxString GetUserReadableName() const override;
  // The file the document was read from or saved to; empty for one never saved (whose
  // framework file name is a made-up "unnamed1").
  wxString SavedPath() const { return GetDocumentSaved() ? GetFilename() : wxString(); }

  void OnEdited(const EditRecord& record) override;
  bool IsModifiedCore() const override { return IsModified(); }
  // Modify(false) marks the current place in the history as the saved state.
  void Modify(bool modified) override;

  // Tells every pane that the document's contents were replaced (New, Open, start-up).
  void NotifyInitialUpdate();

  // Asks about what the save would lose (a hidden fit, characters outside the file's code
  // page); false when the user cancels.
  bool ConfirmSave();

  // Called by the command processor after an undo or redo moved through the history.
  void OnHistoryMoved();

 protected:
  // A file that cannot be read shows the reader's message and leaves the document as it
  // was; a failed save shows the reason and leaves the old file intact.
  bool DoOpenDocument(const wxString& file) override;
  bool DoSaveDocument(const wxString& file) override;

 private:
  void RecordStep(const EditRecord& record);
  void ForgetHistory();
  void FollowHistory();
  long CurrentStepId() const;

  long m_nSavedStep = 0;            // id of the step current when last saved; 0 before any
  bool m_bUnrecordedChange = false;  // a change no step covers happened since then
  bool m_bMergeOpen = false;         // the last step may still absorb typing in its cell

  wxDECLARE_DYNAMIC_CLASS(BindwiseDoc);
};

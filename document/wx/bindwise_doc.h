// BindwiseDoc: the one document of the desktop program, the titration experiment
// (Titration, whose members views read directly: doc->m_cells[r][c]) joined to the wx
// document framework for New, Open, Save, the modified flag and view updates.
//
// The document is created once at start-up and reused: New resets it in place, Open reads
// the file into a fresh experiment and replaces this one only when the whole file was
// read. Views: the frame attaches them in the order grid, graph, control panel.
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

class BindwiseDoc : public wxDocument, public Titration {
 public:
  BindwiseDoc() = default;

  // Resets every member a New resets, clears the file name and the modified flag.
  bool OnNewDocument() override;
  // The frame creates the views itself; the template creates none.
  bool OnCreate(const wxString& path, long flags) override;

  // What the save prompt and the caption call the document: its file's name, or
  // "Untitled" (the framework's own name would be "unnamed1" even after an Open).
  wxString GetUserReadableName() const override;
  // The file the document was read from or saved to; empty for one never saved (whose
  // framework file name is a made-up "unnamed1").
  wxString SavedPath() const { return GetDocumentSaved() ? GetFilename() : wxString(); }

  // The core marks the document modified through these.
  void SetModifiedFlag(bool modified = true) override { Modify(modified); }
  bool IsModifiedCore() const override { return IsModified(); }

  // Tells every pane that the document's contents were replaced (New, Open, start-up).
  void NotifyInitialUpdate();

  // Asks about what the save would lose (a hidden fit, characters outside the file's code
  // page); false when the user cancels.
  bool ConfirmSave();

 protected:
  // A file that cannot be read shows the reader's message and leaves the document as it
  // was; a failed save shows the reason and leaves the old file intact.
  bool DoOpenDocument(const wxString& file) override;
  bool DoSaveDocument(const wxString& file) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(BindwiseDoc);
};

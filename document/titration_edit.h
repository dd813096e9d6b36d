// User actions on the experiment as units: each action runs inside one TitrationEdit, the
// document's owner hears of it once when it ends (Titration::OnEdited), and an UndoStep
// holds the experiment before and after it so the action can be undone and redone without a
// window. The wx document wraps UndoSteps in commands of its command processor.
#pragma once

#include <memory>
#include <string>

#include "document/titration.h"

// Opens an edit for the lifetime of the object. Edits nest: only the outermost one reports,
// with its own kind and name. Grid edits report only when a cell text or the Generate Data
// plan really differs at the end; the others when MarkChanged ran inside them.
class TitrationEdit {
 public:
  TitrationEdit(Titration& doc, EditKind kind, std::string name, int mergeKey = 0);
  ~TitrationEdit();
  TitrationEdit(const TitrationEdit&) = delete;
  TitrationEdit& operator=(const TitrationEdit&) = delete;

 private:
  friend class Titration;
  void Note() { m_bChanged = true; }
  bool Changed() const;

  Titration& m_doc;
  EditRecord m_record;
  bool m_bOutermost = false;
  bool m_bChanged = false;
};

// Merge key of typing into one cell: keystrokes in the same cell are one undo step.
int CellMergeKey(int row, int col);

// A copy of the experiment for an undo record (no open edit, same plot-list pointer).
std::shared_ptr<const Titration> SnapshotOf(const Titration& doc);

// Puts back what an edit of `kind` changes, from `state`: Grid restores the cell texts and
// the Generate Data plan; Experiment everything but the cursor, the axes (fixed flag, limits,
// title, captions) and a drag in progress. The cursor keeps its cell and stops editing.
void RestoreEdited(Titration& doc, const Titration& state, EditKind kind);

// One undoable action: the experiment before and after it.
class UndoStep {
 public:
  UndoStep(const EditRecord& record, const Titration& after);

  void Undo(Titration& doc) const { RestoreEdited(doc, *m_before, m_kind); }
  void Redo(Titration& doc) const { RestoreEdited(doc, *m_after, m_kind); }
  // Folds a following action into this step when both have this kind and the same non-zero
  // merge key; the step then ends where that action ended.
  bool Absorb(const EditRecord& record, const Titration& after);

  const std::string& Name() const { return m_name; }
  EditKind Kind() const { return m_kind; }

 private:
  EditKind m_kind;
  std::string m_name;
  int m_nMergeKey;
  std::shared_ptr<const Titration> m_before, m_after;
};

// True when an edit of `kind` has something to record (Grid, Experiment).
inline bool IsUndoable(EditKind kind) { return kind == EditKind::Grid || kind == EditKind::Experiment; }

#include "document/titration_edit.h"

#include <algorithm>
#include <utility>

namespace {

bool SamePlan(const Titration& a, const Titration& b) {
  if (a.m_nGenSteps != b.m_nGenSteps) return false;
  const int n = std::clamp(a.m_nGenSteps, 0, Titration::kMaxGenSteps);
  for (int i = 1; i <= n; ++i) {
    const GenStep& x = a.m_genSteps[i];
    const GenStep& y = b.m_genSteps[i];
    if (x.m_nStart != y.m_nStart || x.m_nAdditions != y.m_nAdditions || x.m_dVolume != y.m_dVolume ||
        x.m_dConc != y.m_dConc)
      return false;
  }
  return true;
}

bool SameGrid(const Titration& a, const Titration& b) {
  for (int r = 0; r < Titration::kRows; ++r)
    for (int c = 0; c < Titration::kCols; ++c)
      if (a.m_cells[r][c].Text() != b.m_cells[r][c].Text()) return false;
  return SamePlan(a, b);
}

void RestoreGrid(Titration& doc, const Titration& state) {
  for (int r = 0; r < Titration::kRows; ++r)
    for (int c = 0; c < Titration::kCols; ++c) doc.m_cells[r][c] = state.m_cells[r][c];
  doc.m_nGenStart = state.m_nGenStart;
  doc.m_nGenCount = state.m_nGenCount;
  doc.m_nGenEnd = state.m_nGenEnd;
  doc.m_dGenConcAdded = state.m_dGenConcAdded;
  doc.m_dGenVolAdded = state.m_dGenVolAdded;
  doc.m_dGenStartVolume = state.m_dGenStartVolume;
  doc.m_nGenSteps = state.m_nGenSteps;
  doc.m_nGenVolUnit = state.m_nGenVolUnit;
  doc.m_nGenConcUnit = state.m_nGenConcUnit;
  std::copy(std::begin(state.m_genSteps), std::end(state.m_genSteps), std::begin(doc.m_genSteps));
}

void RestoreExperiment(Titration& doc, const Titration& state) {
  Titration next(state);
  // The axes belong to the view of the data, which undoing a data change leaves alone.
  next.m_cursor = doc.m_cursor;
  next.m_bGraphDrag = doc.m_bGraphDrag;
  next.m_bAxisFixed = doc.m_bAxisFixed;
  next.m_dXMin = doc.m_dXMin;
  next.m_dXMax = doc.m_dXMax;
  next.m_dYMin = doc.m_dYMin;
  next.m_dYMax = doc.m_dYMax;
  next.m_strTitle = doc.m_strTitle;
  next.m_strXCaption = doc.m_strXCaption;
  next.m_strYCaption = doc.m_strYCaption;
  next.m_nFitDlgLastModel = doc.m_nFitDlgLastModel;
  doc.AssignExperiment(next);
}

}  // namespace

TitrationEdit::TitrationEdit(Titration& doc, EditKind kind, std::string name, int mergeKey) : m_doc(doc) {
  if (doc.m_pOpenEdit) return;
  m_bOutermost = true;
  doc.m_pOpenEdit = this;
  m_record.kind = kind;
  m_record.name = std::move(name);
  m_record.mergeKey = mergeKey;
  if (IsUndoable(kind)) m_record.before = SnapshotOf(doc);
}

bool TitrationEdit::Changed() const {
  if (m_record.kind == EditKind::Grid) return !SameGrid(*m_record.before, m_doc);
  return m_bChanged;
}

TitrationEdit::~TitrationEdit() {
  if (!m_bOutermost) return;
  m_doc.m_pOpenEdit = nullptr;
  if (Changed()) m_doc.OnEdited(m_record);
}

void Titration::MarkChanged() {
  if (m_pOpenEdit) {
    m_pOpenEdit->Note();
    return;
  }
  EditRecord record;
  record.kind = EditKind::Settings;
  record.name = "Change";
  OnEdited(record);
}

int CellMergeKey(int row, int col) { return 1 + row * Titration::kCols + col; }

std::shared_ptr<const Titration> SnapshotOf(const Titration& doc) {
  auto copy = std::make_shared<Titration>(doc);
  copy->m_pOpenEdit = nullptr;
  return copy;
}

void RestoreEdited(Titration& doc, const Titration& state, EditKind kind) {
  const int row = doc.m_cursor.m_nRow, col = doc.m_cursor.m_nCol;
  if (kind == EditKind::Grid)
    RestoreGrid(doc, state);
  else if (kind == EditKind::Experiment)
    RestoreExperiment(doc, state);
  doc.m_cursor.SetCell(row, col);
}

UndoStep::UndoStep(const EditRecord& record, const Titration& after)
    : m_kind(record.kind), m_name(record.name), m_nMergeKey(record.mergeKey), m_before(record.before),
      m_after(SnapshotOf(after)) {}

bool UndoStep::Absorb(const EditRecord& record, const Titration& after) {
  if (record.mergeKey == 0 || record.mergeKey != m_nMergeKey || record.kind != m_kind) return false;
  m_after = SnapshotOf(after);
  return true;
}

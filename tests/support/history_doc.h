// A titration that keeps its own undo history the way the window's document does: every
// reported edit is kept, undoable ones become steps, and a step absorbs the next edit when
// their merge keys match.
#pragma once

#include <string>
#include <vector>

#include "document/titration_edit.h"

struct HistoryDoc : Titration {
  std::vector<EditRecord> records;
  std::vector<UndoStep> steps;

  void OnEdited(const EditRecord& record) override {
    Titration::OnEdited(record);
    records.push_back(record);
    if (!IsUndoable(record.kind)) return;
    if (!steps.empty() && steps.back().Absorb(record, *this)) return;
    steps.emplace_back(record, *this);
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& row : m_cells)
      for (const CCell& cell : row) texts.push_back(cell.Text());
    return texts;
  }
};

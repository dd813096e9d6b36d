#include "document/cell_check.h"

CellPosition first_cell_not_a_number(const Titration& doc) {
  for (int r = 0; r < Titration::kRows; ++r)
    for (int c = 0; c < Titration::kCols; ++c)
      if (!doc.m_cells[r][c].IsNumber()) return {r, c};
  return {};
}

std::string cell_not_a_number_text(const Titration& doc, CellPosition cell) {
  if (!cell.Valid() || cell.row >= Titration::kRows || cell.col < 0 || cell.col >= Titration::kCols) return "";
  const CCell& c = doc.m_cells[cell.row][cell.col];
  if (c.IsNumber()) return "";
  return "Row " + std::to_string(cell.row + 1) + ", " + kCellColumnNames[cell.col] + ": \"" + c.Text() +
         "\" is not a number";
}

std::string cells_refusal(const Titration& doc, const std::string& action) {
  const std::string what = cell_not_a_number_text(doc, first_cell_not_a_number(doc));
  if (what.empty()) return "";
  return what + ". Correct or clear the red cell before " + action + ".";
}

#include "document/data_import.h"

#include <algorithm>

int table_column_count(const TableText& table) {
  std::size_t n = 0;
  for (const auto& row : table.rows) n = std::max(n, row.size());
  return static_cast<int>(n);
}

ImportColumns default_import_columns(const TableText& table) {
  ImportColumns columns;
  const int available = table_column_count(table);
  for (int c = 0; c < Titration::kCols; ++c) columns.fileColumn[c] = c < available ? c : -1;
  return columns;
}

std::string import_refusal(const TableText& table, const ImportColumns& columns) {
  if (!table.refusal.empty()) return table.refusal;
  if (table.rows.empty()) return "There are no rows to import.";
  if (table.rows.size() > static_cast<std::size_t>(Titration::kRows))
    return "The table has " + std::to_string(table.rows.size()) + " rows (more than 99 rows from line " +
           std::to_string(table.lineNumbers[Titration::kRows]) + "); the grid holds at most 99.";
  const int available = table_column_count(table);
  for (int c = 0; c < Titration::kCols; ++c)
    if (columns.fileColumn[c] >= available)
      return "The table has " + std::to_string(available) + " column(s); there is no column " +
             std::to_string(columns.fileColumn[c] + 1) + ".";
  return "";
}

void import_into_grid(Titration& doc, const TableText& table, const ImportColumns& columns) {
  for (int r = 0; r < Titration::kRows; ++r) {
    const bool inTable = r < static_cast<int>(table.rows.size());
    for (int c = 0; c < Titration::kCols; ++c) {
      const int from = columns.fileColumn[c];
      std::string text;
      if (inTable && from >= 0 && from < static_cast<int>(table.rows[r].size())) text = table.rows[r][from];
      doc.m_cells[r][c].SetText(text);
    }
  }
}

#include "gridview/clipboard_text.h"

#include <algorithm>

#include "document/table_text.h"
#include "document/titration.h"

namespace {

std::string BlockText(Titration& doc, const GridBlock& b, bool cut) {
  std::string text;
  for (int r = b.row1; r <= b.row2; ++r) {
    for (int c = b.col1; c <= b.col2; ++c) {
      if (c > b.col1) text += '\t';
      text += doc.m_cells[r][c].Text();
      if (cut) doc.m_cells[r][c].SetText("");
    }
    text += "\r ";
  }
  return text;
}

bool ValidBlock(const GridBlock& b) {
  return b.row1 >= 0 && b.col1 >= 0 && b.row2 < Titration::kRows && b.col2 < Titration::kCols;
}

}  // namespace

std::string BlockToClipboardText(const Titration& doc, const GridBlock& block) {
  if (!ValidBlock(block)) return {};
  return BlockText(const_cast<Titration&>(doc), block, false);
}

std::string CutBlockToClipboardText(Titration& doc, const GridBlock& block) {
  if (!ValidBlock(block)) return {};
  return BlockText(doc, block, true);
}

namespace {

// A skipped header, and commas taken as separators (a lone "0,61" from a comma-decimal
// spreadsheet reads as the two values 0 and 61 by the rules), are said in the status bar.
std::string paste_status(const TableText& table) {
  std::string status;
  if (!table.skipped.empty()) status = "Skipped the header line \"" + table.skipped.back() + "\".";
  if (table.format.separator == FieldSeparator::Comma)
    status += std::string(status.empty() ? "" : " ") + "Commas were read as field separators.";
  return status;
}

}  // namespace

PasteOutcome PasteClipboardText(Titration& doc, const std::string& text, int row0, int col0) {
  PasteOutcome outcome;
  if (row0 < 0 || row0 >= Titration::kRows || col0 < 0 || col0 >= Titration::kCols) return outcome;
  TableText table = read_table_text(text);
  if (!table.refusal.empty()) {
    outcome.refusal = table.refusal;
    return outcome;
  }
  // An empty text is one empty field, as a copied empty cell is.
  if (table.rows.empty()) table.rows.push_back({""});
  std::size_t n = 1;
  for (const auto& fields : table.rows)
    if (!fields.empty()) {
      n = fields.size();
      break;
    }
  if (col0 + static_cast<int>(n) > Titration::kCols) n = 1;
  std::size_t i = 0;
  for (; i < table.rows.size() && row0 + static_cast<int>(i) < Titration::kRows; ++i) {
    const auto& fields = table.rows[i];
    const int r = row0 + static_cast<int>(i);
    for (std::size_t c = 0; c < n; ++c)
      doc.m_cells[r][col0 + static_cast<int>(c)].SetText(c < fields.size() ? fields[c] : std::string());
    outcome.lastRow = r;
  }
  outcome.status = paste_status(table);
  if (i < table.rows.size()) {
    if (!outcome.status.empty()) outcome.status += " ";
    outcome.status += std::to_string(table.rows.size() - i) + " line(s) past row 99 were not pasted.";
  }
  return outcome;
}

// Feeds arbitrary clipboard text to the grid's paste at a position taken from the first two
// bytes. Besides the sanitizers it checks that a paste:
//   - writes only at and below its row and at and right of its column, and reports a row in
//     the grid;
//   - leaves a document that can be written and exported;
//   - in the program's own format, copied back out, pastes to the same cells again whenever
//     the block holds only numbers written with points, its first and last rows are not
//     empty and its first cell is not (a first line without a number is a header, blank
//     lines at the end are nothing, and a comma may separate fields).
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "document/bwd_file.h"
#include "gridview/clipboard_text.h"
#include "outputview/ascii_export.h"

namespace {

[[noreturn]] void broken(const char* promise) {
  __builtin_printf("broken promise: %s\n", promise);
  std::abort();
}

bool same_cells(const Titration& a, const Titration& b) {
  for (int r = 0; r < Titration::kRows; ++r)
    for (int c = 0; c < Titration::kCols; ++c)
      if (a.m_cells[r][c].Text() != b.m_cells[r][c].Text()) return false;
  return true;
}

// Marks every cell so that writes outside the paste's reach show.
void fill_marks(Titration& doc) {
  for (int r = 0; r < Titration::kRows; ++r)
    for (int c = 0; c < Titration::kCols; ++c) doc.m_cells[r][c].SetText("7");
}

void check_reach(const Titration& doc, int row0, int col0, int lastRow) {
  if (lastRow < -1 || lastRow >= Titration::kRows) broken("the last pasted row is in the grid");
  for (int r = 0; r < Titration::kRows; ++r)
    for (int c = 0; c < Titration::kCols; ++c) {
      const bool reachable = r >= row0 && c >= col0 && r <= lastRow;
      if (!reachable && doc.m_cells[r][c].Text() != "7") broken("a paste writes only inside its block");
    }
}

// Numbers written with a point and nothing around them: what pastes back as it stands.
bool plain_number_or_empty(const CCell& cell) {
  const std::string& t = cell.Text();
  if (t.empty()) return true;
  return cell.IsNumber() && t.find(',') == std::string::npos && t.front() != ' ' && t.front() != '\t' &&
         t.back() != ' ' && t.back() != '\t';
}

bool row_has_text(const Titration& doc, int row, int col0) {
  for (int c = col0; c < Titration::kCols; ++c)
    if (!doc.m_cells[row][c].Text().empty()) return true;
  return false;
}

bool copies_back_exactly(const Titration& pasted, int row0, int col0, int lastRow) {
  if (lastRow < row0 || pasted.m_cells[row0][col0].Text().empty()) return false;
  if (!row_has_text(pasted, lastRow, col0)) return false;
  for (int r = row0; r <= lastRow; ++r)
    for (int c = col0; c < Titration::kCols; ++c)
      if (!plain_number_or_empty(pasted.m_cells[r][c])) return false;
  return true;
}

void check_copy_round_trip(const Titration& pasted, int row0, int col0, int lastRow) {
  if (!copies_back_exactly(pasted, row0, col0, lastRow)) return;
  const std::string copied = BlockToClipboardText(pasted, {row0, col0, lastRow, Titration::kCols - 1});
  auto first = std::make_unique<Titration>();
  auto second = std::make_unique<Titration>();
  for (int r = row0; r <= lastRow; ++r)
    for (int c = col0; c < Titration::kCols; ++c) first->m_cells[r][c].SetText(pasted.m_cells[r][c].Text());
  if (PasteClipboardText(*second, copied, row0, col0).lastRow != lastRow) broken("a copied block pastes to the same rows");
  if (!same_cells(*first, *second)) broken("a copied block pastes to the same cells");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // -1..99 and -1..3 reach one step past each edge of the grid.
  const int row0 = data[0] % 101 - 1;
  const int col0 = data[1] % 5 - 1;
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  auto doc = std::make_unique<Titration>();
  fill_marks(*doc);
  const PasteOutcome outcome = PasteClipboardText(*doc, text, row0, col0);
  const int lastRow = outcome.lastRow;
  if (!outcome.refusal.empty()) {
    if (lastRow != -1) broken("a refused paste writes nothing");
    check_reach(*doc, row0, col0, -1);
  }
  const bool inside = row0 >= 0 && row0 < Titration::kRows && col0 >= 0 && col0 < Titration::kCols;
  if (!inside && lastRow != -1) broken("a paste outside the grid writes nothing");
  if (inside) check_reach(*doc, row0, col0, lastRow);

  std::vector<unsigned char> bytes;
  if (!EncodeBwd(*doc, "fuzz.bwd", bytes).ok) broken("a pasted grid can be written");
  if (export_precondition(*doc, ExportKind::Points, 0).empty()) export_text(*doc, ExportKind::Points, 0, 0);

  auto clean = std::make_unique<Titration>();
  const int cleanLast = PasteClipboardText(*clean, text, row0, col0).lastRow;
  if (inside) check_copy_round_trip(*clean, row0, col0, cleanLast);
  return 0;
}

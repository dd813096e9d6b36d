#include "gridview/clipboard_text.h"

#include <algorithm>

#include "document/titration.h"

namespace {

constexpr auto npos = std::string::npos;

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

bool IsLeadingSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

}  // namespace

std::string BlockToClipboardText(const Titration& doc, const GridBlock& block) {
  if (!ValidBlock(block)) return {};
  return BlockText(const_cast<Titration&>(doc), block, false);
}

std::string CutBlockToClipboardText(Titration& doc, const GridBlock& block) {
  if (!ValidBlock(block)) return {};
  return BlockText(doc, block, true);
}

std::string NormaliseLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  const std::size_t lastCr = out.rfind('\r');
  const std::size_t from = lastCr == npos ? 0 : lastCr + 1;
  const bool contentAfter = std::any_of(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(),
                                        [](char ch) { return ch != ' ' && ch != '\n'; });
  if (contentAfter) out += "\r\n";
  return out;
}

int PasteClipboardText(Titration& doc, const std::string& rawText, int row0, int col0) {
  const std::string text = NormaliseLineEnds(rawText);
  const std::size_t length = text.size();
  // An empty text is one empty field: it empties the current cell, as pasting a copied
  // empty cell does.
  if (row0 < 0 || row0 >= Titration::kRows || col0 < 0 || col0 >= Titration::kCols) return -1;

  // Columns: the fields of the first line, found by the first CR after the first character.
  int n = 1;
  if (const std::size_t cr = text.find('\r', 1); cr != npos)
    n = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cr), '\t'));

  // Leading blank lines move the block down, one row per line.
  std::size_t w = 0;
  int k = 0;
  while (w < length && IsLeadingSpace(text[w])) {
    if (text[w] == '\r') ++k;
    ++w;
  }
  std::size_t pos = (w / n) * n;
  if (k > 0 && pos > 0) --pos;

  if (col0 + n > Titration::kCols) n = 1;
  for (int r = row0; r < row0 + k && r < Titration::kRows; ++r)
    for (int c = col0; c <= n - 1; ++c) doc.m_cells[r][c].SetText("");

  int r = row0 + k;
  if (r >= Titration::kRows) return k > 0 ? Titration::kRows - 1 : -1;
  std::size_t previousCr = npos;
  int lastRow = -1;
  for (;;) {
    std::size_t terminator = npos;
    for (int c = col0; c < col0 + n; ++c) {
      const std::size_t end = std::min(text.find('\t', pos), text.find('\r', pos));
      std::string field;
      if (end != npos)
        for (std::size_t i = pos; i < end; ++i)
          if (text[i] != '\t' && text[i] != '\n') field += text[i];
      doc.m_cells[r][c].SetText(field);
      pos = end == npos ? 1 : end + 1;
      terminator = end;
    }
    lastRow = r;
    if (terminator == npos) break;
    const std::size_t cr = text.find('\r', terminator);
    if (cr == npos) break;
    pos = cr + 2;
    const bool advanced = previousCr == npos || cr > previousCr;
    if (!advanced || length <= pos || r > 97) break;
    previousCr = cr;
    ++r;
  }
  return lastRow;
}

#include "document/save_check.h"

#include <algorithm>

#include "document/bwd_file.h"
#include "document/c_text.h"

namespace {

void collect(const std::string& text, std::vector<std::string>& out) {
  const int n = utf8_char_count(text);
  for (int i = 0; i < n; ++i) {
    const std::size_t from = utf8_byte_offset(text, i);
    const std::string ch = text.substr(from, utf8_byte_offset(text, i + 1) - from);
    if (static_cast<unsigned char>(ch[0]) < 0x80) continue;
    // A character survives when writing and reading it back gives it again.
    if (cp1252_to_utf8(utf8_to_cp1252(ch)) == ch) continue;
    if (std::find(out.begin(), out.end(), ch) == out.end()) out.push_back(ch);
  }
}

}  // namespace

std::vector<std::string> chars_outside_code_page(const Titration& doc) {
  std::vector<std::string> chars;
  for (const auto& row : doc.m_cells)
    for (const CCell& cell : row) collect(cell.Text(), chars);
  for (const std::string* text : {&doc.m_strDescription, &doc.m_strTitle, &doc.m_strYCaption, &doc.m_strXCaption})
    collect(*text, chars);
  return chars;
}

std::string code_page_question(const std::vector<std::string>& chars) {
  std::string list;
  for (const std::string& ch : chars) list += (list.empty() ? "" : " ") + ch;
  return "These characters cannot be stored in the file's code page (Windows-1252) and will be saved as '?':\n\n" +
         list + "\n\nSave with '?' in their place?";
}

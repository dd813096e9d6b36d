#include "document/titration.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <stdlib.h>

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double parse_decimal(const std::string& text, bool* trailing) {
  const char* s = text.c_str();
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && is_space(s[i])) ++i;
  std::size_t start = i;
  if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && is_digit(s[i])) { ++i; ++digits; }
  if (i < n && s[i] == '.') {
    ++i;
    while (i < n && is_digit(s[i])) { ++i; ++digits; }
  }
  if (digits == 0) {
    if (trailing) *trailing = n > 0;
    return 0.0;
  }
  std::size_t end = i;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < n && is_digit(s[j])) {
      while (j < n && is_digit(s[j])) ++j;
      end = j;
    }
  }
  if (trailing) *trailing = end < n;
  // The prefix now holds only [sign]digits[.digits][e[sign]digits]; convert it in the C
  // locale so a comma-decimal user locale never changes what a cell means.
  static locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
  std::string number(s + start, end - start);
  return strtod_l(number.c_str(), nullptr, c_locale);
}

namespace {

// text without the blanks and tabs around it; empty when nothing else is there.
std::string trim_field(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool parse_number_field(const std::string& text, double* value) {
  const std::string number = trim_field(text);
  if (number.empty()) return false;
  bool trailing = false;
  const double v = parse_decimal(number, &trailing);
  if (trailing || !std::isfinite(v)) return false;  // "1.5x", "1e", "abc", "1e999"
  *value = v;
  return true;
}

bool parse_int_field(const std::string& text, int* value) {
  const std::string digits = trim_field(text);
  if (digits.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(digits.c_str(), &end, 10);
  if (end != digits.c_str() + digits.size() || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  *value = static_cast<int>(v);
  return true;
}

bool CCell::Parse() {
  bool trailing = false;
  m_dValue = parse_decimal(m_strText, &trailing);
  return trailing;
}

bool CCell::SetText(const std::string& text) {
  m_strText = text;
  return Parse();
}

int utf8_char_count(const std::string& text) {
  int count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;  // continuation bytes belong to the previous character
  return count;
}

std::size_t utf8_byte_offset(const std::string& text, int index) {
  std::size_t at = 0;
  for (int seen = 0; at < text.size(); ++at) {
    if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) continue;
    if (seen == index) return at;
    ++seen;
  }
  return text.size();
}

int CCell::CharCount() const { return utf8_char_count(m_strText); }

namespace {

// Erases `count` characters starting at character index `at`; out-of-range parts are ignored.
void erase_chars(std::string& text, int at, int count) {
  if (at < 0 || count <= 0 || at >= utf8_char_count(text)) return;
  const std::size_t from = utf8_byte_offset(text, at);
  text.erase(from, utf8_byte_offset(text, at + count) - from);
}

}  // namespace

bool CCell::InsertChar(char ch, int caretFromEnd) {
  const int len = CharCount();
  if (len < kMaxTypedLength) {
    const int at = std::clamp(len - caretFromEnd, 0, len);
    m_strText.insert(utf8_byte_offset(m_strText, at), 1, ch);
  }
  return Parse();
}

bool CCell::Backspace(int caretFromEnd) {
  erase_chars(m_strText, CharCount() - caretFromEnd - 1, 1);
  return Parse();
}

bool CCell::DeleteChar(int caretFromEnd) {
  erase_chars(m_strText, CharCount() - caretFromEnd, 1);
  return Parse();
}

bool CCell::DeleteRange(int a, int b) {
  erase_chars(m_strText, CharCount() - b, std::abs(a - b));
  return Parse();
}

void CCellCursor::SetCell(int row, int col) {
  m_nRow = row;
  m_nCol = col;
  m_nCaret = 0;
  EndEdit();
}

void CCellCursor::SetRow(int row) { SetCell(row, m_nCol); }
void CCellCursor::SetCol(int col) { SetCell(m_nRow, col); }

void CCellCursor::EndEdit() {
  m_nEditClicks = 0;
  m_bEditing = 0;
  m_bKeepText = 0;
}

void CCellCursor::BeginEdit() {
  ++m_nEditClicks;
  if (m_nEditClicks >= 1) {
    m_bEditing = 1;
    m_bKeepText = 1;
  }
}

int CCellCursor::CaretFromX(TextMeasurer& measure, const std::string& text, int x, int textRight) {
  int d = std::abs(x - textRight);
  int result = 0;
  if (text.empty() || d < measure.TextWidth(text.substr(0, utf8_byte_offset(text, 1)))) return 0;
  const int length = utf8_char_count(text);
  for (int i = 1; i <= length; ++i) {
    const int w = measure.TextWidth(text.substr(0, utf8_byte_offset(text, i)));
    const int diff = std::abs(w - (textRight - x));
    if (diff < d) {
      d = diff;
      result = i;
    }
  }
  return result;
}

Titration::Titration() {
  for (int k = 1; k <= kMaxSims; ++k) {
    m_bSlotFree[k] = 1;
    m_nSlotOrder[k] = k;
  }
  m_cursor.SetCell(0, 0);
  // The constructor leaves the cursor ready for typing into the existing text.
  m_cursor.m_bKeepText = 1;
  m_genSteps[1].m_nStart = 2;
}

void Titration::ResetForNew() {
  // Kept on purpose: m_fTemperature (the last fit's), m_nPlotsListed (running plot number),
  // m_nFitDlgLastModel, m_pPlotList, and the fit, simulation records and sampled curves,
  // which are unreachable while the flags and counts below are 0.
  m_nGenStart = 1;
  m_nGenCount = 0;
  m_nGenEnd = 1;
  m_dGenConcAdded = 0.0;
  m_dGenVolAdded = 0.0;
  m_dGenStartVolume = 0.0;
  m_bResetPlotList = 1;
  m_nGenSteps = 0;
  for (auto& row : m_cells)
    for (auto& cell : row) cell.SetText("");
  for (auto& step : m_genSteps) step = GenStep{};
  m_genSteps[1].m_nStart = 2;
  m_cursor.SetCell(0, 0);
  m_dStartCa = 0.0;
  m_strDescription.clear();
  m_strYCaption = "Response";
  m_strXCaption = "Total Ca/uM";
  m_strTitle = "Title";
  m_bShowFit = 0;
  m_bHaveSims = 0;
  m_bAxisFixed = 0;
  m_bGraphDrag = 0;
  m_bFitAxesToSims = 0;
  m_dXMin = m_dYMin = m_dXMax = m_dYMax = 0.0;
  m_nSims = 0;
  for (int k = 1; k <= kMaxSims; ++k) {
    m_bSlotFree[k] = 1;
    m_nSlotOrder[k] = k;
  }
}

void Titration::AssignExperiment(const Titration& other) {
  PlotListSink* keep = m_pPlotList;
  const bool modified = m_bModifiedCore;
  *this = other;
  m_pPlotList = keep;
  m_bModifiedCore = modified;
}

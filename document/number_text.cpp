#include "document/number_text.h"

#include <cmath>
#include <regex>

#include "document/c_text.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The shape of a number in the characters [i, end): where its one decimal mark is (npos
// when it has none) and whether it is complete or only a beginning of one.
struct NumberShape {
  bool complete = false;
  bool prefix = false;
  std::size_t mark = std::string::npos;
};

NumberShape scan(const std::string& s, std::size_t i, std::size_t end, bool allowComma) {
  NumberShape shape;
  if (i < end && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < end && is_digit(s[i])) { ++i; ++digits; }
  if (i < end && (s[i] == '.' || (allowComma && s[i] == ','))) {
    shape.mark = i++;
    while (i < end && is_digit(s[i])) { ++i; ++digits; }
  }
  if (i == end) {
    shape.complete = digits > 0;
    shape.prefix = true;
    return shape;
  }
  if (digits == 0 || (s[i] != 'e' && s[i] != 'E')) return shape;
  ++i;
  if (i < end && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t exponentDigits = 0;
  while (i < end && is_digit(s[i])) { ++i; ++exponentDigits; }
  if (i != end) return shape;
  shape.prefix = true;
  shape.complete = exponentDigits > 0;
  return shape;
}

// [first, last) of text without the blanks around it.
void trim_bounds(const std::string& text, std::size_t& first, std::size_t& last) {
  first = 0;
  last = text.size();
  while (first < last && is_blank(text[first])) ++first;
  while (last > first && is_blank(text[last - 1])) --last;
}

}  // namespace

bool parse_number_text(const std::string& text, DecimalMark mark, double* value) {
  std::size_t first = 0, last = 0;
  trim_bounds(text, first, last);
  const NumberShape shape = scan(text, first, last, mark == DecimalMark::Comma);
  if (!shape.complete) return false;
  std::string number = text.substr(first, last - first);
  if (shape.mark != std::string::npos) number[shape.mark - first] = '.';
  bool trailing = false;
  const double v = parse_decimal(number, &trailing);
  if (trailing || !std::isfinite(v)) return false;
  if (value) *value = v;
  return true;
}

bool parse_cell_number(const std::string& text, double* value) {
  return parse_number_text(text, DecimalMark::Comma, value);
}

bool is_number_prefix(const std::string& text) { return scan(text, 0, text.size(), true).prefix; }

std::string with_decimal_point(const std::string& text) {
  std::size_t first = 0, last = 0;
  trim_bounds(text, first, last);
  const NumberShape shape = scan(text, first, last, true);
  if (!shape.complete || shape.mark == std::string::npos || text[shape.mark] != ',') return text;
  std::string out = text;
  out[shape.mark] = '.';
  return out;
}

bool has_thousands_separator(const std::string& text) {
  static const std::regex grouped(R"(\s*[+-]?\d{1,3}(,\d{3})+(\.\d*)?\s*|\s*[+-]?\d{1,3}(\.\d{3})+,\d*\s*)");
  static const std::regex manyGroups(R"(\s*[+-]?\d{1,3}(,\d{3}){2,}\s*|\s*[+-]?\d{1,3}(\.\d{3}){2,}\s*)");
  // "1,234" alone is a decimal comma; a point after comma groups ("1,234.5"), a comma after
  // point groups ("1.234,5") or two groups ("12,345,678") can only be thousands.
  const bool mixed = text.find(',') != std::string::npos && text.find('.') != std::string::npos;
  return (mixed && std::regex_match(text, grouped)) || std::regex_match(text, manyGroups);
}

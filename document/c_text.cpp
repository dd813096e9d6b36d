#include "document/c_text.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
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

std::string c_printf(const char* format, ...) {
  // Decimal points must not follow the user's locale: files and the panel read "1.5".
  static locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
  locale_t previous = uselocale(c_locale);
  char buffer[256];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string text;
  if (n >= static_cast<int>(sizeof buffer)) {
    text.resize(static_cast<std::size_t>(n) + 1);
    va_start(args, format);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    text.resize(static_cast<std::size_t>(n));
  } else if (n > 0) {
    text.assign(buffer, static_cast<std::size_t>(n));
  }
  uselocale(previous);
  return text;
}

std::string format_c(const char* format, double value) { return c_printf(format, value); }

// Text helpers that never follow the process locale: files, panels and the command line
// read and write "1.5" whatever the user's locale is, and cell texts are UTF-8.
#pragma once

#include <cstddef>
#include <string>

// Locale-independent decimal parse with strtod's grammar minus hex, inf and nan:
// [ws][sign]digits[.digits][(e|E)[sign]digits]. Returns the value of the longest prefix
// (0.0 when there is none) and sets *trailing when characters remain after it.
double parse_decimal(const std::string& text, bool* trailing);

// The texts of a dialog's number fields. Blanks and tabs around the number are allowed;
// anything else (an empty text, trailing characters, a value out of range) is refused
// with false and *value left alone.
// One finite decimal number in parse_decimal's grammar.
bool parse_number_field(const std::string& text, double* value);
// One whole decimal number ([sign]digits) that fits an int.
bool parse_int_field(const std::string& text, int* value);

// Number of UTF-8 code points in text, and the byte offset of code point `index` (clamped
// to the text's size). Caret arithmetic on cell texts uses these.
int utf8_char_count(const std::string& text);
std::size_t utf8_byte_offset(const std::string& text, int index);

// printf-style formatting in the C locale ("%7.5f", "%7.4G", "%i", ...).
std::string c_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string format_c(const char* format, double value);

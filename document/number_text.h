// Numbers as people type and paste them into the grid: a sign, digits, one decimal mark (a
// point, or a comma as comma-decimal locales write it) and an exponent. A text is either a
// complete number or it is not; nothing reads "12abc" as 12 or "0,61" as 0 behind the
// user's back.
//
// Cell texts keep the C locale: typed and pasted decimal commas are stored as points, so a
// .bwd file always holds "0.61". A comma text that is already in a file (older versions
// stored pasted texts as they came) is read with its comma as the decimal mark, which is the
// number the grid showed.
#pragma once

#include <string>

enum class DecimalMark { Point, Comma };

// A complete number: [blanks][sign](digits[mark[digits]] | mark digits)[(e|E)[sign]digits]
// [blanks], finite. With DecimalMark::Comma a comma is the mark and a point is accepted as
// well; a text holding both (a thousands separator such as "1,234.5") is not a number.
bool parse_number_text(const std::string& text, DecimalMark mark, double* value);

// A cell text's number: either mark, as parse_number_text with DecimalMark::Comma.
bool parse_cell_number(const std::string& text, double* value);

// True when more typing could still make text a complete number ("", "-", "1e", "1e-",
// "0."); used to accept or refuse a keystroke.
bool is_number_prefix(const std::string& text);

// text with its one decimal comma written as a point ("3,992" -> "3.992") when it is a
// number in the comma mark; any other text comes back as it is.
std::string with_decimal_point(const std::string& text);

// True when text looks like a number written with thousands separators ("1,234.5",
// "12,345,678", "1.234,5"): such texts are refused rather than read as something else.
bool has_thousands_separator(const std::string& text);

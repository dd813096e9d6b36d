// Tables of numbers as text, read the way a spreadsheet user expects: the grid's Paste, the
// File > Import Data... dialog and `bindwise-cli import` all go through these functions.
//
// Detection (detect_table_format): fields are separated by tabs when the text has any;
// otherwise by semicolons when it has any; otherwise by commas when every line splits into
// the same number (two or more) of comma-separated fields that each are numbers with '.'
// decimals; otherwise by runs of blanks when every line splits that way into the same number
// of such fields (the program's own simulation exports are blank-separated); otherwise each
// line is one field. Within tab- and semicolon-separated text a comma is a decimal mark.
// A first line with no number in it is a header and is skipped. Lines may end in LF, CR LF
// or CR, the last one with or without a line end.
//
// Numbers written with thousands separators ("1,234.5") are refused with a message naming
// the line, never read as something else.
#pragma once

#include <string>
#include <vector>

#include "document/number_text.h"

enum class FieldSeparator { Tab, Semicolon, Comma, Blanks, Line };

struct TableFormat {
  FieldSeparator separator = FieldSeparator::Line;
  DecimalMark decimal = DecimalMark::Point;
  int headerLines = 0;  // lines skipped at the top (blank lines before them count too)
};

struct TableText {
  TableFormat format;
  // Fields of each line after the header, trimmed, numbers written with a '.' decimal (so
  // they can go straight into cells). Blank lines inside the table are empty rows; blank
  // lines at the end are dropped.
  std::vector<std::vector<std::string>> rows;
  std::vector<int> lineNumbers;      // the text's line (from 1) of each row
  std::vector<std::string> skipped;  // the header lines, as they stand
  std::string refusal;               // not empty: the text is refused, for the reason given
};

// The text's lines: LF, CR LF and CR all end a line; a final line end adds no empty line.
std::vector<std::string> split_table_lines(const std::string& text);

// The format the rules above choose (headerLines 0 or 1).
TableFormat detect_table_format(const std::string& text);

// Reads text in the given format.
TableText read_table_text(const std::string& text, const TableFormat& format);
// Reads text in the detected format.
TableText read_table_text(const std::string& text);

// Names for messages and the import dialog: "tab", "semicolon", "comma", "blanks", "none";
// "point", "comma".
const char* separator_name(FieldSeparator separator);
const char* decimal_mark_name(DecimalMark mark);

#include "document/table_text.h"

#include <algorithm>

namespace {

bool is_blank_char(char c) { return c == ' ' || c == '\t'; }

bool is_blank_line(const std::string& line) { return std::all_of(line.begin(), line.end(), is_blank_char); }

std::string trim(const std::string& s) {
  std::size_t first = 0, last = s.size();
  while (first < last && is_blank_char(s[first])) ++first;
  while (last > first && is_blank_char(s[last - 1])) --last;
  return s.substr(first, last - first);
}

std::vector<std::string> split_on(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : line) {
    if (c == separator) {
      fields.push_back(trim(field));
      field.clear();
    } else {
      field += c;
    }
  }
  fields.push_back(trim(field));
  return fields;
}

std::vector<std::string> split_on_blanks(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : line) {
    if (is_blank_char(c)) {
      if (!field.empty()) fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

std::vector<std::string> split_fields(const std::string& line, FieldSeparator separator) {
  switch (separator) {
    case FieldSeparator::Tab: return split_on(line, '\t');
    case FieldSeparator::Semicolon: return split_on(line, ';');
    case FieldSeparator::Comma: return split_on(line, ',');
    case FieldSeparator::Blanks: return split_on_blanks(line);
    case FieldSeparator::Line: break;
  }
  return {trim(line)};
}

bool is_number(const std::string& field, DecimalMark mark) { return parse_number_text(field, mark, nullptr); }

bool has_number(const std::vector<std::string>& fields, DecimalMark mark) {
  return std::any_of(fields.begin(), fields.end(), [mark](const std::string& f) { return is_number(f, mark); });
}

// Lines without trailing blank ones, and the index of the first non-blank line.
std::vector<std::string> content_lines(const std::string& text, std::size_t* firstContent) {
  std::vector<std::string> lines = split_table_lines(text);
  while (!lines.empty() && is_blank_line(lines.back())) lines.pop_back();
  std::size_t first = 0;
  while (first < lines.size() && is_blank_line(lines[first])) ++first;
  *firstContent = first;
  return lines;
}

// Every non-blank line after a possible header splits into the same number (two or more)
// of fields that are numbers with '.' decimals.
bool all_lines_split_evenly(const std::vector<std::string>& lines, std::size_t first, FieldSeparator separator) {
  if (first < lines.size() && !has_number(split_fields(lines[first], separator), DecimalMark::Point)) ++first;
  std::size_t count = 0;
  for (std::size_t i = first; i < lines.size(); ++i) {
    if (is_blank_line(lines[i])) continue;
    const std::vector<std::string> fields = split_fields(lines[i], separator);
    if (fields.size() < 2 || (count != 0 && fields.size() != count)) return false;
    count = fields.size();
    for (const std::string& f : fields)
      if (!is_number(f, DecimalMark::Point)) return false;
  }
  return count != 0;
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// A line or field that is a number with thousands separators refuses the whole text.
std::string thousands_refusal(const std::vector<std::string>& lines, std::size_t from, FieldSeparator separator) {
  for (std::size_t i = from; i < lines.size(); ++i) {
    std::vector<std::string> pieces = split_fields(lines[i], separator);
    pieces.push_back(trim(lines[i]));
    for (const std::string& piece : pieces)
      if (has_thousands_separator(piece))
        return "Line " + std::to_string(i + 1) + ": " + quoted(piece) +
               " has thousands separators; remove them and try again.";
  }
  return "";
}

}  // namespace

std::vector<std::string> split_table_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  // A UTF-8 byte order mark (as some spreadsheets write) is no part of the first field.
  const std::size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TableFormat detect_table_format(const std::string& text) {
  TableFormat format;
  std::size_t first = 0;
  const std::vector<std::string> lines = content_lines(text, &first);
  if (text.find('\t') != std::string::npos) {
    format.separator = FieldSeparator::Tab;
    format.decimal = DecimalMark::Comma;
  } else if (text.find(';') != std::string::npos) {
    format.separator = FieldSeparator::Semicolon;
    format.decimal = DecimalMark::Comma;
  } else if (all_lines_split_evenly(lines, first, FieldSeparator::Comma)) {
    format.separator = FieldSeparator::Comma;
  } else if (all_lines_split_evenly(lines, first, FieldSeparator::Blanks)) {
    format.separator = FieldSeparator::Blanks;
  } else {
    format.separator = FieldSeparator::Line;
    format.decimal = text.find(',') != std::string::npos ? DecimalMark::Comma : DecimalMark::Point;
  }
  if (first < lines.size() && !has_number(split_fields(lines[first], format.separator), format.decimal))
    format.headerLines = static_cast<int>(first) + 1;
  return format;
}

TableText read_table_text(const std::string& text, const TableFormat& format) {
  TableText table;
  table.format = format;
  std::size_t first = 0;
  const std::vector<std::string> lines = content_lines(text, &first);
  const std::size_t skip = std::min(lines.size(), static_cast<std::size_t>(std::max(0, format.headerLines)));
  for (std::size_t i = 0; i < skip; ++i)
    if (!is_blank_line(lines[i])) table.skipped.push_back(lines[i]);
  table.refusal = thousands_refusal(lines, skip, format.separator);
  if (!table.refusal.empty()) return table;
  for (std::size_t i = skip; i < lines.size(); ++i) {
    std::vector<std::string> fields;
    if (!is_blank_line(lines[i])) fields = split_fields(lines[i], format.separator);
    for (std::string& f : fields)
      if (format.decimal == DecimalMark::Comma) f = with_decimal_point(f);
    table.rows.push_back(std::move(fields));
    table.lineNumbers.push_back(static_cast<int>(i) + 1);
  }
  return table;
}

TableText read_table_text(const std::string& text) { return read_table_text(text, detect_table_format(text)); }

const char* separator_name(FieldSeparator separator) {
  switch (separator) {
    case FieldSeparator::Tab: return "tab";
    case FieldSeparator::Semicolon: return "semicolon";
    case FieldSeparator::Comma: return "comma";
    case FieldSeparator::Blanks: return "blanks";
    case FieldSeparator::Line: break;
  }
  return "none";
}

const char* decimal_mark_name(DecimalMark mark) { return mark == DecimalMark::Comma ? "comma" : "point"; }

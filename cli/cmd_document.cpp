// bindwise-cli new / show / import: create a document, print one as JSON, and build one from
// a text table of measurements.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/document_json.h"
#include "document/bwd_file.h"
#include "document/c_text.h"
#include "document/data_import.h"
#include "document/table_text.h"
#include "document/titration.h"

namespace {

void save_or_fail(const std::string& path, const Titration& doc) {
  const BwdStatus saved = SaveBwdFile(path, doc);
  if (!saved.ok) throw CliFailure{saved.message};
}

// ---------------------------------------------------------------------------------------
// import: the paste rules (document/table_text.h), one grid row per table line.

struct ImportArgs {
  std::string data, out, title, description, separator, decimal, columns;
  int skip = -1;
};

std::string read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CliFailure{path + ": cannot open: " + std::strerror(errno)};
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw CliFailure{path + ": cannot read: " + std::strerror(errno)};
  return text.str();
}

FieldSeparator separator_named(const std::string& name) {
  for (FieldSeparator s : {FieldSeparator::Tab, FieldSeparator::Semicolon, FieldSeparator::Comma,
                           FieldSeparator::Blanks, FieldSeparator::Line})
    if (name == separator_name(s)) return s;
  return FieldSeparator::Line;
}

// "--columns 2,1,3": file columns (from 1, 0 for none) of Response, Add. Ca/uM and Volume.
ImportColumns columns_from(const std::string& text, const TableText& table) {
  ImportColumns columns = default_import_columns(table);
  if (text.empty()) return columns;
  std::istringstream in(text);
  std::string item;
  int c = 0;
  for (; std::getline(in, item, ','); ++c) {
    int number = 0;
    if (c >= Titration::kCols || !parse_int_field(item, &number) || number < 0)
      throw CLI::ValidationError("--columns", "three column numbers from 1 (0 for none), e.g. 2,1,3");
    columns.fileColumn[c] = number - 1;
  }
  if (c != Titration::kCols) throw CLI::ValidationError("--columns", "three column numbers, e.g. 2,1,3");
  return columns;
}

TableText read_import_table(const ImportArgs& a) {
  const std::string text = read_whole_file(a.data);
  TableFormat format = detect_table_format(text);
  if (!a.separator.empty()) format.separator = separator_named(a.separator);
  if (!a.decimal.empty()) format.decimal = a.decimal == "comma" ? DecimalMark::Comma : DecimalMark::Point;
  if (a.skip >= 0) format.headerLines = a.skip;
  return read_table_text(text, format);
}

int run_import(const ImportArgs& a, bool hasTitle) {
  const TableText table = read_import_table(a);
  const ImportColumns columns = columns_from(a.columns, table);
  std::string refused = import_refusal(table, columns);
  if (refused.empty() && a.columns.empty() && table_column_count(table) > Titration::kCols)
    refused = "the table has " + std::to_string(table_column_count(table)) +
              " columns; a row holds at most 3 (response, added Ca in uM, volume in ml): choose them with --columns";
  if (!refused.empty()) throw CliFailure{a.data + ": " + refused};
  auto doc = std::make_unique<Titration>();
  import_into_grid(*doc, table, columns);
  if (hasTitle) doc->m_strTitle = a.title;
  doc->m_strDescription = a.description;
  save_or_fail(a.out, *doc);
  return 0;
}

// ---------------------------------------------------------------------------------------
// Registration.

void setup_new(CLI::App& app, CliIo&, CliRunner& runner) {
  auto out = std::make_shared<std::string>();
  CLI::App* sub = app.add_subcommand("new", "Write a new, empty titration document");
  sub->add_option("OUT", *out, "document to write (.bwd)")->required();
  sub->callback([out, &runner] {
    runner = [out] {
      save_or_fail(*out, *std::make_unique<Titration>());
      return 0;
    };
  });
}

void setup_show(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto file = std::make_shared<std::string>();
  CLI::App* sub = app.add_subcommand("show", "Print a titration document as JSON");
  sub->add_option("FILE", *file, "document to read (.bwd)")->required();
  sub->callback([file, &io, &runner] {
    runner = [file, &io] {
      auto doc = std::make_unique<Titration>();
      const BwdStatus loaded = LoadBwdFile(*file, *doc);
      if (!loaded.ok) throw CliFailure{loaded.message};
      io.out << DocumentToJson(*doc).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
      return 0;
    };
  });
}

void setup_import(CLI::App& app, CliIo&, CliRunner& runner) {
  auto args = std::make_shared<ImportArgs>();
  CLI::App* sub = app.add_subcommand(
      "import",
      "Build a document from a text table (CSV, TSV, TXT) read as the grid's Paste reads it: fields split by "
      "tabs, else semicolons, else commas, else blanks when every line has the same number of numbers; a decimal "
      "comma within tab or semicolon text; a first line without a number skipped as a header; up to 99 rows");
  sub->add_option("DATA", args->data, "text table to read")->required();
  sub->add_option("OUT", args->out, "document to write (.bwd)")->required();
  sub->add_option("--title", args->title, "graph title (default \"Title\")");
  sub->add_option("--description", args->description, "experimental description");
  sub->add_option("--separator", args->separator, "field separator instead of the detected one")
      ->check(CLI::IsMember({"tab", "semicolon", "comma", "blanks", "none"}));
  sub->add_option("--decimal", args->decimal, "decimal mark instead of the detected one")
      ->check(CLI::IsMember({"point", "comma"}));
  sub->add_option("--skip", args->skip, "header lines to skip instead of the detected number")
      ->check(CLI::Range(0, 1000));
  sub->add_option("--columns", args->columns,
                  "file columns (from 1, 0 for none) of Response, Add. Ca/uM and Volume (default 1,2,3)");
  sub->callback([args, sub, &runner] {
    const bool hasTitle = sub->count("--title") > 0;
    runner = [args, hasTitle] { return run_import(*args, hasTitle); };
  });
}

const CliRegistration kNew(10, setup_new);
const CliRegistration kShow(20, setup_show);
const CliRegistration kImport(30, setup_import);

}  // namespace

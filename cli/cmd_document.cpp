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
#include "document/titration.h"

namespace {

void save_or_fail(const std::string& path, const Titration& doc) {
  const BwdStatus saved = SaveBwdFile(path, doc);
  if (!saved.ok) throw CliFailure{saved.message};
}

// ---------------------------------------------------------------------------------------
// import: one grid row per table line.

using Row = std::vector<std::string>;

std::string trim_spaces(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Tabs, commas and semicolons separate fields one by one, so an empty field keeps its
// column ("1,,2.0" leaves the added Ca empty); a line without any of them is split on runs
// of spaces. Empty fields at the end of a line (a trailing separator) are dropped.
Row split_fields(const std::string& line) {
  Row fields;
  if (line.find_first_of("\t,;") != std::string::npos) {
    std::string field;
    for (char c : line) {
      if (c == '\t' || c == ',' || c == ';') {
        fields.push_back(trim_spaces(field));
        field.clear();
      } else {
        field += c;
      }
    }
    fields.push_back(trim_spaces(field));
  } else {
    std::istringstream words(line);
    for (std::string word; words >> word;) fields.push_back(word);
  }
  while (!fields.empty() && fields.back().empty()) fields.pop_back();
  return fields;
}

std::vector<Row> read_table(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CliFailure{path + ": cannot open: " + std::strerror(errno)};
  std::vector<Row> rows;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // UTF-8 byte order mark
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    Row fields = split_fields(line);
    if (fields.size() > Titration::kCols)
      throw CliFailure{path + ": line " + std::to_string(number) + " has " + std::to_string(fields.size()) +
                       " columns; a row holds at most 3 (response, added Ca in uM, volume in ml)"};
    rows.push_back(std::move(fields));
    if (rows.size() > Titration::kRows)
      throw CliFailure{path + ": more than 99 rows (line " + std::to_string(number) +
                       "); the grid holds at most 99"};
  }
  if (in.bad()) throw CliFailure{path + ": cannot read: " + std::strerror(errno)};
  return rows;
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

struct ImportArgs {
  std::string data, out, title, description;
};

void setup_import(CLI::App& app, CliIo&, CliRunner& runner) {
  auto args = std::make_shared<ImportArgs>();
  CLI::App* sub = app.add_subcommand(
      "import",
      "Build a document from a text table: up to 99 rows of 1 to 3 columns (response, added Ca in uM, "
      "volume in ml) separated by tabs, commas, semicolons or spaces; lines starting with # are skipped");
  sub->add_option("DATA", args->data, "text table to read")->required();
  sub->add_option("OUT", args->out, "document to write (.bwd)")->required();
  sub->add_option("--title", args->title, "graph title (default \"Title\")");
  sub->add_option("--description", args->description, "experimental description");
  sub->callback([args, sub, &runner] {
    const bool hasTitle = sub->count("--title") > 0;
    runner = [args, hasTitle] {
      const std::vector<Row> rows = read_table(args->data);
      auto doc = std::make_unique<Titration>();
      for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) doc->m_cells[r][c].SetText(rows[r][c]);
      if (hasTitle) doc->m_strTitle = args->title;
      doc->m_strDescription = args->description;
      save_or_fail(args->out, *doc);
      return 0;
    };
  });
}

const CliRegistration kNew(10, setup_new);
const CliRegistration kShow(20, setup_show);
const CliRegistration kImport(30, setup_import);

}  // namespace

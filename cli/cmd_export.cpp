// bindwise-cli export: the File menu's exports, byte for byte as the window writes them: the
// classic ASCII text, or CSV with --csv.
#include <vector>
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "commands/residuals.h"
#include "outputview/ascii_export.h"

namespace {

struct ExportArgs {
  std::string kind, file, out;
  int count = kExportCountDefault;
  int position = 0;
  bool csv = false;
};

std::vector<std::string> kind_names() {
  std::vector<std::string> names;
  for (const ExportKindInfo& info : export_kinds()) names.push_back(info.name);
  return names;
}

std::string kind_list() {
  std::string list;
  const std::vector<std::string> names = kind_names();
  for (std::size_t i = 0; i < names.size(); ++i) list += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  return list;
}

int run_export(const ExportArgs& a, CliIo& io) {
  auto doc = load_document_or_fail(a.file);
  const ExportKind kind = find_export_kind(a.kind)->kind;
  const std::string refused = export_precondition(*doc, kind, a.position);
  if (!refused.empty()) {
    print_message(io, refused);
    return 1;
  }
  std::string error;
  const std::string text =
      a.csv ? export_csv_text(*doc, kind, a.count, a.position) : export_text(*doc, kind, a.count, a.position);
  if (!write_export_file(a.out, text, &error)) throw CliFailure{error};
  return 0;
}

void setup_export(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<ExportArgs>();
  CLI::App* sub =
      app.add_subcommand("export", "Write points, the fit, a simulation, a saturation curve or the fit's residuals as ASCII or CSV");
  sub->add_option("KIND", a->kind, kind_list())->required()->check(CLI::IsMember(kind_names()));
  sub->add_option("FILE", a->file, "document to read (.bwd)")->required();
  sub->add_option("--out", a->out, "text file to write")->required();
  add_integer_option(sub, "--count", a->count, "number of curve points, 20..500 (default 100)", kExportCountMin,
                     kExportCountMax);
  add_integer_option(sub, "--position", a->position, "plot-list position of the simulation, 1..10", 1,
                     Titration::kMaxSims);
  sub->add_flag("--csv", a->csv, "comma-separated values with a header row, '.' decimals and LF line ends");
  sub->callback([a, &io, &runner] { runner = [a, &io] { return run_export(*a, io); }; });
}

const CliRegistration kExport(70, setup_export);

}  // namespace

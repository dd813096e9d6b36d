// bindwise-cli export: the File menu's ASCII exports, byte for byte as the window writes them.
#include <map>
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "outputview/ascii_export.h"

namespace {

struct ExportArgs {
  std::string kind, file, out;
  int count = kExportCountDefault;
  int position = 0;
};

const std::map<std::string, ExportKind>& kinds() {
  static const std::map<std::string, ExportKind> k = {
      {"points", ExportKind::Points},
      {"fit", ExportKind::Fit},
      {"simulation", ExportKind::Simulation},
      {"saturation", ExportKind::Saturation},
      {"simulation-saturation", ExportKind::SimulationSaturation}};
  return k;
}

int run_export(const ExportArgs& a, CliIo& io) {
  auto doc = load_document_or_fail(a.file);
  const ExportKind kind = kinds().at(a.kind);
  const std::string refused = export_precondition(*doc, kind, a.position);
  if (!refused.empty()) {
    print_message(io, refused);
    return 1;
  }
  std::string error;
  if (!write_export_file(a.out, export_text(*doc, kind, a.count, a.position), &error)) throw CliFailure{error};
  return 0;
}

void setup_export(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<ExportArgs>();
  CLI::App* sub = app.add_subcommand("export", "Write points, the fit, a simulation or a saturation curve as ASCII");
  sub->add_option("KIND", a->kind, "points, fit, simulation, saturation or simulation-saturation")
      ->required()
      ->check(CLI::IsMember({"points", "fit", "simulation", "saturation", "simulation-saturation"}));
  sub->add_option("FILE", a->file, "document to read (.bwd)")->required();
  sub->add_option("--out", a->out, "text file to write")->required();
  add_integer_option(sub, "--count", a->count, "number of curve points, 20..500 (default 100)", kExportCountMin,
                     kExportCountMax);
  add_integer_option(sub, "--position", a->position, "plot-list position of the simulation, 1..10", 1,
                     Titration::kMaxSims);
  sub->callback([a, &io, &runner] { runner = [a, &io] { return run_export(*a, io); }; });
}

const CliRegistration kExport(70, setup_export);

}  // namespace

// bindwise-cli simulate and delete-plot: the Simulate command and the control panel's Del
// on a document file. Both print the changed document as `show` does; messages the window
// would show go to stderr, one line each.
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "document/cell_check.h"
#include "cli/document_json.h"
#include "commands/simulate_command.h"
#include "fitting/models.h"

namespace {

struct SimulateArgs {
  std::string file, values, save;
  int model = 0;
  double startCa = 0.0;
  bool noDilution = false;
};

int run_simulate(const SimulateArgs& a, const SimulateSettings& sim, CliIo& io) {
  auto doc = load_document_or_fail(a.file);
  if (const std::string refused = cells_refusal(*doc, "simulating"); !refused.empty())
    throw CliFailure{a.file + ": " + refused};
  const SimulateOutcome out = run_simulate_command(*doc, sim, nullptr);
  for (const std::string& m : out.messages) print_message(io, m);
  if (!out.computed) {
    if (out.messages.empty())
      throw CliFailure{a.file + ": nothing simulated: no row of the grid has an added Ca"};
    return 1;
  }
  save_if_requested(a.save, *doc);
  print_json(io, DocumentToJson(*doc));
  return 0;
}

void setup_simulate(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<SimulateArgs>();
  CLI::App* sub = app.add_subcommand("simulate", "Draw a model curve from typed parameters into a free plot slot");
  sub->add_option("FILE", a->file, "document to read (.bwd)")->required();
  add_integer_option(sub, "--model", a->model, "model number 1..10", 1, kModelCount)->required();
  sub->add_option("--values", a->values,
                  "parameter values of rows 1..11, comma-separated, as typed in the Simulate dialog")
      ->required();
  add_number_option(sub, "--start-ca", a->startCa, "start Ca concentration, uM", 0.0, kMaxAmount);
  sub->add_flag("--no-dilution", a->noDilution, "the signal is not affected by dilution");
  sub->add_option("--save", a->save, "write the changed document here (.bwd)");
  sub->callback([a, &io, &runner] {
    SimulateSettings sim;
    simulate_dialog_open(sim);
    sim.m_nModelIndex = a->model - 1;
    const auto v = parse_number_list("--values", a->values, kValueRows);
    for (std::size_t i = 0; i < v.size(); ++i) sim.m_dValue[i + 1] = v[i];
    sim.m_dStartCa = a->startCa;
    sim.m_bDilution = a->noDilution ? 0 : 1;
    runner = [a, sim, &io] { return run_simulate(*a, sim, io); };
  });
}

struct DeleteArgs {
  std::string file, save;
  int position = 0;
};

void setup_delete_plot(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<DeleteArgs>();
  CLI::App* sub = app.add_subcommand("delete-plot", "Remove a simulated plot (the Del button)");
  sub->add_option("FILE", a->file, "document to read (.bwd)")->required();
  add_integer_option(sub, "--position", a->position, "position of the plot in the plot list, 1..10", 1, Titration::kMaxSims)
      ->required();
  sub->add_option("--save", a->save, "write the changed document here (.bwd)");
  sub->callback([a, &io, &runner] {
    runner = [a, &io] {
      auto doc = load_document_or_fail(a->file);
      const DeletePlotOutcome out = delete_plot_at(*doc, a->position);
      if (!out.removed) {
        print_message(io, out.message);
        return 1;
      }
      save_if_requested(a->save, *doc);
      print_json(io, DocumentToJson(*doc));
      return 0;
    };
  });
}

const CliRegistration kSimulate(50, setup_simulate);
const CliRegistration kDeletePlot(55, setup_delete_plot);

}  // namespace

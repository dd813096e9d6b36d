// bindwise-cli generate: one "Add" of the Generate Data dialog on a document file, followed
// by closing the dialog (which rewrites the added-Ca cells of the plan as "%f" texts).
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "cli/document_json.h"
#include "outputview/generate_data.h"

namespace {

struct GenerateArgs {
  std::string file, volUnit = "ml", concUnit = "mM", save;
  GenerateRequest request;
};

int unit_index(const std::string& option, const std::string& name, const char* (*unit_name)(int)) {
  for (int i = 0; i <= 2; ++i)
    if (name == unit_name(i)) return i;
  throw CliBadValue{option + ": '" + name + "' is not one of " + unit_name(0) + ", " + unit_name(1) + ", " +
                    unit_name(2)};
}

int run_generate(const GenerateArgs& a, CliIo& io) {
  auto doc = load_document_or_fail(a.file);
  std::vector<std::string> lines = gen_list_lines(*doc);
  const GenerateOutcome out = take_generate_request(*doc, a.request, lines);
  if (!out.generated) {
    print_message(io, out.message);
    return 1;
  }
  cancel_generate(*doc);
  save_if_requested(a.save, *doc);
  print_json(io, DocumentToJson(*doc));
  return 0;
}

void setup_generate(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<GenerateArgs>();
  GenerateRequest& r = a->request;
  CLI::App* sub = app.add_subcommand(
      "generate", "Plan a run of equal Ca additions and write its volumes and added Ca into the grid");
  sub->add_option("FILE", a->file, "document to read (.bwd)")->required();
  add_number_option(sub, "--start-volume", r.m_dVolStart, "volume at the start of the titration, ml", 0.0, kMaxAmount)->required();
  sub->add_option("--vol-unit", a->volUnit, "unit of the added volume: ml, ul or nl")->required();
  sub->add_option("--conc-unit", a->concUnit, "unit of the added Ca concentration: mM, uM or nM")->required();
  add_integer_option(sub, "--start-cell", r.m_nStartCell, "cell number (2..97) of the run's first addition", 2, 97)
      ->required();
  add_integer_option(sub, "--additions", r.m_nAdditionCount, "number of additions, 0..96", 0, 96)->required();
  add_number_option(sub, "--volume", r.m_dVolAdded, "volume of one addition, in --vol-unit", 0.0, kMaxAmount)->required();
  add_number_option(sub, "--conc", r.m_dConcAdded, "Ca concentration of the added solution, in --conc-unit", 0.0,
                    kMaxAmount)
      ->required();
  sub->add_option("--save", a->save, "write the changed document here (.bwd)");
  sub->callback([a, &io, &runner] {
    a->request.m_nVolUnit = unit_index("--vol-unit", a->volUnit, gen_volume_unit_name);
    a->request.m_nConcUnit = unit_index("--conc-unit", a->concUnit, gen_conc_unit_name);
    runner = [a, &io] { return run_generate(*a, io); };
  });
}

const CliRegistration kGenerate(60, setup_generate);

}  // namespace

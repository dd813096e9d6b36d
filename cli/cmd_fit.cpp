// bindwise-cli fit: the Fit command on a document file, with the Fit dialog's fields as
// options. Prints the document as `show` does plus the results rows as the results panel
// prints them; the messages the window would show go to stderr.
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "document/cell_check.h"
#include "cli/document_json.h"
#include "commands/auto_start.h"
#include "commands/display_values.h"
#include "commands/fit_command.h"
#include "fitting/models.h"

namespace {

struct FitArgs {
  std::string file, values, flags, errors = "none", save;
  int model = 0;
  double startCa = 0.0, temperature = 25.0;
  bool noDilution = false, extensive = false, autoStart = false, profile = false;
  std::uint32_t seed = 0;
  bool haveSeed = false;
};

// The dialog as the user leaves it: the model just chosen (so its fit-flag defaults apply),
// then the typed values and check boxes.
FitSettings settings_from(const FitArgs& a) {
  FitSettings s = fit_dialog_from_options(a.model, a.values, a.flags, a.startCa, a.noDilution);
  s.m_bExtensive = a.extensive ? 1 : 0;
  s.m_dTemperature = a.temperature;
  apply_error_method(a.errors, s);
  s.m_bProfile = a.profile ? 1 : 0;
  return s;
}

nlohmann::ordered_json display_json(const Titration& doc) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  if (!doc.m_bShowFit) return rows;
  const ResultsBlock block = results_block(doc.m_fit, doc.m_dStartCa, doc.m_fTemperature);
  if (block.empty()) return rows;
  rows.push_back({{"table", "left"}, {"row", 0}, {"label", block.title}, {"value", ""},
                  {"confidence", nlohmann::ordered_json::array()}});
  for (const ResultsRow& r : block.rows) {
    nlohmann::ordered_json confidence = nlohmann::ordered_json::array();
    if (!r.upper.empty()) confidence.push_back(r.upper);
    if (!r.lower.empty()) confidence.push_back(r.lower);
    rows.push_back({{"table", r.table == ResultsTable::Left ? "left" : "right"},
                    {"row", r.row},
                    {"label", r.label},
                    {"value", r.value},
                    {"confidence", confidence}});
  }
  return rows;
}

int run_fit(const FitArgs& a, const FitSettings& settingsTemplate, CliIo& io) {
  auto doc = load_document_or_fail(a.file);
  if (const std::string refused = cells_refusal(*doc, "fitting"); !refused.empty())
    throw CliFailure{a.file + ": " + refused};
  FitSettings s = settingsTemplate;
  if (a.autoStart) {
    const AutoStartOutcome start = estimate_start_values(*doc, s);
    if (!start.ok) throw CliFailure{a.file + ": " + start.message};
  }
  FitOptions options;
  if (a.haveSeed) options.jackknifeSeed = a.seed;
  const FitOutcome out = run_fit_command(*doc, s, nullptr, options);
  if (!out.fitted)
    throw CliFailure{a.file + ": nothing fitted: fewer than 3 rows with a response and a volume"
                     " (electrode models also leave out total Ca 0)"};
  for (const std::string& m : out.result.messages) print_message(io, m);
  save_if_requested(a.save, *doc);
  nlohmann::ordered_json json = DocumentToJson(*doc);
  json["display"] = display_json(*doc);
  print_json(io, json);
  return 0;
}

void setup_fit(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<FitArgs>();
  CLI::App* sub = app.add_subcommand("fit", "Fit a binding model to the document's titration series");
  sub->add_option("FILE", a->file, "document to read (.bwd)")->required();
  add_integer_option(sub, "--model", a->model, "model number 1..10", 1, kModelCount)->required();
  sub->add_option("--values", a->values,
                  "start values of rows 1..11, comma-separated, as typed in the Fit dialog (uM, log K, "
                  "log Kd, responses)");
  sub->add_option("--fit-flags", a->flags,
                  "fit check boxes of rows 1..11 (1 or 0, comma-separated); default: the model's defaults");
  add_number_option(sub, "--start-ca", a->startCa, "start Ca concentration, uM", 0.0, kMaxAmount);
  sub->add_flag("--no-dilution", a->noDilution, "the signal is not affected by dilution");
  sub->add_option("--errors", a->errors, "none, percent:P, sd:S, jackknife or jackknife:P (default none)");
  sub->add_flag("--profile", a->profile,
                "profile-likelihood intervals (68 % and 95 %) of every fitted row, printed as fit.profile");
  sub->add_flag("--extensive", a->extensive, "broad search of the start constants (slow)");
  sub->add_flag("--auto-start", a->autoStart,
                "estimate the start values of the fitted rows from the data (--values then only sets "
                "the rows that are not fitted)");
  add_number_option(sub, "--temperature", a->temperature, "temperature of the experiment, -50..150 degrees C (default 25)",
                    kMinTemperatureC, kMaxTemperatureC);
  auto* seed = add_integer_option(sub, "--seed", a->seed, "seed of the jackknife's random subsets", 0, kMaxSeed);
  sub->add_option("--save", a->save, "write the fitted document here (.bwd)");
  sub->callback([a, seed, &io, &runner] {
    a->haveSeed = seed->count() > 0;
    const FitSettings settings = settings_from(*a);
    runner = [a, settings, &io] { return run_fit(*a, settings, io); };
  });
}

const CliRegistration kFit(40, setup_fit);

}  // namespace

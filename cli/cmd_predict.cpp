// bindwise-cli predict: how precisely the document's planned series (its Add. Ca and Volume
// columns) would determine the constants a user expects, at a given reading noise.
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "commands/precision_prediction.h"
#include "fitting/model_registry.h"

namespace {

struct PredictArgs {
  std::string file, values, flags, errors = "sd";
  int model = 0;
  double startCa = 0.0, noise = 0.0;
  bool noDilution = false;
  std::uint32_t seed = 1;
};

FitSettings expected_settings(const PredictArgs& a) {
  FitSettings s = fit_dialog_from_options(a.model, a.values, a.flags, a.startCa, a.noDilution);
  if (a.errors == "jackknife") fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
  else if (a.errors != "sd") throw CliBadValue{"--errors: '" + a.errors + "' is not one of sd or jackknife"};
  return s;
}

int run_predict(const PredictArgs& a, const FitSettings& expected, CliIo& io) {
  auto doc = load_document_or_fail(a.file);
  const PrecisionPrediction p = predict_precision(*doc, expected, a.noise, a.seed);
  if (!p.ok) throw CliFailure{a.file + ": " + p.message};
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const PredictedRow& r : p.rows)
    rows.push_back({{"row", r.row}, {"name", fit_dialog_row(a.model, r.row)->label}, {"value", r.value}, {"error", r.error}});
  nlohmann::ordered_json j;
  j["model"] = a.model;
  j["n"] = p.n;
  j["noise"] = a.noise;
  j["rows"] = rows;
  print_json(io, j);
  return 0;
}

void setup_predict(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<PredictArgs>();
  CLI::App* sub = app.add_subcommand("predict", "Predict the errors a planned titration would give the constants");
  sub->add_option("FILE", a->file, "document whose Add. Ca and Volume columns hold the plan (.bwd)")->required();
  add_integer_option(sub, "--model", a->model, "model number 1..10", 1, kModelCount)->required();
  sub->add_option("--values", a->values, "the expected values of rows 1..11, as typed in the Fit dialog")->required();
  sub->add_option("--fit-flags", a->flags, "rows the fit would adjust (1 or 0); default: the model's defaults");
  add_number_option(sub, "--start-ca", a->startCa, "start Ca concentration, uM", 0.0, kMaxAmount);
  sub->add_flag("--no-dilution", a->noDilution, "the signal is not affected by dilution");
  add_number_option(sub, "--noise", a->noise, "standard deviation of one reading, response units", 0.0)->required();
  sub->add_option("--errors", a->errors, "sd (covariance, the default) or jackknife");
  add_integer_option(sub, "--seed", a->seed, "seed of the simulated reading noise (jackknife)", 0, kMaxSeed);
  sub->callback([a, &io, &runner] {
    const FitSettings expected = expected_settings(*a);
    runner = [a, expected, &io] { return run_predict(*a, expected, io); };
  });
}

const CliRegistration kPredict(48, setup_predict);

}  // namespace

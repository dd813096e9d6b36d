// bindwise-cli compare: fits every model measured like the document's fit (or those named
// with --models) with start values estimated from the data and prints how strongly the data
// support each, as JSON; every candidate carries how its fit ended and its warnings.
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "cli/command_support.h"
#include "cli/document_json.h"
#include "commands/model_comparison.h"
#include "fitting/models.h"

namespace {

struct CompareArgs {
  std::string file, models, errors = "none", save;
  std::uint32_t seed = 0;
  bool haveSeed = false;
};

nlohmann::ordered_json number_or_null(double v) {
  return std::isfinite(v) ? nlohmann::ordered_json(v) : nlohmann::ordered_json();
}

nlohmann::ordered_json candidate_json(const CandidateFit& c) {
  nlohmann::ordered_json j;
  j["model"] = c.model;
  j["fitted"] = c.fitted;
  if (!c.fitted) {
    j["message"] = c.message;
    return j;
  }
  j["n"] = c.n;
  j["p"] = c.p;
  j["chi_square"] = number_or_null(c.chiSquare);
  j["aicc"] = number_or_null(c.aicc);
  j["bic"] = number_or_null(c.bic);
  j["weight"] = number_or_null(c.weight);
  nlohmann::ordered_json values = nlohmann::ordered_json::array();
  for (int row = 1; row <= model_info(c.model).slots && row <= kValueRows; ++row) values.push_back(number_or_null(c.values[row]));
  j["values"] = values;
  j["stop"] = fit_stop_name(c.result.stop);
  j["runs"] = c.result.runs;
  j["warnings"] = WarningsToJson(c.result.diagnostics);
  return j;
}

nlohmann::ordered_json comparison_json(const ModelComparison& out) {
  nlohmann::ordered_json j;
  j["n"] = out.n;
  nlohmann::ordered_json candidates = nlohmann::ordered_json::array();
  for (const CandidateFit& c : out.candidates) candidates.push_back(candidate_json(c));
  j["candidates"] = candidates;
  j["best"] = out.best;
  nlohmann::ordered_json tests = nlohmann::ordered_json::array();
  for (const FTestResult& t : out.fTests)
    tests.push_back({{"simple", t.simple}, {"complex", t.complex}, {"F", number_or_null(t.F)}, {"p", number_or_null(t.p)}});
  j["f_tests"] = tests;
  j["verdict"] = out.verdict;
  return j;
}

int run_compare(const CompareArgs& a, const ComparisonOptions& options, CliIo& io) {
  auto doc = load_document_or_fail(a.file);
  ModelComparison out;
  try {
    out = compare_models(*doc, options);
  } catch (const std::invalid_argument& e) {
    throw CliFailure{a.file + ": " + e.what()};
  }
  if (!a.save.empty()) {
    for (const CandidateFit& c : out.candidates)
      if (c.model == out.best) apply_candidate(*doc, c);
    save_if_requested(a.save, *doc);
  }
  print_json(io, comparison_json(out));
  return 0;
}

void setup_compare(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<CompareArgs>();
  CLI::App* sub = app.add_subcommand("compare", "Compare the binding models of the fitted model's kind on the document's titration");
  sub->add_option("FILE", a->file, "document holding a fit (.bwd)")->required();
  sub->add_option("--models", a->models, "models to compare, comma-separated (default: every model of the fit's kind)");
  sub->add_option("--errors", a->errors, "none, percent:P, sd:S, jackknife or jackknife:P (default none)");
  auto* seed = add_integer_option(sub, "--seed", a->seed, "seed of the jackknife's random subsets", 0, kMaxSeed);
  sub->add_option("--save", a->save, "write the document with the best model's fit here (.bwd)");
  sub->callback([a, seed, &io, &runner] {
    ComparisonOptions options;
    apply_error_method(a->errors, options.errors);
    if (!a->models.empty())
      for (double m : parse_number_list("--models", a->models, kModelCount, 1, kModelCount)) {
        if (m != std::floor(m)) throw CliBadValue{"--models: '" + a->models + "' holds a model number that is not whole"};
        options.models.push_back(static_cast<int>(m));
      }
    if (seed->count() > 0) options.jackknifeSeed = a->seed;
    runner = [a, options, &io] { return run_compare(*a, options, io); };
  });
}

const CliRegistration kCompare(45, setup_compare);

}  // namespace

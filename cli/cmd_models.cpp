// bindwise-cli models: the ten binding models as the dialogs know them, for scripts that
// build --values and --fit-flags lists or read a fit's parameters by name.
#include <memory>

#include "cli/command_support.h"
#include "cli/model_json.h"

namespace {

void setup_models(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto model = std::make_shared<int>(0);
  CLI::App* sub = app.add_subcommand(
      "models", "Print the binding models as JSON: names, family, and each Fit dialog row (as --values "
                "numbers them) with its slot, kind, labels, unit and default fit flag");
  add_integer_option(sub, "--model", *model, "only this model (1..10)", 1, kModelCount);
  sub->callback([model, &io, &runner] {
    runner = [model, &io] {
      if (*model != 0) {
        print_json(io, ModelToJson(*model));
        return 0;
      }
      nlohmann::ordered_json all = nlohmann::ordered_json::array();
      for (int m = 1; m <= kModelCount; ++m) all.push_back(ModelToJson(m));
      print_json(io, all);
      return 0;
    };
  });
}

const CliRegistration kModels(90, setup_models);

}  // namespace

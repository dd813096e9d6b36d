#include "cli/cli_command.h"
#include "cli/command_support.h"

#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, CliSetup>>& registry() {
  static std::vector<std::pair<int, CliSetup>> setups;
  return setups;
}

}  // namespace

CliRegistration::CliRegistration(int order, CliSetup setup) { registry().emplace_back(order, setup); }

int run_cli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Bindwise command line: calcium titration documents, fits, simulations and reports",
               "bindwise-cli"};
  app.require_subcommand(1);
  CliIo io{out, err};
  CliRunner runner;
  auto setups = registry();
  std::stable_sort(setups.begin(), setups.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [order, setup] : setups) setup(app, io, runner);
  try {
    app.parse(argc, argv);
  } catch (const CliBadValue& bad) {
    err << "bindwise-cli: " << bad.message << "\n";
    return 2;
  } catch (const CLI::ArgumentMismatch& e) {
    err << "bindwise-cli: " << e.what() << "\n";  // an option given without its value
    return 2;
  } catch (const CLI::CallForHelp& e) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForAllHelp& e) {
    out << app.help("", CLI::AppFormatMode::All);
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "bindwise-cli: " << e.what() << "\n";
    CLI::App* sub = app.get_subcommands().empty() ? &app : app.get_subcommands().front();
    err << sub->help();
    return 2;
  }
  if (!runner) return 2;
  try {
    return runner();
  } catch (const CliFailure& f) {
    err << "bindwise-cli: " << f.message << "\n";
    return 1;
  } catch (const std::exception& e) {
    err << "bindwise-cli: " << e.what() << "\n";
    return 1;
  }
}

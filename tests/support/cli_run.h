// bindwise-cli run in-process by the tests: exit status and what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_command.h"

struct CliRun {
  int status;
  std::string out, err;
};

// args without the program name, e.g. {"show", "a.bwd"}.
inline CliRun cli(std::vector<std::string> args) {
  args.insert(args.begin(), "bindwise-cli");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int status = run_cli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

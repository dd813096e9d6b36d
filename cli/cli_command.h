// Subcommands of bindwise-cli register themselves here, so each lives in its own file.
// Exit statuses: 0 success, 2 usage error (with the usage text), 1 any other failure with
// one line on stderr naming the file and the reason.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include <CLI/CLI.hpp>

struct CliIo {
  std::ostream& out;
  std::ostream& err;
};

// A setup adds its subcommand to app; when the subcommand is chosen its callback stores the
// work in runner, which run_cli calls after parsing and whose return value is the exit status.
using CliRunner = std::function<int()>;
using CliSetup = void (*)(CLI::App& app, CliIo& io, CliRunner& runner);

struct CliRegistration {
  CliRegistration(int order, CliSetup setup);
};

// Runs the command line in-process (the tests use this); returns the exit status.
int run_cli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// A failure that ends a subcommand with status 1; the message names the file and the reason.
struct CliFailure {
  std::string message;
};

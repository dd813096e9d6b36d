// Shared plumbing of the subcommands that change a document (fit, simulate, delete-plot,
// generate) and of export: reading the input, writing --save, printing the document, and
// parsing the comma lists and unit names of their options in the C locale.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/cli_command.h"
#include "commands/fit_settings.h"
#include "document/titration.h"

// Reads FILE; throws CliFailure with the reader's message when it cannot.
std::unique_ptr<Titration> load_document_or_fail(const std::string& path);
// Writes the document to out when out is not empty (the input is never written otherwise).
void save_if_requested(const std::string& out, const Titration& doc);
// Prints json (an ordered_json) with two-space indentation and a final newline.
void print_json(CliIo& io, const nlohmann::ordered_json& json);
// A message the window shows in a box, as one stderr line (its line breaks become blanks).
void print_message(CliIo& io, const std::string& message);

// Every numeric option of every subcommand is read by parse_number: a C-locale decimal with
// nothing after it, finite, within [lo, hi]. A bad, empty or out-of-range value throws
// CliBadValue, which run_cli prints as one line naming the option and ends with status 2.
struct CliBadValue {
  std::string message;  // "--start-ca: 'inf' is not a finite number"
};
inline constexpr double kNoLimit = 1.7976931348623157e308;  // the largest finite double
double parse_number(const std::string& option, const std::string& text, double lo = -kNoLimit,
                    double hi = kNoLimit);
// A whole number in lo..hi, read as parse_number reads ("3" and "3.0", not "3.5" or "3x").
long long parse_integer(const std::string& option, const std::string& text, long long lo, long long hi);
// "1.5,2,-3e2" -> numbers, each as parse_number reads it; at most maxCount of them.
std::vector<double> parse_number_list(const std::string& option, const std::string& text, std::size_t maxCount,
                                      double lo = -kNoLimit, double hi = kNoLimit);

// Adds a numeric option read by parse_number (or parse_integer) into target.
CLI::Option* add_number_option(CLI::App* sub, const std::string& name, double& target, const std::string& help,
                               double lo = -kNoLimit, double hi = kNoLimit);
template <class Int>
CLI::Option* add_integer_option(CLI::App* sub, const std::string& name, Int& target, const std::string& help,
                                long long lo, long long hi) {
  return sub->add_option_function<std::string>(
      name, [&target, name, lo, hi](const std::string& text) { target = static_cast<Int>(parse_integer(name, text, lo, hi)); },
      help);
}

// Ranges the subcommands share.
inline constexpr double kMinTemperatureC = -50.0;
inline constexpr double kMaxTemperatureC = 150.0;
// Volumes (ml, ul or nl) and concentrations (uM, or the plan's unit) up to a million: far
// beyond any titration, and low enough that the plan's sums and the products of volume and
// concentration stay finite in every cell they fill.
inline constexpr double kMaxAmount = 1e6;
inline constexpr long long kMaxSeed = 4294967295LL;  // seeds are 32-bit

// --errors of fit and compare: "none", "percent:P", "sd:S", "jackknife" or "jackknife:P" set
// the Fit dialog's error group (P and S finite and >= 0); anything else throws CliBadValue.
void apply_error_method(const std::string& text, FitSettings& s);

// The Fit dialog as the user leaves it after choosing model (1..10): the model's default
// check boxes, then --values and --fit-flags (either may be empty), start Ca and dilution.
FitSettings fit_dialog_from_options(int model, const std::string& values, const std::string& flags, double startCaUM,
                                    bool noDilution);

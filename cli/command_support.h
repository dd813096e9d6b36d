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

// "1.5,2,-3e2" -> numbers; throws CLI::ValidationError naming option on any bad entry or when
// there are more than maxCount entries.
std::vector<double> parse_number_list(const std::string& option, const std::string& text, std::size_t maxCount);
double parse_number(const std::string& option, const std::string& text);

// --errors of fit and compare: "none", "percent:P", "sd:S", "jackknife" or "jackknife:P" set
// the Fit dialog's error group; anything else throws CLI::ValidationError.
void apply_error_method(const std::string& text, FitSettings& s);

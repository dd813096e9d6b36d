#include "cli/command_support.h"

#include <ostream>

#include "document/bwd_file.h"

std::unique_ptr<Titration> load_document_or_fail(const std::string& path) {
  auto doc = std::make_unique<Titration>();
  const BwdStatus loaded = LoadBwdFile(path, *doc);
  if (!loaded.ok) throw CliFailure{loaded.message};
  doc->SetModifiedFlag(false);
  return doc;
}

void save_if_requested(const std::string& out, const Titration& doc) {
  if (out.empty()) return;
  const BwdStatus saved = SaveBwdFile(out, doc);
  if (!saved.ok) throw CliFailure{saved.message};
}

void print_json(CliIo& io, const nlohmann::ordered_json& json) {
  io.out << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

void print_message(CliIo& io, const std::string& message) {
  std::string line;
  for (char c : message) {
    if (c != '\n') {
      line += c;
    } else if (!line.empty() && line.back() != ' ') {
      line += ' ';
    }
  }
  std::size_t at;
  while ((at = line.find("  ")) != std::string::npos) line.erase(at, 1);
  io.err << line << "\n";
}

double parse_number(const std::string& option, const std::string& text) {
  bool trailing = false;
  const double value = parse_decimal(text, &trailing);
  if (text.empty() || trailing) throw CLI::ValidationError(option, "'" + text + "' is not a number");
  return value;
}

std::vector<double> parse_number_list(const std::string& option, const std::string& text, std::size_t maxCount) {
  std::vector<double> values;
  std::size_t from = 0;
  while (true) {
    const std::size_t comma = text.find(',', from);
    values.push_back(parse_number(option, text.substr(from, comma - from)));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  if (values.size() > maxCount)
    throw CLI::ValidationError(option, "at most " + std::to_string(maxCount) + " values");
  return values;
}

void apply_error_method(const std::string& text, FitSettings& s) {
  const auto colon = text.find(':');
  const std::string method = text.substr(0, colon);
  const std::string value = colon == std::string::npos ? "" : text.substr(colon + 1);
  if (method == "none" && value.empty()) {
    s.m_bEstimateErrors = 0;
    fit_dialog_choose_error_radio(s, ErrorRadio::Percent);
  } else if (method == "percent" && !value.empty()) {
    s.m_bEstimateErrors = 1;
    fit_dialog_choose_error_radio(s, ErrorRadio::Percent);
    s.m_dPercentError = parse_number("--errors", value);
  } else if (method == "sd" && !value.empty()) {
    fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
    s.m_dConstantSD = parse_number("--errors", value);
  } else if (method == "jackknife") {
    s.m_bEstimateErrors = 1;
    fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
    if (!value.empty()) s.m_dPercentError = parse_number("--errors", value);
  } else {
    throw CLI::ValidationError("--errors", "'" + text + "': use none, percent:P, sd:S, jackknife or jackknife:P");
  }
}

#include "cli/command_support.h"

#include <cmath>
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

namespace {

std::string shown(double v) { return c_printf("%g", v); }

[[noreturn]] void bad_value(const std::string& option, const std::string& text, const std::string& why) {
  throw CliBadValue{option + ": '" + text + "' " + why};
}

}  // namespace

double parse_number(const std::string& option, const std::string& text, double lo, double hi) {
  bool trailing = false;
  const double value = parse_decimal(text, &trailing);
  if (text.empty()) throw CliBadValue{option + ": the value is empty"};
  if (trailing) bad_value(option, text, "is not a number");
  if (!std::isfinite(value)) bad_value(option, text, "is not a finite number");
  if (value < lo || value > hi) {
    if (hi == kNoLimit) bad_value(option, text, "is below " + shown(lo));
    bad_value(option, text, "is outside " + shown(lo) + ".." + shown(hi));
  }
  return value;
}

long long parse_integer(const std::string& option, const std::string& text, long long lo, long long hi) {
  const double value = parse_number(option, text);
  if (value != std::floor(value)) bad_value(option, text, "is not a whole number");
  if (value < static_cast<double>(lo) || value > static_cast<double>(hi))
    bad_value(option, text, "is outside " + std::to_string(lo) + ".." + std::to_string(hi));
  return static_cast<long long>(value);
}

std::vector<double> parse_number_list(const std::string& option, const std::string& text, std::size_t maxCount,
                                      double lo, double hi) {
  std::vector<double> values;
  std::size_t from = 0;
  while (true) {
    const std::size_t comma = text.find(',', from);
    values.push_back(parse_number(option, text.substr(from, comma - from), lo, hi));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  if (values.size() > maxCount) bad_value(option, text, "has more than " + std::to_string(maxCount) + " values");
  return values;
}

CLI::Option* add_number_option(CLI::App* sub, const std::string& name, double& target, const std::string& help,
                               double lo, double hi) {
  return sub->add_option_function<std::string>(
      name, [&target, name, lo, hi](const std::string& text) { target = parse_number(name, text, lo, hi); }, help);
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
    s.m_dPercentError = parse_number("--errors", value, 0.0);
  } else if (method == "sd" && !value.empty()) {
    fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
    s.m_dConstantSD = parse_number("--errors", value, 0.0);
  } else if (method == "jackknife") {
    s.m_bEstimateErrors = 1;
    fit_dialog_choose_error_radio(s, ErrorRadio::Jackknife);
    if (!value.empty()) s.m_dPercentError = parse_number("--errors", value, 0.0);
  } else {
    bad_value("--errors", text, "is not one of none, percent:P, sd:S, jackknife or jackknife:P");
  }
}

FitSettings fit_dialog_from_options(int model, const std::string& values, const std::string& flags, double startCaUM,
                                    bool noDilution) {
  FitSettings s;
  s.m_nModelIndex = model - 1;
  s.m_nLastModel = 18;  // as if just chosen: its default check boxes
  Titration scratch;    // configuring records the model in a document
  fit_dialog_configure(s, scratch);
  if (!values.empty()) {
    const auto v = parse_number_list("--values", values, kValueRows);
    for (std::size_t i = 0; i < v.size(); ++i) s.m_dValue[i + 1] = v[i];
  }
  if (!flags.empty()) {
    const auto f = parse_number_list("--fit-flags", flags, kValueRows, 0.0, 1.0);
    for (std::size_t i = 0; i < f.size(); ++i) s.m_bFitSlot[i + 1] = f[i] != 0.0 ? 1 : 0;
  }
  s.m_dStartCa = startCaUM;
  s.m_bDilution = noDilution ? 0 : 1;
  return s;
}

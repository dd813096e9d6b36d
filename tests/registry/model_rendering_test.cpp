// Every model as the user meets it, rendered to text and compared with the recorded
// rendering: Fit and Simulate dialog rows, fit-flag defaults after every model change, the
// start-value conversion and stored slot counts, the results panel's rows, the report's rows
// and the Parameters dialog's lines. Any change of a label, format, position or default
// shows up here as a differing line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "commands/display_values.h"
#include "commands/fit_settings.h"
#include "document/c_text.h"
#include "document/titration.h"
#include "graphview/report_painter.h"

namespace {

std::string bool_rows(const bool (&rows)[kValueRows + 1]) {
  std::string out;
  for (int r = 1; r <= kValueRows; ++r)
    if (rows[r]) out += " " + std::to_string(r);
  return out;
}

void render_layout(std::ostream& os, const char* dialog, const DialogModelLayout& l) {
  os << dialog << " bitmap " << l.bitmap << " rows " << l.rowsShown << " uM" << bool_rows(l.uMRow)
     << " | " << l.description << "\n";
  for (int r = 1; r <= kValueRows; ++r) os << "  row " << r << " '" << l.labels[r] << "'\n";
}

void render_start_values(std::ostream& os, int model) {
  const double rows[kValueRows + 1] = {0, 1.5, 2.5, 3.5, -6.5, 5.5, 6.5, 7.5, 8.5, 9.5, 4.25, 2.75};
  double slots[ParamSet::kSlots];
  const int n = convert_start_values(model, rows, slots);
  os << "start values (" << n << "):";
  for (int k = 1; k < ParamSet::kSlots; ++k) os << " " << c_printf("%.17g", slots[k]);
  int all[kValueRows + 1];
  for (int& f : all) f = 1;
  int flags[ParamSet::kSlots];
  fit_flags_for_model(model, all, flags);
  os << "\nfittable:";
  for (int k = 1; k < ParamSet::kSlots; ++k) os << " " << flags[k];
  os << "\nrecord slots: fit " << fit_record_param_count(model) << " simulation "
     << simulation_record_param_count(model) << "\n";
}

// The checks of the shown rows after the dialog moved from model `from` to model `to`, for
// both starting states of every check box, and after reopening `to` with every shown check
// inverted (only the rules applied every time act then).
void render_fit_defaults(std::ostream& os, int from, int to) {
  const int shown = fit_dialog_layout(to - 1).rowsShown;
  for (int start : {0, 1}) {
    Titration doc;
    FitSettings s;
    for (int r = 1; r <= kValueRows; ++r) s.m_bFitSlot[r] = start;
    s.m_nModelIndex = from - 1;
    fit_dialog_open(s, doc);
    s.m_nModelIndex = to - 1;
    fit_dialog_configure(s, doc);
    os << "  from " << from << " start " << start << ":";
    for (int r = 1; r <= shown; ++r) os << s.m_bFitSlot[r];
    for (int r = 1; r <= shown; ++r) s.m_bFitSlot[r] = !s.m_bFitSlot[r];
    fit_dialog_open(s, doc);
    os << " reopened:";
    for (int r = 1; r <= shown; ++r) os << s.m_bFitSlot[r];
    os << "\n";
  }
}

// A record whose slots differ in size and whose errors cover both a small error and one
// larger than its constant (no lower confidence limit).
ParamSet sample_record(int model, bool errors) {
  ParamSet p;
  p.m_nModel = model;
  p.m_nParams = 11;
  p.m_bErrors = errors ? 1 : 0;
  p.m_dStartCa = 0.75;
  p.m_p[0] = 123.456789;
  for (int k = 1; k < ParamSet::kSlots; ++k) {
    p.m_p[k] = 1.2345 * k * (k % 3 == 0 ? 1000.0 : k % 3 == 1 ? 0.01 : 1.0);
    p.m_err[k] = p.m_p[k] * (k % 4 == 0 ? 1.5 : 0.125);
  }
  return p;
}

void render_results(std::ostream& os, int model) {
  for (bool errors : {false, true}) {
    const ParamSet fit = sample_record(model, errors);
    const ResultsBlock panel = results_block(fit, 1.5, 298.15f);
    os << "panel errors " << errors << " '" << panel.title << "'\n";
    for (const ResultsRow& r : panel.rows)
      os << "  " << (r.table == ResultsTable::Left ? "L" : "R") << r.row << " '" << r.label << "' '"
         << r.value << "' '" << r.upper << "' '" << r.lower << "'" << (r.valueNudgedLeft ? " nudged" : "")
         << "\n";
    const ReportBlock report = ReportResultsBlock(fit, 1.5, 298.15f);
    os << "report errors " << errors << " '" << report.name << "'\n";
    for (const ReportRow& r : report.rows)
      os << "  '" << r.label << "' '" << r.value << "' '" << r.upper << "' '" << r.lower << "'\n";
  }
  const ParameterLines lines = simulation_parameter_lines(sample_record(model, false));
  os << "parameters '" << lines.title << "'\n";
  for (const std::string& l : lines.lines) os << "  '" << l << "'\n";
}

std::string render_every_model() {
  std::ostringstream os;
  for (int model = 0; model <= 11; ++model) {
    os << "== model " << model << " '" << fit_dialog_model_name(model - 1) << "' '"
       << simulate_dialog_model_name(model - 1) << "'\n";
    render_layout(os, "fit", fit_dialog_layout(model - 1));
    render_layout(os, "simulate", simulate_dialog_layout(model - 1));
    render_start_values(os, model);
    if (model >= 1 && model <= 10) {
      os << "fit checks\n";
      for (int from = 1; from <= 10; ++from) render_fit_defaults(os, from, model);
    }
    render_results(os, model);
  }
  return os.str();
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The first line where the two texts differ, with its number, for the failure message.
std::string first_difference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected), a(actual);
  std::string le, la;
  for (int line = 1;; ++line) {
    const bool he = static_cast<bool>(std::getline(e, le)), ha = static_cast<bool>(std::getline(a, la));
    if (!he && !ha) return "";
    if (!he || !ha || le != la)
      return "line " + std::to_string(line) + ":\n  recorded: " + (he ? le : "<end>") +
             "\n  now:      " + (ha ? la : "<end>");
  }
}

TEST(ModelRendering, EveryModelMatchesTheRecordedRendering) {
  const std::string recordedPath = std::string(BINDWISE_SOURCE_DIR) + "/tests/registry/model_rendering.txt";
  const std::string recorded = read_file(recordedPath);
  const std::string now = render_every_model();
  EXPECT_TRUE(recorded == now) << "rendering differs from " << recordedPath << " at "
                               << first_difference(recorded, now);
}

}  // namespace

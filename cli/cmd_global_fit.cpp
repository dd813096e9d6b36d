// bindwise-cli global-fit: several fitted titrations of one protein fitted together with
// shared rows (by default the binding constants), printed as JSON; --save-dir stores each
// titration's part as its document's fit, --profile adds the profile-likelihood intervals of
// every fitted row, --project runs a saved analysis,
// --write-project saves this one and --report prints its one-page report as a PDF.
#include <cmath>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/cairo_canvas.h"
#include "cli/command_support.h"
#include "commands/global_fit.h"
#include "commands/global_project.h"
#include "fitting/models.h"
#include "graphview/global_report_painter.h"

namespace fs = std::filesystem;

namespace {

struct GlobalArgs {
  std::vector<std::string> files;
  std::string project, writeProject, shared, errors = "none", saveDir, report;
  bool extensive = false, profile = false;
  std::uint32_t seed = 0;
  bool haveSeed = false;
};

nlohmann::ordered_json number_or_null(double v) {
  return std::isfinite(v) ? nlohmann::ordered_json(v) : nlohmann::ordered_json();
}

nlohmann::ordered_json rows_json(const double* values, int ma) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (int row = 1; row <= ma && row <= kValueRows; ++row) out.push_back(number_or_null(values[row]));
  return out;
}

nlohmann::ordered_json bound_or_null(const std::optional<double>& v) {
  return v ? number_or_null(*v) : nlohmann::ordered_json();
}

// [lo, hi] at one level, null for an open side.
nlohmann::ordered_json interval_pair(const RowInterval& r, bool level95) {
  return level95 ? nlohmann::ordered_json::array({bound_or_null(r.lo95), bound_or_null(r.hi95)})
                 : nlohmann::ordered_json::array({bound_or_null(r.lo68), bound_or_null(r.hi68)});
}

// Per row 1..ma as "values": the pair, or null for a row the titration does not fit.
nlohmann::ordered_json row_intervals_json(const GlobalTitrationPart& t, int ma, bool level95) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (int row = 1; row <= ma && row <= kValueRows; ++row)
    out.push_back(t.intervals[row] ? interval_pair(*t.intervals[row], level95) : nlohmann::ordered_json());
  return out;
}

nlohmann::ordered_json warnings_json(const GlobalFitResult& r) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  if (r.stop != FitStop::Converged)
    out.push_back({{"kind", "not_converged"},
                   {"rows", nlohmann::ordered_json::array()},
                   {"text", std::string("The global fit stopped before it converged (") + fit_stop_name(r.stop) + ")."}});
  for (const FitWarning& w : global_fit_warnings(r)) out.push_back({{"kind", w.kind}, {"rows", w.rows}, {"text", w.text}});
  return out;
}

nlohmann::ordered_json result_json(const GlobalFitResult& r) {
  nlohmann::ordered_json j;
  j["model"] = r.model;
  j["n"] = r.n;
  j["p"] = r.p;
  j["chi_square"] = number_or_null(r.chiSquare);
  j["stop"] = fit_stop_name(r.stop);
  j["runs"] = r.runs;
  j["warnings"] = warnings_json(r);
  nlohmann::ordered_json shared = nlohmann::ordered_json::array();
  for (const GlobalSharedRow& s : r.shared) {
    nlohmann::ordered_json row = {{"row", s.row}, {"name", s.name}, {"value", number_or_null(s.value)},
                                  {"error", r.haveErrors ? number_or_null(s.error) : nlohmann::ordered_json()}};
    if (r.haveProfile) {
      row["ci68"] = s.interval ? interval_pair(*s.interval, false) : nlohmann::ordered_json::array({nullptr, nullptr});
      row["ci95"] = s.interval ? interval_pair(*s.interval, true) : nlohmann::ordered_json::array({nullptr, nullptr});
    }
    shared.push_back(row);
  }
  j["shared"] = shared;
  nlohmann::ordered_json titrations = nlohmann::ordered_json::array();
  const int ma = model_info(r.model).slots;
  for (const GlobalTitrationPart& t : r.titrations) {
    nlohmann::ordered_json part = {{"file", t.name}, {"n", t.n}, {"chi_square", number_or_null(t.chiSquare)},
                                   {"values", rows_json(t.values, ma)},
                                   {"errors", r.haveErrors ? rows_json(t.errors, ma) : nlohmann::ordered_json()}};
    if (r.haveProfile) {
      part["ci68"] = row_intervals_json(t, ma, false);
      part["ci95"] = row_intervals_json(t, ma, true);
    }
    titrations.push_back(part);
  }
  j["titrations"] = titrations;
  return j;
}

std::vector<int> parse_rows(const std::string& text) {
  std::vector<int> rows;
  for (double v : parse_number_list("--shared", text, kValueRows)) {
    if (v != std::floor(v) || v < 1 || v > kValueRows)
      throw CLI::ValidationError("--shared", "'" + text + "': rows are whole numbers 1..11");
    rows.push_back(static_cast<int>(v));
  }
  return rows;
}

void save_parts(const std::string& dir, const std::vector<std::string>& files,
                std::vector<std::unique_ptr<Titration>>& docs, const GlobalFitResult& r) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw CliFailure{dir + ": " + ec.message()};
  for (std::size_t t = 0; t < docs.size(); ++t) {
    apply_global_part(*docs[t], r.titrations[t]);
    save_if_requested((fs::path(dir) / fs::path(files[t]).filename()).string(), *docs[t]);
  }
}

// The page names each titration by its file name; the folders would crowd its table.
void write_report(const std::string& path, GlobalFitResult result) {
  for (GlobalTitrationPart& t : result.titrations) t.name = fs::path(t.name).filename().string();
  const ReportDate today = ReportDateToday();
  const PagePainter paint = [&](Canvas& canvas, CanvasSize page, int dpi) {
    PaintGlobalReport(canvas, result, {page.cx, page.cy, dpi}, today);
  };
  // A virtual 600 dpi page, as for the single report.
  const std::string error = RenderPdfPage(path, kPaperA4, 600, paint);
  if (!error.empty()) throw CliFailure{error};
}

int run_global(GlobalArgs a, GlobalFitRequest request, CliIo& io) {
  if (!a.project.empty()) {
    try {
      const GlobalProject p = read_global_project(a.project);
      a.files.insert(a.files.end(), p.documents.begin(), p.documents.end());
      if (request.sharedRows.empty()) request.sharedRows = p.sharedRows;
      request.extensive = request.extensive || p.extensive;
    } catch (const std::runtime_error& e) {
      throw CliFailure{e.what()};
    }
  }
  if (a.files.empty()) throw CliFailure{"global-fit: name the documents or a --project file"};
  std::vector<std::unique_ptr<Titration>> docs;
  std::vector<GlobalFitInput> inputs;
  for (const std::string& f : a.files) {
    docs.push_back(load_document_or_fail(f));
    inputs.push_back({f, docs.back().get()});
  }
  GlobalFitResult result;
  try {
    result = run_global_fit(inputs, request);
  } catch (const std::invalid_argument& e) {
    throw CliFailure{e.what()};
  }
  if (!a.saveDir.empty()) save_parts(a.saveDir, a.files, docs, result);
  if (!a.report.empty()) write_report(a.report, result);
  if (!a.writeProject.empty()) {
    try {
      write_global_project(a.writeProject, {a.files, request.sharedRows, request.extensive});
    } catch (const std::runtime_error& e) {
      throw CliFailure{e.what()};
    }
  }
  print_json(io, result_json(result));
  return 0;
}

void setup_global_fit(CLI::App& app, CliIo& io, CliRunner& runner) {
  auto a = std::make_shared<GlobalArgs>();
  CLI::App* sub = app.add_subcommand(
      "global-fit", "Fit several titrations of one protein together, sharing its binding constants");
  sub->add_option("FILES", a->files, "fitted documents (.bwd) of the same model");
  sub->add_option("--project", a->project, "run the analysis saved in this .bwglobal file");
  sub->add_option("--shared", a->shared, "Fit-dialog rows shared by all titrations (default: every log K row)");
  sub->add_flag("--extensive", a->extensive, "broad search over the shared constants first");
  sub->add_option("--errors", a->errors, "none, percent:P, sd:S, jackknife or jackknife:P (default none)");
  sub->add_flag("--profile", a->profile,
                "profile-likelihood intervals (68 % and 95 %) of every fitted row, printed as ci68 and ci95");
  auto* seed = add_integer_option(sub, "--seed", a->seed, "seed of the jackknife's random subsets", 0, kMaxSeed);
  sub->add_option("--save-dir", a->saveDir, "write each document with its part of the global fit into this folder");
  sub->add_option("--write-project", a->writeProject, "save this analysis as a .bwglobal project file");
  sub->add_option("--report", a->report, "write the one-page report of the global fit as a PDF file (A4)");
  sub->callback([a, seed, &io, &runner] {
    GlobalFitRequest request;
    apply_error_method(a->errors, request.errors);
    if (!a->shared.empty()) request.sharedRows = parse_rows(a->shared);
    request.extensive = a->extensive;
    request.profileIntervals = a->profile;
    if (seed->count() > 0) request.jackknifeSeed = a->seed;
    runner = [a, request, &io] { return run_global(*a, request, io); };
  });
}

const CliRegistration kGlobalFit(47, setup_global_fit);

}  // namespace

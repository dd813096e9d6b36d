#include "outputview/ascii_export.h"

#include <charconv>
#include <cstdio>

#include "document/atomic_file.h"
#include "document/cell_check.h"
#include "document/curve_rebuild.h"
#include "commands/display_values.h"
#include "commands/residuals.h"
#include "fitting/models.h"

namespace {

constexpr int kResponseCol = 0;
constexpr int kAddCaCol = 1;
constexpr int kVolumeCol = 2;

double cell(const Titration& doc, int row1, int col) { return doc.m_cells[row1 - 1][col].GetValue(); }

bool row_has_text(const Titration& doc, int row0) {
  for (int c = 0; c < Titration::kCols; ++c)
    if (!doc.m_cells[row0][c].Text().empty()) return true;
  return false;
}

bool is_simulation_kind(ExportKind kind) {
  return kind == ExportKind::Simulation || kind == ExportKind::SimulationSaturation;
}

bool needs_fit(ExportKind kind) {
  return kind == ExportKind::Fit || kind == ExportKind::Saturation || kind == ExportKind::Residuals;
}

bool is_saturation_kind(ExportKind kind) {
  return kind == ExportKind::Saturation || kind == ExportKind::SimulationSaturation;
}

using ExportRow = std::vector<double>;

// Points: (total Ca uM, response, volume) of grid rows 1..rows.
std::vector<ExportRow> point_rows(const Titration& doc, int rows) {
  const double V1 = cell(doc, 1, kVolumeCol);
  const double S = doc.m_dStartCa;
  std::vector<ExportRow> out;
  for (int r = 1; r <= rows; ++r) {
    const double V = cell(doc, r, kVolumeCol);
    // A row without a volume (a gap, or a series typed without volumes) keeps the start Ca
    // undiluted instead of dividing by 0.
    const double totalCa = cell(doc, r, kAddCaCol) + S * curve_dilution_factor(V1, V);
    out.push_back({totalCa, cell(doc, r, kResponseCol), V});
  }
  return out;
}

// Samples the record's model at count points from dx to the total Ca of the last row.
// Curve exports give (total Ca uM, response); saturation exports (free Ca uM, bound fraction).
std::vector<ExportRow> curve_rows(const Titration& doc, const ParamSet& rec, int count, int rows, ExportKind kind) {
  Vec a;
  if (count < 1 || !record_parameters(rec, a)) return {};
  const ModelInfo& info = model_info(rec.m_nModel);
  const bool saturation = is_saturation_kind(kind);
  const int resultSize = saturation ? count : 2;
  Vec bound(resultSize), freeCa(resultSize);

  const double V1 = cell(doc, 1, kVolumeCol);
  const double dx = (cell(doc, rows, kAddCaCol) + rec.m_dStartCa) / count * 1000.0;
  const double dV = (cell(doc, rows, kVolumeCol) - V1) / count;
  std::vector<ExportRow> out;
  for (int i = 1; i <= count; ++i) {
    const double Y = curve_dilution_factor(V1, V1 + i * dV);
    const double X = i * dx;
    const int index = saturation ? i : 1;
    const double response = model_response(info.family, rec.m_bElectrode != 0, rec.m_bDilution != 0, X,
                                           a, Y, bound, freeCa, index);
    if (saturation)
      out.push_back({freeCa[i] * 0.001, bound[i]});
    else
      out.push_back({X * 0.001, response});
  }
  return out;
}

std::vector<ExportRow> export_rows(const Titration& doc, ExportKind kind, int count, int listPosition) {
  const int rows = export_row_count(doc);
  if (!export_precondition(doc, kind, listPosition).empty()) return {};
  if (kind == ExportKind::Points) return point_rows(doc, rows);
  if (kind == ExportKind::Residuals) {
    std::vector<ExportRow> out;
    for (const ResidualPoint& p : fit_residuals(doc)) out.push_back({p.x, p.residual});
    return out;
  }
  if (is_simulation_kind(kind)) {
    const int slot = doc.m_nSlotOrder[listPosition];
    if (slot < 1 || slot > Titration::kMaxSims) return {};
    return curve_rows(doc, doc.m_sims[slot - 1], count, rows, kind);
  }
  return curve_rows(doc, doc.m_fit, count, rows, kind);
}

// The shortest decimal text that reads back as exactly this double (locale-free), so a CSV
// reader gets the very numbers the classic files round to 6 decimals.
std::string shortest_text(double v) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

// The classic line formats, each with its own separators and line end.
std::string classic_line(ExportKind kind, const ExportRow& row) {
  switch (kind) {
    case ExportKind::Points: return c_printf("%7.6f\t%7.6f\t%7.6f\r", row[0], row[1], row[2]);
    case ExportKind::Fit: return c_printf("%7.6f \t%7.6f\r", row[0], row[1]);
    case ExportKind::Saturation: return c_printf("%7.6f \t%7.6f\n", row[0], row[1]);
    default: return c_printf("%7.6f %7.6f\n", row[0], row[1]);
  }
}

}  // namespace

bool export_count_valid(int count) { return count >= kExportCountMin && count <= kExportCountMax; }

std::string export_count_message() { return "Please enter an integer between 20 and 500."; }

int export_row_count(const Titration& doc) {
  for (int r = Titration::kRows - 1; r >= 0; --r)
    if (row_has_text(doc, r)) return r + 1;
  return 0;
}

std::string export_precondition(const Titration& doc, ExportKind kind, int listPosition) {
  if (std::string refused = cells_refusal(doc, "exporting"); !refused.empty()) return refused;
  if (needs_fit(kind)) {
    if (doc.m_bShowFit != 1) return kNoFitMessage;
  } else if (is_simulation_kind(kind)) {
    if (doc.m_bHaveSims != 1) return kNoSimsMessage;
    if (listPosition < 1 || listPosition > doc.m_nSims) return kNoSimSelectedMessage;
  }
  if (export_row_count(doc) == 0) return kNoGridDataMessage;
  return "";
}

bool export_needs_count(ExportKind kind) { return kind != ExportKind::Points && kind != ExportKind::Residuals; }

std::string export_text(const Titration& doc, ExportKind kind, int count, int listPosition) {
  if (kind == ExportKind::Residuals)
    return export_precondition(doc, kind, listPosition).empty() ? residuals_text(fit_residuals(doc)) : "";
  std::string text;
  for (const ExportRow& row : export_rows(doc, kind, count, listPosition)) text += classic_line(kind, row);
  return text;
}

std::string export_csv_text(const Titration& doc, ExportKind kind, int count, int listPosition) {
  const std::string refused = export_precondition(doc, kind, listPosition);
  if (!refused.empty()) return "";
  std::string text = std::string(export_kind_info(kind).csvHeader) + "\n";
  for (const ExportRow& row : export_rows(doc, kind, count, listPosition)) {
    for (std::size_t i = 0; i < row.size(); ++i) text += (i ? "," : "") + shortest_text(row[i]);
    text += "\n";
  }
  return text;
}

const std::vector<ExportKindInfo>& export_kinds() {
  static const std::vector<ExportKindInfo> kinds = {
      {ExportKind::Points, "points", "Total Ca/uM,Response,Volume/ml"},
      {ExportKind::Fit, "fit", "Total Ca/uM,Fitted response"},
      {ExportKind::Simulation, "simulation", "Total Ca/uM,Simulated response"},
      {ExportKind::Saturation, "saturation", "Free Ca/uM,Fraction bound"},
      {ExportKind::SimulationSaturation, "simulation-saturation", "Free Ca/uM,Fraction bound"},
      {ExportKind::Residuals, "residuals", "Total Ca/uM,Residual"},
  };
  return kinds;
}

const ExportKindInfo& export_kind_info(ExportKind kind) {
  for (const ExportKindInfo& info : export_kinds())
    if (info.kind == kind) return info;
  return export_kinds().front();
}

const ExportKindInfo* find_export_kind(const std::string& name) {
  for (const ExportKindInfo& info : export_kinds())
    if (name == info.name) return &info;
  return nullptr;
}

ExportFileSuggestion suggest_export_file(const std::string& documentPath, ExportKind kind, bool csv) {
  ExportFileSuggestion out;
  std::string stem = "untitled";
  const std::size_t slash = documentPath.rfind('/');
  if (!documentPath.empty()) {
    out.folder = slash == std::string::npos ? std::string() : documentPath.substr(0, slash == 0 ? 1 : slash);
    std::string name = slash == std::string::npos ? documentPath : documentPath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    if (!name.empty()) stem = name;
  }
  out.name = stem + "-" + export_kind_info(kind).name + (csv ? ".csv" : std::string(".") + kExportDefaultExtension);
  return out;
}

bool write_export_file(const std::string& path, const std::string& text, std::string* error) {
  std::string reason;
  if (write_file_atomically(path, text, &reason)) return true;
  if (error) *error = path + ": " + reason;
  return false;
}

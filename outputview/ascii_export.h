// ASCII export of the measured points, the fitted curve, a simulated curve and the
// saturation curves (free Ca against the fraction of protein with Ca bound) as plain number
// columns for other programs. The curves are sampled afresh at a count the user chooses
// (20..500), not copied from the drawn ones. Each format keeps its own separators and line
// ends (carriage return only for points and fit, line feed only for the others); files
// written by other copies of the program and scripts that read them rely on these bytes, so
// they stay. The CSV exports are the form for spreadsheets and line-oriented tools.
//
// The window shows the messages, the count dialog and the save dialog in the order the
// commands need (see export_precondition) and writes the text this file builds.
#pragma once

#include <string>
#include <vector>

#include "document/titration.h"

enum class ExportKind { Points, Fit, Simulation, Saturation, SimulationSaturation, Residuals };

inline constexpr int kExportCountMin = 20;
inline constexpr int kExportCountMax = 500;
inline constexpr int kExportCountDefault = 100;
inline constexpr const char* kExportCountLabel = "Number of points to export (20-500):";
inline constexpr const char* kExportDefaultExtension = "txt";

inline constexpr const char* kNoFitMessage = "No Fit exists...";
inline constexpr const char* kNoSimsMessage = "No Simulations exists...";
inline constexpr const char* kNoSimSelectedMessage = "No simulation is selected";
inline constexpr const char* kSelectCurveMessage = "Select curve to export";  // count dialog cancelled
inline constexpr const char* kNoGridDataMessage = "No data in the grid";

// The count dialog's range check (20..500 inclusive).
bool export_count_valid(int count);
// The range message of the count field.
std::string export_count_message();

// Grid rows the exports use: 1 to the last row of the 99 that has text in any cell (gaps in
// between are exported as they stand). 0 when the grid is empty.
int export_row_count(const Titration& doc);

// The check a command makes before it asks for a count or a file. listPosition is the plot
// list's selection counted from 1 (0 for none); only the simulation exports look at it.
// Returns the message to show and stop with, or "" to go on.
std::string export_precondition(const Titration& doc, ExportKind kind, int listPosition);

// Whether the export samples a curve at a chosen count (Points and Residuals take the grid's
// rows as they are).
bool export_needs_count(ExportKind kind);

// The file text. Call after export_precondition returned "". count is the number of curve
// points (ignored for Points and Residuals); listPosition as above. Residuals are written as
// a header line and "%g" columns: they are often far below the 6 decimals of the curves.
std::string export_text(const Titration& doc, ExportKind kind, int count, int listPosition);

// The same numbers as comma-separated values for spreadsheets and scripts: a header row
// naming each column with its unit, '.' decimals, every digit needed to read each number back
// exactly (shortest form), LF line ends.
std::string export_csv_text(const Titration& doc, ExportKind kind, int count, int listPosition);

// Each kind's name (the command line's KIND, the suffix of a suggested file name) and its
// CSV header. Adding a kind: one entry here, its rows in ascii_export.cpp, a menu item.
struct ExportKindInfo {
  ExportKind kind;
  const char* name;
  const char* csvHeader;
};
const std::vector<ExportKindInfo>& export_kinds();
const ExportKindInfo& export_kind_info(ExportKind kind);
const ExportKindInfo* find_export_kind(const std::string& name);  // null for an unknown name

// Where the save dialog starts: the document's folder ("" for an untitled document: the
// working folder) and a name from the document's name and the kind, e.g.
// "two-sites-chelator-fit.csv" for /data/two-sites-chelator.bwd.
struct ExportFileSuggestion {
  std::string folder;
  std::string name;
};
ExportFileSuggestion suggest_export_file(const std::string& documentPath, ExportKind kind, bool csv);

// Replaces path with text in one step (see document/atomic_file.h): a failed or killed export
// leaves an existing file as it was. On failure returns false with "<path>: <reason>" in *error.
bool write_export_file(const std::string& path, const std::string& text, std::string* error);

// ASCII export of the measured points, the fitted curve, a simulated curve and the
// saturation curves (free Ca against the fraction of protein with Ca bound) as plain number
// columns for other programs. The curves are sampled afresh at a count the user chooses
// (20..500), not copied from the drawn ones. Each format keeps its own separators and line
// ends (carriage return only for points and fit, line feed only for the others).
//
// The window shows the messages, the count dialog and the save dialog in the order the
// commands need (see export_precondition) and writes the text this file builds.
#pragma once

#include <string>

#include "document/titration.h"

enum class ExportKind { Points, Fit, Simulation, Saturation, SimulationSaturation };

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

// The file text. Call after export_precondition returned "". count is the number of curve
// points (ignored for Points); listPosition as above.
std::string export_text(const Titration& doc, ExportKind kind, int count, int listPosition);

// Replaces path with text in one step (see document/atomic_file.h): a failed or killed export
// leaves an existing file as it was. On failure returns false with "<path>: <reason>" in *error.
bool write_export_file(const std::string& path, const std::string& text, std::string* error);

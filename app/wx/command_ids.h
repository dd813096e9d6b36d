// Command ids of the menus, tool bar and accelerators that have no wx stock id. Stock ids
// are used for the rest:
//   wxID_NEW, wxID_OPEN, wxID_SAVE, wxID_SAVEAS, wxID_PRINT, wxID_PRINT_SETUP,
//   wxID_PREVIEW, wxID_EXIT, wxID_CUT, wxID_COPY, wxID_PASTE, wxID_UNDO (Ctrl+Z) and
//   wxID_REDO (Ctrl+Y, Ctrl+Shift+Z), both handled by the document manager, wxID_ABOUT, wxID_HELP_CONTENTS ("&Help Topics"),
//   wxID_FILE1..wxID_FILE4 (recent files).
// The Windows program numbered these 32772..32776 and 57680/57681; wx menu ids must stay
// below 32767, so they keep only their last digits above wx's own range.
#pragma once

enum BindwiseCommandId : int {
  ID_FILE_EXPORT_FIT = 6772,       // "Export fit as ASCII..."
  ID_FILE_EXPORT_POINTS = 6773,    // "Export Points as ASCII..."
  ID_FILE_EXPORT_SIM = 6774,       // "Export simulation as ASCII..."
  ID_FILE_EXPORT_SAT = 6775,       // "Export saturation curve..."
  ID_FILE_EXPORT_SIM_SAT = 6776,   // "Export simulation as saturation curve..."
  ID_FILE_PRINT_COMPARISON = 6777, // "Print Model Comparison" (check item)
  ID_FILE_IMPORT_DATA = 6780,      // "Import Data..."
  ID_FILE_EXPORT_CSV_POINTS = 6781,   // the CSV exports, in the order of the classic ones
  ID_FILE_EXPORT_CSV_FIT = 6782,
  ID_FILE_EXPORT_CSV_SIM = 6783,
  ID_FILE_EXPORT_CSV_SAT = 6784,
  ID_FILE_EXPORT_CSV_SIM_SAT = 6785,
  ID_FILE_EXPORT_RESIDUALS = 6786,     // "Export residuals as ASCII..."
  ID_FILE_EXPORT_CSV_RESIDUALS = 6787,
  ID_NEXT_PANE = 6680,             // F6
  ID_PREV_PANE = 6681,             // Shift+F6
};

// The Analysis menu (app/wx/analysis_menu.h): the panes' buttons as menu commands.
enum AnalysisCommandId : int {
  ID_ANALYSIS_FIT = 6800,
  ID_ANALYSIS_SIMULATE = 6801,
  ID_ANALYSIS_GENERATE = 6802,
  ID_ANALYSIS_UPDATE = 6803,
  ID_ANALYSIS_DESCRIPTION = 6804,
  ID_ANALYSIS_AXIS = 6805,
  ID_ANALYSIS_TOGGLE_FIT = 6806,
  ID_ANALYSIS_COMPARE = 6807,
  ID_ANALYSIS_GLOBAL_FIT = 6808,
  ID_ANALYSIS_TOGGLE_RESIDUALS = 6809,
  ID_ANALYSIS_FIT_PARAMETERS = 6810,
};

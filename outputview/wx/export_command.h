// The File menu's ASCII exports as the window runs them: the refusal messages, the count
// dialog and the save dialog, in the order each export asks them; the text and the file
// come from outputview/ascii_export.h.
#pragma once

#include <functional>

#include <wx/string.h>

#include "outputview/ascii_export.h"

class wxWindow;

// What the save dialog offers: its folder and file name to start with, and the format.
struct ExportFileRequest {
  wxString folder;  // empty: the working folder
  wxString name;
  bool csv = false;
};

// Asks where an export goes; an empty path when the user cancels.
using ExportPathChooser = std::function<wxString(wxWindow* parent, const ExportFileRequest& request)>;

// The save dialog "Export As ASCII..." (or "Export As CSV...").
wxString ChooseExportPathWithDialog(wxWindow* parent, const ExportFileRequest& request);

// A chosen name without an extension gets the export files' own (".txt", or ".csv").
wxString WithExportExtension(const wxString& path, bool csv = false);

struct ExportCommandContext {
  wxWindow* parent = nullptr;  // of the dialogs and messages
  int listPosition = 0;        // the plot list's selection counted from 1, 0 for none
  int* exportCount = nullptr;  // the last count chosen; updated when the count dialog says OK
  ExportPathChooser choosePath = ChooseExportPathWithDialog;
  std::string documentPath;  // the document's file, "" while untitled
  bool csv = false;          // comma-separated values instead of the classic text
};

// Runs one export: a message and nothing written when it cannot run; the count dialog for
// the curves (its Cancel keeps the last count for the fit curves, and ends a simulation
// export with "Select curve to export"); the path; the file, or the system's reason why it
// could not be written.
void RunExportCommand(const Titration& doc, ExportKind kind, const ExportCommandContext& context);

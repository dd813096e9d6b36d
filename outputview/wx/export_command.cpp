#include "outputview/wx/export_command.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

#include "outputview/wx/export_count_dlg.h"

namespace {

wxString app_title() { return wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("Bindwise"); }

bool is_simulation(ExportKind kind) {
  return kind == ExportKind::Simulation || kind == ExportKind::SimulationSaturation;
}

void show_message(const std::string& text, wxWindow* parent) {
  // The view's own message about the selection carries no caption of its own; the others
  // carry the application's title.
  const wxString caption = text == kNoSimSelectedMessage ? wxString(wxMessageBoxCaptionStr) : app_title();
  wxMessageBox(wxString::FromUTF8(text), caption, wxOK, parent);
}

// The count for this export, or 0 when the export ends here.
int ask_count(ExportKind kind, const ExportCommandContext& context) {
  CExportCountDlg dialog(context.parent, *context.exportCount);
  if (dialog.ShowModal() == wxID_OK) return *context.exportCount = dialog.m_nCount;
  if (!is_simulation(kind)) return *context.exportCount;
  show_message(kSelectCurveMessage, context.parent);
  return 0;
}

}  // namespace

wxString ChooseExportPathWithDialog(wxWindow* parent, const ExportFileRequest& request) {
  // Asks before replacing a file: an export written over the wrong file loses it for good.
  const wxString title = request.csv ? "Export As CSV..." : "Export As ASCII...";
  const wxString filter = request.csv ? "CSV file (*.csv)|*.csv|All files (*)|*" : "ASCII file (*.txt)|*.txt|All files (*)|*";
  wxFileDialog dialog(parent, title, request.folder, request.name, filter, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}

wxString WithExportExtension(const wxString& path, bool csv) {
  wxFileName name(path);
  if (name.HasExt() || name.GetFullName().empty()) return path;
  name.SetExt(csv ? "csv" : kExportDefaultExtension);
  return name.GetFullPath();
}

void RunExportCommand(const Titration& doc, ExportKind kind, const ExportCommandContext& context) {
  const std::string refusal = export_precondition(doc, kind, context.listPosition);
  if (!refusal.empty()) {
    show_message(refusal, context.parent);
    return;
  }
  int count = 0;
  if (export_needs_count(kind) && (count = ask_count(kind, context)) == 0) return;
  const ExportFileSuggestion suggestion = suggest_export_file(context.documentPath, kind, context.csv);
  const ExportFileRequest request{wxString::FromUTF8(suggestion.folder), wxString::FromUTF8(suggestion.name),
                                  context.csv};
  const wxString chosen = context.choosePath ? context.choosePath(context.parent, request) : wxString();
  if (chosen.empty()) return;
  const std::string path = WithExportExtension(chosen, context.csv).utf8_string();
  const std::string text = context.csv ? export_csv_text(doc, kind, count, context.listPosition)
                                       : export_text(doc, kind, count, context.listPosition);
  std::string error;
  if (!write_export_file(path, text, &error))
    wxMessageBox(wxString::FromUTF8(error), app_title(), wxOK | wxICON_ERROR, context.parent);
}

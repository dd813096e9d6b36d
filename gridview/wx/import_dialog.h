// File > Import Data...: a table of measurements (CSV, TSV, TXT) read with the paste rules,
// shown before it goes into the grid. The user sees the first rows as they will be split,
// may change the separator, the decimal mark and the number of header lines to skip, and
// picks the file column for Response, Add. Ca/uM and Volume.
#pragma once

#include <string>

#include <wx/dialog.h>

#include "document/data_import.h"

class wxChoice;
class wxListCtrl;
class wxSpinCtrl;
class wxStaticText;

class CImportDataDlg : public wxDialog {
 public:
  // text: the whole file; name: its name, for the caption.
  CImportDataDlg(wxWindow* parent, const std::string& text, const wxString& name);

  // The table as the current choices read it, and the column choices.
  const TableText& Table() const { return m_table; }
  ImportColumns Columns() const;
  // Why OK would not import ("" when it would).
  std::string Refusal() const;

  // The choices, as a test or the user sets them.
  void SetFormat(const TableFormat& format);
  void SetColumns(const ImportColumns& columns);

  static constexpr int kPreviewRows = 10;

 private:
  void BuildControls();
  void ReadChoices();
  void Reread();
  void FillPreview();
  void FillColumnChoices();
  void OnOK(wxCommandEvent& event);

  std::string m_text;
  TableText m_table;
  wxChoice* m_separator = nullptr;
  wxChoice* m_decimal = nullptr;
  wxSpinCtrl* m_header = nullptr;
  wxChoice* m_column[Titration::kCols] = {};
  wxListCtrl* m_preview = nullptr;
  wxStaticText* m_summary = nullptr;
  bool m_bColumnsChosen = false;  // the user picked columns: a new separator keeps them
};

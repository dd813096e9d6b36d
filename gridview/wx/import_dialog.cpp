#include "gridview/wx/import_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "document/cell_check.h"

namespace {

// Choice positions follow the enums' order.
const char* const kSeparatorLabels[] = {"Tab", "Semicolon (;)", "Comma (,)", "Blanks", "None (one field per line)"};
const char* const kDecimalLabels[] = {"Point (1.5)", "Comma (1,5)"};

wxStaticText* label(wxWindow* parent, const wxString& text) { return new wxStaticText(parent, wxID_ANY, text); }

}  // namespace

CImportDataDlg::CImportDataDlg(wxWindow* parent, const std::string& text, const wxString& name)
    : wxDialog(parent, wxID_ANY, "Import Data - " + name, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_text(text) {
  BuildControls();
  SetFormat(detect_table_format(text));
  Bind(wxEVT_BUTTON, &CImportDataDlg::OnOK, this, wxID_OK);
}

void CImportDataDlg::BuildControls() {
  auto* grid = new wxFlexGridSizer(2, FromDIP(wxSize(8, 6)));
  m_separator = new wxChoice(this, wxID_ANY);
  for (const char* s : kSeparatorLabels) m_separator->Append(s);
  m_decimal = new wxChoice(this, wxID_ANY);
  for (const char* s : kDecimalLabels) m_decimal->Append(s);
  m_header = new wxSpinCtrl(this, wxID_ANY, "0", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, 0, 1000, 0);
  grid->Add(label(this, "Field separator:"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(m_separator);
  grid->Add(label(this, "Decimal mark:"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(m_decimal);
  grid->Add(label(this, "Header lines to skip:"), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(m_header);
  for (int c = 0; c < Titration::kCols; ++c) {
    m_column[c] = new wxChoice(this, wxID_ANY);
    m_column[c]->SetName(kCellColumnNames[c]);
    grid->Add(label(this, wxString(kCellColumnNames[c]) + " from:"), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(m_column[c]);
  }
  m_preview = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(480, 220)),
                             wxLC_REPORT | wxLC_SINGLE_SEL);
  m_preview->SetName("Preview");
  m_summary = new wxStaticText(this, wxID_ANY, "");

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 0, wxALL, FromDIP(10));
  top->Add(label(this, "First rows of the file:"), 0, wxLEFT | wxRIGHT, FromDIP(10));
  top->Add(m_preview, 1, wxEXPAND | wxALL, FromDIP(10));
  top->Add(m_summary, 0, wxLEFT | wxRIGHT | wxEXPAND, FromDIP(10));
  top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, FromDIP(10));
  if (auto* ok = FindWindow(wxID_OK)) ok->SetLabel("Import");
  SetSizerAndFit(top);

  auto reread = [this](wxCommandEvent&) { Reread(); };
  m_separator->Bind(wxEVT_CHOICE, reread);
  m_decimal->Bind(wxEVT_CHOICE, reread);
  m_header->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent&) { Reread(); });
  for (wxChoice* column : m_column)
    column->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      m_bColumnsChosen = true;
      FillPreview();
    });
}

void CImportDataDlg::SetFormat(const TableFormat& format) {
  m_separator->SetSelection(static_cast<int>(format.separator));
  m_decimal->SetSelection(format.decimal == DecimalMark::Comma ? 1 : 0);
  m_header->SetValue(format.headerLines);
  Reread();
}

void CImportDataDlg::SetColumns(const ImportColumns& columns) {
  m_bColumnsChosen = true;
  for (int c = 0; c < Titration::kCols; ++c)
    m_column[c]->SetSelection(std::clamp(columns.fileColumn[c] + 1, 0, static_cast<int>(m_column[c]->GetCount()) - 1));
  FillPreview();
}

ImportColumns CImportDataDlg::Columns() const {
  ImportColumns columns;
  for (int c = 0; c < Titration::kCols; ++c) columns.fileColumn[c] = m_column[c]->GetSelection() - 1;
  return columns;
}

std::string CImportDataDlg::Refusal() const { return import_refusal(m_table, Columns()); }

void CImportDataDlg::Reread() {
  TableFormat format;
  format.separator = static_cast<FieldSeparator>(std::max(0, m_separator->GetSelection()));
  format.decimal = m_decimal->GetSelection() == 1 ? DecimalMark::Comma : DecimalMark::Point;
  format.headerLines = m_header->GetValue();
  m_table = read_table_text(m_text, format);
  FillColumnChoices();
  FillPreview();
}

void CImportDataDlg::FillColumnChoices() {
  const int count = std::max(Titration::kCols, table_column_count(m_table));
  for (int c = 0; c < Titration::kCols; ++c) {
    const int keep = m_column[c]->GetSelection();
    m_column[c]->Clear();
    m_column[c]->Append("(none)");
    for (int i = 1; i <= count; ++i) m_column[c]->Append(wxString::Format("Column %d", i));
    // File columns 1, 2, 3 go to the grid's columns in order unless the user chose others.
    const int fallback = default_import_columns(m_table).fileColumn[c] + 1;
    m_column[c]->SetSelection(m_bColumnsChosen && keep >= 0 && keep <= count ? keep : fallback);
  }
}

void CImportDataDlg::FillPreview() {
  m_preview->ClearAll();
  const int count = table_column_count(m_table);
  const ImportColumns columns = Columns();
  for (int i = 0; i < count; ++i) {
    wxString title = wxString::Format("Column %d", i + 1);
    for (int c = 0; c < Titration::kCols; ++c)
      if (columns.fileColumn[c] == i) title += wxString(" - ") + kCellColumnNames[c];
    m_preview->AppendColumn(title, wxLIST_FORMAT_RIGHT, FromDIP(140));
  }
  const int shown = std::min(kPreviewRows, static_cast<int>(m_table.rows.size()));
  for (int r = 0; r < shown && count > 0; ++r) {
    const auto& row = m_table.rows[r];
    const long item = m_preview->InsertItem(r, row.empty() ? wxString() : wxString::FromUTF8(row[0]));
    for (int i = 1; i < static_cast<int>(row.size()); ++i) m_preview->SetItem(item, i, wxString::FromUTF8(row[i]));
  }
  const std::string refusal = Refusal();
  wxString summary;
  if (!refusal.empty())
    summary = wxString::FromUTF8(refusal);
  else
    summary = wxString::Format("%d rows will replace the grid's contents.", static_cast<int>(m_table.rows.size()));
  m_summary->SetLabel(summary);
  if (auto* ok = FindWindow(wxID_OK)) ok->Enable(refusal.empty());
  Layout();
}

void CImportDataDlg::OnOK(wxCommandEvent& event) {
  const std::string refusal = Refusal();
  if (!refusal.empty()) {
    wxMessageBox(wxString::FromUTF8(refusal), GetTitle(), wxOK | wxICON_WARNING, this);
    return;
  }
  event.Skip();
}

#include "document/titration.h"

#include "document/titration_edit.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <stdlib.h>

#include "document/number_text.h"


bool CCell::Parse() {
  m_bNumber = m_strText.empty() || parse_cell_number(m_strText, &m_dValue);
  // A text that is not a number keeps the value of its leading digits for the screens that
  // show it, but the commands refuse to run while such a cell is in the grid.
  if (m_strText.empty()) m_dValue = 0.0;
  else if (!m_bNumber) m_dValue = parse_decimal(m_strText, nullptr);
  return !m_bNumber;
}

bool CCell::SetText(const std::string& text) {
  m_strText = text;
  return Parse();
}


int CCell::CharCount() const { return utf8_char_count(m_strText); }

namespace {

// Erases `count` characters starting at character index `at`; out-of-range parts are ignored.
void erase_chars(std::string& text, int at, int count) {
  if (at < 0 || count <= 0 || at >= utf8_char_count(text)) return;
  const std::size_t from = utf8_byte_offset(text, at);
  text.erase(from, utf8_byte_offset(text, at + count) - from);
}

}  // namespace

bool CCell::InsertChar(char ch, int caretFromEnd) {
  const int len = CharCount();
  if (len < kMaxTypedLength) {
    const int at = std::clamp(len - caretFromEnd, 0, len);
    m_strText.insert(utf8_byte_offset(m_strText, at), 1, ch);
  }
  return Parse();
}

bool CCell::Backspace(int caretFromEnd) {
  erase_chars(m_strText, CharCount() - caretFromEnd - 1, 1);
  return Parse();
}

bool CCell::DeleteChar(int caretFromEnd) {
  erase_chars(m_strText, CharCount() - caretFromEnd, 1);
  return Parse();
}

bool CCell::DeleteRange(int a, int b) {
  erase_chars(m_strText, CharCount() - b, std::abs(a - b));
  return Parse();
}

void CCellCursor::SetCell(int row, int col) {
  m_nRow = row;
  m_nCol = col;
  m_nCaret = 0;
  EndEdit();
}

void CCellCursor::SetRow(int row) { SetCell(row, m_nCol); }
void CCellCursor::SetCol(int col) { SetCell(m_nRow, col); }

void CCellCursor::EndEdit() {
  m_nEditClicks = 0;
  m_bEditing = 0;
  m_bKeepText = 0;
}

void CCellCursor::BeginEdit() {
  ++m_nEditClicks;
  if (m_nEditClicks >= 1) {
    m_bEditing = 1;
    m_bKeepText = 1;
  }
}

int CCellCursor::CaretFromX(TextMeasurer& measure, const std::string& text, int x, int textRight) {
  int d = std::abs(x - textRight);
  int result = 0;
  if (text.empty() || d < measure.TextWidth(text.substr(0, utf8_byte_offset(text, 1)))) return 0;
  const int length = utf8_char_count(text);
  for (int i = 1; i <= length; ++i) {
    const int w = measure.TextWidth(text.substr(0, utf8_byte_offset(text, i)));
    const int diff = std::abs(w - (textRight - x));
    if (diff < d) {
      d = diff;
      result = i;
    }
  }
  return result;
}

Titration::Titration() {
  for (int k = 1; k <= kMaxSims; ++k) {
    m_bSlotFree[k] = 1;
    m_nSlotOrder[k] = k;
  }
  m_cursor.SetCell(0, 0);
  // The constructor leaves the cursor ready for typing into the existing text.
  m_cursor.m_bKeepText = 1;
  m_genSteps[1].m_nStart = 2;
}

void Titration::ResetForNew() {
  // Kept on purpose: m_fTemperature (the last fit's), m_nPlotsListed (running plot number),
  // m_nFitDlgLastModel, m_pPlotList, and the fit, simulation records and sampled curves,
  // which are unreachable while the flags and counts below are 0.
  m_nGenStart = 1;
  m_nGenCount = 0;
  m_nGenEnd = 1;
  m_dGenConcAdded = 0.0;
  m_dGenVolAdded = 0.0;
  m_dGenStartVolume = 0.0;
  m_nGenSteps = 0;
  for (auto& row : m_cells)
    for (auto& cell : row) cell.SetText("");
  for (auto& step : m_genSteps) step = GenStep{};
  m_genSteps[1].m_nStart = 2;
  m_cursor.SetCell(0, 0);
  m_dStartCa = 0.0;
  m_strDescription.clear();
  m_strYCaption = "Response";
  m_strXCaption = "Total Ca/uM";
  m_strTitle = "Title";
  m_bShowFit = 0;
  m_fitRun = FitRunRecord{};
  m_fitDiagnostics = FitDiagnostics{};
  m_bHaveSims = 0;
  m_bAxisFixed = 0;
  m_bGraphDrag = 0;
  m_bFitAxesToSims = 0;
  m_dXMin = m_dYMin = m_dXMax = m_dYMax = 0.0;
  m_nSims = 0;
  for (int k = 1; k <= kMaxSims; ++k) {
    m_bSlotFree[k] = 1;
    m_nSlotOrder[k] = k;
    m_nPlotNumber[k] = 0;
  }
}

void Titration::AssignExperiment(const Titration& other) {
  PlotListSink* keep = m_pPlotList;
  const bool modified = m_bModifiedCore;
  TitrationEdit* openEdit = m_pOpenEdit;
  const BYTE showResiduals = m_bShowResiduals;  // a view choice, not part of the experiment
  *this = other;
  m_pPlotList = keep;
  m_bShowResiduals = showResiduals;
  m_bModifiedCore = modified;
  m_pOpenEdit = openEdit;
}

void Titration::OnEdited(const EditRecord& record) {
  if (record.kind != EditKind::View) m_bModifiedCore = true;
}

void Titration::SetModifiedFlag(bool modified) {
  if (modified)
    MarkChanged();
  else
    m_bModifiedCore = false;
}

std::vector<std::string> PlotListEntries(const Titration& doc) {
  std::vector<std::string> entries;
  const int count = std::clamp(doc.m_nSims, 0, Titration::kMaxSims);
  for (int p = 1; p <= count; ++p) entries.push_back(c_printf("Plot %i", doc.m_nPlotNumber[p]));
  return entries;
}

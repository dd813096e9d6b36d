#include "gridview/grid_controller.h"

#include <algorithm>
#include <optional>

#include "document/titration_edit.h"

#include "document/cell_check.h"
#include "document/number_text.h"

namespace {

CanvasRect Union(const CanvasRect& a, const CanvasRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace

GridController::GridController(Titration& doc, GridHost& host) : m_doc(doc), m_host(host) {}

void GridController::InitialUpdate(const GridMetrics& metrics) {
  m_metrics = metrics;
  m_ptCaret = {m_metrics.TextRight(0), m_metrics.m_nHalfGap + m_metrics.m_nRowHeight};
  m_rcBlock = m_metrics.CellRect(0, 0);
  m_bBlockSel = false;
  m_bTextSel = false;
  m_bButtonUp = true;
  if (m_bAutoScroll) m_host.StopAutoScrollTimer();
  m_bAutoScroll = false;
  m_host.InvalidateAll();
}

void GridController::Rescale(const GridMetrics& metrics) {
  m_metrics = metrics;
  m_ptCaret.y = (m_doc.m_cursor.m_nRow + 1) * m_metrics.m_nRowHeight + m_metrics.m_nHalfGap;
  PlaceCaretX();
  m_rcBlock = m_bBlockSel ? BlockRectNow() : CurrentCellRect();
  m_bTextSel = false;
  m_host.InvalidateAll();
}

const std::string& GridController::CurrentText() const {
  return m_doc.m_cells[m_doc.m_cursor.m_nRow][m_doc.m_cursor.m_nCol].Text();
}

CCell& GridController::CurrentCell() { return m_doc.m_cells[m_doc.m_cursor.m_nRow][m_doc.m_cursor.m_nCol]; }

CanvasRect GridController::CurrentCellRect() const {
  return m_metrics.CellRect(m_doc.m_cursor.m_nRow, m_doc.m_cursor.m_nCol);
}

int GridController::WidthOfLast(const std::string& text, int count) {
  // Counts are characters (UTF-8 code points), as the caret is.
  const int len = utf8_char_count(text);
  count = std::clamp(count, 0, len);
  return count == 0 ? 0 : m_host.TextWidth(text.substr(utf8_byte_offset(text, len - count)));
}

void GridController::PlaceCaretX() {
  m_ptCaret.x = m_metrics.TextRight(m_doc.m_cursor.m_nCol) - WidthOfLast(CurrentText(), m_doc.m_cursor.m_nCaret);
}

bool GridController::CaretVisible() const {
  if (!m_doc.m_cursor.m_bEditing) return false;
  return !(m_bTextSel && !CurrentText().empty());
}

CanvasRect GridController::CaretRect() const {
  return {m_ptCaret.x, m_ptCaret.y, m_ptCaret.x + 2, m_ptCaret.y + m_metrics.CaretHeight()};
}

CanvasRect GridController::BlockRectNow() const {
  return m_metrics.BlockRect(m_nBlockRow1, m_nBlockCol1, m_nBlockRow2, m_nBlockCol2);
}

void GridController::ClearSelections() {
  m_bBlockSel = false;
  m_bTextSel = false;
}

// --- mouse -------------------------------------------------------------------------------

void GridController::LButtonDown(int x, int y) {
  CCellCursor& cur = m_doc.m_cursor;
  cur.m_nCaret = 0;
  m_bButtonUp = false;
  m_bBlockSel = false;
  m_bTextSel = false;
  m_host.Invalidate(m_rcBlock);

  const int lx = x;
  const int ly = y + m_host.ScrollY();
  const int rh = m_metrics.m_nRowHeight;
  if (!(m_metrics.m_nLabelWidth < lx && lx < m_metrics.TotalWidth() && rh < ly && ly < m_metrics.TotalHeight()))
    return;
  const int row = std::min((ly - rh) / rh, cur.m_nLastRow);
  const int col = std::min((lx - m_metrics.m_nLabelWidth) / m_metrics.m_nColWidth, cur.m_nLastCol);
  m_nBlockRow1 = m_nBlockRow2 = row;
  m_nBlockCol1 = m_nBlockCol2 = col;
  m_rcBlock = BlockRectNow();
  // Logical, so the caret stays with its cell when the pane scrolls.
  m_ptCaret = {m_metrics.TextRight(col), (row + 1) * rh + 5};
  m_host.Invalidate(m_metrics.CellRect(row, col));
  m_host.Invalidate(CurrentCellRect());

  if (row == cur.m_nRow && col == cur.m_nCol) {
    cur.BeginEdit();
    const std::string& text = CurrentText();
    if (!text.empty()) {
      const int k = CCellCursor::CaretFromX(m_host, text, lx, m_ptCaret.x);
      cur.m_nCaret = k;
      m_ptCaret.x -= WidthOfLast(text, k);
    }
  } else {
    cur.SetCell(row, col);
  }
  m_nTabStartCol = -1;
  ReportCurrentCell();
}

void GridController::ReportCurrentCell() {
  const std::string text =
      cell_not_a_number_text(m_doc, {m_doc.m_cursor.m_nRow, m_doc.m_cursor.m_nCol});
  if (text.empty() && !m_bStatusShown) return;
  m_bStatusShown = !text.empty();
  m_host.ShowStatus(text);
}

void GridController::LButtonUp() {
  m_bButtonUp = true;
  m_host.StopAutoScrollTimer();
  m_bAutoScroll = false;
}

void GridController::LButtonDblClk(int, int) {
  CCellCursor& cur = m_doc.m_cursor;
  cur.BeginEdit();
  cur.BeginEdit();
  const CanvasRect rc = CurrentCellRect();
  const std::string& text = CurrentText();
  const int len = utf8_char_count(text);
  const int w = WidthOfLast(text, len);
  const int right = rc.right - m_metrics.m_nTextInset;
  m_rcTextSel = {right - w, rc.top + m_metrics.m_nHalfGap, right, rc.bottom - m_metrics.m_nHalfGap};
  m_nSelStart = len;
  m_nSelEnd = 0;
  m_bTextSel = true;
  // The press that completed the double click starts no drag, whatever the toolkit reports
  // around it, so a tremor of the hand keeps the whole text selected.
  m_bButtonUp = true;
  m_host.Invalidate(rc);
}

bool GridController::ExtendBlock(int row, int col) {
  const int a = m_doc.m_cursor.m_nRow;
  const int c = m_doc.m_cursor.m_nCol;
  const int r1 = std::min(a, row), r2 = std::max(a, row);
  const int c1 = std::min(c, col), c2 = std::max(c, col);
  if (r1 == m_nBlockRow1 && r2 == m_nBlockRow2 && c1 == m_nBlockCol1 && c2 == m_nBlockCol2) return false;
  const CanvasRect old = BlockRectNow();
  m_nBlockRow1 = r1;
  m_nBlockRow2 = r2;
  m_nBlockCol1 = c1;
  m_nBlockCol2 = c2;
  m_rcBlock = BlockRectNow();
  m_host.Invalidate(Union(old, m_rcBlock));
  return true;
}

void GridController::SelectText(int x) {
  if (!m_doc.m_cursor.m_bEditing) return;
  m_bTextSel = true;
  m_bBlockSel = false;
  const CanvasRect rc = CurrentCellRect();
  const std::string& text = CurrentText();
  const int len = utf8_char_count(text);
  const int right = m_metrics.TextRight(m_doc.m_cursor.m_nCol);
  const int ka = m_doc.m_cursor.m_nCaret;
  const int wa = WidthOfLast(text, ka);
  int kp = 0, wp = 0;
  if (rc.left < x && x < rc.right) {
    kp = CCellCursor::CaretFromX(m_host, text, x, right);
    wp = WidthOfLast(text, kp);
  } else if (x <= rc.left) {
    kp = len;
    wp = WidthOfLast(text, len);
  }
  m_nSelEnd = std::min(ka, kp);
  m_nSelStart = std::max(ka, kp);
  m_rcTextSel = {right - std::max(wa, wp), rc.top + m_metrics.m_nHalfGap, right - std::min(wa, wp),
                 rc.bottom - m_metrics.m_nHalfGap};
  m_host.Invalidate(rc);
}

void GridController::MouseMove(int x, int y) {
  if (m_bButtonUp) return;
  m_ptLastMouse = {x, y};
  // Even a small movement after a press shows the pressed cell as a one-cell block.
  if (!m_bBlockSel) m_host.Invalidate(m_rcBlock);
  m_bBlockSel = true;
  const int rh = m_metrics.m_nRowHeight;
  if (!(m_metrics.m_nLabelWidth < x && x < m_metrics.TotalWidth() && rh < y && y < m_host.ClientHeight())) {
    if (!m_bAutoScroll) {
      m_host.StartAutoScrollTimer();
      m_bAutoScroll = true;
    }
    return;
  }
  const int row = std::clamp((y - rh + m_host.ScrollY()) / rh, 0, m_doc.m_cursor.m_nLastRow);
  const int col = std::min((x - m_metrics.m_nLabelWidth) / m_metrics.m_nColWidth, m_doc.m_cursor.m_nLastCol);
  // Once a text selection has started it lasts for the rest of the drag.
  if (m_bTextSel || !ExtendBlock(row, col)) SelectText(x);
}

void GridController::Timer() {
  if (m_bButtonUp) return;
  const int rh = m_metrics.m_nRowHeight;
  const int scroll = m_host.ScrollY();
  if (m_ptLastMouse.y > m_host.ClientHeight() && m_nBlockRow2 < m_doc.m_cursor.m_nLastRow) {
    ++m_nBlockRow2;
    m_host.ScrollToY(scroll + rh);
    m_host.InvalidateAll();
  }
  if (m_ptLastMouse.y < 0 && m_nBlockRow1 >= 0) {
    const int currentRow = m_doc.m_cursor.m_nRow;
    if (scroll < (currentRow + 1) * rh && m_nBlockRow1 > 0) --m_nBlockRow1;
    if (m_nBlockRow2 > currentRow) --m_nBlockRow2;
    m_host.ScrollToY(std::max(0, scroll - rh));
    m_host.InvalidateAll();
  }
  m_rcBlock = BlockRectNow();
}

// --- keyboard ----------------------------------------------------------------------------

void GridController::Char(int ch) {
  if (m_bBlockSel) {
    m_bBlockSel = false;
    m_host.Invalidate(m_rcBlock);
  }
  const bool candidate = (ch >= '0' && ch <= '9') || ch == '.' || ch == ',' || ch == '-' || ch == '+' ||
                         ch == 'e' || ch == 'E';
  if (!candidate) return;
  CCellCursor& cur = m_doc.m_cursor;
  TitrationEdit edit(m_doc, EditKind::Grid, "Typing", CellMergeKey(cur.m_nRow, cur.m_nCol));
  CCell& cell = CurrentCell();
  // The keystroke goes in only if the text can still become a number, so "1e-3" can be
  // typed and a second decimal mark or a sign inside the digits cannot.
  CCell trial;
  trial.SetText(cur.m_bKeepText ? cell.Text() : std::string());
  trial.InsertChar(ch == ',' ? '.' : static_cast<char>(ch), cur.m_bKeepText ? cur.m_nCaret : 0);
  if (!is_number_prefix(trial.Text())) return;
  cell.SetText(trial.Text());
  cur.m_bKeepText = 1;
  m_host.Invalidate(CurrentCellRect());
}

void GridController::DeleteSelectedText() {
  CurrentCell().DeleteRange(m_nSelEnd, m_nSelStart);
  m_bTextSel = false;
  m_doc.m_cursor.m_nCaret = m_nSelEnd;
  PlaceCaretX();
}

void GridController::ClearBlockCells() {
  for (int r = m_nBlockRow1; r <= m_nBlockRow2; ++r)
    for (int c = m_nBlockCol1; c <= m_nBlockCol2; ++c) m_doc.m_cells[r][c].SetText("");
}

void GridController::DoUp(CanvasRect& repaint) {
  CCellCursor& cur = m_doc.m_cursor;
  if (cur.m_nRow > 0) cur.SetRow(cur.m_nRow - 1);
  ClearSelections();
  repaint = Union(repaint, CurrentCellRect());
  const int rh = m_metrics.m_nRowHeight;
  const int f = m_host.ScrollY() / rh;
  // Scrolls when the row just above the first visible one becomes current, and always
  // from one row down, so that the header comes back into view.
  if (cur.m_nRow - f == -2 || f == 1) m_host.ScrollToY(std::max(0, m_host.ScrollY() - rh));
}

void GridController::DoDown(CanvasRect& repaint) {
  CCellCursor& cur = m_doc.m_cursor;
  if (cur.m_nRow < cur.m_nLastRow) cur.SetRow(cur.m_nRow + 1);
  ClearSelections();
  repaint = Union(repaint, CurrentCellRect());
  const int rh = m_metrics.m_nRowHeight;
  const int f = m_host.ScrollY() / rh;
  const int visibleRows = (m_host.ClientHeight() - rh) / rh;
  if (visibleRows == cur.m_nRow - f - 1) m_host.ScrollToY(m_host.ScrollY() + rh);
}

void GridController::DoTab(CanvasRect& repaint, bool forward) {
  CCellCursor& cur = m_doc.m_cursor;
  if (forward) {
    if (m_nTabStartCol < 0) m_nTabStartCol = cur.m_nCol;
    if (cur.m_nCol < cur.m_nLastCol) {
      cur.SetCol(cur.m_nCol + 1);
    } else if (cur.m_nRow < cur.m_nLastRow) {
      DoDown(repaint);
      cur.SetCol(0);
      m_nTabStartCol = 0;
    }
  } else if (cur.m_nCol > 0) {
    cur.SetCol(cur.m_nCol - 1);
    if (m_nTabStartCol > cur.m_nCol) m_nTabStartCol = cur.m_nCol;
  } else if (cur.m_nRow > 0) {
    DoUp(repaint);
    cur.SetCol(cur.m_nLastCol);
    m_nTabStartCol = -1;
  }
  ClearSelections();
  repaint = Union(repaint, CurrentCellRect());
}

void GridController::KeyDown(GridKey key) {
  CCellCursor& cur = m_doc.m_cursor;
  // Backspace and Delete inside one cell's text continue its typing; over a block they are
  // an action of their own.
  std::optional<TitrationEdit> edit;
  if (key == GridKey::Backspace || key == GridKey::Delete) {
    if (m_bBlockSel)
      edit.emplace(m_doc, EditKind::Grid, "Delete");
    else
      edit.emplace(m_doc, EditKind::Grid, "Typing", CellMergeKey(cur.m_nRow, cur.m_nCol));
  }
  CanvasRect repaint = CurrentCellRect();
  const int len = utf8_char_count(CurrentText());
  switch (key) {
    case GridKey::Backspace:
      if (m_bBlockSel) {
        ClearBlockCells();
        repaint = BlockRectNow();
      }
      if (m_bTextSel)
        DeleteSelectedText();
      else if (cur.m_nCaret <= len - 1)
        CurrentCell().Backspace(cur.m_nCaret);
      break;
    case GridKey::Delete:
      if (m_bBlockSel) {
        ClearBlockCells();
        repaint = BlockRectNow();
      } else if (m_bTextSel) {
        DeleteSelectedText();
      } else if (cur.m_nCaret > 0) {
        CurrentCell().DeleteChar(cur.m_nCaret);
        --cur.m_nCaret;
        PlaceCaretX();
      }
      break;
    case GridKey::Left:
      if (cur.m_bEditing) {
        if (cur.m_nCaret + 1 <= len) {
          ++cur.m_nCaret;
          PlaceCaretX();
        }
      } else {
        if (cur.m_nCol > 0) cur.SetCol(cur.m_nCol - 1);
        ClearSelections();
        repaint = Union(repaint, CurrentCellRect());
      }
      break;
    case GridKey::Right:
      if (cur.m_bEditing) {
        if (cur.m_nCaret > 0) {
          --cur.m_nCaret;
          PlaceCaretX();
        }
      } else {
        if (cur.m_nCol < cur.m_nLastCol) cur.SetCol(cur.m_nCol + 1);
        ClearSelections();
        repaint = Union(repaint, CurrentCellRect());
      }
      break;
    case GridKey::Up:
      DoUp(repaint);
      break;
    case GridKey::Down:
      DoDown(repaint);
      break;
    case GridKey::Enter: {
      const int back = m_nTabStartCol;
      DoDown(repaint);
      if (back >= 0 && back != cur.m_nCol) {
        cur.SetCol(back);
        repaint = Union(repaint, CurrentCellRect());
      }
      break;
    }
    case GridKey::Tab:
    case GridKey::BackTab:
      DoTab(repaint, key == GridKey::Tab);
      break;
    case GridKey::Other:
      break;
  }
  // Any move but a Tab ends the run of Tabs; Enter has used it above.
  const bool moved = key == GridKey::Up || key == GridKey::Down || key == GridKey::Enter ||
                     ((key == GridKey::Left || key == GridKey::Right) && !cur.m_bEditing);
  if (moved) m_nTabStartCol = -1;
  if (key != GridKey::Backspace && key != GridKey::Delete && key != GridKey::Other) ReportCurrentCell();
  if (!m_bBlockSel) m_host.Invalidate(m_rcBlock);
  m_host.Invalidate(repaint);
}

// --- clipboard ---------------------------------------------------------------------------

std::string GridController::CopyText() const { return BlockToClipboardText(m_doc, Block()); }

std::string GridController::CutText() {
  TitrationEdit edit(m_doc, EditKind::Grid, "Cut");
  std::string text = CutBlockToClipboardText(m_doc, Block());
  m_host.Invalidate(BlockRectNow());
  return text;
}

PasteOutcome GridController::PasteText(const std::string& text) {
  TitrationEdit edit(m_doc, EditKind::Grid, "Paste");
  const int row0 = m_doc.m_cursor.m_nRow;
  const PasteOutcome outcome = PasteClipboardText(m_doc, text, row0, m_doc.m_cursor.m_nCol);
  if (outcome.lastRow < 0) return outcome;
  m_host.Invalidate(m_metrics.BlockRect(row0, 0, outcome.lastRow, 2));
  if (!outcome.status.empty()) {
    m_host.ShowStatus(outcome.status);
    m_bStatusShown = true;
  } else {
    ReportCurrentCell();
  }
  return outcome;
}

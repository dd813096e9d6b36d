// The data grid's editing rules without a window: mouse presses, drags, double clicks,
// characters and keys come in (in the pane's client coordinates), cell texts and the
// cursor of the document change, and the host is told which rectangles to repaint, where
// to scroll and when to run the 100 ms auto-scroll timer. Text widths come from the host
// in the cell font. Rectangles are the grid's logical coordinates (see GridMetrics).
//
// Two ways into a cell: navigating (click on another cell, arrows, Enter) makes it current
// with the first typed character replacing its text; clicking the current cell again or
// double-clicking starts editing with a caret, kept as the number of characters right of
// it because the text is right-aligned.
//
// Typing accepts a keystroke only when the text can still become a number (sign, digits,
// one decimal mark, exponent); a typed comma is stored as a point. Tab and Shift+Tab move
// to the next and previous cell, wrapping rows; Enter moves down, back to the column where
// a run of Tabs started, as spreadsheets do. A cell that is not a number is drawn in red
// and named in the status bar when it becomes current.
#pragma once

#include <string>

#include "canvas/canvas.h"
#include "document/titration.h"
#include "gridview/clipboard_text.h"
#include "gridview/grid_metrics.h"

class GridHost : public TextMeasurer {
 public:
  // Vertical scroll position and visible height of the pane, pixels.
  virtual int ScrollY() const = 0;
  virtual int ClientHeight() const = 0;
  // Scrolls so that logical y is at the top; the host keeps it within its range.
  virtual void ScrollToY(int y) = 0;
  virtual void Invalidate(const CanvasRect& logical) = 0;
  virtual void InvalidateAll() = 0;
  virtual void StartAutoScrollTimer() = 0;  // ticks every 100 ms until stopped
  virtual void StopAutoScrollTimer() = 0;
  // The status bar's message field; an empty text gives it back to its idle prompt.
  virtual void ShowStatus(const std::string&) {}
};

enum class GridKey { Backspace, Delete, Left, Right, Up, Down, Enter, Tab, BackTab, Other };

class GridController {
 public:
  static constexpr int kAutoScrollMs = 100;

  GridController(Titration& doc, GridHost& host);

  // New metrics (at start-up and after every New or Open): caret at the first cell's end,
  // no selections.
  void InitialUpdate(const GridMetrics& metrics);
  // New metrics for the same document (the window was resized): the cursor, the block and
  // the caret stay on their cells; a text selection inside the cell is dropped.
  void Rescale(const GridMetrics& metrics);

  void LButtonDown(int x, int y);
  void LButtonUp();
  void LButtonDblClk(int x, int y);
  void MouseMove(int x, int y);
  void Timer();
  void Char(int ch);
  void KeyDown(GridKey key);

  // Clipboard texts of the last block bounds (after a plain click: the clicked cell).
  std::string CopyText() const;
  std::string CutText();
  // Pastes at the current cell; the outcome's status goes to the status bar, a refusal
  // (nothing pasted) is for the host to show.
  PasteOutcome PasteText(const std::string& text);

  const GridMetrics& Metrics() const { return m_metrics; }
  GridBlock Block() const { return {m_nBlockRow1, m_nBlockCol1, m_nBlockRow2, m_nBlockCol2}; }
  // The caret is drawn only while the current cell is being edited and no text selection
  // hides it.
  bool CaretVisible() const;
  CanvasRect CaretRect() const;

  // View state, named as the drawing and the rules refer to it.
  CanvasPoint m_ptCaret;      // logical; x is where the caret stands, y the caret's top
  bool m_bAutoScroll = false;
  CanvasPoint m_ptLastMouse;  // client coordinates, while dragging
  int m_nSelStart = 0, m_nSelEnd = 0;  // text selection, characters from the end; start >= end
  bool m_bTextSel = false;
  CanvasRect m_rcTextSel;
  CanvasRect m_rcBlock;
  int m_nBlockCol2 = 0, m_nBlockCol1 = 0, m_nBlockRow2 = 0, m_nBlockRow1 = 0;
  bool m_bBlockSel = false;
  bool m_bButtonUp = true;

 private:
  const std::string& CurrentText() const;
  CCell& CurrentCell();
  CanvasRect CurrentCellRect() const;
  int WidthOfLast(const std::string& text, int count);
  void PlaceCaretX();
  CanvasRect BlockRectNow() const;
  void DeleteSelectedText();
  void ClearBlockCells();
  void ClearSelections();
  bool ExtendBlock(int row, int col);
  void SelectText(int x);
  void DoUp(CanvasRect& repaint);
  void DoDown(CanvasRect& repaint);
  void DoTab(CanvasRect& repaint, bool forward);
  void ReportCurrentCell();

  Titration& m_doc;
  GridHost& m_host;
  GridMetrics m_metrics;
  int m_nTabStartCol = -1;  // column where the current run of Tabs started, -1 outside one
  bool m_bStatusShown = false;
};

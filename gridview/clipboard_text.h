// Grid blocks as clipboard text. Each row of the block is one line; the cells' texts (as
// typed, not the parsed numbers) are separated by tabs; every line, the last included,
// ends with a carriage return and a space. That is the format other copies of the program
// exchange, so Copy keeps writing it.
//
// Paste reads that format and what spreadsheets and other programs put on the clipboard.
#pragma once

#include <string>

class Titration;

struct GridBlock {
  int row1 = 0, col1 = 0, row2 = 0, col2 = 0;  // inclusive
};

std::string BlockToClipboardText(const Titration& doc, const GridBlock& block);
// As BlockToClipboardText, and empties each cell of the block once it is taken.
std::string CutBlockToClipboardText(Titration& doc, const GridBlock& block);

struct PasteOutcome {
  int lastRow = -1;     // the last row written, -1 when nothing was
  std::string status;   // for the status bar: a skipped header line, rows that did not fit
  std::string refusal;  // not empty: nothing was pasted, for this reason
};

// Writes text into the grid with its first field at (row0, col0), read as a spreadsheet's
// copy (document/table_text.h: tabs, semicolons, commas, a header line, decimal commas).
// Lines past row 98 are dropped; when the first line's fields would not fit right of col0
// only the first field of every line is pasted. Rows with fewer fields than the first line
// leave the rest of their cells empty. An empty text empties the cell at (row0, col0).
PasteOutcome PasteClipboardText(Titration& doc, const std::string& text, int row0, int col0);

// Grid blocks as clipboard text. Each row of the block is one line; the cells' texts (as
// typed, not the parsed numbers) are separated by tabs; every line, the last included,
// ends with a carriage return and a space. That is the format other copies of the program
// exchange, so Copy keeps writing it.
//
// Paste reads that format and also lines ending in LF or CR LF, a last line without a line
// end (a single value copied elsewhere pastes into one cell) and text of any length.
#pragma once

#include <string>

class Titration;

struct GridBlock {
  int row1 = 0, col1 = 0, row2 = 0, col2 = 0;  // inclusive
};

std::string BlockToClipboardText(const Titration& doc, const GridBlock& block);
// As BlockToClipboardText, and empties each cell of the block once it is taken.
std::string CutBlockToClipboardText(Titration& doc, const GridBlock& block);

// Writes text into the grid with its first field at (row0, col0). Returns the last row
// written, or -1 when nothing was written. Lines past row 98 are dropped; when the first
// line's fields would not fit right of col0 only the first field of every line is pasted.
int PasteClipboardText(Titration& doc, const std::string& text, int row0, int col0);

// LF and CR LF line ends become CR LF, and a last line with content but no line end gets
// one; text in the program's own format comes back unchanged.
std::string NormaliseLineEnds(const std::string& text);

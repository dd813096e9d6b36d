// The grid's texts that are not numbers (shown in red): where the first one is, and the
// message that names it. Fit, Simulate and the exports refuse to run while one is in the
// grid, so nothing computes with the leading digits of "12abc" or with a half-typed "1e".
#pragma once

#include <string>

#include "document/titration.h"

inline constexpr const char* kCellColumnNames[Titration::kCols] = {"Response", "Add. Ca/uM", "Volume"};

// The first cell, row by row, whose text is not empty and not a complete number.
CellPosition first_cell_not_a_number(const Titration& doc);

// "Row 3, Add. Ca/uM: \"1e\" is not a number" (rows counted from 1, as the grid shows them);
// empty when the cell holds a number or nothing.
std::string cell_not_a_number_text(const Titration& doc, CellPosition cell);

// The message a command shows instead of running, e.g. for "fitting":
// "Row 3, Add. Ca/uM: \"1e\" is not a number. Correct or clear the red cell before fitting."
// Empty when every cell holds a number or nothing.
std::string cells_refusal(const Titration& doc, const std::string& action);

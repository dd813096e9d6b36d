// A table read from a file (document/table_text.h) put into the grid: which file column
// goes to Response, Add. Ca/uM and Volume, and the checks made before anything changes.
// The Import Data dialog and `bindwise-cli import` share these.
#pragma once

#include <string>

#include "document/table_text.h"
#include "document/titration.h"

struct ImportColumns {
  // File column (from 0) for each grid column; -1 leaves the grid column empty.
  int fileColumn[Titration::kCols] = {0, 1, 2};
};

// The largest number of fields in any row.
int table_column_count(const TableText& table);

// File columns 1, 2 and 3 to Response, Add. Ca/uM and Volume, as far as the table has them.
ImportColumns default_import_columns(const TableText& table);

// Why the table cannot go into the grid ("" when it can): the reader's refusal, no rows, more
// rows than the grid's 99, or a chosen column the file does not have.
std::string import_refusal(const TableText& table, const ImportColumns& columns);

// Empties the grid and writes the table's rows from row 0. Call after import_refusal said "".
void import_into_grid(Titration& doc, const TableText& table, const ImportColumns& columns);

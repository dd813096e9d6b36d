// Tables as text: which separator and decimal mark the rules choose, what each line gives,
// headers, line ends, and the texts that must be refused rather than misread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/data_import.h"
#include "document/table_text.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(TableText, SeparatorsAndDecimalMarks) {
  struct Case {
    const char* text;
    FieldSeparator separator;
    DecimalMark decimal;
    Rows rows;
  };
  const Case cases[] = {
      {"3,992\t119,96\t2,004", FieldSeparator::Tab, DecimalMark::Comma, {{"3.992", "119.96", "2.004"}}},
      {"0,61;5;2,01\n0,7;10;2,02\n", FieldSeparator::Semicolon, DecimalMark::Comma,
       {{"0.61", "5", "2.01"}, {"0.7", "10", "2.02"}}},
      {"0.61,5,2.01\r\n0.7,10,2.02\r\n", FieldSeparator::Comma, DecimalMark::Point,
       {{"0.61", "5", "2.01"}, {"0.7", "10", "2.02"}}},
      // Ragged: not CSV, so each line is one field (and the comma reads as a decimal mark).
      {"1,5\n2\n", FieldSeparator::Line, DecimalMark::Comma, {{"1.5"}, {"2"}}},
      // A field that is no number keeps a CSV from being detected.
      {"1,2\n3,x\n", FieldSeparator::Line, DecimalMark::Comma, {{"1.2"}, {"3,x"}}},
      {"0.100000 0.5\n0.200000 0.75\n", FieldSeparator::Blanks, DecimalMark::Point, {{"0.100000", "0.5"}, {"0.200000", "0.75"}}},
      {"0.5\n0.75", FieldSeparator::Line, DecimalMark::Point, {{"0.5"}, {"0.75"}}},
      // The program's own clipboard format: CR and a space after every line.
      {"1\t2\t3\r 4\t5\t6\r ", FieldSeparator::Tab, DecimalMark::Comma, {{"1", "2", "3"}, {"4", "5", "6"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    const TableText t = read_table_text(c.text);
    EXPECT_EQ(t.format.separator, c.separator);
    EXPECT_EQ(t.format.decimal, c.decimal);
    EXPECT_EQ(t.format.headerLines, 0);
    EXPECT_EQ(t.refusal, "");
    EXPECT_EQ(t.rows, c.rows);
  }
}

TEST(TableText, MixedLineEndsWithAndWithoutAFinalOne) {
  const Rows expected = {{"1", "2"}, {"3", "4"}, {"5", "6"}, {"7", "8"}};
  for (const char* text : {"1;2\n3;4\r\n5;6\r7;8", "1;2\r3;4\n5;6\r\n7;8\r\n", "1;2\r\n3;4\r5;6\n7;8\n"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(text)));
    EXPECT_EQ(read_table_text(text).rows, expected);
  }
  // A blank line inside is an empty row; blank lines at the end are nothing.
  EXPECT_EQ(read_table_text("1\t2\n\n3\t4\n\n\n").rows, (Rows{{"1", "2"}, {}, {"3", "4"}}));
}

TEST(TableText, FirstLineWithoutANumberIsAHeader) {
  const TableText csv = read_table_text("Response,Ca/uM,Volume\n0.61,5,2.01\n0.7,10,2.02\n");
  EXPECT_EQ(csv.format.separator, FieldSeparator::Comma);
  EXPECT_EQ(csv.format.headerLines, 1);
  EXPECT_EQ(csv.skipped, std::vector<std::string>{"Response,Ca/uM,Volume"});
  EXPECT_EQ(csv.rows.front(), (std::vector<std::string>{"0.61", "5", "2.01"}));
  EXPECT_EQ(csv.lineNumbers.front(), 2);
  const TableText tsv = read_table_text("\xEF\xBB\xBFSignal\tCa\n1,5\t0\n");
  EXPECT_EQ(tsv.skipped, std::vector<std::string>{"Signal\tCa"});
  EXPECT_EQ(tsv.rows, (Rows{{"1.5", "0"}}));
  // A first line with a number in it is data, even beside a word.
  EXPECT_EQ(read_table_text("step 1\t0.5\n").format.headerLines, 0);
}

TEST(TableText, ThousandsSeparatorsAreRefusedNotMisread) {
  for (const char* text : {"1,234.5", "0.5\n1,234.5\n", "1,234.5\t2\n", "1.234,5;2\n"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(text)));
    const TableText t = read_table_text(text);
    EXPECT_NE(t.refusal.find("thousands separators"), std::string::npos) << t.refusal;
    EXPECT_TRUE(t.rows.empty());
  }
  EXPECT_NE(read_table_text("0.5\n1,234.5\n").refusal.find("Line 2: \"1,234.5\""), std::string::npos);
}

TEST(TableText, ChosenFormatOverridesTheDetectedOne) {
  TableFormat format;
  format.separator = FieldSeparator::Semicolon;
  format.decimal = DecimalMark::Point;
  format.headerLines = 2;
  const TableText t = read_table_text("title\nunits\n1,5;2\n", format);
  EXPECT_EQ(t.skipped.size(), 2u);
  EXPECT_EQ(t.rows, (Rows{{"1,5", "2"}}));  // a point mark leaves the comma text (a red cell)
}

TEST(DataImport, ColumnsRowsAndRefusals) {
  const TableText t = read_table_text("Ca;Signal;V\n0;0,9;2\n5;0,8;2,005\n");
  ImportColumns columns;
  columns.fileColumn[0] = 1;
  columns.fileColumn[1] = 0;
  columns.fileColumn[2] = -1;
  ASSERT_EQ(import_refusal(t, columns), "");
  Titration doc;
  doc.m_cells[40][2].SetText("old");
  import_into_grid(doc, t, columns);
  EXPECT_EQ(doc.m_cells[0][0].Text(), "0.9");
  EXPECT_EQ(doc.m_cells[1][1].Text(), "5");
  EXPECT_EQ(doc.m_cells[1][2].Text(), "");
  EXPECT_EQ(doc.m_cells[40][2].Text(), "");  // the grid's old contents are gone

  columns.fileColumn[2] = 3;
  EXPECT_NE(import_refusal(t, columns).find("no column 4"), std::string::npos);
  std::string tall;
  for (int i = 0; i < 100; ++i) tall += std::to_string(i) + "\n";
  const TableText tallTable = read_table_text(tall);
  EXPECT_NE(import_refusal(tallTable, default_import_columns(tallTable)).find("more than 99 rows from line 100"),
            std::string::npos);
  // One file column goes to Response; the other grid columns stay empty.
  const ImportColumns single = default_import_columns(read_table_text("1\n2\n"));
  EXPECT_EQ(single.fileColumn[0], 0);
  EXPECT_EQ(single.fileColumn[1], -1);
  EXPECT_EQ(import_refusal(read_table_text("1\n2\n"), single), "");
  EXPECT_EQ(import_refusal(read_table_text(""), ImportColumns{}), "There are no rows to import.");
}

}  // namespace

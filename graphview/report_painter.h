// The printed report: one page with a header line (document name and date), the graph in the
// upper half, the fitted model's results as a ruled list and the framed experimental
// description. Every size derives from the page's width and height in device pixels, so the
// same painter fills a printer page, the print preview, a PDF and a PNG; fonts derive from
// the device's pixels per inch, so they keep their point sizes on paper.
#pragma once

#include <string>
#include <vector>

#include "canvas/canvas.h"

class Canvas;
class ParamSet;
class Titration;
struct GraphState;

// A calendar day for the header line; the desktop and the command line pass today's date,
// tests pass a fixed one.
struct ReportDate {
  int day = 1;    // 1..31
  int month = 1;  // 1..12
  int year = 1970;
};
ReportDate ReportDateToday();  // local time

// "NAME    D/M/YYYY": the name, four blanks, day/month/year without leading zeros.
std::string ReportHeaderText(const std::string& documentName, ReportDate date);

// The page: size in device pixels and the device's vertical pixels per inch.
struct ReportPage {
  int width = 0;   // H
  int height = 0;  // V
  int logPixelsY = 0;
};

// Page layout, all in device pixels and integer arithmetic.
struct ReportMetrics {
  int V = 0, H = 0;
  int M = 0;           // margin: left, right and top
  int W = 0;           // width between the side margins
  int RT = 0;          // top of the results list
  int RH = 0;          // results row height
  int X40 = 0, X70 = 0;  // vertical rules of the results list (value and error columns)
  int IN = 0;          // text inset in the results list
  CanvasRect plot;     // graph frame
  int markRadius = 0;  // measured point radius
  int tickLength = 0;
  // Text columns of the results list.
  int labelX = 0, valueX = 0, upperX = 0, lowerX = 0;
  CanvasRect resultsFrame;
  CanvasRect descriptionFrame;
  CanvasRect descriptionText;  // the frame shrunk by V / 520 on every side
  int RowTop(int row) const { return RT + row * RH; }
};

ReportMetrics ReportMetricsFor(int pageWidth, int pageHeight);

// The three print fonts at the device's resolution: tick labels (8 pt), title, captions,
// results and description (12 pt bold), the upward y caption (10 pt bold); and the header's.
struct ReportFonts {
  CanvasFont header;
  CanvasFont labels;
  CanvasFont text;
  CanvasFont yCaption;
};
ReportFonts ReportFontsFor(int logPixelsY);

// The results list's rows below the model name: each label, value and the confidence texts
// (empty when none is printed), with the report's own labels and formats.
struct ReportRow {
  std::string label, value, upper, lower;
  int slot = 0;  // the parameter slot (the Fit dialog's row) the value shows; 0 for derived rows
};
struct ReportBlock {
  std::string name;  // "Model: ..."; empty when there is no block to print
  std::vector<ReportRow> rows;
  bool empty() const { return name.empty(); }
};
// Confidence texts only when fit.m_bErrors is 1; a model outside 1..10 gives an empty block.
// startCaUM is the document's m_dStartCa, temperatureK its m_fTemperature.
ReportBlock ReportResultsBlock(const ParamSet& fit, double startCaUM, float temperatureK);

// Greedy word wrap of text into lines no wider than width in the canvas's current font.
// Line breaks in the text ("\n" or "\r\n") start new lines; a word wider than the whole
// line is broken between characters so nothing runs past the box's side.
std::vector<std::string> WrapText(Canvas& canvas, const std::string& text, int width);

// The model comparison's table as the report prints it: a heading row, then one row per
// candidate (model number, p, chi-square, AICc, BIC, Akaike weight; "not fitted" for a failed
// one), the best model marked "(best)". A candidate whose fit has warnings gets a footnote
// letter after its model ("4 (best) a") and a note under the table: "a) Model 4: TEXT. TEXT."
// Empty when there is nothing to print.
struct ReportComparison {
  std::vector<std::vector<std::string>> rows;  // rows[0] is the heading
  std::vector<std::string> notes;              // one per candidate with warnings, in row order
  bool empty() const { return rows.size() < 2; }
};
struct ModelComparison;
ReportComparison ReportComparisonTable(const ModelComparison& comparison);
// With a comparison, the description frame keeps three rows (two when the table has notes)
// and the table is ruled below it in the same row height; the notes, in the tick-label font,
// take what is left of the page above a bottom margin of V / 100 (the printout is fitted into
// the printable area). Its boxes are returned for the tests.
struct ReportComparisonBoxes {
  CanvasRect description, table, notes;
};
// The notes' lines as they fit in a box of `lines` lines of `width`: each note word-wrapped;
// when they do not all fit, each keeps its first lines (an equal share, at least one, in
// order while there is room) and a last line says that more are not shown.
inline constexpr const char* kReportMoreWarnings = "Further warnings: see Analysis > Compare Models or bindwise-cli compare.";
std::vector<std::string> ReportNoteLines(Canvas& canvas, const std::vector<std::string>& notes, int width, int lines);
ReportComparisonBoxes ReportComparisonLayout(const ReportMetrics& m, int tableRows, bool withNotes = false);

// Paints the whole page; graph carries the view's scaling state shared with the screen
// drawing, and keeps the limits this drawing settled on.
void PaintReport(Canvas& canvas, const Titration& doc, GraphState& graph,
                 const std::string& documentName, const ReportPage& page, ReportDate date,
                 const ReportComparison* comparison = nullptr);

// The printed page of a global fit: the header line and title, the graph of every titration's
// points and global fit (normalised response against total Ca, one colour each, a residual
// strip each), the shared rows with their errors (and profile intervals), the global
// chi-square, and every titration's file, model, points, chi-square and own rows. As on the
// single report, every size derives from the page in device pixels and the fonts from its
// pixels per inch, so the same painter fills a printer page, the print preview and a PDF.
#pragma once

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "commands/global_fit.h"
#include "graphview/report_painter.h"

// The page's texts, apart from the graph's.
struct GlobalReportTexts {
  std::string header;  // "Global fit    D/M/YYYY"
  std::string title;   // "Global fit of 2 titrations"
  std::string model;   // the model's report title
  // rows[0] is the heading: "Shared row", "Value", "Error 68%" (the error "-" without errors),
  // and "Profile 68%" when the result has profile intervals ("5.93 (5.88–5.98)", "> 9.2").
  std::vector<std::vector<std::string>> shared;
  std::string summary;  // global chi-square, points, fitted parameters and how the fit ended
  // rows[0] is the heading: "Titration", "Model", "n", "Chi-square".
  std::vector<std::vector<std::string>> titrations;
  // Per titration, its rows that are not shared: "label value +- error" (fitted, with errors),
  // "label value" (fitted) or "label value (fixed)", joined by "; ".
  std::vector<std::string> ownRows;
};
GlobalReportTexts GlobalReportTextsFor(const GlobalFitResult& result, ReportDate date);

// Where the page's parts go. The tables' row height follows the font the page could fit
// everything with (from 10 pt down to 6 pt); rows that still do not fit are cut at the
// bottom margin, never drawn off the page.
struct GlobalReportLayout {
  int M = 0;              // side and top margin
  CanvasRect title;       // the title's and the model's two centred lines
  CanvasRect graph;       // the graph with its tick labels and residual strips
  CanvasRect xCaption;
  CanvasRect body;        // the tables, from below the graph to the bottom margin
  CanvasFont tableFont;
  int rowHeight = 0;
  int sharedRows = 0;     // the shared table's rows with its heading
  // Lines each titration's own rows wrap to at tableFont, in the order of the result.
  std::vector<std::vector<std::string>> ownLines;
  std::vector<std::string> summaryLines;  // the summary wrapped likewise
  int RowsNeeded() const;
};
GlobalReportLayout GlobalReportLayoutFor(Canvas& canvas, const GlobalReportTexts& texts, const ReportPage& page);

void PaintGlobalReport(Canvas& canvas, const GlobalFitResult& result, const ReportPage& page, ReportDate date);

// Printing the report from the window: the one-page printout drawn by the core's report
// painter on the printer's (or the preview's) DC, and the Print, Print preview and Print
// Setup commands of the graph pane. The page setup chosen in Print Setup is kept for the
// program's life and used by every later print and preview.
#pragma once

#include <functional>

#include <wx/cmndata.h>
#include <wx/prntbase.h>
#include <wx/string.h>

#include "graphview/report_painter.h"

class Canvas;
class Titration;
struct GraphState;
class wxView;
class wxWindow;

// Draws a page of the core's painters on a printout's DC (the printer's, or the preview's
// scaled one) in the printer's device pixels, with pens no thinner than paper shows.
// False when the printout has no DC or no page size.
ReportPage PrinterPage(const wxPrintout& printout);
bool PaintPrinterPage(wxPrintout& printout, const std::function<void(Canvas&, const ReportPage&)>& paint);

// Print and preview of any one-page printout through the report's page setup: the print
// dialog with the one page preselected (true when it went to the printer), or the toolkit's
// preview frame over parent's top-level window (null, message shown, when none can be made).
// The preview takes both printouts.
bool PrintOnePage(wxWindow* parent, wxPrintout& printout);
wxWindow* PreviewOnePage(wxWindow* parent, wxPrintout* shown, wxPrintout* printed);

class ReportPrintout : public wxPrintout {
 public:
  // doc and graph must outlive the printout (the preview frame keeps two of them); the
  // date is taken when the page is drawn unless one is given (tests).
  ReportPrintout(const Titration& doc, GraphState& graph, const wxString& documentName);
  void SetDate(ReportDate date) { m_date = date; m_bFixedDate = true; }
  // The model comparison's table printed below the description; none by default.
  void SetComparison(const ReportComparison& table) { m_comparison = table; }

  bool OnPrintPage(int page) override;
  bool HasPage(int page) override { return page == 1; }
  void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;

  // The page in device pixels of the printer, whatever DC draws it: the preview's DC is
  // scaled so the same numbers land at the same places on its smaller bitmap.
  ReportPage PageForPrinter() const { return PrinterPage(*this); }

 private:
  const Titration& m_doc;
  GraphState& m_graph;
  wxString m_name;
  ReportDate m_date;
  bool m_bFixedDate = false;
  ReportComparison m_comparison;
};

// File > "Print Model Comparison": whether Print and Print preview add the comparison table;
// kept for the program's life, off at start.
bool& ReportIncludesComparison();
// The table of the document's model comparison; empty when the document has no fit (the
// report is then printed without it).
ReportComparison ReportComparisonFor(const Titration& doc);

// The page setup (paper, orientation, printer settings) shared by the three commands.
wxPageSetupDialogData& ReportPageSetup();

// File "Print...": the toolkit's print dialog with the single page preselected, then the
// page. Returns true when the page went to the printer; a cancelled dialog returns false
// silently, a failure shows a message.
bool PrintReport(wxWindow* parent, const Titration& doc, GraphState& graph, const wxString& documentName);

// File "Print preview...": opens the toolkit's preview frame over parent's top-level window
// (which stays disabled while the preview is open). Returns the frame, or null with a
// message when no preview can be made.
wxWindow* PreviewReport(wxWindow* parent, const Titration& doc, GraphState& graph, const wxString& documentName);

// File "Print Setup...": the toolkit's page setup dialog; OK keeps its choice.
void SetupReportPage(wxWindow* parent);

// Makes view answer wxID_PRINT, wxID_PREVIEW and wxID_PRINT_SETUP with the three commands
// above, on its document (a BindwiseDoc) and the graph state it shares with the screen.
void BindReportCommands(wxView& view, GraphState& graph);

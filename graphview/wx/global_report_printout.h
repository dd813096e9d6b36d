// Printing the one-page report of a global fit from the Global Fit dialog: the core's global
// report painter on the printer's (or the preview's) DC, through the same page setup, print
// dialog and preview frame as the document's report.
#pragma once

#include <memory>

#include <wx/prntbase.h>

#include "commands/global_fit.h"
#include "graphview/report_painter.h"

class wxWindow;

class GlobalReportPrintout : public wxPrintout {
 public:
  // The result is shared: the preview frame keeps its two printouts after the dialog that
  // made them may have gone.
  explicit GlobalReportPrintout(std::shared_ptr<const GlobalFitResult> result);
  void SetDate(ReportDate date) { m_date = date; m_bFixedDate = true; }

  bool OnPrintPage(int page) override;
  bool HasPage(int page) override { return page == 1; }
  void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;

 private:
  std::shared_ptr<const GlobalFitResult> m_result;
  ReportDate m_date;
  bool m_bFixedDate = false;
};

// The preview frame of the global report (its Print button prints it); null, with a message,
// when no preview can be made.
wxWindow* PreviewGlobalReport(wxWindow* parent, const GlobalFitResult& result);

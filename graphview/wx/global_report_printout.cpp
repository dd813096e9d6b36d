#include "graphview/wx/global_report_printout.h"

#include "graphview/global_report_painter.h"
#include "graphview/wx/report_printout.h"

GlobalReportPrintout::GlobalReportPrintout(std::shared_ptr<const GlobalFitResult> result)
    : wxPrintout("Global fit"), m_result(std::move(result)) {}

void GlobalReportPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
  *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

bool GlobalReportPrintout::OnPrintPage(int page) {
  if (page != 1 || !m_result) return false;
  return PaintPrinterPage(*this, [this](Canvas& canvas, const ReportPage& target) {
    PaintGlobalReport(canvas, *m_result, target, m_bFixedDate ? m_date : ReportDateToday());
  });
}

wxWindow* PreviewGlobalReport(wxWindow* parent, const GlobalFitResult& result) {
  auto shared = std::make_shared<const GlobalFitResult>(result);
  return PreviewOnePage(parent, new GlobalReportPrintout(shared), new GlobalReportPrintout(shared));
}

#include "graphview/wx/report_printout.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/print.h>
#include <wx/printdlg.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include "app/wx/wx_canvas.h"
#include "document/titration.h"
#include "graphview/graph_scale.h"

ReportPrintout::ReportPrintout(Titration& doc, GraphState& graph, const wxString& documentName)
    : wxPrintout(documentName), m_doc(doc), m_graph(graph), m_name(documentName) {}

void ReportPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
  *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

ReportPage ReportPrintout::PageForPrinter() const {
  ReportPage page;
  GetPageSizePixels(&page.width, &page.height);
  int ppiX = 0;
  GetPPIPrinter(&ppiX, &page.logPixelsY);
  if (page.logPixelsY <= 0) page.logPixelsY = 72;  // a printer that reports nothing
  return page;
}

bool ReportPrintout::OnPrintPage(int page) {
  wxDC* dc = GetDC();
  if (!dc || page != 1) return false;
  const ReportPage target = PageForPrinter();
  if (target.width <= 0 || target.height <= 0) return false;
  // Logical units become printer pixels on paper and in the preview alike.
  FitThisSizeToPage(wxSize(target.width, target.height));
  WxCanvas canvas(*dc);
  PaintReport(canvas, m_doc, m_graph, m_name.utf8_string(), target,
              m_bFixedDate ? m_date : ReportDateToday());
  return true;
}

wxPageSetupDialogData& ReportPageSetup() {
  static wxPageSetupDialogData data;
  return data;
}

namespace {

// The print dialog offers exactly the report's one page; without a range nothing prints.
wxPrintDialogData OnePageDialogData() {
  wxPrintDialogData data(ReportPageSetup().GetPrintData());
  data.SetMinPage(1);
  data.SetMaxPage(1);
  data.SetFromPage(1);
  data.SetToPage(1);
  data.EnablePageNumbers(false);
  return data;
}

}  // namespace

bool PrintReport(wxWindow* parent, Titration& doc, GraphState& graph, const wxString& documentName) {
  wxPrintDialogData data = OnePageDialogData();
  wxPrinter printer(&data);
  ReportPrintout printout(doc, graph, documentName);
  if (printer.Print(parent, &printout, true)) {
    ReportPageSetup().SetPrintData(printer.GetPrintDialogData().GetPrintData());
    return true;
  }
  if (wxPrinter::GetLastError() == wxPRINTER_ERROR)
    wxMessageBox("The report could not be printed.", wxTheApp ? wxTheApp->GetAppDisplayName() : "",
                 wxOK | wxICON_EXCLAMATION, parent);
  return false;
}

wxWindow* PreviewReport(wxWindow* parent, Titration& doc, GraphState& graph, const wxString& documentName) {
  wxPrintDialogData data = OnePageDialogData();
  auto* preview = new wxPrintPreview(new ReportPrintout(doc, graph, documentName),
                                     new ReportPrintout(doc, graph, documentName), &data);
  if (!preview->IsOk()) {
    delete preview;
    wxMessageBox("The print preview could not be made.", wxTheApp ? wxTheApp->GetAppDisplayName() : "",
                 wxOK | wxICON_EXCLAMATION, parent);
    return nullptr;
  }
  wxWindow* top = parent ? wxGetTopLevelParent(parent) : nullptr;
  auto* frame = new wxPreviewFrame(preview, top, "Print Preview", wxDefaultPosition, wxSize(800, 900));
  frame->Centre(wxBOTH);
  frame->Initialize();
  frame->Show();
  return frame;
}

void SetupReportPage(wxWindow* parent) {
  wxPageSetupDialog dialog(parent, &ReportPageSetup());
  if (dialog.ShowModal() == wxID_OK) ReportPageSetup() = dialog.GetPageSetupDialogData();
}

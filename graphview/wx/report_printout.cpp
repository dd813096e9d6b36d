#include "graphview/wx/report_printout.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include <wx/app.h>
#include <wx/docview.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>
#include <wx/print.h>
#include <wx/printdlg.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include "app/wx/command_ids.h"
#include "app/wx/wx_canvas.h"
#include "commands/model_comparison.h"
#include "document/wx/bindwise_doc.h"
#include "document/titration.h"
#include "graphview/graph_scale.h"

namespace {

// Passes every call through, drawing pens no thinner than a floor in page pixels: a
// one-pixel pen of a 600 dpi printer is a hairline on paper and vanishes altogether in the
// preview's scaled-down page.
class PenFloorCanvas : public Canvas {
 public:
  PenFloorCanvas(Canvas& inner, int minWidth) : m_inner(inner), m_minWidth(minWidth) {}

  void SetPen(const CanvasPen& pen) override {
    CanvasPen wide = pen;
    wide.width = std::max(pen.width, m_minWidth);
    m_inner.SetPen(wide);
  }
  void SetBrush(const CanvasBrush& b) override { m_inner.SetBrush(b); }
  void SetFont(const CanvasFont& f) override { m_inner.SetFont(f); }
  void SetTextColour(Rgb c) override { m_inner.SetTextColour(c); }
  void SetTextBackground(bool opaque, Rgb c) override { m_inner.SetTextBackground(opaque, c); }
  void MoveTo(int x, int y) override { m_inner.MoveTo(x, y); }
  void LineTo(int x, int y) override { m_inner.LineTo(x, y); }
  void DrawLine(int x1, int y1, int x2, int y2) override { m_inner.DrawLine(x1, y1, x2, y2); }
  void DrawRectangle(const CanvasRect& r) override { m_inner.DrawRectangle(r); }
  void DrawEllipse(const CanvasRect& r) override { m_inner.DrawEllipse(r); }
  void FillSolidRect(const CanvasRect& r, Rgb c) override { m_inner.FillSolidRect(r, c); }
  void TileImage(const CanvasRect& r, const CanvasImage& i) override { m_inner.TileImage(r, i); }
  void TextOut(int x, int y, const std::string& t) override { m_inner.TextOut(x, y, t); }
  void DrawText(const std::string& t, const CanvasRect& r, unsigned a) override { m_inner.DrawText(t, r, a); }
  CanvasSize GetTextExtent(const std::string& t) override { return m_inner.GetTextExtent(t); }
  void SetClip(const CanvasRect& r) override { m_inner.SetClip(r); }
  void ResetClip() override { m_inner.ResetClip(); }

 private:
  Canvas& m_inner;
  int m_minWidth;
};

// At least 1/200 inch on paper, and at least one pixel of the DC that shows the page.
int MinimumPenWidth(const wxDC& dc, int logPixelsY) {
  double scaleX = 1.0, scaleY = 1.0;
  dc.GetUserScale(&scaleX, &scaleY);
  const double scale = std::min(scaleX, scaleY);
  const int devicePixel = scale > 0.0 ? static_cast<int>(std::ceil(1.0 / scale)) : 1;
  return std::max({1, logPixelsY / 200, devicePixel});
}

}  // namespace

ReportPrintout::ReportPrintout(const Titration& doc, GraphState& graph, const wxString& documentName)
    : wxPrintout(documentName), m_doc(doc), m_graph(graph), m_name(documentName) {}

void ReportPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
  *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

ReportPage PrinterPage(const wxPrintout& printout) {
  ReportPage page;
  printout.GetPageSizePixels(&page.width, &page.height);
  int ppiX = 0;
  printout.GetPPIPrinter(&ppiX, &page.logPixelsY);
  if (page.logPixelsY <= 0) page.logPixelsY = 72;  // a printer that reports nothing
  return page;
}

bool PaintPrinterPage(wxPrintout& printout, const std::function<void(Canvas&, const ReportPage&)>& paint) {
  wxDC* dc = printout.GetDC();
  if (!dc) return false;
  const ReportPage target = PrinterPage(printout);
  if (target.width <= 0 || target.height <= 0) return false;
  // Logical units become printer pixels on paper and in the preview alike.
  printout.FitThisSizeToPage(wxSize(target.width, target.height));
  WxCanvas wxCanvas(*dc);
  PenFloorCanvas canvas(wxCanvas, MinimumPenWidth(*dc, target.logPixelsY));
  paint(canvas, target);
  return true;
}

bool ReportPrintout::OnPrintPage(int page) {
  if (page != 1) return false;
  return PaintPrinterPage(*this, [this](Canvas& canvas, const ReportPage& target) {
    PaintReport(canvas, m_doc, m_graph, m_name.utf8_string(), target, m_bFixedDate ? m_date : ReportDateToday(),
                m_comparison.empty() ? nullptr : &m_comparison);
  });
}

bool& ReportIncludesComparison() {
  static bool include = false;
  return include;
}

ReportComparison ReportComparisonFor(const Titration& doc) {
  try {
    wxBusyCursor busy;
    const ModelComparison comparison = compare_models(doc, {});
    // A fit record left from before New, over an emptied grid, fits nothing: no table.
    if (comparison.best == 0) return {};
    return ReportComparisonTable(comparison);
  } catch (const std::invalid_argument&) {
    return {};
  }
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

bool PrintOnePage(wxWindow* parent, wxPrintout& printout) {
  wxPrintDialogData data = OnePageDialogData();
  wxPrinter printer(&data);
  if (printer.Print(parent, &printout, true)) {
    ReportPageSetup().SetPrintData(printer.GetPrintDialogData().GetPrintData());
    return true;
  }
  if (wxPrinter::GetLastError() == wxPRINTER_ERROR)
    wxMessageBox("The report could not be printed.", wxTheApp ? wxTheApp->GetAppDisplayName() : "",
                 wxOK | wxICON_EXCLAMATION, parent);
  return false;
}

wxWindow* PreviewOnePage(wxWindow* parent, wxPrintout* shown, wxPrintout* printed) {
  wxPrintDialogData data = OnePageDialogData();
  auto* preview = new wxPrintPreview(shown, printed, &data);
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

bool PrintReport(wxWindow* parent, const Titration& doc, GraphState& graph, const wxString& documentName) {
  ReportPrintout printout(doc, graph, documentName);
  if (ReportIncludesComparison()) printout.SetComparison(ReportComparisonFor(doc));
  return PrintOnePage(parent, printout);
}

wxWindow* PreviewReport(wxWindow* parent, const Titration& doc, GraphState& graph, const wxString& documentName) {
  auto* shown = new ReportPrintout(doc, graph, documentName);
  auto* printed = new ReportPrintout(doc, graph, documentName);
  if (ReportIncludesComparison()) {
    const ReportComparison table = ReportComparisonFor(doc);
    shown->SetComparison(table);
    printed->SetComparison(table);
  }
  return PreviewOnePage(parent, shown, printed);
}

void SetupReportPage(wxWindow* parent) {
  wxPageSetupDialog dialog(parent, &ReportPageSetup());
  if (dialog.ShowModal() == wxID_OK) ReportPageSetup() = dialog.GetPageSetupDialogData();
}

namespace {

// The name in the header line: the file's name, or "Untitled" for a document never saved.
wxString ReportDocumentName(const wxDocument& doc) {
  const wxString path = doc.GetFilename();
  return path.empty() ? wxString("Untitled") : wxFileName(path).GetFullName();
}

wxWindow* DialogParent(wxView& view) {
  if (wxWindow* frame = view.GetFrame()) return frame;
  return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

}  // namespace

void BindReportCommands(wxView& view, GraphState& graph) {
  view.Bind(wxEVT_MENU, [&view, &graph](wxCommandEvent&) {
    if (auto* doc = dynamic_cast<BindwiseDoc*>(view.GetDocument()))
      PrintReport(DialogParent(view), *doc, graph, ReportDocumentName(*doc));
  }, wxID_PRINT);
  view.Bind(wxEVT_MENU, [&view, &graph](wxCommandEvent&) {
    if (auto* doc = dynamic_cast<BindwiseDoc*>(view.GetDocument()))
      PreviewReport(DialogParent(view), *doc, graph, ReportDocumentName(*doc));
  }, wxID_PREVIEW);
  view.Bind(wxEVT_MENU, [&view](wxCommandEvent&) { SetupReportPage(DialogParent(view)); }, wxID_PRINT_SETUP);
  view.Bind(wxEVT_MENU, [](wxCommandEvent& e) { ReportIncludesComparison() = e.IsChecked(); }, ID_FILE_PRINT_COMPARISON);
  view.Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& e) { e.Check(ReportIncludesComparison()); }, ID_FILE_PRINT_COMPARISON);
}

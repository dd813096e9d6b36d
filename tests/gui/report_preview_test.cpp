// The printed report from the window: Print preview from the graph pane's command opens the
// toolkit's preview frame over a disabled main window and closes cleanly; the preview's
// smaller page shows the report where the printer's page has it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <wx/dcmemory.h>
#include <wx/gtk/print.h>
#include <wx/image.h>
#include <wx/print.h>
#include <wx/toplevel.h>

#include "app/wx/main_frame.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/graph_scale.h"
#include "graphview/report_painter.h"
#include "graphview/wx/graph_view.h"
#include "graphview/wx/report_printout.h"
#include "gui_test_support.h"

namespace {

wxPreviewFrame* OpenPreviewFrame() {
  for (wxWindowList::compatibility_iterator node = wxTopLevelWindows.GetFirst(); node; node = node->GetNext())
    if (auto* frame = dynamic_cast<wxPreviewFrame*>(node->GetData()); frame && !frame->IsBeingDeleted())
      return frame;
  return nullptr;
}

void FillPoints(Titration& doc) {
  for (int r = 0; r < 12; ++r) {
    doc.m_cells[r][0].SetText(std::to_string(0.52 + r * 0.03));
    doc.m_cells[r][1].SetText(std::to_string(r * 20.0));
  }
}

// The toolkit's preview, rendering its page into a bitmap the test can look at.
class BitmapPreview : public wxGtkPrintPreview {
 public:
  using wxGtkPrintPreview::wxGtkPrintPreview;
  bool Render(wxBitmap& bmp) { return RenderPageIntoBitmap(bmp, 1); }
};

bool Dark(const wxImage& image, int x, int y) {
  return image.GetRed(x, y) < 128 && image.GetGreen(x, y) < 128;
}

}  // namespace

TEST(ReportPreview, OpensFromTheGraphPaneCommandAndClosesCleanly) {
  gui::ResetDocument();
  FillPoints(gui::Doc());
  CMainFrame& frame = gui::Frame();
  ASSERT_EQ(OpenPreviewFrame(), nullptr);

  // The command goes through the frame's routing, whichever pane has the focus (the grid).
  wxCommandEvent preview(wxEVT_MENU, wxID_PREVIEW);
  frame.ProcessWindowEvent(preview);
  gui::Pump(300);
  wxPreviewFrame* previewFrame = OpenPreviewFrame();
  ASSERT_NE(previewFrame, nullptr);
  EXPECT_TRUE(previewFrame->IsShown());
  EXPECT_FALSE(frame.IsEnabled()) << "the main window waits while the preview is open";
  // The page was drawn: the scaling pass kept the automatic limits of the points.
  EXPECT_DOUBLE_EQ(frame.GetGraphView()->GetGraphState().limits.xMax, 220.0);

  previewFrame->Close();
  gui::Pump(300);
  EXPECT_EQ(OpenPreviewFrame(), nullptr);
  EXPECT_TRUE(frame.IsEnabled());
  EXPECT_TRUE(gui::TakeDialogTexts().empty());
  gui::ResetDocument();
}

TEST(ReportPreview, PreviewPageIsThePrinterPageScaledDown) {
  auto doc = std::make_unique<Titration>();
  FillPoints(*doc);
  GraphState graph;
  wxPrintDialogData data(ReportPageSetup().GetPrintData());
  auto* printout = new ReportPrintout(*doc, graph, "Untitled");
  printout->SetDate({6, 12, 2026});
  BitmapPreview preview(printout, nullptr, &data);
  ASSERT_TRUE(preview.IsOk());

  const ReportPage page = printout->PageForPrinter();
  ASSERT_GT(page.width, 0);
  ASSERT_GT(page.height, page.width);
  // A quarter of the printer's page in each direction.
  wxBitmap bitmap(page.width / 4, page.height / 4, 24);
  ASSERT_TRUE(preview.Render(bitmap));
  const wxImage image = bitmap.ConvertToImage();
  const ReportMetrics m = ReportMetricsFor(page.width, page.height);

  // The plot frame's left edge and the results frame's rules, at a quarter of their page
  // positions; the paper right of the frames stays white.
  const int midPlotY = (m.plot.top + m.plot.bottom) / 8;
  bool plotEdge = false, resultsRule = false;
  for (int dx = -1; dx <= 1; ++dx) plotEdge |= Dark(image, m.plot.left / 4 + dx, midPlotY);
  for (int dy = -1; dy <= 1; ++dy) resultsRule |= Dark(image, (m.M + m.X40) / 8, m.RowTop(5) / 4 + dy);
  EXPECT_TRUE(plotEdge);
  EXPECT_TRUE(resultsRule);
  int ink = 0;
  for (int y = m.M / 4; y < m.RT / 4; ++y)
    for (int x = (m.H - m.M) / 4 + 3; x < image.GetWidth(); ++x) ink += Dark(image, x, y);
  EXPECT_EQ(ink, 0);
}

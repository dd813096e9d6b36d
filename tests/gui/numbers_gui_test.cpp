// Numbers in and out through the real window: typed and pasted numbers land exactly in their
// cells, a red cell stops Fit, a save asks before it drops a hidden fit or characters the
// file cannot hold, Import Data and dropped files fill the grid, and the CSV export's save
// dialog starts beside the document with a name made from it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/filename.h>
#include <wx/statusbr.h>

#include "app/wx/command_ids.h"
#include "app/wx/main_frame.h"
#include "document/bwd_file.h"
#include "document/save_check.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/wx/graph_view.h"
#include "gridview/grid_metrics.h"
#include "gridview/wx/cell_view.h"
#include "outputview/wx/output_view.h"
#include "gui_test_support.h"

namespace {

const GridMetrics kGrid = GridMetrics::ForScreenWidth(1024);

wxPoint CellPoint(int row, int col) {
  return {kGrid.m_nLabelWidth + col * kGrid.m_nColWidth + kGrid.m_nColWidth / 2,
          (row + 1) * kGrid.m_nRowHeight + kGrid.m_nRowHeight / 2};
}

wxWindow* GridPane() { return gui::Frame().GetPane(0); }
double Value(int row, int col) { return gui::Doc().m_cells[row][col].GetValue(); }
wxString StatusText() { return gui::Frame().GetStatusBar()->GetStatusText(0); }

void PasteAt(int row, int col, const std::string& text) {
  gui::ClickAt(GridPane(), CellPoint(row, col));
  {
    wxClipboardLocker lock;
    ASSERT_FALSE(!lock);
    wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
  }
  wxCommandEvent paste(wxEVT_MENU, wxID_PASTE);
  gui::Frame().GetEventHandler()->ProcessEvent(paste);
  gui::Pump(100);
}

std::string Slurp(const wxString& path) {
  std::ifstream in(path.utf8_string(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Numbers, TypedNumbersLandExactlyInTheirCells) {
  gui::ResetDocument();
  gui::ClickAt(GridPane(), CellPoint(0, 1));
  gui::TypeText("1e-3");
  gui::KeyChord(WXK_RETURN);
  EXPECT_EQ(Value(0, 1), 0.001);

  gui::ClickAt(GridPane(), CellPoint(3, 0));
  gui::TypeText("0.61");
  gui::KeyChord(WXK_TAB);
  gui::TypeText("5");
  gui::KeyChord(WXK_TAB);
  gui::TypeText("2.01");
  gui::KeyChord(WXK_RETURN);
  EXPECT_EQ(Value(3, 0), 0.61);
  EXPECT_EQ(Value(3, 1), 5.0);
  EXPECT_EQ(Value(3, 2), 2.01);
  EXPECT_EQ(gui::Doc().m_cursor.m_nRow, 4);
  EXPECT_EQ(gui::Doc().m_cursor.m_nCol, 0);
  EXPECT_TRUE(GridPane()->HasFocus()) << "Tab stays in the grid";

  gui::TypeText("0,61");
  EXPECT_EQ(gui::Doc().m_cells[4][0].Text(), "0.61");
  EXPECT_EQ(Value(4, 0), 0.61);
  gui::ResetDocument();
}

TEST(Numbers, PastedSpreadsheetRowsLandInTheirCells) {
  gui::ResetDocument();
  PasteAt(0, 0, "3,992\t119,96\t2,004");
  PasteAt(1, 0, "0,61;5;2,01\r\n");
  PasteAt(2, 0, "0.61,5,2.01\n");
  for (int row : {1, 2}) {
    EXPECT_EQ(Value(row, 0), 0.61) << row;
    EXPECT_EQ(Value(row, 1), 5.0) << row;
    EXPECT_EQ(Value(row, 2), 2.01) << row;
  }
  EXPECT_EQ(Value(0, 0), 3.992);
  EXPECT_EQ(Value(0, 1), 119.96);
  EXPECT_EQ(Value(0, 2), 2.004);

  PasteAt(5, 0, "Response\tCa\n1\t2\n");
  EXPECT_EQ(StatusText(), "Skipped the header line \"Response\tCa\".");
  EXPECT_EQ(Value(5, 0), 1.0);

  gui::ExpectDialog(wxID_OK);
  PasteAt(8, 0, "1,234.5\n");
  const std::vector<wxString> said = gui::TakeDialogTexts();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_TRUE(said[0].Contains("thousands separators"));
  EXPECT_EQ(gui::Doc().m_cells[8][0].Text(), "");
  gui::ResetDocument();
}

TEST(Numbers, FitRefusesWhileACellIsNotANumber) {
  gui::ResetDocument();
  BindwiseDoc& doc = gui::Doc();
  for (int i = 0; i < 5; ++i) {
    doc.m_cells[i][0].SetText("1");
    doc.m_cells[i][1].SetText(std::to_string(i * 10));
    doc.m_cells[i][2].SetText("2");
  }
  doc.m_cells[2][1].SetText("2O");  // a letter O for a zero
  gui::ClickAt(GridPane(), CellPoint(2, 1));
  EXPECT_EQ(StatusText(), "Row 3, Add. Ca/uM: \"2O\" is not a number");
  gui::ExpectDialog(wxID_OK);
  gui::Frame().GetOutputView()->OnFit();
  EXPECT_EQ(gui::PendingDialogs(), 0);
  const std::vector<wxString> said = gui::TakeDialogTexts();
  ASSERT_EQ(said.size(), 1u);  // the refusal only: the Fit dialog never opened
  EXPECT_EQ(said[0], "Row 3, Add. Ca/uM: \"2O\" is not a number. Correct or clear the red cell before fitting.");
  EXPECT_EQ(doc.m_bShowFit, 0);
  gui::ResetDocument();
}

void PutAFitOnShow(BindwiseDoc& doc) {
  for (int i = 0; i < 4; ++i) {
    doc.m_cells[i][0].SetText("1");
    doc.m_cells[i][1].SetText(std::to_string(i * 10));
    doc.m_cells[i][2].SetText("2");
  }
  doc.m_bShowFit = 1;
  doc.m_fit.m_nModel = 1;
  doc.m_fit.m_nParams = 4;
  doc.m_fit.m_p[1] = 1; doc.m_fit.m_p[2] = 2; doc.m_fit.m_p[3] = 1e4; doc.m_fit.m_p[4] = 1e-3;
  CGraphView* graph = gui::Frame().GetGraphView();
  if (graph->GetFitButton()->GetLabel() != "Hide Fit") graph->OnFitToggle();
  doc.UpdateAllViews();
  gui::Pump(100);
}

TEST(Numbers, SavingAHiddenFitAsksFirst) {
  gui::ResetDocument();
  BindwiseDoc& doc = gui::Doc();
  CGraphView* graph = gui::Frame().GetGraphView();
  PutAFitOnShow(doc);
  graph->OnFitToggle();  // Hide Fit
  ASSERT_EQ(doc.m_bShowFit, 0);
  const wxString path = gui::ScratchPath("hidden-fit.bwd");

  gui::ExpectDialog(wxID_CANCEL);
  EXPECT_FALSE(doc.OnSaveDocument(path));
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{kHiddenFitQuestion});
  EXPECT_FALSE(wxFileExists(path));

  gui::ExpectDialog(wxID_NO);  // "Show fit and save"
  EXPECT_TRUE(doc.OnSaveDocument(path));
  EXPECT_EQ(doc.m_bShowFit, 1);
  EXPECT_EQ(graph->GetFitButton()->GetLabel(), "Hide Fit");
  Titration reread;
  ASSERT_TRUE(LoadBwdFile(path.utf8_string(), reread).ok);
  EXPECT_EQ(reread.m_bShowFit, 1);
  EXPECT_EQ(reread.m_fit.m_p[3], 1e4);

  graph->OnFitToggle();
  gui::ExpectDialog(wxID_YES);  // "Save" without the fit
  EXPECT_TRUE(doc.OnSaveDocument(path));
  ASSERT_TRUE(LoadBwdFile(path.utf8_string(), reread).ok);
  EXPECT_EQ(reread.m_bShowFit, 0);
  gui::TakeDialogTexts();
  graph->OnFitToggle();
  gui::ResetDocument();
}

TEST(Numbers, SavingCharactersTheFileCannotHoldAsksFirst) {
  gui::ResetDocument();
  BindwiseDoc& doc = gui::Doc();
  doc.m_strDescription = "Ca\xC2\xB2\xE2\x81\xBA buffer";
  const wxString path = gui::ScratchPath("code-page.bwd");
  gui::ExpectDialog(wxID_NO);
  EXPECT_FALSE(doc.OnSaveDocument(path));
  const std::vector<wxString> said = gui::TakeDialogTexts();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_TRUE(said[0].Contains(wxString::FromUTF8("\xE2\x81\xBA")));
  EXPECT_FALSE(wxFileExists(path));
  gui::ExpectDialog(wxID_YES);
  EXPECT_TRUE(doc.OnSaveDocument(path));
  EXPECT_NE(Slurp(path).find("Ca\xB2? buffer"), std::string::npos);
  gui::TakeDialogTexts();
  gui::ResetDocument();
}

TEST(Numbers, ImportDataAndDroppedFilesFillTheGrid) {
  gui::ResetDocument();
  const wxString csv = gui::ScratchPath("series.csv");
  std::ofstream(csv.utf8_string(), std::ios::binary) << "Signal;Ca/uM;ml\r\n3,992;119,96;2,004\r\n0,5;0;2\r\n";
  gui::Doc().m_cells[50][0].SetText("old");
  gui::ExpectDialog(wxID_OK);  // the Import Data dialog, with what it detected
  ASSERT_TRUE(gui::Frame().GetCellView()->ImportDataFile(csv));
  EXPECT_EQ(gui::TakeDialogTexts(), std::vector<wxString>{"Import Data - series.csv"});
  EXPECT_EQ(Value(0, 0), 3.992);
  EXPECT_EQ(Value(0, 1), 119.96);
  EXPECT_EQ(Value(0, 2), 2.004);
  EXPECT_EQ(gui::Doc().m_cells[1][2].Text(), "2");
  EXPECT_EQ(gui::Doc().m_cells[50][0].Text(), "");
  EXPECT_TRUE(gui::Doc().IsModified());

  // Dropped: a data file goes through the same dialog; Cancel leaves the grid alone.
  gui::ExpectDialog(wxID_CANCEL);
  EXPECT_FALSE(gui::Frame().OpenDroppedFile(csv));
  EXPECT_EQ(Value(0, 0), 3.992);
  gui::TakeDialogTexts();

  // A dropped document opens.
  const wxString bwd = gui::ScratchPath("dropped.bwd");
  Titration saved;
  saved.m_cells[0][0].SetText("42");
  ASSERT_TRUE(SaveBwdFile(bwd.utf8_string(), saved).ok);
  gui::Doc().Modify(false);
  EXPECT_TRUE(gui::Frame().OpenDroppedFile(bwd));
  EXPECT_EQ(gui::Doc().m_cells[0][0].Text(), "42");
  gui::ResetDocument();
}

TEST(Numbers, CsvExportStartsBesideTheDocumentWithItsName) {
  gui::ResetDocument();
  BindwiseDoc& doc = gui::Doc();
  doc.m_cells[0][0].SetText("1");
  doc.m_cells[0][2].SetText("2");
  const wxString path = gui::ScratchPath("two-sites-chelator.bwd");
  ASSERT_TRUE(doc.OnSaveDocument(path));
  COutputView* view = gui::Frame().GetOutputView();
  ExportFileRequest asked;
  const wxString out = gui::ScratchPath("points.csv");
  view->m_chooseExportPath = [&](wxWindow*, const ExportFileRequest& request) {
    asked = request;
    return out;
  };
  wxCommandEvent menu(wxEVT_MENU, ID_FILE_EXPORT_CSV_POINTS);
  gui::Frame().GetEventHandler()->ProcessEvent(menu);
  view->m_chooseExportPath = ChooseExportPathWithDialog;
  EXPECT_TRUE(asked.csv);
  EXPECT_EQ(asked.name, "two-sites-chelator-points.csv");
  EXPECT_EQ(asked.folder, wxFileName(path).GetPath());
  EXPECT_EQ(Slurp(out), "Total Ca/uM,Response,Volume/ml\n0,1,2\n");
  gui::ResetDocument();
}

}  // namespace

// Edits in the running program: the graph follows the grid without Update, and Edit > Undo
// and Redo (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z) walk the history with the modified flag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/clipbrd.h>
#include <wx/cmdproc.h>
#include <wx/dataobj.h>
#include <wx/menu.h>

#include "app/wx/main_frame.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/wx/graph_view.h"
#include "gridview/grid_metrics.h"
#include "gui_test_support.h"

namespace {

wxPoint CellPoint(int row, int col) {
  const GridMetrics grid = GridMetrics::ForScreenWidth(1024);
  return {grid.m_nLabelWidth + col * grid.m_nColWidth + grid.m_nColWidth / 2,
          (row + 1) * grid.m_nRowHeight + grid.m_nRowHeight / 2};
}

std::vector<std::string> GridTexts() {
  std::vector<std::string> texts;
  for (const auto& row : gui::Doc().m_cells)
    for (const CCell& cell : row) texts.push_back(cell.Text());
  return texts;
}

void PutOnClipboard(const std::string& text) {
  wxClipboardLocker lock;
  ASSERT_FALSE(!lock);
  wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
}

CGraphView& Graph() { return *gui::Frame().GetGraphView(); }
int DrawnPoints() { return Graph().GetGraphState().points.m_nGraphPoints; }
wxString UndoLabel() { return gui::Frame().GetMenuBar()->FindItem(wxID_UNDO)->GetItemLabel(); }

}  // namespace

TEST(EditHistory, PasteRedrawsTheGraphAndUndoRestoresTheGridByteForByte) {
  gui::ResetDocument();
  wxWindow* grid = gui::Frame().GetPane(0);
  gui::ClickAt(grid, CellPoint(1, 0));
  gui::TypeText("0.61");
  gui::KeyChord(WXK_RETURN);
  const std::vector<std::string> typed = GridTexts();
  ASSERT_EQ(typed[3], "0.61");

  std::string rows;
  for (int r = 0; r < Titration::kRows; ++r) rows += "1." + std::to_string(r) + "\t" + std::to_string(2 * r) + "\t2\r\n";
  PutOnClipboard(rows);
  gui::ClickAt(grid, CellPoint(0, 0));
  const int paintsBefore = Graph().GetPaintCount();
  gui::KeyChord('V', wxMOD_CONTROL);
  gui::Pump(200);
  EXPECT_EQ(gui::Doc().m_cells[98][1].Text(), "196");
  EXPECT_GT(Graph().GetPaintCount(), paintsBefore) << "no Update press needed";
  EXPECT_EQ(DrawnPoints(), 99);
  EXPECT_TRUE(UndoLabel().Contains("Paste")) << UndoLabel();
  const std::vector<std::string> pasted = GridTexts();

  gui::KeyChord('Z', wxMOD_CONTROL);
  gui::Pump(200);
  EXPECT_EQ(GridTexts(), typed);
  EXPECT_EQ(DrawnPoints(), 0) << "the typed response alone is no point";
  EXPECT_TRUE(gui::Doc().IsModified()) << "the typing is still there";

  gui::KeyChord('Y', wxMOD_CONTROL);
  gui::Pump(100);
  EXPECT_EQ(GridTexts(), pasted);
  gui::KeyChord('Z', wxMOD_CONTROL);
  gui::KeyChord('Z', wxMOD_CONTROL);
  gui::Pump(100);
  EXPECT_EQ(gui::Doc().m_cells[1][0].Text(), "");
  EXPECT_FALSE(gui::Doc().IsModified()) << "back where the document started";

  gui::KeyChord('Z', wxMOD_CONTROL | wxMOD_SHIFT);
  gui::Pump(100);
  EXPECT_EQ(gui::Doc().m_cells[1][0].Text(), "0.61");
  EXPECT_TRUE(gui::Doc().IsModified());
  gui::ResetDocument();
}

TEST(EditHistory, TypingAndDeleteRedrawAtOnceAndSavingMovesTheCleanPoint) {
  gui::ResetDocument();
  wxWindow* grid = gui::Frame().GetPane(0);
  gui::ClickAt(grid, CellPoint(0, 0));
  gui::TypeText("1.5");
  gui::ClickAt(grid, CellPoint(0, 1));
  gui::TypeText("20");
  gui::Pump(100);
  EXPECT_EQ(DrawnPoints(), 1);

  ASSERT_TRUE(gui::Doc().OnSaveDocument(gui::ScratchPath("history.bwd")));
  EXPECT_FALSE(gui::Doc().IsModified());
  gui::KeyChord(WXK_DELETE);  // the caret is at the end of "20": nothing right of it
  EXPECT_FALSE(gui::Doc().IsModified());
  gui::KeyChord(WXK_BACK);
  gui::Pump(100);
  EXPECT_EQ(gui::Doc().m_cells[0][1].Text(), "2");
  EXPECT_TRUE(gui::Doc().IsModified());
  gui::KeyChord('Z', wxMOD_CONTROL);
  gui::Pump(100);
  EXPECT_EQ(gui::Doc().m_cells[0][1].Text(), "20");
  EXPECT_FALSE(gui::Doc().IsModified()) << "the saved state again";
  gui::KeyChord('Z', wxMOD_CONTROL);
  gui::Pump(100);
  EXPECT_TRUE(gui::Doc().IsModified());
  EXPECT_EQ(DrawnPoints(), 0);

  // Opening or starting a document forgets the history.
  gui::ResetDocument();
  EXPECT_FALSE(gui::Doc().GetCommandProcessor()->CanUndo());
  EXPECT_FALSE(gui::Doc().GetCommandProcessor()->CanRedo());
}

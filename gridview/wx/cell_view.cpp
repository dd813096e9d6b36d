#include "gridview/wx/cell_view.h"

#include "document/titration_edit.h"

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/timer.h>
#include <wx/ffile.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

#include "app/wx/command_ids.h"
#include "app/wx/main_frame.h"
#include "app/wx/offscreen_dc.h"
#include "app/wx/progress_bar.h"
#include "app/wx/resource_path.h"
#include "app/wx/wx_canvas.h"
#include "layout/window_layout.h"
#include "document/wx/bindwise_doc.h"
#include "gridview/grid_painter.h"
#include "gridview/wx/import_dialog.h"

// The grid's window: turns mouse and keyboard events into controller calls. It owns the
// auto-scroll timer, so the timer can never fire at a window that is gone; it reaches its
// view only through the pane link both sides clear when they die, so either may go first.
class CCellCanvas : public CPaneCanvas {
 public:
  CCellCanvas(CCellView* view, wxWindow* parent)
      : CPaneCanvas(view, parent, wxVSCROLL | wxWANTS_CHARS), m_timer(this, CCellView::kAutoScrollTimerId) {
    SetBackgroundColour(*wxWHITE);
    SetCursor(wxCursor(wxCURSOR_IBEAM));
  }
  wxTimer& AutoScrollTimer() { return m_timer; }

 private:
  GridController* Grid() {
    auto* view = static_cast<CCellView*>(GetView());
    return view ? view->GetController() : nullptr;
  }

  void OnLeftDown(wxMouseEvent& event) {
    event.Skip();  // the pane takes the focus
    if (!Grid()) return;
    if (!HasCapture()) CaptureMouse();
    Grid()->LButtonDown(event.GetX(), event.GetY());
  }
  void OnLeftUp(wxMouseEvent& event) {
    if (HasCapture()) ReleaseMouse();
    if (Grid()) Grid()->LButtonUp();
    event.Skip();
  }
  void OnDoubleClick(wxMouseEvent& event) {
    if (Grid()) Grid()->LButtonDblClk(event.GetX(), event.GetY());
    event.Skip();
  }
  void OnMotion(wxMouseEvent& event) {
    if (Grid() && event.LeftIsDown()) Grid()->MouseMove(event.GetX(), event.GetY());
    event.Skip();
  }
  void OnCaptureLost(wxMouseCaptureLostEvent&) {
    if (Grid()) Grid()->LButtonUp();
  }
  void OnTimer(wxTimerEvent&) {
    if (Grid()) Grid()->Timer();
  }

  static GridKey KeyOf(int code) {
    switch (code) {
      case WXK_BACK: return GridKey::Backspace;
      case WXK_DELETE: case WXK_NUMPAD_DELETE: return GridKey::Delete;
      case WXK_LEFT: case WXK_NUMPAD_LEFT: return GridKey::Left;
      case WXK_RIGHT: case WXK_NUMPAD_RIGHT: return GridKey::Right;
      case WXK_UP: case WXK_NUMPAD_UP: return GridKey::Up;
      case WXK_DOWN: case WXK_NUMPAD_DOWN: return GridKey::Down;
      case WXK_RETURN: case WXK_NUMPAD_ENTER: return GridKey::Enter;
      case WXK_TAB: case WXK_NUMPAD_TAB: return GridKey::Tab;
      default: return GridKey::Other;
    }
  }

  void OnKeyDown(wxKeyEvent& event) {
    // Key combinations belong to the accelerators (Shift+Delete is Cut, and so on).
    if (event.HasAnyModifiers() && event.GetModifiers() != wxMOD_SHIFT) {
      event.Skip();
      return;
    }
    GridKey key = KeyOf(event.GetKeyCode());
    if (event.GetModifiers() == wxMOD_SHIFT && key == GridKey::Delete) {
      event.Skip();
      return;
    }
    if (event.GetModifiers() == wxMOD_SHIFT && key == GridKey::Tab) key = GridKey::BackTab;
    if (Grid()) Grid()->KeyDown(key);
    // Keys that also type a character (Backspace, Enter, digits) go on to OnChar; arrows,
    // Tabs and Delete stop here, so neither the scrolled window nor focus navigation acts.
    if (key != GridKey::Delete && key != GridKey::Left && key != GridKey::Right && key != GridKey::Up &&
        key != GridKey::Down && key != GridKey::Tab && key != GridKey::BackTab)
      event.Skip();
  }

  void OnChar(wxKeyEvent& event) {
    if (event.HasAnyModifiers() && event.GetModifiers() != wxMOD_SHIFT) {
      event.Skip();
      return;
    }
    const wxChar ch = event.GetUnicodeKey();
    if (ch == WXK_NONE || ch == WXK_DELETE) return;
    if (Grid()) Grid()->Char(static_cast<int>(ch));
  }

  wxTimer m_timer;

  wxDECLARE_EVENT_TABLE();
};

wxBEGIN_EVENT_TABLE(CCellCanvas, CPaneCanvas)
  EVT_LEFT_DOWN(CCellCanvas::OnLeftDown)
  EVT_LEFT_UP(CCellCanvas::OnLeftUp)
  EVT_LEFT_DCLICK(CCellCanvas::OnDoubleClick)
  EVT_MOTION(CCellCanvas::OnMotion)
  EVT_MOUSE_CAPTURE_LOST(CCellCanvas::OnCaptureLost)
  EVT_KEY_DOWN(CCellCanvas::OnKeyDown)
  EVT_CHAR(CCellCanvas::OnChar)
  EVT_TIMER(CCellView::kAutoScrollTimerId, CCellCanvas::OnTimer)
wxEND_EVENT_TABLE()

wxBEGIN_EVENT_TABLE(CCellView, CPaneView)
  EVT_MENU(wxID_CUT, CCellView::OnEditCut)
  EVT_MENU(wxID_COPY, CCellView::OnEditCopy)
  EVT_MENU(wxID_PASTE, CCellView::OnEditPaste)
  EVT_MENU(ID_FILE_IMPORT_DATA, CCellView::OnImportData)
wxEND_EVENT_TABLE()

CCellView::CCellView() = default;

CCellView::~CCellView() {
  if (CCellCanvas* canvas = CellCanvas()) canvas->AutoScrollTimer().Stop();
}

CCellCanvas* CCellView::CellCanvas() const { return static_cast<CCellCanvas*>(GetCanvas()); }

wxWindow* CCellView::CreateCanvas(wxWindow* parent) {
  auto* canvas = new CCellCanvas(this, parent);
  m_pGrid = std::make_unique<GridController>(*GetDoc(), *this);
  return canvas;
}

void CCellView::OnInitialUpdate() {
  CCellCanvas* canvas = CellCanvas();
  const CMainFrame* frame = GetMainFrame();
  if (!canvas || !frame) return;
  const GridMetrics& metrics = frame->GetLayout().grid;
  SetScrollSizes(metrics);
  canvas->Scroll(0, 0);
  m_pGrid->InitialUpdate(metrics);
  ShowStatus("");  // a message about the previous document's cells or import is stale now
}

void CCellView::SetScrollSizes(const GridMetrics& metrics) {
  m_fontCell = WxCanvas::MakeFont(metrics.CellFont());
  CCellCanvas* canvas = CellCanvas();
  if (!canvas) return;
  canvas->SetScrollRate(8, metrics.m_nRowHeight);
  canvas->SetVirtualSize(metrics.TotalWidth(), metrics.TotalHeight());
}

void CCellView::ApplyLayout(const WindowLayout& layout) {
  CCellCanvas* canvas = CellCanvas();
  if (!canvas || !m_pGrid) return;
  // The same rows stay in view: the scroll position is kept in rows.
  const int oldRowHeight = std::max(1, m_pGrid->Metrics().m_nRowHeight);
  const int topRow = ScrollY() / oldRowHeight;
  SetScrollSizes(layout.grid);
  canvas->Scroll(0, topRow);
  m_pGrid->Rescale(layout.grid);
}

void CCellView::OnDraw(wxDC* dc) {
  if (!m_pGrid) return;
  COffscreenDC buffer(*dc);
  WxCanvas canvas(buffer.GetDC());
  const wxRect& a = buffer.Area();
  m_rcLastRepaint = a;
  PaintGrid(canvas, *GetDoc(), *m_pGrid, {a.x, a.y, a.x + a.width, a.y + a.height});
}

int CCellView::TextWidth(const std::string& text) {
  CCellCanvas* canvas = CellCanvas();
  if (!canvas || text.empty()) return 0;
  int w = 0, h = 0;
  canvas->GetTextExtent(wxString::FromUTF8(text), &w, &h, nullptr, nullptr, &m_fontCell);
  return w;
}

int CCellView::ScrollY() const {
  const CCellCanvas* canvas = CellCanvas();
  return canvas ? canvas->CalcUnscrolledPosition(wxPoint(0, 0)).y : 0;
}

int CCellView::ClientHeight() const {
  const CCellCanvas* canvas = CellCanvas();
  return canvas ? canvas->GetClientSize().y : 0;
}

void CCellView::ScrollToY(int y) {
  CCellCanvas* canvas = CellCanvas();
  if (!canvas) return;
  int unitX = 0, unitY = 1;
  canvas->GetScrollPixelsPerUnit(&unitX, &unitY);
  canvas->Scroll(-1, std::max(0, y) / std::max(1, unitY));
}

void CCellView::Invalidate(const CanvasRect& r) {
  CCellCanvas* canvas = CellCanvas();
  if (!canvas || r.Width() <= 0 || r.Height() <= 0) return;
  const wxPoint topLeft = canvas->CalcScrolledPosition(wxPoint(r.left, r.top));
  canvas->RefreshRect(wxRect(topLeft, wxSize(r.Width(), r.Height())), false);
}

void CCellView::InvalidateAll() {
  if (CCellCanvas* canvas = CellCanvas()) canvas->Refresh(false);
}

void CCellView::StartAutoScrollTimer() {
  if (CCellCanvas* canvas = CellCanvas()) canvas->AutoScrollTimer().Start(GridController::kAutoScrollMs);
}

void CCellView::StopAutoScrollTimer() {
  if (CCellCanvas* canvas = CellCanvas()) canvas->AutoScrollTimer().Stop();
}

void CCellView::ShowStatus(const std::string& text) {
  wxFrame* frame = GetMainFrame();
  if (!frame || !frame->GetStatusBar()) return;
  frame->SetStatusText(text.empty() ? wxString(kIdleStatusText) : wxString::FromUTF8(text), 0);
}

void CCellView::PutOnClipboard(const std::string& text) {
  wxClipboardLocker lock;
  if (!lock) return;
  wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
}

void CCellView::OnEditCopy(wxCommandEvent&) {
  if (m_pGrid) PutOnClipboard(m_pGrid->CopyText());
}

void CCellView::OnEditCut(wxCommandEvent&) {
  if (m_pGrid) PutOnClipboard(m_pGrid->CutText());
}

void CCellView::OnEditPaste(wxCommandEvent&) {
  if (!m_pGrid) return;
  wxTextDataObject data;
  {
    wxClipboardLocker lock;
    if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || !wxTheClipboard->GetData(data)) return;
  }
  const PasteOutcome outcome = m_pGrid->PasteText(std::string(data.GetText().utf8_str()));
  if (!outcome.refusal.empty())
    wxMessageBox(wxString::FromUTF8(outcome.refusal), wxTheApp->GetAppDisplayName(), wxOK | wxICON_WARNING,
                 GetFrame());
}

const char* CCellView::ImportFileFilter() {
  return "Data files (*.csv;*.tsv;*.txt)|*.csv;*.CSV;*.tsv;*.TSV;*.txt;*.TXT|All files (*)|*";
}

void CCellView::OnImportData(wxCommandEvent&) {
  wxFileDialog dialog(GetFrame(), "Import Data", wxString(), wxString(), ImportFileFilter(),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return;
  ImportDataFile(dialog.GetPath());
}

bool CCellView::ImportDataFile(const wxString& path) {
  BindwiseDoc* doc = GetDoc();
  if (!doc || !m_pGrid) return false;
  // A table for 99 rows is a few kilobytes; a large file is surely not one.
  constexpr wxFileOffset kMaxBytes = 4 * 1024 * 1024;
  wxFFile file(path, "rb");
  wxString problem;
  std::string text;
  if (!file.IsOpened())
    problem = "The file could not be opened.";
  else if (file.Length() > kMaxBytes)
    problem = "The file is larger than 4 MB; it is not a table of titration points.";
  else {
    text.resize(static_cast<std::size_t>(std::max<wxFileOffset>(0, file.Length())));
    if (!text.empty() && file.Read(text.data(), text.size()) != text.size()) problem = "The file could not be read.";
  }
  const wxString name = wxFileName(path).GetFullName();
  if (!problem.empty()) {
    wxMessageBox(name + ": " + problem, wxTheApp->GetAppDisplayName(), wxOK | wxICON_WARNING, GetFrame());
    return false;
  }
  CImportDataDlg dialog(GetFrame(), text, name);
  if (dialog.ShowModal() != wxID_OK || !dialog.Refusal().empty()) return false;
  {
    TitrationEdit edit(*doc, EditKind::Grid, "Import Data");
    import_into_grid(*doc, dialog.Table(), dialog.Columns());
  }
  doc->m_cursor.SetCell(0, 0);
  m_pGrid->InitialUpdate(m_pGrid->Metrics());
  if (CCellCanvas* canvas = CellCanvas()) canvas->Scroll(0, 0);
  doc->UpdateAllViews();
  ShowStatus("Imported " + std::to_string(dialog.Table().rows.size()) + " rows from " + name.utf8_string() + ".");
  return true;
}

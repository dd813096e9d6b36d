#include "app/wx/pane_view.h"

#include <wx/dcclient.h>

#include "app/wx/main_frame.h"
#include "document/wx/bindwise_doc.h"

CPaneView::~CPaneView() {
  if (m_pPaneCanvas) m_pPaneCanvas->m_pView = nullptr;
}

void CPaneView::OnInitialUpdate() {
  if (wxWindow* canvas = GetCanvas()) canvas->Refresh(false);
}

void CPaneView::OnUpdate(wxView*, wxObject*) {
  if (wxWindow* canvas = GetCanvas()) canvas->Refresh(false);
}

void CPaneView::OnChangeFilename() {
  if (CMainFrame* frame = GetMainFrame()) frame->UpdateTitle();
}

BindwiseDoc* CPaneView::GetDoc() const { return static_cast<BindwiseDoc*>(GetDocument()); }

CMainFrame* CPaneView::GetMainFrame() const { return dynamic_cast<CMainFrame*>(GetFrame()); }

wxWindow* CPaneView::GetCanvas() const { return m_pPaneCanvas; }

CPaneCanvas::CPaneCanvas(CPaneView* view, wxWindow* parent, long style)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                       style | wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE),
      m_pView(view) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  view->m_pPaneCanvas = this;
  Bind(wxEVT_PAINT, &CPaneCanvas::OnPaint, this);
  Bind(wxEVT_SET_FOCUS, &CPaneCanvas::OnFocus, this);
  Bind(wxEVT_LEFT_DOWN, &CPaneCanvas::OnMouseDown, this);
  Bind(wxEVT_RIGHT_DOWN, &CPaneCanvas::OnMouseDown, this);
}

CPaneCanvas::~CPaneCanvas() {
  if (m_pView) m_pView->m_pPaneCanvas = nullptr;
}

void CPaneCanvas::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  DoPrepareDC(dc);
  if (m_pView) m_pView->OnDraw(&dc);
}

void CPaneCanvas::OnFocus(wxFocusEvent& event) {
  if (m_pView) m_pView->Activate(true);
  event.Skip();
}

void CPaneCanvas::SetTabOrder(std::vector<wxWindow*> controls) {
  m_tabOrder = std::move(controls);
  m_tabOrder.insert(m_tabOrder.begin(), this);
  for (wxWindow* w : m_tabOrder) w->Bind(wxEVT_KEY_DOWN, &CPaneCanvas::OnTabKey, this);
}

void CPaneCanvas::OnTabKey(wxKeyEvent& event) {
  const int modifiers = event.GetModifiers();
  if (event.GetKeyCode() != WXK_TAB || (modifiers != wxMOD_NONE && modifiers != wxMOD_SHIFT)) {
    event.Skip();
    return;
  }
  const int n = static_cast<int>(m_tabOrder.size());
  int at = 0;
  for (int i = 0; i < n; ++i)
    if (m_tabOrder[i] == event.GetEventObject()) at = i;
  const int step = modifiers == wxMOD_SHIFT ? n - 1 : 1;
  for (int k = 1; k < n; ++k) {
    wxWindow* next = m_tabOrder[(at + k * step) % n];
    if (next->IsShownOnScreen() && next->IsEnabled()) {
      next->SetFocus();
      return;
    }
  }
}

void CPaneCanvas::OnMouseDown(wxMouseEvent& event) {
  if (FindFocus() != this) SetFocus();
  event.Skip();
}

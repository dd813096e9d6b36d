#include "graphview/wx/graph_view.h"

#include <wx/button.h>

#include "app/wx/analysis_menu.h"
#include "app/wx/command_ids.h"
#include "app/wx/main_frame.h"
#include "app/wx/offscreen_dc.h"
#include "app/wx/wx_canvas.h"
#include "document/wx/bindwise_doc.h"
#include "graphview/graph_painter.h"
#include "graphview/wx/axis_dialog.h"
#include "graphview/wx/report_printout.h"

namespace {

wxRect ToWx(const CanvasRect& r) { return wxRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

// Print, Print preview and Print Setup draw the report with this view's graph state.
CGraphView::CGraphView() {
  BindReportCommands(*this, m_state);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnAxisCommand(); }, ID_ANALYSIS_AXIS);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnFitToggle(); }, ID_ANALYSIS_TOGGLE_FIT);
  Bind(wxEVT_UPDATE_UI, &CGraphView::OnToggleFitUpdateUI, this, ID_ANALYSIS_TOGGLE_FIT);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnResidualsToggle(); }, ID_ANALYSIS_TOGGLE_RESIDUALS);
  Bind(wxEVT_UPDATE_UI, &CGraphView::OnToggleResidualsUpdateUI, this, ID_ANALYSIS_TOGGLE_RESIDUALS);
}

void CGraphView::OnResidualsToggle() {
  BindwiseDoc* doc = GetDoc();
  if (!doc) return;
  m_controller.ToggleResiduals(*doc);
}

void CGraphView::OnToggleResidualsUpdateUI(wxUpdateUIEvent& event) {
  const bool shown = GetDoc() && GetDoc()->m_bShowResiduals;
  event.SetText(wxString::Format("%s\t%s", shown ? "Hide &Residuals" : "Show &Residuals",
                                 AnalysisShortcut(ID_ANALYSIS_TOGGLE_RESIDUALS)));
}

void CGraphView::OnToggleFitUpdateUI(wxUpdateUIEvent& event) {
  // The menu entry says what the button says.
  const wxString caption = m_btnShowFit ? m_btnShowFit->GetLabel() : wxString(kHideFitCaption);
  event.SetText(wxString::Format("&%s\t%s", caption, AnalysisShortcut(ID_ANALYSIS_TOGGLE_FIT)));
}

CGraphView::~CGraphView() = default;

wxWindow* CGraphView::CreateCanvas(wxWindow* parent) {
  auto* canvas = new CPaneCanvas(this, parent);
  canvas->Bind(wxEVT_LEFT_DOWN, &CGraphView::OnLeftDown, this);
  canvas->Bind(wxEVT_LEFT_UP, &CGraphView::OnLeftUp, this);
  canvas->Bind(wxEVT_MOTION, &CGraphView::OnMotion, this);
  canvas->Bind(wxEVT_LEFT_DCLICK, &CGraphView::OnLeftDClick, this);
  canvas->Bind(wxEVT_MOUSE_CAPTURE_LOST, &CGraphView::OnCaptureLost, this);
  CreateButtons(canvas);
  return canvas;
}

void CGraphView::CreateButtons(wxWindow* canvas) {
  m_btnAxis = new wxButton(canvas, kIdAxisButton, "Axis");
  m_btnShowFit = new wxButton(canvas, kIdFitButton, kHideFitCaption);
  m_btnAxis->SetToolTip(AnalysisToolTip(ID_ANALYSIS_AXIS));
  m_btnShowFit->SetToolTip(AnalysisToolTip(ID_ANALYSIS_TOGGLE_FIT));
  m_btnAxis->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAxisCommand(); });
  m_btnShowFit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFitToggle(); });
  static_cast<CPaneCanvas*>(canvas)->SetTabOrder({m_btnShowFit, m_btnAxis});
}

void CGraphView::PlaceButtons() {
  m_btnAxis->SetSize(ToWx(m_geometry.m_rcAxisButton));
  m_btnShowFit->SetSize(ToWx(m_geometry.m_rcFitButton));
  // Only the "Axis" button gets the bold Arial; the fit button keeps the system font.
  m_fontAxisButton = WxCanvas::MakeFont(GraphFontsFor(m_nFontDpi).axisButton);
  m_btnAxis->SetFont(m_fontAxisButton);
}

void CGraphView::ApplyLayout(const WindowLayout& layout) {
  if (!GetCanvas()) return;
  m_geometry = layout.graph;
  m_nFontDpi = layout.fontDpi;
  PlaceButtons();
  GetCanvas()->Refresh(false);
}

void CGraphView::OnInitialUpdate() {
  wxWindow* canvas = GetCanvas();
  if (!canvas) return;
  if (const CMainFrame* frame = GetMainFrame()) {
    m_geometry = frame->GetLayout().graph;
    m_nFontDpi = frame->GetLayout().fontDpi;
  }
  m_state.Reset();
  m_controller.OnNewDocument();
  PlaceButtons();
  CPaneView::OnInitialUpdate();
}

void CGraphView::OnDraw(wxDC* dc) {
  COffscreenDC buffer(*dc);
  if (!GetDoc()) return;
  ++m_nPaints;
  WxCanvas canvas(buffer.GetDC());
  GraphPaneInput in;
  in.geometry = m_geometry;
  in.fonts = GraphFontsFor(m_nFontDpi);
  const wxSize client = GetCanvas()->GetClientSize();
  in.client = {client.x, client.y};
  in.dragRect = m_controller.DragRect();
  PaintGraphPane(canvas, *static_cast<const BindwiseDoc*>(GetDoc()), m_state, in);
}

void CGraphView::OnAxisCommand() {
  BindwiseDoc* doc = GetDoc();
  CAxisDlg dlg(GetMainFrame() ? static_cast<wxWindow*>(GetMainFrame()) : GetCanvas(),
               AxisSettingsOf(*doc, m_state.limits));
  if (dlg.ShowModal() != wxID_OK) return;
  ApplyAxisSettings(*doc, dlg.Settings());
}

bool CGraphView::HidesFit() const { return GetDoc() && m_controller.HidesFit(*GetDoc()); }

void CGraphView::ShowHiddenFit() {
  if (HidesFit()) OnFitToggle();
}

void CGraphView::OnFitToggle() { m_btnShowFit->SetLabel(m_controller.ToggleFit(*GetDoc())); }

void CGraphView::OnLeftDown(wxMouseEvent& event) {
  event.Skip();  // the pane also takes the focus
  m_controller.OnLButtonDown(*GetDoc(), event.GetX(), event.GetY());
  // Held until the release, so a release outside the pane still ends the drag.
  if (!GetCanvas()->HasCapture()) GetCanvas()->CaptureMouse();
}

void CGraphView::EndCapture() {
  if (GetCanvas()->HasCapture()) GetCanvas()->ReleaseMouse();
}

void CGraphView::OnLeftUp(wxMouseEvent& event) {
  event.Skip();
  EndCapture();
  if (m_controller.OnLButtonUp(*GetDoc(), event.GetX(), event.GetY())) GetCanvas()->Refresh(false);
}

void CGraphView::OnMotion(wxMouseEvent& event) {
  event.Skip();
  const auto areas = m_controller.OnMouseMove(*GetDoc(), GraphRectFor(m_geometry, *GetDoc()), event.GetX(), event.GetY());
  for (const CanvasRect& r : areas) GetCanvas()->RefreshRect(ToWx(r), false);
}

void CGraphView::OnCaptureLost(wxMouseCaptureLostEvent&) {
  m_controller.CancelDrag(*GetDoc());
  GetCanvas()->Refresh(false);
}

void CGraphView::OnLeftDClick(wxMouseEvent& event) {
  const bool openAxis = m_controller.OnLButtonDblClk(*GetDoc(), m_geometry.m_rcYCaption, event.GetX(), event.GetY());
  if (openAxis) {
    // The dialog takes the rest of the click; a drag left open would follow the bare
    // pointer afterwards.
    EndCapture();
    m_controller.CancelDrag(*GetDoc());
    OnAxisCommand();
  }
  GetCanvas()->Refresh(false);
  event.Skip();
}

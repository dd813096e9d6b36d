#include "app/wx/progress_bar.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/statusbr.h>

#include <algorithm>

#include "gridview/shell_layout.h"

CProgressBar::CProgressBar(const wxString& message, int size, int maxValue, bool smooth, int pane) {
  Create(message, size, maxValue, smooth, pane);
}

CProgressBar::~CProgressBar() {
  Clear();
  if (m_pStatusBar) m_pStatusBar->Unbind(wxEVT_SIZE, &CProgressBar::OnStatusBarSize, this);
  if (m_pGauge) m_pGauge->Destroy();
}

wxStatusBar* CProgressBar::GetStatusBar() {
  wxWindow* main = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
  if (!main) return nullptr;
  if (auto* frame = dynamic_cast<wxFrame*>(main)) return frame->GetStatusBar();
  for (wxWindow* child : main->GetChildren())
    if (auto* bar = dynamic_cast<wxStatusBar*>(child)) return bar;
  return nullptr;
}

bool CProgressBar::Create(const wxString& message, int size, int maxValue, bool smooth, int pane) {
  if (m_pGauge) return false;
  wxStatusBar* bar = GetStatusBar();
  if (!bar || pane < 0 || pane >= bar->GetFieldsCount()) return false;
  wxRect field;
  bar->GetFieldRect(pane, field);
  m_pGauge = new wxGauge(bar, 1, std::max(1, maxValue), field.GetPosition(), field.GetSize(),
                         wxGA_HORIZONTAL | (smooth ? wxGA_SMOOTH : 0));
  m_pStatusBar = bar;
  SetRange(0, maxValue, 1);
  SetStep(1);
  m_strMessage = message;
  m_nSize = size;
  m_nPane = pane;
  m_strPrevText = bar->GetStatusText(pane);
  bar->Bind(wxEVT_SIZE, &CProgressBar::OnStatusBarSize, this);
  Resize();
  return true;
}

bool CProgressBar::SetRange(int lower, int upper, int step) {
  if (!m_pGauge) return false;
  m_nLower = lower;
  m_pGauge->SetRange(std::max(1, upper - lower));
  m_nStep = step;
  return true;
}

void CProgressBar::SetStep(int step) {
  if (!m_pGauge) return;
  m_pGauge->Show();
  m_nStep = step;
}

void CProgressBar::SetPos(int pos) {
  if (!m_pGauge) return;
  m_pGauge->Show();
  m_pGauge->SetValue(std::clamp(pos - m_nLower, 0, m_pGauge->GetRange()));
}

int CProgressBar::GetPos() const { return m_pGauge ? m_pGauge->GetValue() + m_nLower : 0; }

std::uint32_t CProgressBar::SetBarColour(std::uint32_t colour) {
  if (!m_pGauge) return kClrDefault;
  const std::uint32_t previous = m_colour;
  m_colour = colour;
  if (colour == kClrDefault)
    m_pGauge->SetForegroundColour(wxNullColour);
  else
    m_pGauge->SetForegroundColour(wxColour(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
  return previous;
}

void CProgressBar::Clear() {
  if (!m_pGauge) return;
  m_pGauge->Hide();
  const wxString text = m_nPane == 0 ? wxString(kIdleStatusText) : m_strPrevText;
  if (wxStatusBar* bar = GetStatusBar()) {
    bar->SetStatusText(text, m_nPane);
    bar->Update();
  }
}

bool CProgressBar::Resize() {
  wxStatusBar* bar = GetStatusBar();
  if (!m_pGauge || !bar) return false;
  if (m_pGauge->IsShown()) {
    bar->SetStatusText(m_strMessage, m_nPane);
    bar->Update();
  }
  wxClientDC dc(bar);
  dc.SetFont(bar->GetFont());
  const int textWidth = dc.GetTextExtent(m_strMessage).x;
  const int spaceWidth = dc.GetTextExtent(" ").x;
  wxRect field;
  bar->GetFieldRect(m_nPane, field);
  const CanvasRect placed = ProgressBarRect({field.GetLeft(), field.GetTop(), field.GetRight() + 1,
                                             field.GetBottom() + 1},
                                            m_strMessage.ToStdString(), textWidth, spaceWidth, m_nSize);
  const wxRect rect(placed.left, placed.top, placed.Width(), placed.Height());
  if (rect != m_rcBar) {
    m_pGauge->SetSize(rect);
    m_rcBar = rect;
  }
  return true;
}

void CProgressBar::OnStatusBarSize(wxSizeEvent& event) {
  event.Skip();
  // The fields are laid out after this handler; place the bar once they are.
  std::weak_ptr<bool> alive = m_alive;
  if (m_pStatusBar)
    m_pStatusBar->CallAfter([this, alive] {
      if (!alive.expired()) Resize();
    });
}

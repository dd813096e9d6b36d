#include "app/wx/offscreen_dc.h"

#include <algorithm>

#include <wx/window.h>

COffscreenDC::COffscreenDC(wxDC& target) : m_target(target), m_rect(RepaintArea(target)) { Begin(); }

COffscreenDC::COffscreenDC(wxDC& target, const wxRect& logicalArea)
    : m_target(target), m_rect(logicalArea) {
  Begin();
}

wxRect COffscreenDC::RepaintArea(wxDC& dc) {
  wxRect box;
  dc.GetClippingBox(box);
  if (box.width > 0 && box.height > 0) return box;
  const wxSize size = dc.GetSize();
  return wxRect(dc.DeviceToLogicalX(0), dc.DeviceToLogicalY(0), dc.DeviceToLogicalXRel(size.x),
                dc.DeviceToLogicalYRel(size.y));
}

void COffscreenDC::Begin() {
  // Only a window DC is buffered: printers and the preview's scaled memory DC get the
  // drawing directly, so nothing is copied at the end.
  wxWindow* window = m_target.GetWindow();
  m_bMemDC = window != nullptr && m_rect.width > 0 && m_rect.height > 0;
  wxColour background = *wxWHITE;
  if (window) background = window->GetBackgroundColour();
  if (m_bMemDC) {
    // Physical pixels: on a screen that doubles every logical pixel (GDK_SCALE=2) the buffer
    // has twice the rows and columns, so text and lines stay as sharp as drawn directly.
    m_bitmap.CreateWithDIPSize(m_rect.GetSize(), std::max(1.0, window->GetContentScaleFactor()), 24);
    m_memDC.SelectObject(m_bitmap);
    // Logical (x, y) of the target lands at (x - left, y - top) in the bitmap.
    m_memDC.SetDeviceOrigin(-m_rect.x, -m_rect.y);
  }
  wxDC& dc = GetDC();
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(background));
  dc.DrawRectangle(m_rect);
}

COffscreenDC::~COffscreenDC() {
  if (!m_bMemDC) return;
  m_target.Blit(m_rect.x, m_rect.y, m_rect.width, m_rect.height, &m_memDC, m_rect.x, m_rect.y);
  m_memDC.SelectObject(wxNullBitmap);
}

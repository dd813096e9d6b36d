// COffscreenDC: flicker-free painting for the panes. Built on the DC a view's OnDraw was
// given: on screen it draws into a bitmap the size of the area being repainted (the DC's
// clip box, in the target's logical coordinates, at the screen's physical resolution) and copies it to the window in one Blit
// when it goes out of scope; on a printer or in the print preview it draws straight to the
// target. Either way the area is first filled with the background colour.
//
//   void CMyView::OnDraw(wxDC* pDC) {
//     COffscreenDC buffer(*pDC);
//     WxCanvas canvas(buffer.GetDC());
//     painter.Paint(canvas, ToCanvasRect(buffer.Area()));
//   }   // one copy to the screen here
#pragma once

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/gdicmn.h>

class COffscreenDC {
 public:
  explicit COffscreenDC(wxDC& target);
  COffscreenDC(wxDC& target, const wxRect& logicalArea);
  ~COffscreenDC();
  COffscreenDC(const COffscreenDC&) = delete;
  COffscreenDC& operator=(const COffscreenDC&) = delete;

  // Draw here, in the target's logical coordinates.
  wxDC& GetDC() { return m_bMemDC ? static_cast<wxDC&>(m_memDC) : m_target; }
  // The area being repainted, logical coordinates.
  const wxRect& Area() const { return m_rect; }
  bool IsBuffered() const { return m_bMemDC; }

  // The area a DC is asked to repaint: its clip box, or everything it covers when the
  // toolkit reports no clip box.
  static wxRect RepaintArea(wxDC& dc);

 private:
  void Begin();

  wxDC& m_target;
  wxRect m_rect;
  bool m_bMemDC = false;
  wxBitmap m_bitmap;
  wxMemoryDC m_memDC;
};

#include "app/wx/wx_canvas.h"

#include <algorithm>
#include <cstdlib>

#include <wx/image.h>

namespace {

wxString FromUtf8(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }

wxRect ToWx(const CanvasRect& r) { return wxRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

WxCanvas::WxCanvas(wxDC& dc) : m_dc(dc) {
  m_dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  m_dc.SetTextForeground(*wxBLACK);
  SetPen(m_pen);
  SetBrush(CanvasBrush{});
  SetFont(m_font);
}

WxCanvas::~WxCanvas() {
  if (m_bClipped) m_dc.DestroyClippingRegion();
}

wxFont WxCanvas::MakeFont(const CanvasFont& f) {
  wxFontInfo info(wxSize(0, std::max(1, f.height)));
  info.FaceName(FromUtf8(InstalledFontFamily(f.face))).Italic(f.italic);
  wxFont font(info);
  int weight = std::clamp(f.weight == 0 ? 400 : f.weight, 1, 1000);
  // "MS Sans Serif" was a bitmap font with a regular and a bold face only: a light weight
  // (the grid's cells ask for 200) was drawn regular, so it is here too.
  if (f.face == "MS Sans Serif" && weight < 400) weight = 400;
  font.SetNumericWeight(weight);
  return font;
}

void WxCanvas::SetPen(const CanvasPen& pen) {
  m_pen = pen;
  if (pen.style == PenStyle::Null) {
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    return;
  }
  wxPen p(ToColour(pen.colour), std::max(1, pen.width),
          pen.style == PenStyle::Dot ? wxPENSTYLE_DOT : wxPENSTYLE_SOLID);
  m_dc.SetPen(p);
}

void WxCanvas::SetBrush(const CanvasBrush& brush) {
  if (brush.hollow)
    m_dc.SetBrush(*wxTRANSPARENT_BRUSH);
  else
    m_dc.SetBrush(wxBrush(ToColour(brush.colour)));
}

void WxCanvas::SetFont(const CanvasFont& font) {
  m_font = font;
  m_dc.SetFont(MakeFont(font));
}

void WxCanvas::SetTextColour(Rgb colour) { m_dc.SetTextForeground(ToColour(colour)); }

void WxCanvas::SetTextBackground(bool opaque, Rgb colour) {
  m_dc.SetBackgroundMode(opaque ? wxBRUSHSTYLE_SOLID : wxBRUSHSTYLE_TRANSPARENT);
  m_dc.SetTextBackground(ToColour(colour));
}

void WxCanvas::MoveTo(int x, int y) { m_current = {x, y}; }

void WxCanvas::LineTo(int x, int y) {
  SegmentWithoutEnd(m_current.x, m_current.y, x, y);
  m_current = {x, y};
}

void WxCanvas::DrawLine(int x1, int y1, int x2, int y2) { SegmentWithoutEnd(x1, y1, x2, y2); }

void WxCanvas::SegmentWithoutEnd(int x1, int y1, int x2, int y2) {
  if (m_pen.style == PenStyle::Null) return;
  const int w = std::max(1, m_pen.width);
  // Solid horizontal and vertical lines are filled pixel-exactly: antialiasing back ends
  // would otherwise smear a one-pixel grid line over two pixels.
  if (m_pen.style == PenStyle::Solid && (x1 == x2 || y1 == y2)) {
    if (x1 == x2 && y1 == y2) return;
    const int lo = w / 2;
    // The end pixel is left out: a line drawn leftwards or upwards keeps its start pixel.
    const wxRect r = y1 == y2 ? wxRect(x2 < x1 ? x2 + 1 : x1, y1 - lo, std::abs(x2 - x1), w)
                              : wxRect(x1 - lo, y2 < y1 ? y2 + 1 : y1, w, std::abs(y2 - y1));
    const wxPen oldPen = m_dc.GetPen();
    const wxBrush oldBrush = m_dc.GetBrush();
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_dc.SetBrush(wxBrush(ToColour(m_pen.colour)));
    m_dc.DrawRectangle(r);
    m_dc.SetPen(oldPen);
    m_dc.SetBrush(oldBrush);
    return;
  }
  m_dc.DrawLine(x1, y1, x2, y2);
}

void WxCanvas::DrawRectangle(const CanvasRect& rect) { m_dc.DrawRectangle(ToWx(rect)); }

void WxCanvas::DrawEllipse(const CanvasRect& bounds) { m_dc.DrawEllipse(ToWx(bounds)); }

void WxCanvas::FillSolidRect(const CanvasRect& rect, Rgb colour) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  const wxPen oldPen = m_dc.GetPen();
  const wxBrush oldBrush = m_dc.GetBrush();
  m_dc.SetPen(*wxTRANSPARENT_PEN);
  m_dc.SetBrush(wxBrush(ToColour(colour)));
  m_dc.DrawRectangle(ToWx(rect));
  m_dc.SetPen(oldPen);
  m_dc.SetBrush(oldBrush);
}

void WxCanvas::TileImage(const CanvasRect& rect, const CanvasImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.rgb == nullptr) return;
  auto it = m_tiles.find(image.id);
  if (it == m_tiles.end() || image.id.empty()) {
    // wxImage takes ownership of a malloc'ed copy of the pixels.
    const std::size_t bytes = static_cast<std::size_t>(image.width) * image.height * 3;
    auto* copy = static_cast<unsigned char*>(std::malloc(bytes));
    std::copy(image.rgb, image.rgb + bytes, copy);
    wxImage img(image.width, image.height, copy, false);
    it = m_tiles.insert_or_assign(image.id, wxBitmap(img)).first;
  }
  const wxBitmap& bmp = it->second;
  wxDCClipper clip(m_dc, ToWx(rect));
  for (int y = rect.top; y < rect.bottom; y += image.height)
    for (int x = rect.left; x < rect.right; x += image.width) m_dc.DrawBitmap(bmp, x, y);
}

void WxCanvas::TextOut(int x, int y, const std::string& text) {
  if (m_font.escapement != 0)
    m_dc.DrawRotatedText(FromUtf8(text), x, y, m_font.escapement / 10.0);
  else
    m_dc.DrawText(FromUtf8(text), x, y);
}

void WxCanvas::DrawText(const std::string& text, const CanvasRect& rect, unsigned align) {
  const wxString s = FromUtf8(text);
  const wxSize ext = m_dc.GetTextExtent(s);
  int x = rect.left;
  if (align & kAlignCenter)
    x = rect.left + (rect.Width() - ext.x) / 2;
  else if (align & kAlignRight)
    x = rect.right - ext.x;
  int y = rect.top;
  if (align & kAlignVCenter)
    y = rect.top + (rect.Height() - ext.y) / 2;
  else if (align & kAlignBottom)
    y = rect.bottom - ext.y;
  if (align & kNoClip) {
    m_dc.DrawText(s, x, y);
    return;
  }
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  wxDCClipper clip(m_dc, ToWx(rect));
  m_dc.DrawText(s, x, y);
}

CanvasSize WxCanvas::GetTextExtent(const std::string& text) {
  const wxSize ext = m_dc.GetTextExtent(FromUtf8(text));
  return {ext.x, ext.y};
}

void WxCanvas::SetClip(const CanvasRect& rect) {
  if (m_bClipped) m_dc.DestroyClippingRegion();
  m_dc.SetClippingRegion(ToWx(rect));
  m_bClipped = true;
}

void WxCanvas::ResetClip() {
  if (!m_bClipped) return;
  m_dc.DestroyClippingRegion();
  m_bClipped = false;
}

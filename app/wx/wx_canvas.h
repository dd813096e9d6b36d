// WxCanvas: the core's drawing surface over any wxDC (a window, the off-screen buffer, a
// printer or the print preview). The painters' font faces are mapped to installed,
// metric-compatible families; font heights are character heights in device pixels;
// escapement 900 runs text upwards; LineTo leaves out its end pixel.
#pragma once

#include <map>
#include <string>

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/font.h>

#include "canvas/canvas.h"

class WxCanvas : public Canvas {
 public:
  explicit WxCanvas(wxDC& dc);
  ~WxCanvas() override;

  void SetPen(const CanvasPen& pen) override;
  void SetBrush(const CanvasBrush& brush) override;
  void SetFont(const CanvasFont& font) override;
  void SetTextColour(Rgb colour) override;
  void SetTextBackground(bool opaque, Rgb colour) override;

  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void DrawLine(int x1, int y1, int x2, int y2) override;
  void DrawRectangle(const CanvasRect& rect) override;
  void DrawEllipse(const CanvasRect& bounds) override;
  void FillSolidRect(const CanvasRect& rect, Rgb colour) override;
  void TileImage(const CanvasRect& rect, const CanvasImage& image) override;

  void TextOut(int x, int y, const std::string& text) override;
  void DrawText(const std::string& text, const CanvasRect& rect, unsigned align) override;
  CanvasSize GetTextExtent(const std::string& text) override;

  void SetClip(const CanvasRect& rect) override;
  void ResetClip() override;

  wxDC& DC() { return m_dc; }

  static wxFont MakeFont(const CanvasFont& font);
  static wxColour ToColour(Rgb c) { return wxColour(c.r, c.g, c.b); }

 private:
  void SegmentWithoutEnd(int x1, int y1, int x2, int y2);

  wxDC& m_dc;
  CanvasPen m_pen;
  CanvasFont m_font;
  CanvasPoint m_current;
  bool m_bClipped = false;
  std::map<std::string, wxBitmap> m_tiles;
};

// A Canvas over cairo, so the command line can render the printed report without a display:
// to a PDF page (vector, text kept as text) or to a PNG image. Text goes through pango; the
// Windows-era face names the painters ask for are mapped to installed metric-compatible
// families (Liberation, DejaVu) so widths and line breaks come out as designed.
//
// Coordinates are device pixels of a virtual page: the context's user space is scaled so
// that one unit is one pixel at the chosen resolution, whatever the surface's own unit.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <functional>
#include <string>

#include "canvas/canvas.h"

class CairoCanvas : public Canvas {
 public:
  // cr's user space must already be in device pixels. Lines thinner than minLineWidth pixels
  // are drawn at that width, so one-pixel pens stay visible on a high-resolution page.
  explicit CairoCanvas(cairo_t* cr, double minLineWidth = 1.0);
  ~CairoCanvas() override;
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  void SetPen(const CanvasPen& pen) override { m_pen = pen; }
  void SetBrush(const CanvasBrush& brush) override { m_brush = brush; }
  void SetFont(const CanvasFont& font) override;
  void SetTextColour(Rgb colour) override { m_textColour = colour; }
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

 private:
  void SetSource(Rgb colour);
  bool StrokePen();  // sets width and colour; false for the null pen
  void PaintLayout(double x, double y, double angleRadians);
  void SetLayoutText(const std::string& text);
  void ApplyClip();

  cairo_t* m_cr;
  PangoLayout* m_layout;
  double m_minLineWidth;
  CanvasPen m_pen;
  CanvasBrush m_brush;
  CanvasFont m_font;
  Rgb m_textColour;
  bool m_opaqueText = false;
  Rgb m_textBackground{255, 255, 255};
  CanvasPoint m_current;
  bool m_clipped = false;
  CanvasRect m_clip;
};

// Paper in inches and the page size in device pixels at a resolution.
struct PaperSize {
  double widthInches = 0.0, heightInches = 0.0;
};
inline constexpr PaperSize kPaperA4{210.0 / 25.4, 297.0 / 25.4};
inline constexpr PaperSize kPaperLetter{8.5, 11.0};
CanvasSize PagePixels(PaperSize paper, int dpi);

// Paints one page with the callback (canvas, page size in pixels, pixels per inch) and writes
// it to path. The file is written beside the target and renamed over it only when complete,
// so a failed render leaves an existing file untouched. Returns an error text, empty on
// success.
using PagePainter = std::function<void(Canvas&, CanvasSize page, int dpi)>;
std::string RenderPdfPage(const std::string& path, PaperSize paper, int dpi,
                          const PagePainter& paint);
std::string RenderPngPage(const std::string& path, PaperSize paper, int dpi,
                          const PagePainter& paint);

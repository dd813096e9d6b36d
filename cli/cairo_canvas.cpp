#include "cli/cairo_canvas.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "document/atomic_file.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

double Channel(std::uint8_t v) { return v / 255.0; }

}  // namespace

CairoCanvas::CairoCanvas(cairo_t* cr, double minLineWidth)
    : m_cr(cr), m_layout(pango_cairo_create_layout(cr)), m_minLineWidth(minLineWidth) {
  // Unhinted metrics keep text widths proportional to the font size, so a PNG at 150 dpi
  // and a PDF at 600 dpi break the description at the same words.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(pango_layout_get_context(m_layout), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(m_layout);
  SetFont(m_font);
}

CairoCanvas::~CairoCanvas() { g_object_unref(m_layout); }

void CairoCanvas::SetFont(const CanvasFont& font) {
  m_font = font;
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, InstalledFontFamily(font.face).c_str());
  // The font height is the character (em) height in device pixels, as a negative LOGFONT
  // height is; pango's absolute size is the em size in user units, which are pixels here.
  pango_font_description_set_absolute_size(desc, std::max(1, font.height) * double(PANGO_SCALE));
  pango_font_description_set_weight(desc, static_cast<PangoWeight>(std::clamp(font.weight, 100, 1000)));
  pango_font_description_set_style(desc, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(m_layout, desc);
  pango_font_description_free(desc);
}

void CairoCanvas::SetTextBackground(bool opaque, Rgb colour) {
  m_opaqueText = opaque;
  m_textBackground = colour;
}

void CairoCanvas::SetSource(Rgb c) {
  cairo_set_source_rgb(m_cr, Channel(c.r), Channel(c.g), Channel(c.b));
}

bool CairoCanvas::StrokePen() {
  if (m_pen.style == PenStyle::Null) return false;
  double width = std::max<double>(m_pen.width, m_minLineWidth);
  cairo_set_line_width(m_cr, width);
  cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_MITER);
  if (m_pen.style == PenStyle::Dot) {
    const double dash[] = {width, width};
    cairo_set_dash(m_cr, dash, 2, 0);
  } else {
    cairo_set_dash(m_cr, nullptr, 0, 0);
  }
  SetSource(m_pen.colour);
  return true;
}

// Lines run through pixel centres, so a one-pixel pen covers exactly one row or column.
void CairoCanvas::MoveTo(int x, int y) { m_current = {x, y}; }

void CairoCanvas::LineTo(int x, int y) {
  DrawLine(m_current.x, m_current.y, x, y);
  m_current = {x, y};
}

void CairoCanvas::DrawLine(int x1, int y1, int x2, int y2) {
  if (!StrokePen()) return;
  cairo_new_path(m_cr);
  cairo_move_to(m_cr, x1 + 0.5, y1 + 0.5);
  cairo_line_to(m_cr, x2 + 0.5, y2 + 0.5);
  cairo_stroke(m_cr);
}

void CairoCanvas::DrawRectangle(const CanvasRect& r) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  cairo_new_path(m_cr);
  if (!m_brush.hollow) {
    cairo_rectangle(m_cr, r.left, r.top, r.Width(), r.Height());
    SetSource(m_brush.colour);
    cairo_fill(m_cr);
  }
  if (!StrokePen()) return;
  cairo_rectangle(m_cr, r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1);
  cairo_stroke(m_cr);
}

void CairoCanvas::DrawEllipse(const CanvasRect& r) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  double rx = std::max(0.5, (r.Width() - 1) / 2.0), ry = std::max(0.5, (r.Height() - 1) / 2.0);
  cairo_new_path(m_cr);
  cairo_save(m_cr);
  cairo_translate(m_cr, r.left + r.Width() / 2.0, r.top + r.Height() / 2.0);
  cairo_scale(m_cr, rx, ry);
  cairo_arc(m_cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(m_cr);
  if (!m_brush.hollow) {
    SetSource(m_brush.colour);
    cairo_fill_preserve(m_cr);
  }
  if (StrokePen()) cairo_stroke(m_cr);
  cairo_new_path(m_cr);
}

void CairoCanvas::FillSolidRect(const CanvasRect& r, Rgb colour) {
  cairo_new_path(m_cr);
  cairo_rectangle(m_cr, r.left, r.top, r.Width(), r.Height());
  SetSource(colour);
  cairo_fill(m_cr);
}

void CairoCanvas::TileImage(const CanvasRect& r, const CanvasImage& image) {
  if (image.width <= 0 || image.height <= 0 || !image.rgb) return;
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
  cairo_surface_flush(tile);
  unsigned char* data = cairo_image_surface_get_data(tile);
  int stride = cairo_image_surface_get_stride(tile);
  for (int y = 0; y < image.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    const std::uint8_t* src = image.rgb + 3 * y * image.width;
    for (int x = 0; x < image.width; ++x, src += 3)
      row[x] = (std::uint32_t(src[0]) << 16) | (std::uint32_t(src[1]) << 8) | src[2];
  }
  cairo_surface_mark_dirty(tile);
  cairo_save(m_cr);
  cairo_set_source_surface(m_cr, tile, r.left, r.top);
  cairo_pattern_set_extend(cairo_get_source(m_cr), CAIRO_EXTEND_REPEAT);
  cairo_new_path(m_cr);
  cairo_rectangle(m_cr, r.left, r.top, r.Width(), r.Height());
  cairo_fill(m_cr);
  cairo_restore(m_cr);
  cairo_surface_destroy(tile);
}

void CairoCanvas::SetLayoutText(const std::string& text) {
  pango_layout_set_text(m_layout, text.c_str(), static_cast<int>(text.size()));
}

// Draws the current layout with its top-left corner at (x, y), turned counter-clockwise by
// the angle around that corner, as a font's escapement turns GDI text.
void CairoCanvas::PaintLayout(double x, double y, double angleRadians) {
  cairo_save(m_cr);
  cairo_translate(m_cr, x, y);
  if (angleRadians != 0.0) cairo_rotate(m_cr, -angleRadians);
  if (m_opaqueText) {
    PangoRectangle logical;
    pango_layout_get_pixel_extents(m_layout, nullptr, &logical);
    cairo_rectangle(m_cr, 0, 0, logical.width, logical.height);
    SetSource(m_textBackground);
    cairo_fill(m_cr);
  }
  cairo_move_to(m_cr, 0, 0);
  SetSource(m_textColour);
  pango_cairo_update_layout(m_cr, m_layout);
  pango_cairo_show_layout(m_cr, m_layout);
  cairo_restore(m_cr);
  pango_cairo_update_layout(m_cr, m_layout);
}

void CairoCanvas::TextOut(int x, int y, const std::string& text) {
  pango_layout_set_single_paragraph_mode(m_layout, TRUE);
  SetLayoutText(text);
  PaintLayout(x, y, m_font.escapement / 10.0 * kPi / 180.0);
}

void CairoCanvas::DrawText(const std::string& text, const CanvasRect& rect, unsigned align) {
  pango_layout_set_single_paragraph_mode(m_layout, (align & kSingleLine) ? TRUE : FALSE);
  SetLayoutText(text);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(m_layout, nullptr, &logical);
  double x = rect.left, y = rect.top;
  if (align & kAlignCenter) x = rect.left + (rect.Width() - logical.width) / 2.0;
  else if (align & kAlignRight) x = rect.right - logical.width;
  if (align & kAlignVCenter) y = rect.top + (rect.Height() - logical.height) / 2.0;
  else if (align & kAlignBottom) y = rect.bottom - logical.height;
  cairo_save(m_cr);
  if (!(align & kNoClip)) {
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(m_cr);
  }
  // Whole pixels, as GDI places text, so positions match the painter's arithmetic.
  PaintLayout(std::floor(x), std::floor(y), 0.0);
  cairo_restore(m_cr);
}

CanvasSize CairoCanvas::GetTextExtent(const std::string& text) {
  pango_layout_set_single_paragraph_mode(m_layout, TRUE);
  SetLayoutText(text);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(m_layout, nullptr, &logical);
  return {logical.width, logical.height};
}

void CairoCanvas::SetClip(const CanvasRect& rect) {
  m_clipped = true;
  m_clip = rect;
  ApplyClip();
}

void CairoCanvas::ResetClip() {
  m_clipped = false;
  cairo_reset_clip(m_cr);
}

void CairoCanvas::ApplyClip() {
  cairo_reset_clip(m_cr);
  if (!m_clipped) return;
  cairo_new_path(m_cr);
  cairo_rectangle(m_cr, m_clip.left, m_clip.top, m_clip.Width(), m_clip.Height());
  cairo_clip(m_cr);
}

CanvasSize PagePixels(PaperSize paper, int dpi) {
  return {static_cast<int>(std::lround(paper.widthInches * dpi)),
          static_cast<int>(std::lround(paper.heightInches * dpi))};
}

namespace {

std::string CairoError(const std::string& target, cairo_status_t status) {
  return "cannot write " + target + ": " + cairo_status_to_string(status);
}

// cairo's stream callback: every byte of the page goes through the atomic writer.
cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
  return static_cast<AtomicFile*>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

std::string FileError(const std::string& target, const AtomicFile& file) {
  return "cannot write " + target + ": " + file.reason();
}

// The file's own reason when the writer failed, cairo's otherwise.
std::string Finish(const std::string& target, AtomicFile& file, cairo_status_t status) {
  if (!file.reason().empty()) return FileError(target, file);
  if (status != CAIRO_STATUS_SUCCESS) return CairoError(target, status);
  return file.Commit() ? std::string() : FileError(target, file);
}

double MinLineWidth(int dpi) { return std::max(1.0, dpi / 200.0); }

}  // namespace

std::string RenderPdfPage(const std::string& path, PaperSize paper, int dpi,
                          const PagePainter& paint) {
  if (dpi <= 0) return "resolution must be positive";
  AtomicFile file(path);
  if (!file.Open()) return FileError(path, file);
  CanvasSize page = PagePixels(paper, dpi);
  double scale = 72.0 / dpi;  // PDF user units are points
  cairo_surface_t* surface =
      cairo_pdf_surface_create_for_stream(WriteToFile, &file, page.cx * scale, page.cy * scale);
  // PDF 1.4 keeps page objects out of compressed object streams: any reader opens it.
  cairo_pdf_surface_restrict_to_version(surface, CAIRO_PDF_VERSION_1_4);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  {
    CairoCanvas canvas(cr, MinLineWidth(dpi));
    paint(canvas, page, dpi);
  }
  cairo_show_page(cr);
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  return Finish(path, file, status);
}

std::string RenderPngPage(const std::string& path, PaperSize paper, int dpi,
                          const PagePainter& paint) {
  if (dpi <= 0) return "resolution must be positive";
  CanvasSize page = PagePixels(paper, dpi);
  AtomicFile file(path);
  if (!file.Open()) return FileError(path, file);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, page.cx, page.cy);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);  // paper
  cairo_paint(cr);
  {
    CairoCanvas canvas(cr, MinLineWidth(dpi));
    paint(canvas, page, dpi);
  }
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_write_to_png_stream(surface, WriteToFile, &file);
  cairo_surface_destroy(surface);
  return Finish(path, file, status);
}

// The drawing surface every painter in the core draws on. The desktop program wraps a wxDC
// (screen, off-screen buffer, printer, preview), the command line wraps cairo (PDF, PNG),
// and the tests record the calls. Coordinates are device pixels of the target, y downwards.
#pragma once

#include <cstdint>
#include <string>

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct CanvasPoint {
  int x = 0, y = 0;
  friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

struct CanvasRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom are exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const CanvasRect&, const CanvasRect&) = default;
};

struct CanvasSize {
  int cx = 0, cy = 0;
  friend bool operator==(const CanvasSize&, const CanvasSize&) = default;
};

enum class PenStyle { Solid, Dot, Null };

struct CanvasPen {
  PenStyle style = PenStyle::Solid;
  int width = 1;  // device pixels
  Rgb colour;
  friend bool operator==(const CanvasPen&, const CanvasPen&) = default;
};

struct CanvasBrush {
  bool hollow = false;
  Rgb colour{255, 255, 255};
  friend bool operator==(const CanvasBrush&, const CanvasBrush&) = default;
};

// A logical font as the painters ask for it. The face is the name the program was designed
// with ("Courier New", "Arial", "MS Sans Serif"); each canvas maps it to an installed,
// metric-compatible family. Height is in device pixels (character height), as the layout
// tables give it; escapement is in tenths of a degree (900 = text running upwards).
struct CanvasFont {
  std::string face = "Arial";
  int height = 12;
  int weight = 400;  // 400 normal, 700 bold
  bool italic = false;
  int escapement = 0;
  friend bool operator==(const CanvasFont&, const CanvasFont&) = default;
};

// The installed family a canvas draws a face with: the faces the program was designed with
// map to the metric-compatible families Debian ships (fonts-liberation2, fonts-dejavu-core),
// so widths and line breaks come out as designed. Unknown names pass through.
inline std::string InstalledFontFamily(const std::string& face) {
  struct Alias {
    const char* face;
    const char* family;
  };
  static const Alias aliases[] = {
      {"Courier New", "Liberation Mono"},      {"Courier", "Liberation Mono"},
      {"Arial", "Liberation Sans"},            {"Helvetica", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"}, {"MS Sans Serif", "DejaVu Sans"},
      {"System", "DejaVu Sans"},
  };
  for (const auto& a : aliases)
    if (face == a.face) return a.family;
  return face;
}

// Alignment flags for DrawText inside a rectangle.
enum TextAlign : unsigned {
  kAlignLeft = 0,
  kAlignCenter = 1u << 0,
  kAlignRight = 1u << 1,
  kAlignTop = 0,
  kAlignVCenter = 1u << 2,
  kAlignBottom = 1u << 3,
  kSingleLine = 1u << 4,
  kNoClip = 1u << 5,
};

// An image the canvas can tile or blit: 24-bit RGB, row-major, no padding.
struct CanvasImage {
  int width = 0, height = 0;
  const std::uint8_t* rgb = nullptr;
  std::string id;  // stable name so a canvas may cache its converted copy
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetPen(const CanvasPen& pen) = 0;
  virtual void SetBrush(const CanvasBrush& brush) = 0;
  virtual void SetFont(const CanvasFont& font) = 0;
  virtual void SetTextColour(Rgb colour) = 0;
  // Text is drawn with a transparent background unless an opaque one is set.
  virtual void SetTextBackground(bool opaque, Rgb colour) = 0;

  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;  // excludes the end pixel, as the design assumes
  virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;
  // Outline with the pen, interior with the brush.
  virtual void DrawRectangle(const CanvasRect& rect) = 0;
  virtual void DrawEllipse(const CanvasRect& bounds) = 0;
  virtual void FillSolidRect(const CanvasRect& rect, Rgb colour) = 0;
  // Tiles the image over rect starting at the rect's top-left corner.
  virtual void TileImage(const CanvasRect& rect, const CanvasImage& image) = 0;

  // UTF-8 text with its top-left corner at (x, y) in the current font (rotated by the
  // font's escapement around that point).
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  // Text placed inside rect by the alignment flags.
  virtual void DrawText(const std::string& text, const CanvasRect& rect, unsigned align) = 0;
  virtual CanvasSize GetTextExtent(const std::string& text) = 0;

  // Restricts drawing to rect until ResetClip; used for curves and for the report's boxes.
  virtual void SetClip(const CanvasRect& rect) = 0;
  virtual void ResetClip() = 0;
};

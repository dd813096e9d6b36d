// The wx drawing surface at pixel level: lines leave out their end pixel, fills are exact,
// escapement 900 runs text upwards; and the off-screen buffer passes a memory or printer
// DC's drawing straight through.
#include <gtest/gtest.h>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include "app/wx/offscreen_dc.h"
#include "app/wx/wx_canvas.h"

namespace {

bool IsBlack(const wxImage& img, int x, int y) {
  return img.GetRed(x, y) < 64 && img.GetGreen(x, y) < 64 && img.GetBlue(x, y) < 64;
}

wxImage Draw(void (*paint)(Canvas&)) {
  wxBitmap bitmap(60, 60, 24);
  {
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    WxCanvas canvas(dc);
    paint(canvas);
  }
  return bitmap.ConvertToImage();
}

TEST(WxCanvas, LinesLeaveOutTheirEndPixelAndFillsAreExact) {
  const wxImage img = Draw([](Canvas& c) {
    c.SetPen({PenStyle::Solid, 1, {0, 0, 0}});
    c.MoveTo(5, 10);
    c.LineTo(15, 10);
    c.DrawLine(20, 30, 20, 20);  // upwards: keeps its start pixel
    c.FillSolidRect({30, 30, 33, 32}, {0, 0, 0});
  });
  EXPECT_TRUE(IsBlack(img, 5, 10));
  EXPECT_TRUE(IsBlack(img, 14, 10));
  EXPECT_FALSE(IsBlack(img, 15, 10));
  EXPECT_FALSE(IsBlack(img, 5, 11));
  EXPECT_TRUE(IsBlack(img, 20, 30));
  EXPECT_FALSE(IsBlack(img, 20, 20));
  EXPECT_TRUE(IsBlack(img, 32, 31));
  EXPECT_FALSE(IsBlack(img, 33, 31));
  EXPECT_FALSE(IsBlack(img, 32, 32));
}

TEST(WxCanvas, EscapementRunsTextUpwards) {
  const wxImage img = Draw([](Canvas& c) {
    CanvasFont font;
    font.face = "Arial";
    font.height = 12;
    font.escapement = 900;
    c.SetFont(font);
    c.TextOut(10, 55, "Response");
  });
  int top = 60, bottom = -1, left = 60, right = -1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      if (IsBlack(img, x, y)) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        left = std::min(left, x);
        right = std::max(right, x);
      }
  ASSERT_GE(bottom, 0);
  EXPECT_GT(bottom - top, 2 * (right - left));  // taller than wide
  EXPECT_LE(bottom, 55);                         // above the anchor
}

TEST(OffscreenBuffer, MemoryTargetIsDrawnDirectly) {
  wxBitmap bitmap(40, 40, 24);
  wxMemoryDC dc(bitmap);
  COffscreenDC buffer(dc, wxRect(0, 0, 40, 40));
  EXPECT_FALSE(buffer.IsBuffered());
  EXPECT_EQ(&buffer.GetDC(), static_cast<wxDC*>(&dc));
}

}  // namespace

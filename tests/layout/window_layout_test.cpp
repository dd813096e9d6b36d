// The main window's layout as a function of its client area and text scale: the classic
// rectangles where a 1024-wide client holds them, and on every screen from 1024 x 700 to
// 3840 x 2160 at scales 1, 1.5 and 2 every control inside the client and none on another.
#include "layout/window_layout.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A maximized window on a 1024 x 768 screen without desktop panels: the menu bar, tool bar
// and status bar take 89 of its 768 pixels.
constexpr CanvasSize kMaximized1024{1024, 679};

std::map<std::string, CanvasRect> ByName(const WindowLayout& l) {
  std::map<std::string, CanvasRect> out;
  for (const PlacedRect& p : PlacedControls(l)) out[p.name] = p.rect;
  return out;
}

CanvasRect Offset(const CanvasRect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

bool Overlap(const CanvasRect& a, const CanvasRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const CanvasRect& inner, CanvasSize client) {
  return inner.left >= 0 && inner.top >= 0 && inner.right <= client.cx && inner.bottom <= client.cy &&
         inner.Width() > 0 && inner.Height() > 0;
}

}  // namespace

TEST(WindowLayout, MaximizedOn1024IsTheClassicLayout) {
  const WindowLayout l = ComputeWindowLayout(kMaximized1024, 1.0);
  EXPECT_EQ(l.layoutWidth, 1024);
  EXPECT_EQ(l.panes.grid, (CanvasRect{0, 0, 318, 679}));
  EXPECT_EQ(l.panes.graph, (CanvasRect{324, 0, 1024, 465}));
  EXPECT_EQ(l.panes.control, (CanvasRect{324, 471, 1024, 679}));
  auto r = ByName(l);
  // Pane-relative rectangles of the classic screen, moved by their pane's origin.
  EXPECT_EQ(r["Update"], Offset({602, 20, 683, 50}, 324, 471));
  EXPECT_EQ(r["Fit"], Offset({602, 100, 683, 130}, 324, 471));
  EXPECT_EQ(r["Gen. Data"], Offset({602, 140, 683, 170}, 324, 471));
  EXPECT_EQ(r["Description"], Offset({488, 20, 598, 50}, 324, 471));
  EXPECT_EQ(r["Del"], Offset({488, 60, 533, 90}, 324, 471));
  EXPECT_EQ(r["View"], Offset({542, 60, 598, 90}, 324, 471));
  EXPECT_EQ(r["plot list"], Offset({488, 100, 598, 170}, 324, 471));
  EXPECT_EQ(r["Axis"], Offset({630, 440, 685, 462}, 324, 0));
  EXPECT_EQ(r["Hide Fit"], Offset({540, 440, 620, 462}, 324, 0));
  EXPECT_EQ(l.graph.PlotRect(), (CanvasRect{64, 40, 640, 410}));
  EXPECT_EQ(l.grid.m_nColWidth, 86);
  EXPECT_EQ(l.grid.CellFont().height, 10);
  EXPECT_EQ(l.control.m_nButtonFontPt, 11);
  EXPECT_EQ(l.fontDpi, 96);

  // The smallest client that still holds the classic panes, and one pixel less.
  EXPECT_EQ(ComputeWindowLayout({1024, 646}, 1.0).layoutWidth, 1024);
  EXPECT_LT(ComputeWindowLayout({1024, 645}, 1.0).layoutWidth, 1024);
}

TEST(WindowLayout, EveryControlOnScreenAndApartFrom1024x700To3840x2160) {
  // 4:3, 16:10, 16:9 and 21:9 screens, each with 90 pixels of bars and panels taken off.
  const CanvasSize screens[] = {{1024, 768}, {1152, 864}, {1600, 1200}, {2048, 1536}, {1280, 800},
                                {1440, 900}, {1680, 1050}, {1920, 1200}, {2560, 1600}, {1366, 768},
                                {1600, 900}, {1920, 1080}, {2560, 1440}, {3840, 2160}, {2560, 1080},
                                {3440, 1440}, {1024, 790}, {1100, 700}};
  for (const double scale : {1.0, 1.5, 2.0}) {
    for (const CanvasSize screen : screens) {
      const CanvasSize client{screen.cx, screen.cy - 90};
      const WindowLayout l = ComputeWindowLayout(client, scale);
      SCOPED_TRACE(testing::Message() << screen.cx << "x" << screen.cy << " at " << scale);
      EXPECT_TRUE(LayoutWidthFits(l.layoutWidth, client, scale));
      const std::vector<PlacedRect> placed = PlacedControls(l);
      for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_TRUE(Inside(placed[i].rect, client)) << placed[i].name;
        for (std::size_t j = i + 1; j < placed.size(); ++j)
          EXPECT_FALSE(Overlap(placed[i].rect, placed[j].rect)) << placed[i].name << " / " << placed[j].name;
      }
    }
  }
}

TEST(WindowLayout, ExtraWidthWidensThePlotAndTextScaleGrowsTheFonts) {
  // 21:9: the height limits W, the plot takes the rest of the pane's width.
  const WindowLayout wide = ComputeWindowLayout({2560, 990}, 1.0);
  EXPECT_LT(wide.layoutWidth, 1700);
  const int paneWidth = wide.panes.graph.Width();
  const int W = wide.layoutWidth;
  const int classicPaneWidth = W - PaneSizesForScreen(W).gridWidth - wide.dividerWidth;
  const GraphGeometry classic = GraphGeometryForWidth(W);
  EXPECT_EQ(paneWidth - wide.graph.m_rcAxisButton.right, classicPaneWidth - classic.m_rcAxisButton.right);
  EXPECT_EQ(wide.graph.m_nPlotLeft, classic.m_nPlotLeft);
  EXPECT_GT(wide.graph.PlotRect().Width(), paneWidth * 3 / 4);

  // The same client at 1.5 times the text resolution: the same W, every font half as tall
  // again (within the rounding of whole points).
  const WindowLayout at1 = ComputeWindowLayout({1920, 990}, 1.0);
  const WindowLayout at15 = ComputeWindowLayout({1920, 990}, 1.5);
  EXPECT_EQ(at15.fontDpi, 144);
  EXPECT_NEAR(at15.grid.CellFont().height, at1.grid.CellFont().height, 2);
  // Tick labels are 9 points: 12 pixels at 96 dpi, 18 at 144.
  EXPECT_EQ(GraphFontsFor(at1.fontDpi).labels.height, 12);
  EXPECT_EQ(GraphFontsFor(at15.fontDpi).labels.height, 18);
}

TEST(WindowLayout, RestoredSizeIsSensibleAndCentred) {
  const CanvasRect work{0, 27, 1920, 1080};
  const CanvasSize minimum{800, 560};
  // Nothing remembered (or a collapsed 126 x 67): 80 % of the work area, centred.
  EXPECT_EQ(RestoredFrameRect(work, {126, 67}, minimum), (CanvasRect{192, 132, 1728, 974}));
  EXPECT_EQ(RestoredFrameRect(work, {0, 0}, minimum), RestoredFrameRect(work, {126, 67}, minimum));
  // A remembered size that fits is kept.
  EXPECT_EQ(RestoredFrameRect(work, {1200, 800}, minimum), (CanvasRect{360, 153, 1560, 953}));
  // On a small screen at least 1024 x 700, but never more than the work area.
  EXPECT_EQ(RestoredFrameRect({0, 0, 1024, 768}, {}, minimum), (CanvasRect{0, 34, 1024, 734}));
  EXPECT_EQ(RestoredFrameRect({0, 0, 900, 600}, {}, minimum), (CanvasRect{0, 0, 900, 600}));
}

TEST(WindowLayout, TextScale) {
  EXPECT_DOUBLE_EQ(TextScaleFrom(96, 1.0), 1.0);
  EXPECT_DOUBLE_EQ(TextScaleFrom(144, 1.0), 1.5);
  EXPECT_DOUBLE_EQ(TextScaleFrom(96, 2.003), 2.0);
  EXPECT_DOUBLE_EQ(TextScaleFrom(96, 0.0), 1.0);   // a failed measurement changes nothing
  EXPECT_DOUBLE_EQ(TextScaleFrom(0, 1.0), 0.75);   // nor does a toolkit that reports no dpi
  EXPECT_DOUBLE_EQ(TextScaleFrom(960, 1.0), 4.0);
}

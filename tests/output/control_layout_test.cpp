#include "outputview/control_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::map<int, CanvasRect> rects_by_id(const ControlLayout& layout) {
  std::map<int, CanvasRect> out;
  for (const auto& p : control_placements(layout)) out[p.id] = p.rect;
  return out;
}

}  // namespace

// The hand-tuned column at 1024 pixels: every control at its rectangle, the frames and the
// 11-point button font (the formula would give 10 here, so the fixed column must win).
TEST(ControlLayout, FixedColumnAt1024) {
  const ControlLayout m = compute_control_layout(1024);
  auto r = rects_by_id(m);
  EXPECT_EQ(r[kIdUpdate], (CanvasRect{602, 20, 683, 50}));
  EXPECT_EQ(r[kIdSimulate], (CanvasRect{602, 60, 683, 90}));
  EXPECT_EQ(r[kIdFit], (CanvasRect{602, 100, 683, 130}));
  EXPECT_EQ(r[kIdGenData], (CanvasRect{602, 140, 683, 170}));
  EXPECT_EQ(r[kIdDescription], (CanvasRect{488, 20, 598, 50}));
  EXPECT_EQ(r[kIdDel], (CanvasRect{488, 60, 533, 90}));
  EXPECT_EQ(r[kIdView], (CanvasRect{542, 60, 598, 90}));
  EXPECT_EQ(r[kIdPlotList], (CanvasRect{488, 100, 598, 170}));
  EXPECT_EQ(m.m_rcLeftFrame, (CanvasRect{10, 5, 246, 150}));
  EXPECT_EQ(m.m_rcRightFrame, (CanvasRect{255, 5, 481, 150}));
  EXPECT_EQ(m.m_nButtonFontPt, 11);
  EXPECT_EQ(m.m_nResultsFontPt, 8);
}

// At 800 pixels the first row's top is 20 while the row height is 16: the two are separate
// values and a layout deriving one from the other puts every button 4 pixels off.
TEST(ControlLayout, FixedColumnAt800) {
  const ControlLayout m = compute_control_layout(800);
  auto r = rects_by_id(m);
  EXPECT_EQ(r[kIdUpdate], (CanvasRect{475, 20, 540, 39}));
  EXPECT_EQ(r[kIdSimulate], (CanvasRect{475, 45, 540, 64}));
  EXPECT_EQ(r[kIdFit], (CanvasRect{475, 70, 540, 89}));
  EXPECT_EQ(r[kIdGenData], (CanvasRect{475, 95, 540, 114}));
  EXPECT_EQ(r[kIdDescription], (CanvasRect{386, 20, 475, 39}));
  EXPECT_EQ(r[kIdDel], (CanvasRect{386, 45, 423, 64}));
  EXPECT_EQ(r[kIdView], (CanvasRect{428, 45, 474, 64}));
  EXPECT_EQ(r[kIdPlotList], (CanvasRect{386, 70, 475, 114}));
  EXPECT_EQ(m.m_nRowHeight, 16);
  EXPECT_EQ(m.m_nButtonFontPt, 9);
  EXPECT_EQ(m.m_nResultsFontPt, 6);
  EXPECT_EQ(m.m_nValueColumnX, 117);  // wider than at 1024: the 800 column is its own
}

TEST(ControlLayout, FormulasElsewhere) {
  const ControlLayout m = compute_control_layout(1280);
  EXPECT_EQ(m.L, 752);
  EXPECT_EQ(m.R, 853);
  EXPECT_EQ(m.T, 25);
  EXPECT_EQ(m.B, 62);
  EXPECT_EQ(m.m_nButtonPitch, 50);
  EXPECT_EQ(m.m_nButtonFontPt, 13);
  EXPECT_EQ(m.m_nResultsFontPt, 10);  // 1280 / 128
  EXPECT_EQ(m.m_nResMetricE, 3);      // 1280 / 341, integer division
  EXPECT_EQ(m.m_nResMetricF, 6);      // 1280 / 205
  EXPECT_EQ(m.m_nFrameSplit, 304);    // trunc(1280 x 0.238095...) = trunc(304.76)
  auto r = rects_by_id(m);
  EXPECT_EQ(r[kIdGenData], (CanvasRect{752, 175, 853, 212}));
  EXPECT_EQ(r[kIdView], (CanvasRect{752 - 74, 75, 853 - 106, 112}));
  EXPECT_EQ(m.m_rcRightFrame, (CanvasRect{12 + 304, 12 - 5, 2 * 304 - 12 + 1, 187}));
}

TEST(ControlLayout, CreationOrderAndCaptions) {
  const auto placements = control_placements(compute_control_layout(1024));
  const int ids[] = {kIdUpdate, kIdSimulate, kIdFit, kIdGenData, kIdDescription, kIdPlotList, kIdDel, kIdView};
  const std::string captions[] = {"Update", "Simulate", "Fit", "Gen. Data", "Description", "", "Del", "View"};
  for (std::size_t i = 0; i < placements.size(); ++i) {
    EXPECT_EQ(placements[i].id, ids[i]);
    EXPECT_EQ(placements[i].caption, captions[i]);
  }
}

TEST(ControlLayout, FontPixelHeightTruncates) {
  EXPECT_EQ(font_pixel_height(8, 96), 10);  // 10.67
  EXPECT_EQ(font_pixel_height(11, 96), 14);  // 14.67
  EXPECT_EQ(font_pixel_height(9, 72), 9);
  // Fonts given in tenths of a point round instead: the plot list's 8-point entries.
  EXPECT_EQ(point_font_pixel_height(80, 96), 11);
  EXPECT_EQ(point_font_pixel_height(80, 120), 13);  // 13.33
}

TEST(PlotListMetrics, AtLeastTheGridsTextAndNinePoints) {
  // 96 dpi, grid text 10 pixels: 9 points (12 pixels) win.
  const PlotListMetrics small = plot_list_metrics(10, 96);
  EXPECT_EQ(small.fontHeight, 12);
  EXPECT_EQ(small.itemHeight, 16);
  EXPECT_EQ(small.swatchWidth, 2);
  EXPECT_GT(small.textLeft, small.swatchLeft + small.swatchLength);
  // A large layout's grid text is taller than 9 points: the list follows it.
  EXPECT_EQ(plot_list_metrics(20, 96).fontHeight, 20);
  // 192 dpi: 9 points are 24 pixels, the swatch line 4 wide.
  EXPECT_EQ(plot_list_metrics(10, 192).fontHeight, 24);
  EXPECT_EQ(plot_list_metrics(10, 192).swatchWidth, 4);
}

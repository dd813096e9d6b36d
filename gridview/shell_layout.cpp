#include "gridview/shell_layout.h"

#include <algorithm>

PaneSizes PaneSizesForScreen(int screenWidth) {
  if (screenWidth == 1024) return {318, 465};
  if (screenWidth == 800) return {245, 345};
  // 5/17 and 5/11 as the original double constants; truncation toward zero.
  return {static_cast<int>(screenWidth * 0.29411764705882354 + 17.0),
          static_cast<int>(screenWidth * 0.45454545454545453)};
}

PaneRects LayoutPanes(const PaneSizes& sizes, int clientWidth, int clientHeight, int dividerWidth) {
  const int w = std::max(0, clientWidth);
  const int h = std::max(0, clientHeight);
  const int gridRight = std::min(sizes.gridWidth, w);
  const int rightLeft = std::min(gridRight + dividerWidth, w);
  const int graphBottom = std::min(sizes.graphHeight, h);
  const int controlTop = std::min(graphBottom + dividerWidth, h);
  PaneRects r;
  r.grid = {0, 0, gridRight, h};
  r.graph = {rightLeft, 0, w, graphBottom};
  r.control = {rightLeft, controlTop, w, h};
  return r;
}

CanvasRect ProgressBarRect(const CanvasRect& field, const std::string& message, int messageWidth,
                           int spaceWidth, int sizePercent) {
  CanvasRect r = field;
  if (!message.empty()) r.left += messageWidth + 4 * spaceWidth;
  // Integer division truncating toward zero, as the original C arithmetic did.
  r.right -= ((100 - sizePercent) * (r.right - r.left)) / 100;
  if (r.right < r.left) r.right = r.left;
  const int inset = r.Height() / 10;
  r.top += inset;
  r.bottom -= inset;
  return r;
}

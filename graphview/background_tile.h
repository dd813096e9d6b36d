// The textured background behind the graph, the results panel and the printed report's
// screen preview: a 280 x 280 light blue-grey surface around RGB(197, 213, 219) whose
// opposite edges match, so tiled copies show no seams. Generated in code, identical on
// every run and every machine.
#pragma once

#include "canvas/canvas.h"

inline constexpr int kBackgroundTileSize = 280;  // pixels, square
inline constexpr Rgb kBackgroundMainColour{197, 213, 219};

// The tile, built once on first use and kept for the life of the program. Its id is
// "background-tile", stable so a canvas may cache its converted copy.
const CanvasImage& BackgroundTile();

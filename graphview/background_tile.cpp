#include "graphview/background_tile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Integer hash (a "lowbias32" mix): decorrelated pseudo-random values that depend only on
// the inputs, so the texture is the same everywhere without a random generator.
std::uint32_t Mix(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

// Value in [-1, 1] for a lattice corner of one noise layer.
double Lattice(int i, int j, int layer) {
  const std::uint32_t h = Mix(static_cast<std::uint32_t>(i) * 0x9E3779B1U ^
                              Mix(static_cast<std::uint32_t>(j) + 0x632BE5ABU * (layer + 1)));
  return (h & 0xFFFF) / 32767.5 - 1.0;
}

double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// Value noise whose lattice wraps every `cells` cells; cells divides the tile size, so the
// layer repeats exactly at the tile's edges and tiled copies join without a seam.
double PeriodicNoise(int x, int y, int cells, int layer) {
  const double cell = static_cast<double>(kBackgroundTileSize) / cells;
  const double fx = x / cell, fy = y / cell;
  const int i0 = static_cast<int>(fx), j0 = static_cast<int>(fy);
  const int i1 = (i0 + 1) % cells, j1 = (j0 + 1) % cells;
  const double tx = Smooth(fx - i0), ty = Smooth(fy - j0);
  const double top = Lattice(i0, j0, layer) * (1 - tx) + Lattice(i1, j0, layer) * tx;
  const double bottom = Lattice(i0, j1, layer) * (1 - tx) + Lattice(i1, j1, layer) * tx;
  return top * (1 - ty) + bottom * ty;
}

// Brightness offset of one pixel: a few soft cloud layers plus a fine grain, about +-8
// levels in all, which reads as a matt surface rather than as noise.
double Offset(int x, int y) {
  struct Layer { int cells; double amplitude; };
  static constexpr Layer kLayers[] = {{4, 3.0}, {8, 2.5}, {20, 2.0}, {40, 1.5}};
  double sum = 0.0;
  int layer = 0;
  for (const Layer& l : kLayers) sum += l.amplitude * PeriodicNoise(x, y, l.cells, layer++);
  const std::uint32_t grain = Mix(static_cast<std::uint32_t>(y * kBackgroundTileSize + x) ^ 0xB5297A4DU);
  return sum + ((grain & 0xFF) / 127.5 - 1.0) * 1.5;
}

std::uint8_t Channel(int base, double offset) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(base + offset)), 0, 255));
}

std::vector<std::uint8_t> BuildPixels() {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kBackgroundTileSize) * kBackgroundTileSize * 3);
  std::size_t at = 0;
  for (int y = 0; y < kBackgroundTileSize; ++y) {
    for (int x = 0; x < kBackgroundTileSize; ++x) {
      const double d = Offset(x, y);
      rgb[at++] = Channel(kBackgroundMainColour.r, d);
      rgb[at++] = Channel(kBackgroundMainColour.g, d);
      rgb[at++] = Channel(kBackgroundMainColour.b, d * 0.8);
    }
  }
  return rgb;
}

}  // namespace

const CanvasImage& BackgroundTile() {
  static const std::vector<std::uint8_t> pixels = BuildPixels();
  static const CanvasImage tile{kBackgroundTileSize, kBackgroundTileSize, pixels.data(), "background-tile"};
  return tile;
}

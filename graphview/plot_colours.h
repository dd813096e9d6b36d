// The plot colour table: one colour per simulation slot. The plot list writes each entry's
// text in its slot's colour and the graph draws the slot's curve with it, so a curve and its
// list entry always match. There is no legend; the colour is the only link between them.
#pragma once

#include "canvas/canvas.h"

inline constexpr int kPlotColourSlots = 10;

// Indexed by simulation slot 1..10; entry 0 is not a slot and is black.
inline constexpr Rgb kPlotColours[kPlotColourSlots + 1] = {
    {0, 0, 0},        // unused
    {255, 0, 0},      // 1 red
    {0, 255, 0},      // 2 green
    {255, 0, 255},    // 3 magenta
    {255, 255, 0},    // 4 yellow
    {0, 255, 255},    // 5 cyan
    {130, 25, 130},   // 6 purple
    {255, 150, 0},    // 7 orange
    {50, 255, 150},   // 8 light green
    {255, 192, 203},  // 9 pink
    {139, 69, 19},    // 10 brown
};

// Colour of slot 1..10; black for anything else, so a damaged slot number never reads
// outside the table.
inline constexpr Rgb PlotColour(int slot) {
  return slot >= 1 && slot <= kPlotColourSlots ? kPlotColours[slot] : kPlotColours[0];
}

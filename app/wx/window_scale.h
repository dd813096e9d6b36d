// The text scale of a window (logical dots per inch over 96, see layout/window_layout.h)
// and the frame's remembered size and state in the program's configuration.
#pragma once

#include <wx/gdicmn.h>

class wxWindow;

// GetDPI over GetContentScaleFactor gives the logical resolution (96 on a GDK_SCALE=2
// screen, whose doubling the toolkit does itself); point sizes may still be drawn larger
// (GDK_DPI_SCALE, Xft.dpi), which a point-sized and a pixel-sized font of the same nominal
// height show.
double WindowTextScale(wxWindow* window);

struct FrameState {
  wxSize restoredSize;  // 0 x 0 when nothing is remembered
  bool maximized = true;
};
FrameState LoadFrameState();
void SaveFrameState(const FrameState& state);

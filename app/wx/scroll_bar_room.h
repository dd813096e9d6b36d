// GTK's scroll bars have a minimum length (buttons, trough and slider: about 46 px with the
// default theme). A scrolled window laid out shorter than its vertical bar, or narrower than
// its horizontal one, makes GTK allocate the bar a negative size, which it reports as a
// Gtk-CRITICAL and draws wrongly. These functions tell the room a window's bars need, so
// layouts can keep it.
#pragma once

#include <wx/gdicmn.h>

class wxWindow;

// The least size at which window's own scroll bars (and its border) fit; 0 x 0 for a
// window without GTK scroll bars (and on other toolkits).
wxSize ScrollBarsMinimumSize(wxWindow* window);

// Lays window and every window inside it out at their present sizes, parents first, as their
// first showing would: for a window built by code that lays it out only once shown.
void SendSizeEventsDown(wxWindow* window);

// For window and every window inside it: a scrolled window's minimum size becomes at least
// what its bars need, and one smaller than that now is enlarged. For windows the program
// does not lay out itself (the help viewer's), before they are first shown.
void KeepRoomForScrollBars(wxWindow* window);

#include "app/wx/scroll_bar_room.h"

#include <dlfcn.h>

#include <algorithm>

#include <wx/window.h>

namespace {

#ifdef __WXGTK__
// The program is built without GTK's headers: the one call needed is looked up at run time.
using PreferredSize = void (*)(void*, int*, int*);

int Preferred(const char* symbol, void* widget) {
  const auto measure = reinterpret_cast<PreferredSize>(dlsym(RTLD_DEFAULT, symbol));
  int minimum = 0, natural = 0;
  if (measure && widget) measure(widget, &minimum, &natural);
  return minimum;
}
#endif

}  // namespace

wxSize ScrollBarsMinimumSize(wxWindow* window) {
#ifdef __WXGTK__
  // A bar the window's style does not ask for is never shown.
  void* vertical = window->HasFlag(wxVSCROLL) ? window->m_scrollBar[wxWindow::ScrollDir_Vert] : nullptr;
  void* horizontal = window->HasFlag(wxHSCROLL) ? window->m_scrollBar[wxWindow::ScrollDir_Horz] : nullptr;
  if (!vertical && !horizontal) return {0, 0};
  const int verticalLength = Preferred("gtk_widget_get_preferred_height", vertical);
  const int verticalThickness = Preferred("gtk_widget_get_preferred_width", vertical);
  const int horizontalLength = Preferred("gtk_widget_get_preferred_width", horizontal);
  const int horizontalThickness = Preferred("gtk_widget_get_preferred_height", horizontal);
  // Both bars: each one's length shares the window with the other's thickness.
  const wxSize border = window->GetWindowBorderSize();
  return {horizontalLength + verticalThickness + border.x, verticalLength + horizontalThickness + border.y};
#else
  (void)window;
  return {0, 0};
#endif
}

void SendSizeEventsDown(wxWindow* window) {
  window->SendSizeEvent();
  for (wxWindow* child : window->GetChildren())
    if (!child->IsTopLevel()) SendSizeEventsDown(child);
}

void KeepRoomForScrollBars(wxWindow* window) {
  const wxSize needed = ScrollBarsMinimumSize(window);
  if (needed.x > 0 || needed.y > 0) {
    wxSize minimum = window->GetMinSize();
    minimum.IncTo(needed);
    window->SetMinSize(minimum);
    wxSize size = window->GetSize();
    if (size.x < needed.x || size.y < needed.y) {
      size.IncTo(needed);
      window->SetSize(size);
    }
  }
  for (wxWindow* child : window->GetChildren())
    if (!child->IsTopLevel()) KeepRoomForScrollBars(child);
}

#include "outputview/wx/plot_list_box.h"

#include <dlfcn.h>

#include <wx/dc.h>
#include <wx/gdicmn.h>
#include <wx/settings.h>

#include "app/wx/scroll_bar_room.h"
#include "app/wx/wx_canvas.h"
#include "outputview/control_layout.h"
#include "graphview/plot_colours.h"

namespace {

// GTK 3 draws scroll bars as thin overlays that appear only while the pointer moves over
// the window, so a list with more entries than it shows looked complete: the list asks for a
// classic bar. The calls are looked up at run time (the program is built without GTK's
// headers) and made only on a GTK scrolled window.
void UseClassicScrollBar(wxWindow* window) {
#ifdef __WXGTK__
  using GetType = unsigned long (*)();
  using IsA = int (*)(void*, unsigned long);
  using SetOverlay = void (*)(void*, int);
  static const auto getType = reinterpret_cast<GetType>(dlsym(RTLD_DEFAULT, "gtk_scrolled_window_get_type"));
  static const auto isA = reinterpret_cast<IsA>(dlsym(RTLD_DEFAULT, "g_type_check_instance_is_a"));
  static const auto setOverlay =
      reinterpret_cast<SetOverlay>(dlsym(RTLD_DEFAULT, "gtk_scrolled_window_set_overlay_scrolling"));
  void* widget = window->GetHandle();
  if (getType && isA && setOverlay && widget && isA(widget, getType())) setOverlay(widget, 0);
#else
  (void)window;
#endif
}

}  // namespace

CPlotListBox::CPlotListBox(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size)
    : wxVListBox(parent, id, pos, size, wxBORDER_SUNKEN | wxVSCROLL) {
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX));
  UseClassicScrollBar(this);
  Bind(wxEVT_LISTBOX_DCLICK, &CPlotListBox::OnDoubleClick, this);
}

int CPlotListBox::MinimumHeight() { return ScrollBarsMinimumSize(this).y; }

void CPlotListBox::AddString(const std::string& text) {
  m_items.push_back(text);
  SetItemCount(m_items.size());
  Refresh();
}

void CPlotListBox::DeleteString(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return;
  // As a list box does: the deleted entry's selection is gone, later ones move up.
  int selection = GetSelection();
  if (selection == index)
    selection = wxNOT_FOUND;
  else if (selection > index)
    --selection;
  m_items.erase(m_items.begin() + index);
  SetItemCount(m_items.size());
  SetSelection(selection);
  Refresh();
}

void CPlotListBox::ResetContent() {
  if (m_items.empty()) return;
  m_items.clear();
  SetItemCount(0);
  Refresh();
}

void CPlotListBox::SetEntries(const std::vector<std::string>& entries) {
  if (entries == m_items) return;
  const std::string selected = GetString(GetCurSel());
  m_items = entries;
  SetItemCount(m_items.size());
  int selection = wxNOT_FOUND;
  for (int i = 0; i < GetCount() && !selected.empty(); ++i)
    if (m_items[static_cast<std::size_t>(i)] == selected) selection = i;
  SetSelection(selection);
  Refresh();
}

int CPlotListBox::GetCount() const { return static_cast<int>(m_items.size()); }

int CPlotListBox::GetCurSel() const {
  const int selection = GetSelection();
  return selection == wxNOT_FOUND ? -1 : selection;
}

std::string CPlotListBox::GetString(int index) const {
  return index >= 0 && index < GetCount() ? m_items[index] : std::string();
}

wxColour CPlotListBox::EntryColour(int index) const {
  int slot = 0;
  if (m_pDoc && index >= 0 && index < Titration::kMaxSims) slot = m_pDoc->m_nSlotOrder[index + 1];
  if (slot <= 0) return wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT);
  return WxCanvas::ToColour(PlotColour(slot));
}

void CPlotListBox::OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const {
  const bool selected = IsSelected(n);
  const wxColour fill = wxSystemSettings::GetColour(selected ? wxSYS_COLOUR_HIGHLIGHT : wxSYS_COLOUR_LISTBOX);
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(fill));
  dc.DrawRectangle(rect);
}

void CPlotListBox::SetEntryMetrics(const PlotListMetrics& metrics) {
  if (metrics.fontHeight == m_metrics.fontHeight && metrics.swatchWidth == m_metrics.swatchWidth) return;
  m_metrics = metrics;
  RefreshAll();
  SetItemCount(m_items.size());  // entry heights are measured again
}

void CPlotListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const {
  const int index = static_cast<int>(n);
  const bool selected = IsSelected(n);
  const int midY = rect.y + rect.height / 2;
  dc.SetPen(wxPen(EntryColour(index), m_metrics.swatchWidth));
  dc.DrawLine(rect.x + m_metrics.swatchLeft, midY, rect.x + m_metrics.swatchLeft + m_metrics.swatchLength, midY);
  dc.SetTextForeground(selected ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT) : *wxBLACK);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  CanvasFont font;
  font.face = "MS Sans Serif";
  font.height = m_metrics.fontHeight;
  dc.SetFont(WxCanvas::MakeFont(font));
  wxRect textRect = rect;
  textRect.x += m_metrics.textLeft;
  textRect.width -= m_metrics.textLeft;
  dc.DrawLabel(wxString::FromUTF8(GetString(index)), textRect, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
}

wxCoord CPlotListBox::OnMeasureItem(size_t) const { return m_metrics.itemHeight; }

void CPlotListBox::OnDoubleClick(wxCommandEvent&) {
  if (m_onDoubleClick) m_onDoubleClick();
}

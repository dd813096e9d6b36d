#include "app/wx/window_scale.h"

#include <algorithm>

#include <wx/config.h>
#include <wx/dcclient.h>
#include <wx/font.h>
#include <wx/window.h>

#include "layout/window_layout.h"

namespace {

constexpr const char* kWidthKey = "/Window/Width";
constexpr const char* kHeightKey = "/Window/Height";
constexpr const char* kMaximizedKey = "/Window/Maximized";

double PointSizeFactor(wxWindow* window) {
  wxClientDC dc(window);
  // 36 points are 48 pixels at 96 dpi.
  dc.SetFont(wxFont(wxFontInfo(36).Family(wxFONTFAMILY_SWISS)));
  const int byPoints = dc.GetTextExtent("Hg").y;
  dc.SetFont(wxFont(wxFontInfo(wxSize(0, 48)).Family(wxFONTFAMILY_SWISS)));
  const int byPixels = dc.GetTextExtent("Hg").y;
  return byPixels > 0 ? static_cast<double>(byPoints) / byPixels : 1.0;
}

}  // namespace

double WindowTextScale(wxWindow* window) {
  const double contentScale = std::max(1.0, window->GetContentScaleFactor());
  const double logicalDpi = window->GetDPI().y / contentScale;
  return TextScaleFrom(logicalDpi, PointSizeFactor(window));
}

FrameState LoadFrameState() {
  FrameState state;
  wxConfigBase* config = wxConfigBase::Get(false);
  if (!config) return state;
  state.restoredSize.x = static_cast<int>(config->ReadLong(kWidthKey, 0));
  state.restoredSize.y = static_cast<int>(config->ReadLong(kHeightKey, 0));
  state.maximized = config->ReadBool(kMaximizedKey, true);
  return state;
}

void SaveFrameState(const FrameState& state) {
  wxConfigBase* config = wxConfigBase::Get(false);
  if (!config) return;
  config->Write(kWidthKey, static_cast<long>(state.restoredSize.x));
  config->Write(kHeightKey, static_cast<long>(state.restoredSize.y));
  config->Write(kMaximizedKey, state.maximized);
  config->Flush();
}

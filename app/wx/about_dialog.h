// CAboutDlg: "About Bindwise" with the version, an OK button and a small looping
// animation (65 x 56 pixels, 10 frames at 5 per second).
#pragma once

#include <wx/dialog.h>

class wxGenericAnimationCtrl;

class CAboutDlg : public wxDialog {
 public:
  static constexpr int kAnimationId = 1077;

  explicit CAboutDlg(wxWindow* parent);

  // Null when the animation file was not found; the box then shows without it.
  wxGenericAnimationCtrl* GetAnimation() const { return m_animate; }

 private:
  wxGenericAnimationCtrl* m_animate = nullptr;
};

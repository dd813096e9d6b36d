// CProgressBar: a progress gauge shown inside a field of the main frame's status bar,
// right of a short message, while a long computation runs. Keep one on the stack for the
// duration of the computation:
//
//   CProgressBar bar("Calculating", 100, 100, false, 0);
//   bar.SetBarColour(0x0000D2);   // RGB(210, 0, 0) as a COLORREF (0x00BBGGRR)
//   bar.SetPos(0);
//   ... bar.SetPos(percent) ...
//   // leaving the scope hides the bar and gives field 0 back "Ready"
//
// Call it from the user-interface thread only (from a worker, post the positions with
// CallAfter). Every operation on a bar whose creation failed (no status bar) does nothing.
#pragma once

#include <cstdint>
#include <memory>

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxEvent;
class wxGauge;
class wxSizeEvent;
class wxStatusBar;

// The status-bar text while nothing else is going on.
inline constexpr const char* kIdleStatusText = "Ready";

class CProgressBar {
 public:
  static constexpr std::uint32_t kClrDefault = 0xFF000000;  // "no colour", as COLORREF

  CProgressBar() = default;
  CProgressBar(const wxString& message, int size = 100, int maxValue = 100, bool smooth = false,
               int pane = 0);
  ~CProgressBar();
  CProgressBar(const CProgressBar&) = delete;
  CProgressBar& operator=(const CProgressBar&) = delete;

  // size: the bar's width in percent of the space right of the message. False when there
  // is no status bar.
  bool Create(const wxString& message, int size = 100, int maxValue = 100, bool smooth = false,
              int pane = 0);
  bool SetRange(int lower, int upper, int step = 1);
  void SetStep(int step);
  void SetPos(int pos);
  // colour as a COLORREF (0x00BBGGRR); returns the previous one, kClrDefault without a bar.
  // The gauge takes it where the desktop theme allows a gauge colour.
  std::uint32_t SetBarColour(std::uint32_t colour);
  // Hides the bar and restores the field's text ("Ready" for field 0).
  void Clear();
  // Places the bar in its field again; false without a bar or status bar.
  bool Resize();

  bool IsCreated() const { return m_pGauge != nullptr; }
  wxGauge* GetGauge() const { return m_pGauge; }
  wxRect GetBarRect() const { return m_rcBar; }
  int GetPos() const;

  // The main frame's status bar, or null.
  static wxStatusBar* GetStatusBar();

 private:
  void OnStatusBarSize(wxSizeEvent& event);

  int m_nSize = 100;
  int m_nPane = 0;
  wxString m_strMessage;
  wxString m_strPrevText;
  wxRect m_rcBar;
  wxGauge* m_pGauge = nullptr;
  wxStatusBar* m_pStatusBar = nullptr;
  int m_nLower = 0;
  int m_nStep = 1;
  std::uint32_t m_colour = kClrDefault;
  // Lets a deferred re-placement know the bar still exists.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// Support for GoogleTest cases that drive the real desktop program under Xvfb. All cases
// of test_gui run in one process on one running program (main frame, document, three
// panes), in file order; leave the document unmodified at the end of a case
// (ResetDocument()) so the next one starts clean.
//
// Every modal dialog goes through a hook: a case that expects dialogs queues the answers
// (ExpectDialog) and reads what they said (DialogTexts()); an unexpected dialog fails the
// case and is answered with Cancel, so nothing ever blocks. wx assertions fail the case.
#pragma once

#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/string.h>

class BindwiseDoc;
class CMainFrame;
class wxWindow;

namespace gui {

CMainFrame& Frame();
BindwiseDoc& Doc();

// Runs the event loop for about ms milliseconds (timers, paints, simulated input).
void Pump(int ms = 100);
// New document, unmodified, grid at the top, focus in the grid.
void ResetDocument();

// Moves the pointer over window's client point p, then clicks the left button.
void ClickAt(wxWindow* window, const wxPoint& p);
void DoubleClickAt(wxWindow* window, const wxPoint& p);
void TypeText(const char* text);
// A key with modifiers (wxMOD_CONTROL, wxMOD_SHIFT ...), e.g. KeyChord('C', wxMOD_CONTROL).
void KeyChord(int keycode, int modifiers = 0);

// The next modal dialog is answered with answerId (wxID_OK, wxID_NO, ...) without showing.
void ExpectDialog(int answerId);
// Answers still queued (0 when every expected dialog came).
int PendingDialogs();
// Messages of the dialogs answered since the last call (message boxes: their text;
// other dialogs: their title), then forgets them.
std::vector<wxString> TakeDialogTexts();

// GTK's criticals and warnings (such as a widget given a negative size) logged since the last
// call, then forgets them. They still print as usual.
std::vector<std::string> TakeGtkComplaints();

// Saves a picture of the main window as <test build dir>/<name>.png; returns the path.
wxString SaveScreenshot(const wxString& name);
// A path in the test's scratch folder (removed at exit).
wxString ScratchPath(const wxString& name);

}  // namespace gui

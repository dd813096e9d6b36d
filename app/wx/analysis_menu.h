// The Analysis menu: every command of the graph and control panes' buttons, with a
// shortcut. The menu is built from the table below, top to bottom; to add a command, give
// it an id in app/wx/command_ids.h, add a row here (a row with a null label is a
// separator) and handle the id with EVT_MENU in the event table of the view that owns it:
// the frame offers every menu command to every view (app/wx/main_frame.h). Document the
// row in resources/help/keyboard.html.
//
// Shortcuts taken elsewhere: Ctrl+N, O, S, P, X, C, V, Z, Y, Ctrl+Shift+Z, Shift+Delete,
// Ctrl/Shift+Insert, F6, Shift+F6.
#pragma once

#include <wx/string.h>

class wxMenu;

struct MenuEntry {
  int id;
  const char* label;   // with "\t" and the shortcut
  const char* prompt;  // status-bar text and the button's tool tip
};

extern const MenuEntry kAnalysisMenu[];
extern const int kAnalysisMenuSize;

wxMenu* CreateAnalysisMenu();
// The row of a command id; null when the menu has none.
const MenuEntry* FindAnalysisEntry(int id);
// The shortcut of a command ("Ctrl+F"); empty when it has none.
const char* AnalysisShortcut(int id);
// A button's tool tip: what the command does and its shortcut.
wxString AnalysisToolTip(int id);

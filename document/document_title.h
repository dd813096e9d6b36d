// What the window title and the save prompt call a document: its file's name, or "Untitled"
// for one never saved, and the title in the GNOME form "name — Bindwise", with a leading
// "*" while there are unsaved changes.
#pragma once

#include <string>

std::string DocumentDisplayName(const std::string& path);
std::string MainWindowTitle(const std::string& path, bool modified);

// Where the program's data files (the About animation, the help book) are: the folder
// named by BINDWISE_RESOURCE_DIR in the environment, else the installed data folder, else
// the source tree's resources/ folder (for a program run from its build folder).
#pragma once

#include <wx/string.h>

// Full path of relative inside the first resource folder that has it; empty when none has.
wxString FindResourceFile(const wxString& relative);

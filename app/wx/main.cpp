// Entry point of the desktop program; everything else lives in bindwise_gui.
#include "app/wx/bindwise_app.h"

wxIMPLEMENT_APP(CBindwiseApp);

#include "app/wx/resource_path.h"

#include <cstdlib>

#include <wx/filename.h>

wxString FindResourceFile(const wxString& relative) {
  wxString dirs[3];
  if (const char* env = std::getenv("BINDWISE_RESOURCE_DIR")) dirs[0] = wxString::FromUTF8(env);
  dirs[1] = BINDWISE_INSTALLED_RESOURCE_DIR;
  dirs[2] = BINDWISE_RESOURCE_DIR;
  for (const wxString& dir : dirs) {
    if (dir.empty()) continue;
    const wxString path = dir + wxFILE_SEP_PATH + relative;
    if (wxFileName::FileExists(path)) return path;
  }
  return {};
}

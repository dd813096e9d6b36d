#include "document/document_title.h"

std::string DocumentDisplayName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.empty() ? "Untitled" : name;
}

std::string MainWindowTitle(const std::string& path, bool modified) {
  return (modified ? "*" : "") + DocumentDisplayName(path) + " \u2014 Bindwise";
}

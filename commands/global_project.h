// A global analysis saved as a small JSON text file (".bwglobal"), so it can be run again and
// reopened: the documents, as paths relative to the project file's folder, and the shared
// Fit-dialog rows.
//   {"format": "bindwise-global", "version": 1, "documents": ["a.bwd", "b.bwd"],
//    "shared": [5, 6, 7, 8], "extensive": false}
#pragma once

#include <string>
#include <vector>

struct GlobalProject {
  std::vector<std::string> documents;  // absolute or relative to the project file's folder
  std::vector<int> sharedRows;         // empty: every log K row
  bool extensive = false;
};

// Throws std::runtime_error with "<file>: <problem>" when the file cannot be read or is not
// a project. Relative document paths come back resolved against the project's folder.
GlobalProject read_global_project(const std::string& path);
// Writes the project atomically; document paths are stored relative to the project's folder
// where they can be. Throws std::runtime_error with "<file>: <problem>" on failure.
void write_global_project(const std::string& path, const GlobalProject& project);

#include "commands/global_project.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "document/atomic_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFormat = "bindwise-global";
constexpr int kVersion = 1;
// A project lists a handful of documents; anything this large is not one.
constexpr std::uintmax_t kMaxProjectBytes = 1 << 20;

[[noreturn]] void fail(const std::string& path, const std::string& problem) {
  throw std::runtime_error(path + ": " + problem);
}

nlohmann::json parse_project(const std::string& path) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) fail(path, ec.message());
  if (size > kMaxProjectBytes) fail(path, "too large for a global-fit project");
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) fail(path, "cannot be read");
  try {
    return nlohmann::json::parse(text.str());
  } catch (const nlohmann::json::exception&) {
    fail(path, "not a global-fit project (not valid JSON)");
  }
}

}  // namespace

GlobalProject read_global_project(const std::string& path) {
  const nlohmann::json j = parse_project(path);
  if (!j.is_object() || j.value("format", "") != kFormat) fail(path, "not a global-fit project");
  if (!j.contains("version") || !j["version"].is_number_integer() || j["version"].get<int>() > kVersion)
    fail(path, "written by a newer Bindwise (unknown project version)");
  GlobalProject p;
  const fs::path folder = fs::absolute(path).parent_path();
  if (!j.contains("documents") || !j["documents"].is_array() || j["documents"].empty())
    fail(path, "lists no documents");
  for (const auto& d : j["documents"]) {
    if (!d.is_string() || d.get<std::string>().empty()) fail(path, "a document entry is not a file name");
    const fs::path doc = d.get<std::string>();
    p.documents.push_back((doc.is_absolute() ? doc : folder / doc).lexically_normal().string());
  }
  if (j.contains("shared")) {
    if (!j["shared"].is_array()) fail(path, "\"shared\" is not a list of row numbers");
    for (const auto& r : j["shared"]) {
      if (!r.is_number_integer() || r.get<int>() < 1 || r.get<int>() > 11) fail(path, "shared rows are numbers 1..11");
      p.sharedRows.push_back(r.get<int>());
    }
  }
  if (j.contains("extensive")) {
    if (!j["extensive"].is_boolean()) fail(path, "\"extensive\" is not true or false");
    p.extensive = j["extensive"].get<bool>();
  }
  return p;
}

void write_global_project(const std::string& path, const GlobalProject& project) {
  const fs::path folder = fs::absolute(path).parent_path();
  nlohmann::ordered_json j;
  j["format"] = kFormat;
  j["version"] = kVersion;
  j["documents"] = nlohmann::ordered_json::array();
  for (const std::string& d : project.documents) {
    const fs::path relative = fs::absolute(d).lexically_relative(folder);
    j["documents"].push_back(relative.empty() ? fs::absolute(d).string() : relative.string());
  }
  j["shared"] = project.sharedRows;
  j["extensive"] = project.extensive;
  std::string reason;
  if (!write_file_atomically(path, j.dump(2) + "\n", &reason)) fail(path, reason);
}

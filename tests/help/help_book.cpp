#include "help/help_book.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>

namespace help_book {
namespace {

std::string trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Attribute values in these files come quoted or bare (value=133073), as the viewer accepts.
const char* const kValue = R"re(\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re";

std::string value_of(const std::smatch& m, int first_group) {
  for (int g = first_group; g < first_group + 3; ++g)
    if (m[g].matched) return m[g].str();
  return {};
}

std::vector<std::string> attribute_values(const std::string& html, const std::string& pattern) {
  std::vector<std::string> values;
  const std::regex re(pattern + kValue, std::regex::icase);
  for (auto it = std::sregex_iterator(html.begin(), html.end(), re); it != std::sregex_iterator(); ++it)
    values.push_back(value_of(*it, 1));
  return values;
}

}  // namespace

std::string read_text(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Project parse_project(const std::string& text) {
  Project project;
  std::istringstream lines(text);
  std::string line, section;
  while (std::getline(lines, line)) {
    line = trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (section == "OPTIONS") {
      const auto eq = line.find('=');
      if (eq != std::string::npos) project.options[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    } else if (section == "FILES") {
      project.files.push_back(line);
    }
  }
  return project;
}

std::vector<SitemapEntry> parse_sitemap(const std::string& text) {
  std::vector<SitemapEntry> entries;
  const std::regex object(R"re(<object\s+type\s*=\s*"text/sitemap"\s*>([\s\S]*?)</object>)re", std::regex::icase);
  const std::regex param(std::string(R"re(<param\s+name\s*=\s*"([^"]*)"\s+value)re") + kValue, std::regex::icase);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), object); it != std::sregex_iterator(); ++it) {
    const std::string body = (*it)[1].str();
    SitemapEntry entry;
    for (auto p = std::sregex_iterator(body.begin(), body.end(), param); p != std::sregex_iterator(); ++p) {
      const std::string name = (*p)[1].str();
      const std::string value = value_of(*p, 2);
      if (name == "Name") entry.name = value;
      if (name == "Local") entry.local = value;
      if (name == "ID") entry.id = std::stoi(value);
    }
    entries.push_back(entry);
  }
  return entries;
}

std::vector<std::string> links_in(const std::string& html) {
  return attribute_values(html, R"re(<a\s[^>]*?\bhref)re");
}

std::vector<std::string> anchors_in(const std::string& html) {
  auto anchors = attribute_values(html, R"re(<a\s[^>]*?\bname)re");
  for (auto& id : attribute_values(html, R"re(<[a-z0-9]+\s[^>]*?\bid)re")) anchors.push_back(id);
  return anchors;
}

std::string link_problem(const std::filesystem::path& book_dir, const std::string& link) {
  const auto hash = link.find('#');
  const std::string page = link.substr(0, hash);
  const std::string anchor = hash == std::string::npos ? std::string() : link.substr(hash + 1);
  // The book is installed as one folder: a link that leaves it, or goes on the network,
  // would not resolve for every user.
  if (page.find(':') != std::string::npos || page.find('/') != std::string::npos)
    return "leaves the help folder";
  if (page.empty()) return "names no page";
  const auto file = book_dir / page;
  if (!std::filesystem::is_regular_file(file)) return "page " + page + " does not exist";
  if (anchor.empty()) return {};
  const auto anchors = anchors_in(read_text(file));
  if (std::find(anchors.begin(), anchors.end(), anchor) == anchors.end())
    return "page " + page + " has no anchor " + anchor;
  return {};
}

}  // namespace help_book

// A small reader for the HTML help book under resources/help: the project file (.hhp), the
// sitemaps of contents and index (.hhc, .hhk) and the links and anchors of the topic pages.
// It reads only what the help viewer uses, so the tests can check that every context number
// and every link leads somewhere without starting a viewer.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace help_book {

struct Project {
  std::map<std::string, std::string> options;  // [OPTIONS] key=value
  std::vector<std::string> files;              // [FILES]
};

struct SitemapEntry {
  std::string name;
  std::string local;       // page, optionally with #anchor
  std::optional<int> id;   // help context number
};

std::string read_text(const std::filesystem::path& file);
Project parse_project(const std::string& text);
std::vector<SitemapEntry> parse_sitemap(const std::string& text);
std::vector<std::string> links_in(const std::string& html);    // href targets
std::vector<std::string> anchors_in(const std::string& html);  // <a name=...> and id=...

// Empty when link (relative to a page of book_dir) names an existing page of the book and,
// if it has one, an anchor of that page; otherwise the reason it does not resolve.
std::string link_problem(const std::filesystem::path& book_dir, const std::string& link);

}  // namespace help_book

// The help book must open where the dialogs ask for it: every context number the program
// passes to the viewer is mapped to a topic that exists, and no link inside the book is dead.
#include "help/help_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "support/scratch_dir.h"

namespace fs = std::filesystem;
using namespace help_book;

namespace {

const fs::path kBook = fs::path(BINDWISE_SOURCE_DIR) / "resources" / "help";

Project project() { return parse_project(read_text(kBook / "bindwise.hhp")); }

std::vector<SitemapEntry> contents() { return parse_sitemap(read_text(kBook / project().options.at("Contents file"))); }

std::vector<SitemapEntry> index_entries() { return parse_sitemap(read_text(kBook / project().options.at("Index file"))); }

std::vector<fs::path> pages() {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(kBook))
    if (entry.path().extension() == ".html") found.push_back(entry.path());
  return found;
}

}  // namespace

TEST(HelpBook, ProjectNamesItsContentsIndexDefaultTopicAndEveryPage) {
  const Project p = project();
  for (const char* key : {"Contents file", "Index file", "Default topic", "Title"})
    ASSERT_TRUE(p.options.count(key)) << "bindwise.hhp lacks " << key;
  EXPECT_TRUE(fs::is_regular_file(kBook / p.options.at("Contents file")));
  EXPECT_TRUE(fs::is_regular_file(kBook / p.options.at("Index file")));
  EXPECT_EQ(link_problem(kBook, p.options.at("Default topic")), "");

  const std::set<std::string> listed(p.files.begin(), p.files.end());
  for (const auto& name : listed) EXPECT_TRUE(fs::is_regular_file(kBook / name)) << name << " is listed but missing";
  std::set<std::string> in_contents;
  for (const auto& e : contents()) in_contents.insert(e.local.substr(0, e.local.find('#')));
  for (const auto& page : pages()) {
    const std::string name = page.filename().string();
    EXPECT_TRUE(listed.count(name)) << name << " is not listed in bindwise.hhp";
    EXPECT_TRUE(in_contents.count(name)) << name << " cannot be reached from the contents";
  }
}

TEST(HelpBook, EachDialogContextNumberOpensItsTopic) {
  // 133073: "Help model" of the Fit dialog; 133075: of the Simulate dialog; 133076: "Help" of
  // Generate Data.
  const std::map<int, std::string> expected = {{133073, "fit.html"}, {133075, "simulate.html"}, {133076, "generate.html"}};
  std::map<int, std::vector<std::string>> mapped;
  for (const auto& e : contents())
    if (e.id) mapped[*e.id].push_back(e.local);
  for (const auto& [context, page] : expected) {
    ASSERT_EQ(mapped[context].size(), 1u) << "context " << context << " must map to exactly one topic";
    EXPECT_EQ(mapped[context][0], page) << "context " << context;
    EXPECT_EQ(link_problem(kBook, mapped[context][0]), "") << "context " << context;
  }
  for (const auto& [context, locals] : mapped)
    EXPECT_TRUE(expected.count(context)) << "unexpected context number " << context << " in the contents";
}

TEST(HelpBook, EveryLinkOfPagesContentsAndIndexResolves) {
  size_t links = 0;
  for (const auto& page : pages()) {
    for (const auto& link : links_in(read_text(page))) {
      ++links;
      EXPECT_EQ(link_problem(kBook, link), "") << "in " << page.filename() << ": " << link;
    }
  }
  for (const auto& list : {contents(), index_entries()}) {
    ASSERT_FALSE(list.empty());
    for (const auto& e : list) {
      EXPECT_FALSE(e.name.empty()) << e.local;
      EXPECT_EQ(link_problem(kBook, e.local), "") << e.name << ": " << e.local;
    }
  }
  EXPECT_GT(links, pages().size()) << "the link reader found almost no links: is it reading the pages?";
}

TEST(HelpBookReader, ReportsMissingPagesAnchorsAndLinksOutOfTheBook) {
  const ScratchDir scratch("bw_help_reader");
  const fs::path dir = scratch.path();
  std::ofstream(dir / "a.html") << "<p><A HREF='b.html#top'>b</A> <a class=x href=c.html>c</a> "
                                   "<a href=\"a.html#here\">self</a> <a name=\"here\"></a></p>";
  std::ofstream(dir / "b.html") << "<h2 id=\"intro\">b</h2>";

  const auto links = links_in(read_text(dir / "a.html"));
  ASSERT_EQ(links, (std::vector<std::string>{"b.html#top", "c.html", "a.html#here"}));
  EXPECT_EQ(link_problem(dir, "b.html#top"), "page b.html has no anchor top");
  EXPECT_EQ(link_problem(dir, "b.html#intro"), "");
  EXPECT_EQ(link_problem(dir, "c.html"), "page c.html does not exist");
  EXPECT_EQ(link_problem(dir, "a.html#here"), "");
  EXPECT_EQ(link_problem(dir, "../a.html"), "leaves the help folder");
  EXPECT_EQ(link_problem(dir, "https://example.org/x.html"), "leaves the help folder");

  const auto entries = parse_sitemap(R"(<LI><OBJECT type="text/sitemap"><param name="Name" value="Fit">
      <param name="Local" value="fit.html"><param name="ID" value=133073></OBJECT>
      <object type="text/sitemap"><param name="Name" value="x"><param name="Local" value="x.html"></object>)");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].id, 133073);
  EXPECT_EQ(entries[0].local, "fit.html");
  EXPECT_FALSE(entries[1].id.has_value());
}

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>


#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "document/doc_fixtures.h"
#include "support/scratch_dir.h"

namespace fs = std::filesystem;
using fixtures::Bytes;

namespace {

class DocumentCommands : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write(const std::string& name, const std::string& text) const { std::ofstream(dir_ / name, std::ios::binary) << text; }
  Bytes read(const std::string& name) const { return fixtures::read_file(dir_ / name); }
  // Exactly one stderr line, naming the file.
  static void expect_one_line_about(const CliRun& r, const std::string& file, const std::string& reason) {
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
  }
  ScratchDir scratch_{"bwcli"};
  const fs::path dir_ = scratch_.path();
};

}  // namespace

TEST_F(DocumentCommands, NewWritesAFreshDocument) {
  const CliRun r = cli({"new", path("a.bwd")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read("a.bwd"), fixtures::encode(Titration()));
}

TEST_F(DocumentCommands, ShowPrintsEveryPartOfADocument) {
  Titration doc = fixtures::populated(3);
  doc.m_fit.m_bErrors = 0;
  ASSERT_TRUE(SaveBwdFile(path("p.bwd"), doc).ok);
  const CliRun r = cli({"show", path("p.bwd")});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["cells"][40][1], "12abc");
  EXPECT_EQ(j["values"][40][1], 12.0);
  EXPECT_EQ(j["x_caption"], "Total Ca/\xC2\xB5M");
  EXPECT_EQ(j["temperature_k"], 303.15);
  EXPECT_EQ(j["fit"]["params"].size(), 9u);
  EXPECT_TRUE(j["fit"]["errors"].is_null());
  EXPECT_EQ(j["sims"][2]["slot"], 3);
  EXPECT_EQ(j["plan"]["steps"][0], nlohmann::json::parse(R"({"start": 2, "additions": 2, "volume": 0.002, "conc": 0.5})"));
  ASSERT_EQ(cli({"new", path("n.bwd")}).status, 0);
  const auto fresh = nlohmann::json::parse(cli({"show", path("n.bwd")}).out);
  EXPECT_TRUE(fresh["fit"].is_null());
  EXPECT_EQ(fresh["temperature_k"], 298.15);
}

TEST_F(DocumentCommands, ImportReadsTablesAsPasteDoes) {
  // A semicolon table from a comma-decimal spreadsheet, with a header and CR LF line ends.
  write("t.csv", "\xEF\xBB\xBFSignal;Ca/uM;ml\r\n0,912;0;2,000\r\n0,85;4,0;2,005\r\n\r\n0,80;;2,010\r\n");
  const CliRun r = cli({"import", path("t.csv"), path("t.bwd"), "--title", "Calbindin D9k"});
  ASSERT_EQ(r.status, 0) << r.err;
  Titration doc;
  ASSERT_TRUE(LoadBwdFile(path("t.bwd"), doc).ok);
  const std::vector<std::vector<std::string>> expected = {
      {"0.912", "0", "2.000"}, {"0.85", "4.0", "2.005"}, {"", "", ""}, {"0.80", "", "2.010"}};
  for (std::size_t row = 0; row < expected.size(); ++row)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(doc.m_cells[row][c].GetText(), expected[row][c]) << row << "," << c;
  EXPECT_EQ(doc.m_strTitle, "Calbindin D9k");

  // Blank-separated columns in another order, chosen with --columns.
  write("s.txt", "0 0.9 2.0\n5 0.8 2.005\n");
  ASSERT_EQ(cli({"import", path("s.txt"), path("s.bwd"), "--columns", "2,1,0"}).status, 0);
  ASSERT_TRUE(LoadBwdFile(path("s.bwd"), doc).ok);
  EXPECT_EQ(doc.m_cells[1][0].GetText(), "0.8");
  EXPECT_EQ(doc.m_cells[1][1].GetText(), "5");
  EXPECT_EQ(doc.m_cells[1][2].GetText(), "");

  // The detected format can be overruled: a point decimal keeps "0,5" as text.
  write("p.txt", "0,5;1\n");
  ASSERT_EQ(cli({"import", path("p.txt"), path("p.bwd"), "--decimal", "point"}).status, 0);
  ASSERT_TRUE(LoadBwdFile(path("p.bwd"), doc).ok);
  EXPECT_EQ(doc.m_cells[0][0].GetText(), "0,5");

  write("k.txt", "1,234.5\n");
  expect_one_line_about(cli({"import", path("k.txt"), path("k.bwd")}), "k.txt", "thousands separators");
  EXPECT_FALSE(fs::exists(dir_ / "k.bwd"));
}

TEST_F(DocumentCommands, ImportRefusesTooManyRowsOrColumnsAndWritesNothing) {
  std::string rows;
  for (int i = 0; i < 100; ++i) rows += std::to_string(i) + "\n";
  write("rows.txt", rows);
  expect_one_line_about(cli({"import", path("rows.txt"), path("out.bwd")}), "rows.txt", "more than 99 rows");
  write("cols.txt", "1\t2\t3\n1\t2\t3\t4\n");
  expect_one_line_about(cli({"import", path("cols.txt"), path("out.bwd")}), "cols.txt", "has 4 columns");
  EXPECT_FALSE(fs::exists(dir_ / "out.bwd"));
  rows.pop_back();
  rows.erase(rows.rfind('\n'));  // 99 rows fit
  write("rows.txt", rows);
  EXPECT_EQ(cli({"import", path("rows.txt"), path("out.bwd")}).status, 0);
}

TEST_F(DocumentCommands, FailuresGiveStatusOneWithOneLineAndUsageErrorsTwo) {
  expect_one_line_about(cli({"show", path("missing.bwd")}), "missing.bwd", "No such file or directory");
  write("bad.bwd", std::string(120, '\0'));
  expect_one_line_about(cli({"show", path("bad.bwd")}), "bad.bwd", "the file ends early");
  expect_one_line_about(cli({"import", path("none.txt"), path("x.bwd")}), "none.txt", "No such file");
  expect_one_line_about(cli({"new", path("no/such/folder.bwd")}), "folder.bwd", "No such file or directory");

  for (const auto& args : std::vector<std::vector<std::string>>{{"show"}, {"new", "a", "b"}, {"import", "x"},
                                                                 {"show", "--bogus", "f.bwd"}}) {
    const CliRun r = cli(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << r.err;
  }
}

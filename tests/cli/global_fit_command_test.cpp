// bindwise-cli global-fit on the two bundled titrations of the four-site protein: JSON out,
// each document's part saved, the analysis saved as a project and run again from it, its
// profile intervals printed, and its one-page report written as a PDF.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "document/bwd_file.h"

namespace fs = std::filesystem;

namespace {

const std::string kExamples = std::string(BINDWISE_SOURCE_DIR) + "/examples/";

class GlobalFitCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "bwglobal_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    fit("four-sites-chelator.bwd", "0.95,0.16,10,-5.7,4.8,5.4,4.4,4.7,30", "a.bwd");
    fit("four-sites-bapta.bwd", "0.9,0.23,10,-6.6,4.8,5.4,4.4,4.7,40", "b.bwd");
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void fit(const std::string& example, const std::string& values, const std::string& out) {
    const CliRun r = cli({"fit", kExamples + example, "--model", "4", "--values", values, "--fit-flags",
                             "1,1,0,0,1,1,1,1,0", "--start-ca", "1", "--errors", "sd:0.002", "--save", path(out)});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  fs::path dir_;
};

TEST_F(GlobalFitCommand, SharesTheConstantsSavesThePartsAndTheProject) {
  const CliRun r = cli({"global-fit", path("a.bwd"), path("b.bwd"), "--errors", "sd:0.002", "--save-dir",
                           path("out"), "--write-project", path("four.bwglobal")});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["model"], 4);
  EXPECT_EQ(j["stop"], "converged");
  ASSERT_EQ(j["shared"].size(), 4u);
  const double truth[] = {5.3, 5.9, 4.9, 5.2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(j["shared"][i]["row"], 5 + i);
    EXPECT_NEAR(j["shared"][i]["value"].get<double>(), truth[i], 3 * j["shared"][i]["error"].get<double>());
  }
  ASSERT_EQ(j["titrations"].size(), 2u);
  EXPECT_EQ(j["titrations"][1]["values"][3], -6.6);
  EXPECT_EQ(j["titrations"][0]["values"].size(), 9u);

  Titration a;
  ASSERT_TRUE(LoadBwdFile(path("out/a.bwd"), a).ok);
  EXPECT_NEAR(a.m_fit.m_p[0], j["titrations"][0]["chi_square"].get<double>(), 1e-15);
  // The project runs the same analysis again, from wherever it is started.
  const CliRun again = cli({"global-fit", "--project", path("four.bwglobal"), "--errors", "sd:0.002"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(nlohmann::json::parse(again.out)["chi_square"], j["chi_square"]);
}

// Each side of an interval is a number or null (open); a closed side lies beyond the value.
void expect_interval(const nlohmann::json& pair, double value, const std::string& what) {
  ASSERT_TRUE(pair.is_array() && pair.size() == 2u) << what << ": " << pair;
  if (!pair[0].is_null()) {
    EXPECT_LT(pair[0].get<double>(), value) << what;
  }
  if (!pair[1].is_null()) {
    EXPECT_GT(pair[1].get<double>(), value) << what;
  }
}

TEST_F(GlobalFitCommand, ProfilePrintsIntervalsBesideTheErrors) {
  const CliRun r = cli({"global-fit", path("a.bwd"), path("b.bwd"), "--errors", "sd:0.002", "--profile"});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j["shared"].size(), 4u);
  for (const auto& s : j["shared"]) {
    const double v = s["value"].get<double>();
    EXPECT_TRUE(s["error"].is_number()) << "--profile keeps the errors";
    expect_interval(s["ci68"], v, s["name"].get<std::string>() + " 68 %");
    expect_interval(s["ci95"], v, s["name"].get<std::string>() + " 95 %");
    if (!s["ci68"][0].is_null() && !s["ci95"][0].is_null()) {
      EXPECT_LE(s["ci95"][0], s["ci68"][0]);
    }
  }
  // Per titration, parallel to its values: a pair for each row it fits, null for the others.
  for (const auto& t : j["titrations"]) {
    ASSERT_EQ(t["ci68"].size(), t["values"].size());
    EXPECT_TRUE(t["ci68"][3].is_null()) << "the chelator's log Kd is held";
    expect_interval(t["ci68"][0], t["values"][0].get<double>(), "free response");
    EXPECT_EQ(t["ci95"][4], j["shared"][0]["ci95"]) << "a shared row's interval is the same everywhere";
  }
  // Without --profile there are no interval keys at all.
  const CliRun plain = cli({"global-fit", path("a.bwd"), path("b.bwd")});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_FALSE(nlohmann::json::parse(plain.out)["shared"][0].contains("ci68"));
}

TEST_F(GlobalFitCommand, RefusalsNameTheFile) {
  const CliRun unfitted = cli({"global-fit", path("a.bwd"), kExamples + "two-sites-chelator.bwd"});
  EXPECT_EQ(unfitted.status, 1);
  EXPECT_NE(unfitted.err.find("two-sites-chelator.bwd: the document holds no fit"), std::string::npos) << unfitted.err;
  std::ofstream(path("bad.bwglobal")) << "{\"format\": \"something else\"}";
  const CliRun badProject = cli({"global-fit", "--project", path("bad.bwglobal")});
  EXPECT_EQ(badProject.status, 1);
  EXPECT_NE(badProject.err.find("bad.bwglobal: not a global-fit project"), std::string::npos) << badProject.err;
  EXPECT_EQ(cli({"global-fit", path("a.bwd"), "--shared", "5,x"}).status, 2);
  EXPECT_EQ(cli({"global-fit"}).status, 1);
}

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int page_objects(const std::string& pdf) {
  int pages = 0;
  for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
    if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
  return pages;
}

TEST_F(GlobalFitCommand, WritesTheReportAsOnePdfPageOrNothing) {
  const CliRun r = cli({"global-fit", path("a.bwd"), path("b.bwd"), "--errors", "sd:0.002", "--report", path("global.pdf")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(nlohmann::json::parse(r.out)["shared"].size(), 4u) << "the JSON is printed as well";
  const std::string pdf = read_all(path("global.pdf"));
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
  EXPECT_EQ(page_objects(pdf), 1);
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 595."), std::string::npos) << "A4 in points";

  // A folder that is not there: a clear failure and no file.
  const CliRun bad = cli({"global-fit", path("a.bwd"), path("b.bwd"), "--report", path("missing/global.pdf")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("missing"), std::string::npos) << bad.err;
  EXPECT_FALSE(fs::exists(path("missing")));
}

}  // namespace

// bindwise-cli fit --auto-start and bindwise-cli compare, run in-process on the bundled
// two-site chelator titration.
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "document/bwd_file.h"

namespace fs = std::filesystem;

namespace {

const std::string kExample = std::string(BINDWISE_SOURCE_DIR) + "/examples/two-sites-chelator.bwd";

class CompareCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "bwcompare_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // The example fitted from estimated start values; the known rows as the README types them.
  std::string fitted_example() {
    const CliRun r = cli({"fit", kExample, "--model", "2", "--values", "9,9,24,-5.8,1,1,25", "--fit-flags", "1,1,1,0,1,1,0",
                       "--start-ca", "1.2", "--auto-start", "--save", path("fitted.bwd")});
    EXPECT_EQ(r.status, 0) << r.err;
    return path("fitted.bwd");
  }
  fs::path dir_;
};

TEST_F(CompareCommand, AutoStartFindsTheFitOfTheKnownStartValues) {
  const CliRun fromReadme = cli({"fit", kExample, "--model", "2", "--values", "0.62,0.19,24,-5.8,5.4,5.8,25", "--fit-flags",
                              "1,1,1,0,1,1,0", "--start-ca", "1.2", "--extensive"});
  ASSERT_EQ(fromReadme.status, 0) << fromReadme.err;
  Titration doc;
  ASSERT_TRUE(LoadBwdFile(fitted_example(), doc).ok);
  const double expected = nlohmann::json::parse(fromReadme.out)["fit"]["chi_square"];
  EXPECT_LE(doc.m_fit.m_p[0], expected * (1 + 1e-6));
  EXPECT_EQ(doc.m_fit.m_p[4], nlohmann::json::parse(fromReadme.out)["fit"]["params"][3]) << "log Kd is not fitted";
}

TEST_F(CompareCommand, PrintsEveryCandidateOfTheKindAndSavesTheBest) {
  const std::string fitted = fitted_example();
  const CliRun r = cli({"compare", fitted, "--errors", "sd:0.002", "--save", path("best.bwd")});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j["candidates"].size(), 3u);
  double weights = 0.0;
  for (const auto& c : j["candidates"]) {
    ASSERT_TRUE(c["fitted"].get<bool>());
    weights += c["weight"].get<double>();
    EXPECT_EQ(c["values"][3], -5.8) << "the chelator's log Kd is carried over";
    EXPECT_TRUE(c["stop"] == "converged" || c["stop"] == "step_limit") << c["stop"];
  }
  EXPECT_NEAR(weights, 1.0, 1e-9);
  // Two sites made these points: the four-site candidate cannot determine its extra
  // constants, and says so in the fields `fit` prints its warnings with.
  const nlohmann::json& four = j["candidates"][1];
  ASSERT_EQ(four["model"], 4);
  bool undetermined = false;
  for (const auto& w : four["warnings"]) {
    ASSERT_TRUE(w.contains("kind") && w.contains("rows") && w.contains("text")) << w;
    undetermined = undetermined || w["kind"] == "correlated" || w["kind"] == "unbounded";
    for (const auto& row : w["rows"]) EXPECT_TRUE(row >= 1 && row <= 9) << w;
  }
  EXPECT_TRUE(undetermined) << four["warnings"];
  for (const auto& w : j["candidates"][0]["warnings"]) EXPECT_NE(w["kind"], "unbounded") << w;
  EXPECT_EQ(j["candidates"][0]["values"].size(), 7u);
  EXPECT_EQ(j["f_tests"].size(), 3u);
  EXPECT_FALSE(j["verdict"].get<std::string>().empty());
  Titration best;
  ASSERT_TRUE(LoadBwdFile(path("best.bwd"), best).ok);
  EXPECT_EQ(best.m_fit.m_nModel, j["best"].get<int>());
}

TEST_F(CompareCommand, RefusalsNameTheFileOrTheOption) {
  const CliRun unfitted = cli({"compare", kExample});
  EXPECT_EQ(unfitted.status, 1);
  EXPECT_NE(unfitted.err.find("two-sites-chelator.bwd: The document holds no fit"), std::string::npos) << unfitted.err;
  const CliRun otherKind = cli({"compare", fitted_example(), "--models", "1,2"});
  EXPECT_EQ(otherKind.status, 1);
  EXPECT_NE(otherKind.err.find("Model 1 is not measured like"), std::string::npos) << otherKind.err;
  EXPECT_EQ(cli({"compare", kExample, "--models", "2.5"}).status, 2);
}

TEST_F(CompareCommand, PredictGivesTheErrorsOfThePlannedSeries) {
  const CliRun r = cli({"predict", kExample, "--model", "2", "--values", "0.62,0.18,20,-5.8,5.9,6.3,25", "--fit-flags",
                           "1,1,1,0,1,1,0", "--start-ca", "1.2", "--noise", "0.002"});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j["rows"].size(), 5u);
  EXPECT_EQ(j["rows"][3]["name"], "log K1:");
  EXPECT_NEAR(j["rows"][3]["value"].get<double>(), 5.9, 1e-6);
  // The example itself, measured at this noise, fits log K1 to about 0.05 log units.
  EXPECT_GT(j["rows"][3]["error"].get<double>(), 0.01);
  EXPECT_LT(j["rows"][3]["error"].get<double>(), 0.2);
  EXPECT_EQ(cli({"predict", kExample, "--model", "2", "--values", "1,2"}).status, 2) << "the noise is required";
}

}  // namespace

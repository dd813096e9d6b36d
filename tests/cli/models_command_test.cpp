// bindwise-cli models: the registry as scripts read it, row by row as --values numbers them.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/cli_run.h"

namespace {

TEST(ModelsCommand, EveryModelWithItsRowsAndSpares) {
  const CliRun r = cli({"models"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto all = nlohmann::json::parse(r.out);
  ASSERT_EQ(all.size(), 10u);
  for (const auto& m : all)
    EXPECT_EQ(m["rows"].size() + m["spare_slots"].size(), m["slots"].get<std::size_t>()) << m["model"];
}

TEST(ModelsCommand, OneModelNamesItsRowsAsThePanelDoes) {
  const CliRun r = cli({"models", "--model", "8"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto m = nlohmann::json::parse(r.out);
  EXPECT_EQ(m["family"], "two_site_chelator");
  EXPECT_EQ(m["electrode"], true);
  EXPECT_EQ(m["spare_slots"], nlohmann::json::parse("[6, 7, 8]"));
  const auto& rows = m["rows"];
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0]["kind"], "electrode_factor");
  EXPECT_EQ(rows[0]["fit_default"], "always_off");
  EXPECT_EQ(rows[2]["unit"], "uM");
  EXPECT_EQ(rows[2]["label"], "Protein conc:");
  EXPECT_EQ(rows[2]["report_label"], "Protein concentration:");
  EXPECT_EQ(rows[3]["dialog_label"], "log K1");
  EXPECT_EQ(rows[3]["label"], "log K1:");
  EXPECT_EQ(rows[3]["kind"], "log_k");
  EXPECT_EQ(rows[3]["fit_default"], "always_on");

  const CliRun bad = cli({"models", "--model", "11"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_TRUE(bad.out.empty());
  EXPECT_NE(bad.err.find("--model"), std::string::npos) << bad.err;
}

}  // namespace

// The shipped example titrations: each document loads, holds the series its plan describes,
// and `bindwise-cli fit` with the start values its README gives recovers the constants it was
// generated from within the errors the fit reports. The README must state what the table
// (and so the documents) hold.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "document/bwd_file.h"
#include "examples/example_set.h"
#include "commands/fit_settings.h"
#include "fitting/models.h"

namespace fs = std::filesystem;
using examples::ExampleTitration;

namespace examples {
// Test names and failure messages show the document, not the table entry's bytes.
void PrintTo(const ExampleTitration& ex, std::ostream* os) { *os << ex.file; }
}  // namespace examples

namespace {

const fs::path kExamples = fs::path(BINDWISE_SOURCE_DIR) / "examples";

// A generated series shows 3 tolerated deviations at most: one fit adjusts up to 9 slots,
// and a 3-sigma band leaves a false alarm rate of a few in a thousand per document.
constexpr double kSigmas = 3.0;

std::string read_text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct CliRun {
  int status = -1;
  std::string out, err;
};

CliRun run_cli(const std::string& arguments) {
  const fs::path errFile = fs::temp_directory_path() / ("bw_examples_err_" + std::to_string(::getpid()));
  CliRun run;
  const std::string command = std::string("'") + BINDWISE_CLI_PATH + "' " + arguments + " 2>'" + errFile.string() + "'";
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  run.err = read_text(errFile);
  fs::remove(errFile);
  return run;
}

int last_planned_row(const ExampleTitration& ex) {
  int last = 1;
  for (const auto& run : ex.runs) last = std::max(last, run.startCell + run.additions - 1);
  return last;
}

class ExampleDocument : public ::testing::TestWithParam<ExampleTitration> {};

TEST_P(ExampleDocument, LoadsWithTheWholePlannedSeries) {
  const ExampleTitration& ex = GetParam();
  Titration doc;
  const BwdStatus status = LoadBwdFile((kExamples / ex.file).string(), doc);
  ASSERT_TRUE(status.ok) << status.message;
  EXPECT_EQ(doc.m_strDescription, ex.description);
  // Rows 1..last hold a response and a volume (the fit uses them all); the row after is empty.
  const int last = last_planned_row(ex);
  for (int row = 0; row < last; ++row) {
    EXPECT_NE(doc.m_cells[row][0].GetValue(), 0.0) << "row " << row + 1;
    EXPECT_NE(doc.m_cells[row][2].GetValue(), 0.0) << "row " << row + 1;
  }
  EXPECT_EQ(doc.m_cells[last][2].GetText(), "");
  EXPECT_EQ(doc.m_nGenSteps, static_cast<int>(ex.runs.size()));
}

TEST_P(ExampleDocument, FitFromTheStatedStartValuesRecoversTheTrueConstants) {
  const ExampleTitration& ex = GetParam();
  const CliRun run = run_cli("fit '" + (kExamples / ex.file).string() + "' " + examples::fit_arguments(ex));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "") << "the fit warned";
  const auto json = nlohmann::json::parse(run.out);
  const auto& fit = json.at("fit");
  ASSERT_FALSE(fit.at("errors").is_null()) << "no error estimates";

  double truth[ParamSet::kSlots] = {};
  convert_start_values(ex.model, ex.truth.data(), truth);
  const int rows = fit_dialog_layout(ex.model - 1).rowsShown;
  for (int r = 1; r <= rows; ++r) {
    const double fitted = fit.at("params").at(r - 1).get<double>();
    const double error = fit.at("errors").at(r - 1).get<double>();
    if (!ex.fitted[r]) continue;
    EXPECT_GT(error, 0.0) << "row " << r;
    EXPECT_LE(std::fabs(fitted - truth[r]), kSigmas * error)
        << ex.file << " row " << r << ": true " << truth[r] << ", fitted " << fitted << " +- " << error
        << " (internal units)";
  }
}

TEST_P(ExampleDocument, ReadmeStatesTheTrueConstantsAndTheFitCommand) {
  const ExampleTitration& ex = GetParam();
  const std::string readme = read_text(kExamples / "README.md");
  const auto section = readme.find("## " + std::string(ex.file) + "\n");
  ASSERT_NE(section, std::string::npos) << ex.file << " has no section";
  const std::string text = readme.substr(section, readme.find("\n## ", section + 1) - section);
  EXPECT_NE(text.find(ex.description), std::string::npos);
  EXPECT_NE(text.find("bindwise-cli fit examples/" + std::string(ex.file) + " " + examples::fit_arguments(ex)),
            std::string::npos)
      << "README is older than example_set.h: rebuild the target regenerate_examples";
}

std::string example_name(const ::testing::TestParamInfo<ExampleTitration>& info) {
  std::string name = info.param.file;
  name = name.substr(0, name.find('.'));
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Shipped, ExampleDocument, ::testing::ValuesIn(examples::example_titrations()), example_name);

TEST(ExampleSet, CoversEveryModelFamilyAndTheRunScriptOpensOne) {
  std::set<ModelFamily> families;
  bool electrode = false;
  for (const auto& ex : examples::example_titrations()) {
    families.insert(model_info(ex.model).family);
    electrode = electrode || model_info(ex.model).electrode;
    EXPECT_TRUE(fs::is_regular_file(kExamples / ex.file)) << ex.file;
  }
  EXPECT_EQ(families.size(), 6u);
  EXPECT_TRUE(electrode);
  const std::string runScript = read_text(fs::path(BINDWISE_SOURCE_DIR) / "scripts" / "run.sh");
  const auto at = runScript.find("examples/");
  ASSERT_NE(at, std::string::npos);
  const std::string opened = runScript.substr(at, runScript.find_first_of("}\"' \n", at) - at);
  EXPECT_TRUE(fs::is_regular_file(fs::path(BINDWISE_SOURCE_DIR) / opened)) << opened;
}

}  // namespace

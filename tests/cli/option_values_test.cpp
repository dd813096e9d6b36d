// Every numeric option of every subcommand: a bad, empty, non-finite or out-of-range value
// is one stderr line naming the option and status 2, before any file is read or written.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/scratch_dir.h"

namespace {

const std::string kDoc = BINDWISE_SOURCE_DIR "/examples/one-site.bwd";

// A generate command line that is valid but for the option replaced.
std::vector<std::string> generate_with(const std::string& option, const std::string& value) {
  std::vector<std::string> args = {"generate",    kDoc,  "--start-volume", "2", "--vol-unit", "ul",
                                   "--conc-unit", "mM",  "--start-cell",   "2", "--additions", "3",
                                   "--volume",    "5",   "--conc",         "10"};
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == option) args[i + 1] = value;
  return args;
}

}  // namespace

TEST(OptionValues, BadValuesNameTheOptionInOneLineWithStatusTwo) {
  ScratchDir scratch("options");
  const std::string out = scratch / "x.txt";
  const struct {
    std::vector<std::string> args;
    const char* option;
  } cases[] = {
      {{"fit", kDoc, "--model", "1", "--start-ca", "inf"}, "--start-ca"},
      {{"fit", kDoc, "--model", "1", "--start-ca", ""}, "--start-ca"},
      {{"fit", kDoc, "--model", "1", "--start-ca", "-0.5"}, "--start-ca"},
      {{"fit", kDoc, "--model", "1", "--start-ca=", }, "--start-ca"},
      {{"fit", kDoc, "--model", "1", "--temperature", "nan"}, "--temperature"},
      {{"fit", kDoc, "--model", "1", "--temperature", "150.5"}, "--temperature"},
      {{"fit", kDoc, "--model", "1", "--temperature", "-51"}, "--temperature"},
      {{"fit", kDoc, "--model", "0"}, "--model"},
      {{"fit", kDoc, "--model", "2.5"}, "--model"},
      {{"fit", kDoc, "--model", "1", "--values", "1,1e999"}, "--values"},
      {{"fit", kDoc, "--model", "1", "--values", "1,,2"}, "--values"},
      {{"fit", kDoc, "--model", "1", "--fit-flags", "1,2"}, "--fit-flags"},
      {{"fit", kDoc, "--model", "1", "--errors", "percent:nan"}, "--errors"},
      {{"fit", kDoc, "--model", "1", "--errors", "sd:-1"}, "--errors"},
      {{"fit", kDoc, "--model", "1", "--seed", "4294967296"}, "--seed"},
      {{"simulate", kDoc, "--model", "1", "--values", "1,2", "--start-ca", "1e7"}, "--start-ca"},
      {{"simulate", kDoc, "--model", "11", "--values", "1"}, "--model"},
      {{"delete-plot", kDoc, "--position", "11"}, "--position"},
      {{"delete-plot", kDoc, "--position", "x"}, "--position"},
      {{"compare", kDoc, "--models", "1,12"}, "--models"},
      {{"compare", kDoc, "--seed", "-1"}, "--seed"},
      {{"predict", kDoc, "--model", "1", "--values", "1", "--noise", "-0.1"}, "--noise"},
      {{"export", "fit", kDoc, "--out", out, "--count", "19"}, "--count"},
      {{"export", "simulation", kDoc, "--out", out, "--position", "0"}, "--position"},
      {{"report", kDoc, "--png", out, "--dpi", "29"}, "--dpi"},
      {{"models", "--model", "nan"}, "--model"},
      {generate_with("--start-volume", "nan"), "--start-volume"},
      {generate_with("--volume", "1e308"), "--volume"},
      {generate_with("--conc", "-1"), "--conc"},
      {generate_with("--start-cell", "1"), "--start-cell"},
      {generate_with("--start-cell", "2147483647"), "--start-cell"},
      {generate_with("--additions", "97"), "--additions"},
      {generate_with("--vol-unit", "l"), "--vol-unit"},
  };
  for (const auto& c : cases) {
    const CliRun r = cli(c.args);
    const std::string line = c.args[0] + " " + c.option;
    EXPECT_EQ(r.status, 2) << line << ": " << r.err;
    EXPECT_EQ(r.err.rfind(std::string("bindwise-cli: ") + c.option, 0), 0u) << line << ": " << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << line << ": one line, no usage text: " << r.err;
    EXPECT_TRUE(r.out.empty()) << line;
  }
}

TEST(OptionValues, RangeEndsAndWholeNumbersWrittenAsDecimalsAreAccepted) {
  EXPECT_EQ(cli(generate_with("--start-cell", "94")).status, 0);  // 94 + 3 additions reach cell 97
  EXPECT_EQ(cli(generate_with("--additions", "0")).status, 0);
  EXPECT_EQ(cli(generate_with("--volume", "0")).status, 0);
  EXPECT_EQ(cli(generate_with("--conc", "1e6")).status, 0);
  EXPECT_EQ(cli(generate_with("--start-cell", "2.0")).status, 0);
  EXPECT_EQ(cli({"models", "--model", "10"}).status, 0);
}

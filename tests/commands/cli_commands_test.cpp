// bindwise-cli fit / simulate / delete-plot / generate / export, run as the program a user
// runs: exit statuses, the JSON and its results rows, messages on stderr, files written.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "document/bwd_file.h"
#include "series.h"
#include "support/scratch_dir.h"

namespace {

struct Result {
  int status;
  std::string out, err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Cli : public ::testing::Test {
 protected:
  ScratchDir scratch{"bw_cli_commands"};
  const std::string dir = scratch.path().string() + "/";

  Result run(const std::string& args) {
    const std::string out = dir + "stdout", err = dir + "stderr";
    const int raw = std::system((std::string(BINDWISE_CLI_PATH) + " " + args + " >" + out + " 2>" + err).c_str());
    return {WEXITSTATUS(raw), slurp(out), slurp(err)};
  }

  // A one-site series with noise SD 0.002, saved as data.bwd.
  std::string one_site_document() {
    Titration doc;
    SeriesSpec s;
    const double rows[] = {0, 1.0, 2.0, 10.0, 6.0};
    for (int r = 1; r <= 4; ++r) s.rows[r] = rows[r];
    s.lastAddedCaUM = 60;
    s.noise = 0.002;
    write_series(doc, s);
    const std::string path = dir + "data.bwd";
    EXPECT_TRUE(SaveBwdFile(path, doc).ok);
    return path;
  }
};

TEST_F(Cli, FitPrintsTheResultsRowsAndSavesOnlyWhenAsked) {
  const std::string in = one_site_document();
  const std::string before = slurp(in);
  Result r = run("fit " + in + " --model 1 --values 1.05,2.1,12,6.5 --errors sd:0.002 --temperature 20 --save " +
                 dir + "fitted.bwd");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(slurp(in), before) << "the input is never overwritten";
  const auto json = nlohmann::json::parse(r.out);
  EXPECT_EQ(json["fit"]["model"], 1);
  EXPECT_EQ(json["fit"]["stop"], "converged");
  EXPECT_GT(json["fit"]["runs"].get<int>(), 4 + 10) << "the one-site schedule, then the polish";
  EXPECT_NEAR(json["temperature_k"].get<double>(), 293.15, 1e-4);
  const auto& display = json["display"];
  ASSERT_EQ(display.size(), 8u);  // title and seven rows
  EXPECT_EQ(display[0]["label"], "Model: 1 Calcium site + chelator");
  EXPECT_EQ(display[4]["label"], "log K:");
  EXPECT_EQ(display[4]["confidence"].size(), 2u);
  EXPECT_NEAR(std::stod(display[4]["value"].get<std::string>()), 6.0, 0.05);
  Titration fitted;
  ASSERT_TRUE(LoadBwdFile(dir + "fitted.bwd", fitted).ok);
  EXPECT_EQ(fitted.m_bShowFit, 1);

  EXPECT_EQ(run("fit " + in + " --model 1 --errors bogus").status, 2);
  EXPECT_EQ(run("fit " + in + " --model 11").status, 2);
  EXPECT_EQ(run("fit " + in + " --model 1 --values 1,x").status, 2);
}

TEST_F(Cli, SimulateDeleteAndExport) {
  const std::string in = one_site_document();
  Result r = run("simulate " + in + " --model 1 --values 1,2,10,6 --save " + dir + "sim.bwd");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(nlohmann::json::parse(r.out)["sims"].size(), 1u);

  r = run("export simulation " + dir + "sim.bwd --out " + dir + "sim.txt --count 20 --position 1");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = slurp(dir + "sim.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 20);
  EXPECT_EQ(text.substr(0, 9), "3.000000 ");  // 60 uM / 20
  r = run("export simulation " + dir + "sim.bwd --out " + dir + "sim.csv --count 20 --position 1 --csv");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string csv = slurp(dir + "sim.csv");
  EXPECT_EQ(csv.substr(0, 33), "Total Ca/uM,Simulated response\n3,");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 21);
  EXPECT_EQ(run("export simulation " + dir + "sim.bwd --out " + dir + "x.txt --count 19 --position 1").status, 2);
  r = run("export fit " + dir + "sim.bwd --out " + dir + "x.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "No Fit exists...\n");

  r = run("delete-plot " + dir + "sim.bwd --position 2");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Select plot\n");
  r = run("delete-plot " + dir + "sim.bwd --position 1");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(nlohmann::json::parse(r.out)["sims"].empty());
}

TEST_F(Cli, GenerateWritesThePlan) {
  ASSERT_EQ(run("new " + dir + "new.bwd").status, 0);
  Result r = run("generate " + dir + "new.bwd --start-volume 2 --vol-unit ul --conc-unit mM --start-cell 2 "
                 "--additions 10 --volume 5 --conc 10");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto json = nlohmann::json::parse(r.out);
  EXPECT_EQ(json["cells"][1][1], "24.937656");
  EXPECT_EQ(json["plan"]["steps"].size(), 1u);
  r = run("generate " + dir + "new.bwd --start-volume 2 --vol-unit ul --conc-unit mM --start-cell 90 "
          "--additions 8 --volume 5 --conc 10");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, " No more than 100 cells can be adressed\n");
  EXPECT_EQ(run("generate " + dir + "new.bwd --start-volume 2 --vol-unit l --conc-unit mM --start-cell 2 "
                "--additions 1 --volume 5 --conc 10")
                .status,
            2);
}

// Runs this test program on one test in a child process, its output in log; returns the pid.
pid_t start_child(const std::string& filter, const std::string& log) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(fd, 1);
  ::dup2(fd, 2);
  const std::string arg = "--gtest_filter=" + filter;
  ::execl("/proc/self/exe", "test_commands", arg.c_str(), "--gtest_repeat=3", static_cast<char*>(nullptr));
  ::_exit(127);
}

int exit_status(pid_t pid) {
  int raw = 0;
  if (::waitpid(pid, &raw, 0) != pid) return -1;
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Two command-line tests at once, as ctest -j runs them: neither may see the other's files.
TEST(CliInParallel, TwoTestsInSeparateProcessesAtOnce) {
  const ScratchDir logs("bw_cli_parallel");
  const pid_t fit = start_child("Cli.FitPrintsTheResultsRowsAndSavesOnlyWhenAsked", logs / "fit.log");
  const pid_t simulate = start_child("Cli.SimulateDeleteAndExport", logs / "simulate.log");
  ASSERT_GT(fit, 0);
  ASSERT_GT(simulate, 0);
  EXPECT_EQ(exit_status(fit), 0) << slurp(logs / "fit.log");
  EXPECT_EQ(exit_status(simulate), 0) << slurp(logs / "simulate.log");
}

}  // namespace

namespace {

TEST_F(Cli, ProfileCorrelationWarningsAndResiduals) {
  const std::string in = one_site_document();
  Result r = run("fit " + in + " --model 1 --values 1.05,2.1,12,6.5 --errors sd:0.002 --profile --save " + dir + "fitted.bwd");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto fit = nlohmann::json::parse(r.out)["fit"];
  ASSERT_EQ(fit["profile"].size(), 4u);
  const auto& logK = fit["profile"][3];
  EXPECT_EQ(logK["row"], 4);
  EXPECT_EQ(logK["name"], "log K:");
  const double v = logK["value"].get<double>();
  EXPECT_LT(logK["ci95"][0].get<double>(), logK["ci68"][0].get<double>());
  EXPECT_LT(logK["ci68"][0].get<double>(), v);
  EXPECT_LT(v, logK["ci68"][1].get<double>());
  EXPECT_LT(logK["ci68"][1].get<double>(), logK["ci95"][1].get<double>());
  EXPECT_EQ(fit["correlation_rows"], nlohmann::json::parse("[1, 2, 3, 4]"));
  ASSERT_EQ(fit["correlation"].size(), 4u);
  EXPECT_EQ(fit["warnings"], nlohmann::json::array());
  // Without --profile the key is absent, the review is not.
  r = run("fit " + in + " --model 1 --values 1.05,2.1,12,6.5");
  const auto plain = nlohmann::json::parse(r.out)["fit"];
  EXPECT_FALSE(plain.contains("profile"));
  EXPECT_TRUE(plain.contains("warnings"));

  r = run("export residuals " + dir + "fitted.bwd --out " + dir + "res.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(slurp(dir + "res.txt"));
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "Total Ca/uM\tResidual");
  int count = 0;
  double x = 0, residual = 0;
  while (lines >> x >> residual) {
    ++count;
    EXPECT_LT(std::fabs(residual), 0.01) << "at " << x;  // noise SD 0.002
  }
  EXPECT_EQ(count, 40);
  r = run("export residuals " + in + " --out " + dir + "none.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "No Fit exists...\n");
}

}  // namespace

#include "document/atomic_file.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

class AtomicFileTest : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return (dir / name).string(); }

  static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  std::vector<std::string> temp_files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
      if (is_atomic_temp_name(e.path().filename().string())) names.push_back(e.path().filename().string());
    return names;
  }

  // Runs body in a child process and returns its wait status.
  template <class Body>
  static int in_child(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
      body();
      _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  }

  ScratchDir scratch{"atomic"};
  const fs::path dir = scratch.path();
};

}  // namespace

TEST_F(AtomicFileTest, ReplacesContentKeepingModeAndFollowingLinks) {
  put(at("a.txt"), "old contents that are longer");
  ::chmod(at("a.txt").c_str(), 0604);
  ASSERT_TRUE(write_file_atomically(at("a.txt"), "new", nullptr));
  EXPECT_EQ(slurp(at("a.txt")), "new");
  EXPECT_EQ(fs::status(at("a.txt")).permissions(), fs::perms(0604));

  fs::create_symlink("a.txt", at("rel-link"));  // a relative link resolves from its own folder
  ASSERT_TRUE(write_file_atomically(at("rel-link"), "through the link", nullptr));
  EXPECT_TRUE(fs::is_symlink(at("rel-link")));
  EXPECT_EQ(slurp(at("a.txt")), "through the link");

  fs::create_symlink(at("made.txt"), at("dangling"));  // a dangling link names the file to create
  ASSERT_TRUE(write_file_atomically(at("dangling"), "created", nullptr));
  EXPECT_TRUE(fs::is_symlink(at("dangling")));
  EXPECT_EQ(slurp(at("made.txt")), "created");
  EXPECT_TRUE(temp_files().empty());
}

TEST_F(AtomicFileTest, FailuresNameTheReasonAndLeaveNothingBehind) {
  std::string reason;
  fs::create_directory(at("folder"));
  EXPECT_FALSE(write_file_atomically(at("folder"), "x", &reason));
  EXPECT_EQ(reason, "Is a directory");
  EXPECT_FALSE(write_file_atomically(at("missing/x.txt"), "x", &reason));
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_TRUE(temp_files().empty());
}

TEST_F(AtomicFileTest, FullDiskMidWriteKeepsTheOldFile) {
  put(at("keep.txt"), "the old file");
  const std::string big(1 << 20, 'x');
  const int status = in_child([&] {
    // A file-size limit makes write() fail part way, as a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string reason;
    const bool ok = write_file_atomically(at("keep.txt"), big, &reason);
    _exit(!ok && reason == "File too large" ? 0 : 1);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write must fail with the system's reason";
  EXPECT_EQ(slurp(at("keep.txt")), "the old file");
  EXPECT_TRUE(temp_files().empty()) << "a failed write removes its temporary file";
}

TEST_F(AtomicFileTest, KilledWriterLeavesTargetIntactAndItsTempIsCleanedLater) {
  put(at("doc.txt"), "version 1");
  const int status = in_child([&] {
    AtomicFile file(at("doc.txt"));
    file.Open();
    file.Write("half of vers", 12);
    raise(SIGKILL);
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(slurp(at("doc.txt")), "version 1");
  ASSERT_EQ(temp_files().size(), 1u);

  // A temporary file of a live writer (process 1 never ends) must survive the clean-up.
  const std::string live = ".other.txt.bwtmp-1-7";
  put(at(live), "busy");
  ASSERT_TRUE(write_file_atomically(at("doc.txt"), "version 2", nullptr));
  EXPECT_EQ(slurp(at("doc.txt")), "version 2");
  EXPECT_EQ(temp_files(), std::vector<std::string>{live});
}

TEST(AtomicTempName, RecognisesOnlyItsOwnPattern) {
  EXPECT_TRUE(is_atomic_temp_name(".doc.bwd.bwtmp-123-4"));
  EXPECT_FALSE(is_atomic_temp_name("doc.bwd.bwtmp-123-4"));  // not hidden: a user's file
  EXPECT_FALSE(is_atomic_temp_name(".doc.bwd.bwtmp-123-"));
  EXPECT_FALSE(is_atomic_temp_name(".doc.bwd.bwtmp-x-4"));
  EXPECT_FALSE(is_atomic_temp_name(".doc.bwd.bwtmp-123-4.txt"));
}

// `cmake --install` of this build tree into a temporary prefix must give a user everything to
// start Bindwise from the desktop: both programs, the help book, the examples, a valid desktop
// entry with its icon, and the MIME type that makes file managers open .bwd files with it.
// The test builds nothing: it installs what the build tree holds.
#include "help/help_book.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

int run(const std::string& command, const fs::path& log) {
  const int status = std::system((command + " >'" + log.string() + "' 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool have_tool(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

std::map<std::string, std::string> desktop_entry(const fs::path& file) {
  std::map<std::string, std::string> keys;
  std::istringstream lines(help_book::read_text(file));
  std::string line;
  while (std::getline(lines, line)) {
    const auto eq = line.find('=');
    if (eq != std::string::npos && line[0] != '#') keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

class InstallTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = fs::temp_directory_path() / ("bw_install_" + std::to_string(::getpid()));
    fs::remove_all(prefix_);
    fs::create_directories(prefix_);
    log_ = prefix_.string() + ".log";
    status_ = run(std::string("'") + BINDWISE_CMAKE_COMMAND + "' --install '" + BINDWISE_BINARY_DIR + "' --prefix '" +
                      prefix_.string() + "'",
                  log_);
  }
  static void TearDownTestSuite() {
    fs::remove_all(prefix_);
    fs::remove(log_);
  }
  void SetUp() override {
    ASSERT_EQ(status_, 0) << "cmake --install failed (are bindwise and bindwise-cli built?):\n" << help_book::read_text(log_);
  }
  static fs::path share() { return prefix_ / "share"; }

  static inline fs::path prefix_;
  static inline fs::path log_;
  static inline int status_ = -1;
};

TEST_F(InstallTree, HoldsBothProgramsTheHelpBookAndTheExamples) {
  const fs::path cli = prefix_ / "bin" / "bindwise-cli";
  EXPECT_EQ(::access(cli.c_str(), X_OK), 0) << cli;
  if (BINDWISE_INSTALLS_GUI) {
    const fs::path gui = prefix_ / "bin" / "bindwise";
    EXPECT_EQ(::access(gui.c_str(), X_OK), 0) << gui;
  }

  // The installed book must be complete, not only present: every page the project lists.
  const fs::path book = share() / "bindwise" / "help";
  ASSERT_TRUE(fs::is_regular_file(book / "bindwise.hhp"));
  const auto project = help_book::parse_project(help_book::read_text(book / "bindwise.hhp"));
  EXPECT_TRUE(fs::is_regular_file(book / project.options.at("Contents file")));
  EXPECT_TRUE(fs::is_regular_file(book / project.options.at("Index file")));
  for (const auto& page : project.files) EXPECT_TRUE(fs::is_regular_file(book / page)) << page;

  const fs::path source_examples = fs::path(BINDWISE_SOURCE_DIR) / "examples";
  for (const auto& entry : fs::directory_iterator(source_examples)) {
    const auto name = entry.path().filename();
    if (entry.path().extension() == ".bwd" || name == "README.md") {
      EXPECT_TRUE(fs::is_regular_file(share() / "bindwise" / "examples" / name)) << name;
    }
  }
}

TEST_F(InstallTree, DesktopEntryStartsBindwiseOnADocumentWithItsIcon) {
  const fs::path file = share() / "applications" / "bindwise.desktop";
  ASSERT_TRUE(fs::is_regular_file(file));
  auto keys = desktop_entry(file);
  EXPECT_EQ(keys["Name"], "Bindwise");
  EXPECT_EQ(keys["Exec"], "bindwise %f");  // %f: a file manager passes the document opened
  EXPECT_NE(keys["MimeType"].find("application/x-bindwise;"), std::string::npos);
  EXPECT_EQ(keys["Icon"], "bindwise");
  for (const char* size : {"16x16", "32x32", "48x48", "256x256"})
    EXPECT_TRUE(fs::is_regular_file(share() / "icons/hicolor" / size / "apps/bindwise.png")) << size;
  EXPECT_TRUE(fs::is_regular_file(share() / "icons/hicolor/scalable/apps/bindwise.svg"));

  if (!have_tool("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  const fs::path log = prefix_.string() + ".validate";
  EXPECT_EQ(run("desktop-file-validate '" + file.string() + "'", log), 0) << help_book::read_text(log);
  EXPECT_EQ(help_book::read_text(log), "") << "warnings from desktop-file-validate";
  fs::remove(log);
}

TEST_F(InstallTree, MimeTypeNamesBwdFilesBindwiseDocuments) {
  const fs::path package = share() / "mime" / "packages" / "bindwise.xml";
  ASSERT_TRUE(fs::is_regular_file(package));
  const std::string xml = help_book::read_text(package);
  EXPECT_NE(xml.find("<mime-type type=\"application/x-bindwise\">"), std::string::npos);
  EXPECT_NE(xml.find("<comment>Bindwise Document</comment>"), std::string::npos);
  EXPECT_NE(xml.find("<glob pattern=\"*.bwd\"/>"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(share() / "icons/hicolor/48x48/mimetypes/application-x-bindwise.png"));

  // The install step compiles the type into the prefix's MIME database, as file managers read it.
  if (!have_tool("update-mime-database")) GTEST_SKIP() << "update-mime-database is not installed";
  const std::string globs = help_book::read_text(share() / "mime" / "globs2");
  EXPECT_NE(globs.find("application/x-bindwise:*.bwd"), std::string::npos) << globs;
  const std::string types = help_book::read_text(share() / "mime" / "types");
  EXPECT_NE(types.find("application/x-bindwise"), std::string::npos);
}

}  // namespace

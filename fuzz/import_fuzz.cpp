// Feeds arbitrary bytes as the text table of `bindwise-cli import`. Besides the sanitizers it
// checks that an import either succeeds and writes a document that reads back, or fails
// with exit status 1 and one line on stderr without writing anything.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "cli/cli_command.h"
#include "document/bwd_file.h"

namespace {

[[noreturn]] void broken(const char* promise) {
  __builtin_printf("broken promise: %s\n", promise);
  std::abort();
}

// One scratch folder per fuzzing process, so parallel jobs never share files.
const std::string& scratch() {
  static const std::string dir = [] {
    char name[] = "/tmp/bindwise-import-fuzz-XXXXXX";
    if (!::mkdtemp(name)) broken("a scratch folder can be made");
    return std::string(name);
  }();
  return dir;
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string table = scratch() + "/table.txt";
  const std::string out = scratch() + "/imported.bwd";
  {
    std::ofstream file(table, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file) broken("the table can be written");
  }
  std::remove(out.c_str());

  const char* argv[] = {"bindwise-cli", "import", table.c_str(), out.c_str()};
  std::ostringstream stdoutText, stderrText;
  const int status = run_cli(4, argv, stdoutText, stderrText);
  const std::string message = stderrText.str();
  if (status == 0) {
    auto doc = std::make_unique<Titration>();
    if (!LoadBwdFile(out, *doc).ok) broken("an imported document reads back");
    if (!message.empty()) broken("a successful import is quiet");
    return 0;
  }
  if (status != 1) broken("a bad table fails with status 1");
  if (exists(out)) broken("a failed import writes nothing");
  if (message.empty() || message.find('\n') != message.size() - 1) broken("a failed import says why in one line");
  return 0;
}

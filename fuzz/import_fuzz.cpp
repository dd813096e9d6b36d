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

// One scratch folder per fuzzing process, so parallel jobs never share files; in memory
// where there is a memory file system, since every import syncs the document it saves.
// Never destroyed: the exit handler that removes the folder still needs its name.
const std::string& scratch() {
  static const std::string* const dir = [] {
    auto* name = new std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    *name += "/bindwise-import-fuzz-XXXXXX";
    if (!::mkdtemp(name->data())) broken("a scratch folder can be made");
    return name;
  }();
  return *dir;
}

std::string table_path() { return scratch() + "/table.txt"; }
std::string document_path() { return scratch() + "/imported.bwd"; }

void remove_scratch() {
  std::remove(table_path().c_str());
  std::remove(document_path().c_str());
  ::rmdir(scratch().c_str());
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int cleanup = std::atexit(remove_scratch);
  (void)cleanup;
  const std::string table = table_path();
  const std::string out = document_path();
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

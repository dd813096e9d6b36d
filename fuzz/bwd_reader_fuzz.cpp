// Feeds arbitrary bytes to the .bwd reader. Besides the sanitizers it checks two promises:
// a rejected file changes nothing and names the problem, and whatever the reader accepts
// the writer writes back as a file that reads to the same image again.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "document/bwd_file.h"

namespace {

[[noreturn]] void broken(const char* promise) {
  __builtin_printf("broken promise: %s\n", promise);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto current = std::make_unique<Titration>();
  const BwdLoad load = DecodeBwd(data, size, *current, "fuzz.bwd");
  if (!load.status.ok) {
    if (load.doc || load.status.message.find('\n') != std::string::npos || load.status.message.size() < 10)
      broken("a rejection gives one line and no document");
    return 0;
  }
  std::vector<unsigned char> first, second;
  if (!EncodeBwd(*load.doc, "fuzz.bwd", first).ok) broken("an accepted file can be written");
  const BwdLoad again = DecodeBwd(first.data(), first.size(), *current, "fuzz.bwd");
  if (!again.status.ok) broken("a written file can be read");
  if (!EncodeBwd(*again.doc, "fuzz.bwd", second).ok || first != second) broken("read and write are stable");
  return 0;
}

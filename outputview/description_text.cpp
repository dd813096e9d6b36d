#include "outputview/description_text.h"

namespace {

// Calls emit_break for every line break (CR LF, LF or a lone CR) and copies the rest.
template <typename EmitBreak>
std::string rewrite_breaks(const std::string& text, EmitBreak emit_break) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      emit_break(out);
    } else if (c == '\n') {
      emit_break(out);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string description_for_editing(const std::string& stored) {
  return rewrite_breaks(stored, [](std::string& out) { out += '\n'; });
}

std::string description_for_storing(const std::string& edited) {
  return rewrite_breaks(edited, [](std::string& out) { out += "\r\n"; });
}

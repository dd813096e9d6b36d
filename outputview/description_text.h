// Line breaks of the experimental description. The document keeps them as CR LF pairs (the
// saved file and the printed box expect them so); an edit control works with bare LF.
#pragma once

#include <string>

// CR LF -> LF for the edit control. A lone CR (from an old file) also becomes a line break.
std::string description_for_editing(const std::string& stored);
// Every line break (LF, CR LF or a lone CR) -> CR LF for the document.
std::string description_for_storing(const std::string& edited);

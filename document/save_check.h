// What a save would lose, found before the file is written so the user can decide: a fit
// hidden with "Hide Fit" (the file stores a fit only while it is shown), and characters of
// the texts that the file's code page, Windows-1252, cannot hold (they are written as '?').
#pragma once

#include <string>
#include <vector>

#include "document/titration.h"

inline constexpr const char* kHiddenFitQuestion = "The fit is hidden and will not be saved. Save without the fit?";

// The characters (UTF-8, each once, in order of first appearance) of the cells, the
// description, the title and the axis captions that Windows-1252 cannot hold.
std::vector<std::string> chars_outside_code_page(const Titration& doc);

// The question that lists them before they are replaced with '?'.
std::string code_page_question(const std::vector<std::string>& chars);

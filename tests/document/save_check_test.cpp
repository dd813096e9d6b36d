// What a save would lose to the file's code page is found and listed before anything is
// written.
#include <gtest/gtest.h>

#include "document/save_check.h"

namespace {

TEST(SaveCheck, CharactersOutsideWindows1252AreListedOnce) {
  Titration doc;
  EXPECT_TRUE(chars_outside_code_page(doc).empty());
  // Latin-1 and the 1252 extras (micro, degree, euro, en dash) are fine.
  doc.m_strDescription = "5 \xC2\xB5M at 25 \xC2\xB0" "C, \xE2\x82\xAC 3 \xE2\x80\x93 ok";
  doc.m_strTitle = "Calbindin";
  EXPECT_TRUE(chars_outside_code_page(doc).empty());
  doc.m_strDescription += " Ca\xC2\xB2\xE2\x81\xBA and Ca\xE2\x81\xBA";  // "Ca²⁺ and Ca⁺": ² is 1252, ⁺ is not
  doc.m_strTitle = "\xCE\x94G";                                           // Greek capital delta
  doc.m_cells[4][0].SetText("\xE2\x81\xBA");
  const std::vector<std::string> chars = chars_outside_code_page(doc);
  EXPECT_EQ(chars, (std::vector<std::string>{"\xE2\x81\xBA", "\xCE\x94"}));
  const std::string question = code_page_question(chars);
  EXPECT_NE(question.find("\xE2\x81\xBA \xCE\x94"), std::string::npos);
  EXPECT_NE(question.find("'?'"), std::string::npos);
}

}  // namespace

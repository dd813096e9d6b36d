#include "outputview/description_text.h"

#include <gtest/gtest.h>

// Storing turns every kind of break into exactly one CR LF (never CR CR LF), and editing
// a stored text and storing it again gives the same bytes.
TEST(DescriptionText, BreaksRoundTripAsCrLf) {
  EXPECT_EQ(description_for_storing("pH 7.2\n20 mM Tris\n"), "pH 7.2\r\n20 mM Tris\r\n");
  EXPECT_EQ(description_for_storing("a\r\nb\rc"), "a\r\nb\r\nc");
  EXPECT_EQ(description_for_editing("a\r\nb\rc\n"), "a\nb\nc\n");
  const std::string stored = "25 C\r\n\r\nbuffer: 100 mM KCl";
  EXPECT_EQ(description_for_storing(description_for_editing(stored)), stored);
  EXPECT_EQ(description_for_storing(""), "");
  EXPECT_EQ(description_for_editing("\xC2\xB5M"), "\xC2\xB5M");  // UTF-8 passes untouched
}

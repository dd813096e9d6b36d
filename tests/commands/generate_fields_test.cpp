// The Generate Data dialog's integer fields: each reports its own range, at the edges.
#include <gtest/gtest.h>

#include "outputview/generate_data.h"

namespace {

TEST(GenerateFields, EachFieldHasItsOwnRange) {
  EXPECT_EQ(gen_validate_field(GenIntField::StartCell, 0), "");
  EXPECT_EQ(gen_validate_field(GenIntField::StartCell, 97), "");
  EXPECT_EQ(gen_validate_field(GenIntField::StartCell, 98), "Please enter an integer between 0 and 97.");
  EXPECT_EQ(gen_validate_field(GenIntField::StartCell, -1), "Please enter an integer between 0 and 97.");
  EXPECT_EQ(gen_validate_field(GenIntField::Additions, 96), "");
  EXPECT_EQ(gen_validate_field(GenIntField::Additions, 97), "Please enter an integer between 0 and 96.");

  // The whole request reports the start cell first.
  GenerateRequest r;
  r.m_nStartCell = 98;
  r.m_nAdditionCount = 97;
  EXPECT_EQ(gen_validate_fields(r), "Please enter an integer between 0 and 97.");
  r.m_nStartCell = 2;
  EXPECT_EQ(gen_validate_fields(r), "Please enter an integer between 0 and 96.");
}

}  // namespace

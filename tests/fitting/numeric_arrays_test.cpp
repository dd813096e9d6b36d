// 1-based work arrays: block layout, contiguous matrix rows, other lower bounds, and the
// allocation-failure report.
#include <gtest/gtest.h>

#include "fitting/numeric_arrays.h"

TEST(NumericArrays, ElementLoIsTheSecondOfOneZeroFilledBlock) {
  EXPECT_EQ(nr::block_elements(1, 1), 2u);
  nr::VectorHandle v = nr::vector(1, 1);
  EXPECT_EQ(&v[1], v.block + 1);
  EXPECT_EQ(v[1], 0.0);
  nr::release_vector(v, 1, 1);
  nr::IVectorHandle iv = nr::ivector(-2, 3);
  EXPECT_EQ(&iv[3], iv.block + 6);
  nr::release_ivector(iv, -2, 3);

  Mat column(1, 5, 1, 1);  // the least-squares core's right-hand side
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(&column[r][1], column.handle().data + r);
  Mat m(0, 2, -1, 2);  // 3 rows of 4 columns, one after the other
  for (int r = 0; r <= 2; ++r)
    for (int c = -1; c <= 2; ++c) EXPECT_EQ(&m[r][c], m.handle().data + 1 + r * 4 + (c + 1));
}

TEST(NumericArrays, AnExhaustedHeapThrowsInsteadOfEndingTheProcess) {
  try {
    nr::numeric_error("allocation failure 2 in matrix()");
  } catch (const std::bad_alloc& e) {  // callers that handle bad_alloc handle it too
    EXPECT_STREQ(e.what(), "allocation failure 2 in matrix()");
    return;
  }
  FAIL() << "numeric_error returned";
}

#include <random>

#include <gtest/gtest.h>

#include "math/MKNxMMatrix.h"

namespace {

// 1, 2, 3, ... row by row, from `start`.
MKNxMMatrix Filled(int rows, int cols, double start = 1.0) {
  MKNxMMatrix m(rows, cols);
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) m(i, j) = start + i * cols + j;
  }
  return m;
}

void ExpectIdentity(MKNxMMatrix m, int n, double tolerance) {
  ASSERT_EQ(m.GetNbRows(), n);
  ASSERT_EQ(m.GetNbCols(), n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) EXPECT_NEAR(m(i, j), i == j ? 1.0 : 0.0, tolerance);
  }
}

TEST(MKNxMMatrixTest, ProductsModifyTheLeftOperand) {
  MKNxMMatrix a = Filled(2, 3);  // 1 2 3 / 4 5 6
  MKNxMMatrix b = Filled(3, 1);  // 1 2 3
  MKNxMMatrix result = a * b;
  EXPECT_EQ(a.GetNbCols(), 1);
  EXPECT_EQ(a(1, 0), 32.0);
  EXPECT_EQ(result(0, 0), 14.0);

  MKNxMMatrix mismatch = Filled(2, 2);
  mismatch *= b;  // size mismatch: nothing
  EXPECT_EQ(mismatch.GetNbCols(), 2);
  EXPECT_EQ(mismatch(0, 1), 2.0);

  MKNxMMatrix square = Filled(2, 2);
  square *= square;
  EXPECT_EQ(square(0, 0), 7.0);
  EXPECT_EQ(square(1, 1), 22.0);
}

TEST(MKNxMMatrixTest, InverseAndPivot) {
  MKNxMMatrix zeroColumn = Filled(3, 3);
  for (int i = 0; i < 3; ++i) zeroColumn(i, 1) = 0.0;
  ExpectIdentity(!zeroColumn, 3, 0.0);

  MKNxMMatrix same = !Filled(2, 3);
  EXPECT_EQ(same.GetNbCols(), 3);
  EXPECT_EQ(same(1, 2), 6.0);

  // Zeros on the diagonal: the row exchanges must be mirrored in the result.
  MKNxMMatrix perm(3, 3);
  perm(0, 2) = 2.0;
  perm(1, 0) = 4.0;
  perm(2, 1) = -1.0;
  MKNxMMatrix inv = !perm;
  EXPECT_EQ(inv(2, 0), 0.5);
  EXPECT_EQ(inv(0, 1), 0.25);
  EXPECT_EQ(inv(1, 2), -1.0);

  MKNxMMatrix pivot(3, 3);  // the first of equal magnitudes
  pivot(1, 0) = -5.0;
  pivot(2, 0) = 5.0;
  EXPECT_EQ(pivot.Pivot(0), 1);
  EXPECT_EQ(pivot(0, 0), -5.0);
  EXPECT_EQ(pivot.Pivot(1), -1);

  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  for (int n = 1; n <= 8; ++n) {
    MKNxMMatrix a(n, n);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) a(i, j) = value(rng) + (i == j ? n : 0.0);
    }
    MKNxMMatrix inverse = !a;
    ExpectIdentity(a * inverse, n, 1e-12);
  }
}

}  // namespace

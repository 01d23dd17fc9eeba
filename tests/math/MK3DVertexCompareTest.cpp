#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "math/MK3DVertex.h"
#include "math/MK3DVertexCompare.h"

namespace {

using Compare = int (*)(const MK3DVertex&, const MK3DVertex&);

// Each ordering reads the right coordinates in the right direction: the
// primary decides, the secondary breaks its ties, the third never counts.
TEST(MK3DVertexCompareTest, AxesAndDirections) {
  struct Case {
    Compare compare;
    int primary, secondary;  // 0 x, 1 y, 2 z
    int sign;                // compare(greater, smaller): -1 for the "Higher" orderings
  };
  const Case cases[] = {
      {MK3DVertexCompareHigherZHigherX, 2, 0, -1}, {MK3DVertexCompareLowerZLowerX, 2, 0, 1},
      {MK3DVertexCompareHigherYHigherZ, 1, 2, -1}, {MK3DVertexCompareLowerYLowerZ, 1, 2, 1},
      {MK3DVertexCompareHigherXHigherY, 0, 1, -1}, {MK3DVertexCompareLowerXLowerY, 0, 1, 1},
  };
  std::mt19937 random(3);
  for (int trial = 0; trial < 600; ++trial) {
    double a[3], b[3];
    for (int c = 0; c < 3; ++c) {
      a[c] = static_cast<double>(random() % 3);
      b[c] = static_cast<double>(random() % 3);
    }
    const Case& k = cases[trial % 6];
    const auto order = [](double u, double v) { return u > v ? 1 : (u < v ? -1 : 0); };
    const int expected = order(a[k.primary], b[k.primary]) != 0
                             ? order(a[k.primary], b[k.primary])
                             : order(a[k.secondary], b[k.secondary]);
    EXPECT_EQ(k.compare(MK3DVertex(a[0], a[1], a[2]), MK3DVertex(b[0], b[1], b[2])),
              k.sign * expected)
        << trial;
  }
}

// The primary coordinates are first compared strictly; only then does a
// difference within single-precision epsilon (2^-23, inclusive) count as a tie.
TEST(MK3DVertexCompareTest, ToleranceAppliesOnlyAfterStrictTest) {
  const double eps = std::ldexp(1.0, -23);
  EXPECT_EQ(MK3DVertexCompareHigherZHigherX(MK3DVertex(9, 0, 1.0), MK3DVertex(0, 0, 1.0 + eps)), 1);
  EXPECT_EQ(MK3DVertexCompareHigherZHigherX(MK3DVertex(9, 0, 1.0), MK3DVertex(0, 0, 1.0 + eps / 2)),
            -1);
  EXPECT_EQ(MK3DVertexCompareLowerXLowerY(MK3DVertex(1.0 + eps, 0, 0), MK3DVertex(1.0, 9, 0)), 1);
  EXPECT_EQ(MK3DVertexCompareLowerXLowerY(MK3DVertex(1.0 + eps / 2, 0, 0), MK3DVertex(1.0, 9, 0)),
            -1);
}

}  // namespace

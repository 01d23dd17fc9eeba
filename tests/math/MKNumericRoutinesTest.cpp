#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "host/KelMathVector.h"
#include "math/MK3DVertex.h"
#include "math/MKIEEE.h"
#include "math/MKMathRoutines.h"
#include "math/detail/MKNormalTables.h"

namespace {

constexpr double kLastInverse = 4.03093437;

double Phi(double z) {
  return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

// z >= 0 with Phi(z) = 1 - q, by bisection on the upper tail.
double Quantile(double q) {
  double lo = 0.0;
  double hi = 10.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (Phi(-mid) > q) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return 0.5 * (lo + hi);
}

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(MKNormalTablesTest, AgreeWithErfc) {
  for (int i = 1; i <= 180; ++i) {
    EXPECT_NEAR(MKNormalTables::sCumulative[i], Phi(i * 0.025) - 0.5, 5e-9) << "entry " << i;
  }
  for (int i = 1; i < 180; ++i) {
    EXPECT_NEAR(MKNormalTables::sInverse[i], Quantile((180 - i) / 360.0), 5e-9) << "entry " << i;
  }
  EXPECT_EQ(MKNormalTables::sCumulative[0], 0.0);
  EXPECT_EQ(MKNormalTables::sInverse[0], 0.0);
  EXPECT_EQ(MKNormalTables::sInverse[180], kLastInverse);
}

TEST(MKMathRoutinesTest, Gauss) {
  EXPECT_EQ(MKMathRoutines::Gauss(0.0, 1.0, 0.0), 0.5);
  EXPECT_DOUBLE_EQ(MKMathRoutines::Gauss(0.0, 1.0, 10.0), 0.9999);
  EXPECT_NEAR(MKMathRoutines::Gauss(0.0, 1.0, -10.0), 0.0001, 1e-15);
  EXPECT_EQ(MKMathRoutines::GaussianPercentileFromValue(175.58, 6.68, 175.58), 50.0);
  // Halfway between the first two entries, and mirrored below the mean.
  const double half = 0.5 * (MKNormalTables::sCumulative[0] + MKNormalTables::sCumulative[1]);
  EXPECT_NEAR(MKMathRoutines::Gauss(10.0, 2.0, 10.025), 0.5 + half, 1e-12);
  EXPECT_NEAR(MKMathRoutines::Gauss(10.0, 2.0, 9.975), 0.5 - half, 1e-12);
  // The last table entry is still used at exactly 4.5 standard deviations.
  EXPECT_DOUBLE_EQ(MKMathRoutines::Gauss(0.0, 1.0, 4.5), 0.5 + MKNormalTables::sCumulative[180]);
  EXPECT_NEAR(MKMathRoutines::Gauss(0.0, 1.0, 1.0), Phi(1.0), 1e-4);
}

TEST(MKMathRoutinesTest, GaussInv) {
  EXPECT_EQ(MKMathRoutines::GaussInv(0.0, 1.0, 0.5), 0.0);
  EXPECT_DOUBLE_EQ(MKMathRoutines::GaussInv(10.0, 2.0, 1.0), 10.0 + 2.0 * kLastInverse);
  EXPECT_DOUBLE_EQ(MKMathRoutines::GaussInv(10.0, 2.0, 0.0), 10.0 - 2.0 * kLastInverse);
  EXPECT_EQ(MKMathRoutines::GaussInv(10.0, 2.0, 1.5), 4.0);
  EXPECT_EQ(MKMathRoutines::GaussInv(10.0, 2.0, -0.1), 0.0);
  EXPECT_TRUE(MKIEEE::IsNaN(MKMathRoutines::GaussInv(10.0, 2.0, std::nan(""))));
  EXPECT_NEAR(MKMathRoutines::GaussianValueFromPercentile(175.58, 6.68, 95.0),
              175.58 + 6.68 * 1.6448536, 1e-3);
  EXPECT_NEAR(MKMathRoutines::GaussianValueFromPercentile(175.58, 6.68, 5.0),
              175.58 - 6.68 * 1.6448536, 1e-3);
  // Between grid points the interpolation is linear.
  const double mid = 0.5 * (MKNormalTables::sInverse[10] + MKNormalTables::sInverse[11]);
  EXPECT_NEAR(MKMathRoutines::GaussInv(0.0, 1.0, 0.5 + 10.5 / 360.0), mid, 1e-12);
}

TEST(MKMathRoutinesTest, AnglesInDegrees) {
  EXPECT_EQ(MKMathRoutines::ACos(1.5), 0.0);
  EXPECT_DOUBLE_EQ(MKMathRoutines::ACos(-1.0), 180.0);
  EXPECT_DOUBLE_EQ(MKMathRoutines::ACos(0.5), 60.0);
}

// Random triangles and points given by barycentric weights, each weight kept
// clear of zero: inside exactly when all three are positive, in either
// orientation; the floor-plane test ignores y, the in-plane one allows a
// float epsilon off the plane and no more.
TEST(MKMathRoutinesTest, PointInTriangle) {
  std::mt19937 random(31);
  std::uniform_real_distribution<double> coordinate(-10.0, 10.0), weight(-0.5, 1.5);
  int inside = 0;
  for (int trial = 0; trial < 400; ++trial) {
    KelMathVector corner[3];
    for (KelMathVector& v : corner)
      v = KelMathVector(coordinate(random), coordinate(random), coordinate(random));
    double l[3] = {weight(random), weight(random), 0.0};
    l[2] = 1.0 - l[0] - l[1];
    if (std::fabs(l[0]) < 0.01 || std::fabs(l[1]) < 0.01 || std::fabs(l[2]) < 0.01) continue;
    const bool expected = l[0] > 0 && l[1] > 0 && l[2] > 0;
    inside += expected;
    const KelMathVector p = corner[0] * l[0] + corner[1] * l[1] + corner[2] * l[2];
    const auto flat = [](const KelMathVector& v, double y) { return MK3DVertex(v.x, y, v.z); };
    const double y = coordinate(random);
    for (int turn : {1, 2}) {  // both orientations
      const KelMathVector &b = corner[turn], &c = corner[3 - turn];
      EXPECT_EQ(MKMathRoutines::PointInTriangle(flat(p, y), flat(corner[0], y), flat(b, -y),
                                                flat(c, 0.0)),
                expected)
          << trial;
      EXPECT_EQ(MKMathRoutines::PointInTriangle(p, corner[0], b, c), expected) << trial;
    }
    KelMathVector normal = (corner[1] - corner[0]).Cross(corner[2] - corner[0]);
    normal.Normalize();
    EXPECT_EQ(MKMathRoutines::PointInTriangle(p + normal * 5e-8, corner[0], corner[1], corner[2]),
              expected);
    EXPECT_FALSE(
        MKMathRoutines::PointInTriangle(p + normal * 1e-6, corner[0], corner[1], corner[2]));
  }
  EXPECT_GT(inside, 25);
  // Corners sharing an x or a z in the floor plane, and degenerate triangles, contain nothing.
  const MK3DVertex a(0, 0, 0), b(4, 0, 1), c(1, 0, 4);
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(MK3DVertex(1, 0, 1), a, b, MK3DVertex(0, 0, 4)));
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(MK3DVertex(1, 0, 1), a, MK3DVertex(4, 0, 0), c));
  const KelMathVector u(0, 0, 0), v(2, 2, 2);
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(u, v, u, KelMathVector(4, 4, 4)));
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(KelMathVector(1, 1, 0), v, u, u));
}

TEST(MKIEEETest, BitPatterns) {
  EXPECT_EQ(Bits(MKIEEE::NaN()), 0x7FFF000000000000ULL);
  EXPECT_EQ(Bits(MKIEEE::Infinite()), 0x7FF0000000000000ULL);
  EXPECT_TRUE(MKIEEE::IsNaN(-std::nan("")) && !MKIEEE::IsNaN(MKIEEE::Infinite()));
  EXPECT_TRUE(MKIEEE::IsInfinite(-MKIEEE::Infinite()) && !MKIEEE::IsInfinite(MKIEEE::NaN()));
  // A negative low word must not spill into the high word.
  EXPECT_EQ(Bits(MKIEEE::IntBitsToDouble(0x3FF00000, -1)), 0x3FF00000FFFFFFFFULL);
  EXPECT_EQ(Bits(MKIEEE::IntBitsToDouble(-1, 0)), 0xFFFFFFFF00000000ULL);
}

}  // namespace

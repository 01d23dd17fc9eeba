#include <cmath>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "host/KelMathVector.h"
#include "math/MK3DVertex.h"
#include "math/MKIEEE.h"
#include "math/MKMathRoutines.h"
#include "math/MKUnitConversions.h"
#include "math/detail/MKNormalTables.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
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
  EXPECT_EQ(MKUnitConversions::LbToKg(1.0), 0.45359237);
  // CircAxe inverts perimeter = pi * sqrt((A^2 + B^2) / 2).
  const double other = MKMathRoutines::CircAxe(50.0, 12.0);
  EXPECT_NEAR(kPi * std::sqrt((12.0 * 12.0 + other * other) / 2.0), 50.0, 1e-12);
}

TEST(MKMathRoutinesTest, FloorPlaneTriangle) {
  const MK3DVertex a(0, 0, 0);
  const MK3DVertex b(4, 0, 1);
  const MK3DVertex c(1, 0, 4);
  EXPECT_TRUE(MKMathRoutines::PointInTriangle(MK3DVertex(1.5, 99, 1.5), a, b, c));  // y ignored
  EXPECT_TRUE(MKMathRoutines::PointInTriangle(MK3DVertex(2, 0, 0.5), a, b, c));     // on edge ab
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(MK3DVertex(3.5, 0, 3.5), a, b, c));
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(MK3DVertex(-0.1, 0, 0.1), a, b, c));
  // Orientation does not matter.
  EXPECT_TRUE(MKMathRoutines::PointInTriangle(MK3DVertex(1.5, 0, 1.5), a, c, b));
  // Corners sharing an x or a z are rejected outright.
  const MK3DVertex sameX(0, 0, 4);
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(MK3DVertex(1, 0, 1), a, b, sameX));
  const MK3DVertex sameZ(4, 0, 0);
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(MK3DVertex(1, 0, 1), a, sameZ, c));
}

TEST(MKMathRoutinesTest, InPlaneTriangle) {
  // Triangle in the tilted plane y = z.
  const KelMathVector a(1, 3, 3);
  const KelMathVector b(0, 0, 0);
  const KelMathVector c(4, 1, 1);
  const KelMathVector inside(1.5, 1.2, 1.2);
  EXPECT_TRUE(MKMathRoutines::PointInTriangle(inside, a, b, c));
  EXPECT_TRUE(MKMathRoutines::PointInTriangle(inside + KelMathVector(0, 5e-8, -5e-8), a, b, c));
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(inside + KelMathVector(0, 1e-6, -1e-6), a, b, c));
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(KelMathVector(5, 3, 3), a, b, c));
  // Points on the line through b and c, or level with a across it, are rejected.
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(KelMathVector(2, 0.5, 0.5), a, b, c));
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(a, a, b, c));
  // Degenerate triangles.
  EXPECT_FALSE(MKMathRoutines::PointInTriangle(inside, a, b, b));
  EXPECT_FALSE(
      MKMathRoutines::PointInTriangle(b, KelMathVector(2, 2, 2), b, KelMathVector(4, 4, 4)));
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

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void ExpectNear(const MK4x4Matrix& a, const MK4x4Matrix& b, double tolerance) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(a(r, c), b(r, c), tolerance) << "at " << r << "," << c;
  }
}

MK4x4Matrix Identity() {
  MK4x4Matrix m;
  m.Unit();
  return m;
}

// The elementary rotation about axis 0, 1 or 2, applied to `m`.
MK4x4Matrix Rotated(MK4x4Matrix m, int axis, double a) {
  if (axis == 0) m.RotX(a);
  if (axis == 1) m.RotY(a);
  if (axis == 2) m.RotZ(a);
  return m;
}

MK4x4Matrix RandomRigid(std::mt19937& rng) {
  std::uniform_real_distribution<double> angle(-kPi, kPi);
  std::uniform_real_distribution<double> offset(-100.0, 100.0);
  MK4x4Matrix m;
  m.BuildFromTrans(offset(rng), offset(rng), offset(rng));
  m.RotXYZ(angle(rng), angle(rng), angle(rng));
  return m;
}

TEST(MK4x4MatrixTest, RowVectorConvention) {
  MK4x4Matrix t;
  t.BuildFromTrans(1.0, 2.0, 3.0);
  const MK3x1Matrix p = t * MK3x1Matrix(1.0, 1.0, 1.0);
  EXPECT_EQ(p(0), 2.0);
  EXPECT_EQ(p(2), 4.0);

  // Positive angles turn X towards Y about Z, Y towards Z about X, Z towards X about Y.
  EXPECT_NEAR((Rotated(Identity(), 2, kPi / 2) * MK3x1Matrix(1, 0, 0))(1), 1.0, 1e-15);
  EXPECT_NEAR((Rotated(Identity(), 0, kPi / 2) * MK3x1Matrix(0, 1, 0))(2), 1.0, 1e-15);
  EXPECT_NEAR((Rotated(Identity(), 1, kPi / 2) * MK3x1Matrix(0, 0, 1))(0), 1.0, 1e-15);
  MK4x4Matrix roty;
  roty.BuildFromRotY(0.3);
  ExpectNear(roty, Rotated(Identity(), 1, 0.3), 0.0);

  // Child global = local * parent global: the local offset is turned by the parent.
  MK4x4Matrix local;
  local.BuildFromTrans(1.0, 0.0, 0.0);
  MK4x4Matrix parent = Rotated(Identity(), 2, kPi / 2);
  parent(3, 0) = 10.0;
  const MK3x1Matrix origin = (local * parent).GetTranslation();
  EXPECT_NEAR(origin(0), 10.0, 1e-15);
  EXPECT_NEAR(origin(1), 1.0, 1e-15);
}

// RotX/RotY/RotZ multiply on the left (translation untouched); RotAxis about the same unit axis
// multiplies the same rotation on the right and puts the translation back.
TEST(MK4x4MatrixTest, RotationsOnRandomFrames) {
  std::mt19937 rng(1234);
  std::uniform_real_distribution<double> angle(-kPi, kPi);
  for (int trial = 0; trial < 60; ++trial) {
    const int axis = trial % 3;
    const double a = angle(rng);
    const MK4x4Matrix m = RandomRigid(rng);
    const MK4x4Matrix r = Rotated(Identity(), axis, a);

    const MK4x4Matrix left = Rotated(m, axis, a);
    ExpectNear(left, r * m, 1e-12);
    EXPECT_EQ(left(3, 1), m(3, 1));

    MK3x1Matrix direction;
    direction(axis) = 1.0;
    MK4x4Matrix byAxis = m;
    byAxis.RotAxis(direction, a);
    MK4x4Matrix expected = m * r;
    for (int c = 0; c < 3; ++c) expected(3, c) = m(3, c);
    ExpectNear(byAxis, expected, 1e-12);
  }
}

TEST(MK4x4MatrixTest, RotAxisTakesTheAxisUnnormalised) {
  MK4x4Matrix scaled;
  scaled.BuildFromTrans(1.0, 2.0, 3.0);
  scaled.RotAxis(MK3x1Matrix(0.0, 0.0, 2.0), 0.5);  // the axis is not normalised
  EXPECT_DOUBLE_EQ(scaled(0, 1), 2.0 * std::sin(0.5));
  EXPECT_DOUBLE_EQ(scaled(2, 2), 4.0 * (1.0 - std::cos(0.5)) + std::cos(0.5));
  EXPECT_EQ(scaled(3, 2), 3.0);
  EXPECT_EQ(scaled(3, 3), 1.0);
}

TEST(MK4x4MatrixTest, InverseEdgeCases) {
  MK4x4Matrix zeroColumn = Identity();
  zeroColumn(1, 1) = 0.0;
  zeroColumn(2, 0) = 4.0;
  EXPECT_TRUE((!zeroColumn).IsUnit());
  EXPECT_TRUE((!MK4x4Matrix()).IsUnit());

  // A zero leading entry needs a row exchange, mirrored in the result.
  MK4x4Matrix swapped;
  swapped(0, 1) = 2.0;
  swapped(1, 0) = 4.0;
  swapped(2, 2) = 1.0;
  swapped(3, 3) = 1.0;
  swapped(3, 0) = 5.0;
  ExpectNear(swapped * !swapped, Identity(), 1e-15);
  ExpectNear(!swapped * swapped, Identity(), 1e-15);

  std::mt19937 rng(42);
  for (int trial = 0; trial < 100; ++trial) {
    const MK4x4Matrix m = RandomRigid(rng);
    ExpectNear(m * !m, Identity(), 1e-12);
    ExpectNear(m / m, Identity(), 1e-12);
  }
}

}  // namespace

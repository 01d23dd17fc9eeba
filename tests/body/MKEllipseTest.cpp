#include "body/MKEllipse.h"

#include <gtest/gtest.h>

#include <cmath>

#include "math/MK3x1Matrix.h"

namespace {

constexpr double kTolerance = 1e-12;

void ExpectNaN(const MK3DVertex& v) {
  EXPECT_TRUE(std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z));
}

}  // namespace

TEST(MKEllipseTest, NonFiniteInputIsRefusedAndBadArgumentsGiveNaN) {
  MKEllipse e(nullptr, EBoCh, MKEllipse::sBeginCap);
  e.SetAxisValues(4.0, 2.0);
  e.SetPosition(1.0, 2.0, 3.0);
  e.SetPosition(5.0, std::nan(""), 6.0);
  EXPECT_TRUE(e.IsInvalid());
  EXPECT_EQ(e.GetPositionX(), 1.0) << "nothing of a refused position is stored";
  EXPECT_EQ(e.GetPositionZ(), 3.0);
  EXPECT_EQ(e.GetEllipsoidDepth(), 3.0);
  e.SetRotationY(30.0);
  EXPECT_FALSE(e.IsInvalid());
  EXPECT_NEAR(e.GetRotationY(), M_PI / 6.0, kTolerance);
  e.SetRotationZ(-INFINITY);
  EXPECT_TRUE(e.IsInvalid());
  EXPECT_EQ(e.GetRotationZ(), 0.0);

  // Bad arguments give NaN points.
  ExpectNaN(e.GetPosition(static_cast<MKPositionSpec>(11), MKLocalSpace));
  ExpectNaN(e.GetPosition(static_cast<MKPositionSpec>(-1), MKLocalSpace));
  ExpectNaN(e.GetPosition(MKPositionCenter, static_cast<MKCoordinateSpace>(2)));
  ExpectNaN(e.GetNormalVector(static_cast<MKCoordinateSpace>(-1)));
  ExpectNaN(e.GetNormalVector(MKGlobalSpace));  // no owner
}

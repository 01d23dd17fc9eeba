#include "body/MKEllipse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "math/MK3x1Matrix.h"

namespace {

constexpr double kTolerance = 1e-12;

void ExpectNaN(const MK3DVertex& v) {
  EXPECT_TRUE(std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z));
}

void ExpectSameMatrix(const MK4x4Matrix& a, const MK4x4Matrix& b, double tolerance = 1e-12) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(a(r, c), b(r, c), tolerance) << r << ", " << c;
}

// The pelvis as the skeleton places it: Z up, Y forward.
class MKEllipseOnBodyTest : public testing::Test {
 protected:
  void SetUp() override {
    root = std::make_unique<MKSegment>(&body, SBoPh, 0, nullptr);
    root->SetRotation(-90.0, 0.0, 180.0);
    root->SetLength(4.0);
    vertebra = std::make_unique<MKSegment>(&body, SBoL5, 1, root.get());
    vertebra->SetLength(3.0);
    vertebra->SetRotation(12.0, 0.0, 0.0);
    root->AddChild(vertebra.get());
  }

  // Owns the test's segments without listing them; it reads no skin file (sex -1).
  MKBody body{nullptr, -1, 0};
  std::unique_ptr<MKSegment> root;
  std::unique_ptr<MKSegment> vertebra;
};

TEST(MKEllipseTest, NonFiniteInputIsRefusedAndRemembered) {
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
}

TEST(MKEllipseTest, BadArgumentsGiveNaNPoints) {
  MKEllipse e(nullptr, EBoCh, 0);
  e.SetAxisValues(4.0, 2.0);
  ExpectNaN(e.GetPosition(static_cast<MKPositionSpec>(11), MKLocalSpace));
  ExpectNaN(e.GetPosition(static_cast<MKPositionSpec>(-1), MKLocalSpace));
  ExpectNaN(e.GetPosition(MKPositionCenter, static_cast<MKCoordinateSpace>(2)));
  ExpectNaN(e.GetNormalVector(static_cast<MKCoordinateSpace>(-1)));
  ExpectNaN(e.GetNormalVector(MKGlobalSpace));  // no owner
}

TEST_F(MKEllipseOnBodyTest, ASpineEllipseMovedToAVertebraKeepsItsPlacement) {
  MKEllipse spine(root.get(), EBoNi, 1);
  spine.SetAxisValues(30.0, 20.0);
  spine.SetPosition(1.0, 2.0, 6.0);
  spine.SetRotationX(20.0);
  const MK4x4Matrix world = spine.GetGlobalMatrix();

  spine.SetOwner(vertebra.get());
  ExpectSameMatrix(spine.GetGlobalMatrix(), world);
  const MK4x4Matrix local = spine.GetLocalMatrix();
  spine.Invalidate();
  ExpectSameMatrix(spine.GetLocalMatrix(), local);
  ExpectSameMatrix(spine.GetGlobalMatrix(), world);

  // It rides on the vertebra from now on.
  vertebra->SetRotation(30.0, 0.0, 0.0);
  spine.Invalidate();
  ExpectSameMatrix(spine.GetLocalMatrix(), local);
  MK4x4Matrix expected = local;
  expected *= vertebra->GetGlobalMatrix();
  ExpectSameMatrix(spine.GetGlobalMatrix(), expected);
}

}  // namespace

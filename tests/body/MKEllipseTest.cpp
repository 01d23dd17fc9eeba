#include "body/MKEllipse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "math/MK3x1Matrix.h"
#include "math/MKMesh.h"

namespace {

constexpr double kTolerance = 1e-12;

void ExpectNear(const MK3DVertex& actual, double x, double y, double z, double tolerance = 1e-12) {
  EXPECT_NEAR(actual.x, x, tolerance);
  EXPECT_NEAR(actual.y, y, tolerance);
  EXPECT_NEAR(actual.z, z, tolerance);
}

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

TEST(MKEllipseTest, DepthFollowsAxesAndPositionAndShowsOnlyWithACap) {
  MKEllipse plain(nullptr, EBoCh, MKEllipse::sEndCap);
  plain.SetAxisValues(4.0, 2.0);
  plain.SetPosition(1.0, 2.0, 3.0);
  EXPECT_EQ(plain.GetEllipsoidDepth(), 3.0);  // max(4 / 2 + 1, 2 / 2 + 2)

  // The ball of the foot and the palm end follow the minor axis alone.
  MKEllipse ball(nullptr, LEHaPa1, 80);
  ball.SetAxisValues(10.0, 2.0);
  ball.SetPosition(1.0, 2.0, 3.0);
  EXPECT_EQ(ball.GetEllipsoidDepth(), 3.0);

  plain.SetEllipsoidDepth(7.5);
  EXPECT_EQ(plain.GetEllipsoidDepth(), 7.5);
  MKEllipse noCap(nullptr, EBoCh, 0);
  noCap.SetEllipsoidDepth(7.5);
  EXPECT_EQ(noCap.GetEllipsoidDepth(), 0.0);
  MKEllipse noMesh(nullptr, EBoCh, MKEllipse::sNoMesh | MKEllipse::sBeginCap);
  noMesh.SetEllipsoidDepth(7.5);
  EXPECT_EQ(noMesh.GetEllipsoidDepth(), 0.0);
}

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

TEST(MKEllipseTest, SamplePointsRunClockwiseFromThePlusXEnd) {
  MKEllipse e(nullptr, EBoCh, 0);
  e.SetAxisValues(6.0, 4.0);
  MKMesh ring(MKMesh::MKRing);
  ring.Append(9.0, 9.0, 9.0);
  e.CreateSamplePoints(4, ring, 1.0, 1.0, 0.0);
  ASSERT_EQ(ring.GetNumberOfPoints(), 4u);
  ExpectNear(ring[0], 1.0, 0.0, 0.0);
  ExpectNear(ring[1], 0.0, -1.0, 0.0);
  ExpectNear(ring[2], -1.0, 0.0, 0.0);
  ExpectNear(ring[3], 0.0, 1.0, 0.0);
  EXPECT_EQ(ring.GetType(), MKMesh::MKRing);

  // Negative radii mean the ellipse's own half-axes.
  e.CreateSamplePoints(4, ring, -1.0, -1.0, 2.0);
  ExpectNear(ring[1], 0.0, -2.0, 2.0);
  ExpectNear(ring[2], -3.0, 0.0, 2.0);
  e.CreateSamplePoints(0, ring, 1.0, 1.0, 0.0);
  EXPECT_EQ(ring.GetNumberOfPoints(), 0u);
}

TEST(MKEllipseTest, CapRingsClimbToThePoleOnTheSideOfTheDepth) {
  MKEllipse e(nullptr, EBoCh, 16);
  e.SetAxisValues(8.0, 4.0);
  KelRawCollPV meshes;
  meshes.Append(new MKMesh());  // destroyed by the call
  e.CreateEllipsoid(3, 8, 2.0, meshes, -1.0, -1.0);
  ASSERT_EQ(meshes.Size(), 3);
  for (int k = 1; k <= 3; ++k) {
    const MKMesh& ring = *static_cast<MKMesh*>(meshes[k]);
    ASSERT_EQ(ring.GetNumberOfPoints(), 8u);
    EXPECT_EQ(ring.GetType(), MKMesh::MKCap);
    const double latitude = k * M_PI / 6.0;
    ExpectNear(ring[0], 4.0 * std::cos(latitude) * (k == 3 ? 0.0 : 1.0), 0.0,
               2.0 * std::sin(latitude));
    ExpectNear(ring[6], 0.0, 2.0 * std::cos(latitude) * (k == 3 ? 0.0 : 1.0),
               2.0 * std::sin(latitude));
  }
  const MKMesh& pole = *static_cast<MKMesh*>(meshes[3]);
  for (unsigned int i = 0; i < 8; ++i) {
    EXPECT_EQ(pole[i].x, 0.0);
    EXPECT_EQ(pole[i].y, 0.0);
  }

  e.CreateEllipsoid(3, 8, 0.0, meshes, 1.0, 1.0);
  EXPECT_EQ(meshes.Size(), 0);
  e.CreateEllipsoid(0, 8, 1.0, meshes, 1.0, 1.0);
  EXPECT_EQ(meshes.Size(), 0);
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

TEST_F(MKEllipseOnBodyTest, PositionsFollowTheSegmentIntoTheWorld) {
  // On the pelvis, the segment's +Y is the world's +Z and its +X the world's -X.
  MKEllipse e(root.get(), EBoCh, 0);
  e.SetAxisValues(30.0, 20.0);
  e.SetPosition(0.0, 1.0, 2.0);
  ExpectNear(e.GetPosition(MKPositionCenter, MKLocalSpace), 0.0, 1.0, 2.0);
  ExpectNear(e.GetPosition(MKPositionCenter, MKGlobalSpace), 0.0, 2.0, 1.0);
  ExpectNear(e.GetPosition(MKPositionHighestZ, MKGlobalSpace), 0.0, 2.0, 11.0);
  ExpectNear(e.GetPosition(MKPositionHighestX, MKGlobalSpace), 15.0, 2.0, 1.0);
  ExpectNear(e.GetPosition(MKPositionMajorEnd, MKGlobalSpace), -15.0, 2.0, 1.0);
  ExpectNear(e.GetNormalVector(MKLocalSpace), 0.0, 0.0, 1.0);
  ExpectNear(e.GetNormalVector(MKGlobalSpace), 0.0, 1.0, 0.0);

  e.SetRotationX(90.0);
  ExpectNear(e.GetNormalVector(MKLocalSpace), 0.0, -1.0, 0.0);
  EXPECT_EQ(e.GetNormalVector(MKLocalSpace).z, 0.0) << "tiny components are cleared";
  MKMesh ring;
  e.CreateSamplePoints(4, ring, 1.0, 1.0, 0.0);
  ExpectNear(ring[1], 0.0, 1.0, 1.0);  // (0, -1, 0) turned into the ellipse's new plane
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

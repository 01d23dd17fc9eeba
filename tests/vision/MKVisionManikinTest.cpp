// The vision of a created manikin: aiming, accommodation, the eyes' limits,
// and its place in the body and the manikin's parts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../manikin/MKManikinTestSupport.h"
#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "parts/MKFramedRead.h"
#include "parts/MKStreamTestSupport.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"
#include "vision/MKVisualLimitsVariable.h"

namespace {

constexpr double kDegree = M_PI / 180.0;

MK3DVertex Plus(const MK3DVertex& p, double dx, double dy, double dz) {
  return MK3DVertex(p.x + dx, p.y + dy, p.z + dz);
}

// A point at `distance` from the middle eye along (dx, dy, dz) in world
// space (y up, z forward).
MK3DVertex Ahead(const MKVision& vision, double distance, double dx, double dy, double dz) {
  const double n = std::sqrt(dx * dx + dy * dy + dz * dz);
  return Plus(vision.GetEyePosition(MKMiddleEye), distance * dx / n, distance * dy / n,
              distance * dz / n);
}

double Distance(const MK3DVertex& a, const MK3DVertex& b) {
  return a.DistanceFrom(b);
}

class MKVisionManikinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manikin = mktest::Make(1, 50.0);
    ASSERT_TRUE(manikin);
    vision = manikin->GetVision();
    ASSERT_NE(vision, nullptr);
    middle = vision->GetCentralLineOfSight();
  }

  mktest::Manikin manikin;
  MKVision* vision = nullptr;
  MKLineOfSight* middle = nullptr;
};

}  // namespace

// A created manikin's vision is attached and aimed; its eyes move within
// the field angles.
TEST_F(MKVisionManikinTest, CreatedManikinHasAnAttachedDefaultVision) {
  EXPECT_TRUE(vision->IsAttached());
  EXPECT_EQ(vision->GetManikin(), manikin.get());
  // The eyes hang on their segments and look along the initial deviation.
  EXPECT_EQ(middle->GetOwner(), manikin->GetBody()->GetSegment(SHeFr));
  EXPECT_NEAR(vision->GetVerticalAngle(), -12.0 * kDegree, 1e-9);
  EXPECT_NEAR(vision->GetFocalDistance(), 30.0, 1e-9);
  EXPECT_LT(Distance(middle->GetEndPoint(MKGlobalSpace), vision->GetFocalPoint()), 1e-9);

  // An all-zero row of the database means no data: the field angles bound
  // the middle eye, also when its limits are reset.
  EXPECT_NE(middle->GetDOF(0)->GetJointLimitDatabase(), nullptr);
  vision->SetBinocularAngle(50);
  middle->ResetAngularLimitations(-1, MKKEResetAll);
  EXPECT_NEAR(middle->GetDOF(1)->GetMaxLim(false), 25.0 * kDegree, 1e-12);
  EXPECT_NEAR(middle->GetDOF(0)->GetMaxLim(false), 35.0 * kDegree, 1e-12);
  vision->GetLeftLineOfSight()->ResetAngularLimitations(0, MKKEResetLimits);
  EXPECT_NEAR(vision->GetLeftLineOfSight()->GetDOF(0)->GetMaxLim(false), M_PI, 1e-12);

  // No population behind the eyes: median percentiles, no percentile setters,
  // and nothing for the joint-limits extraction.
  EXPECT_EQ(middle->GetDOF(0)->GetMaxLimAsPercentile(), 50.0);
  EXPECT_EQ(vision->GetLeftLineOfSight()->GetDOF(1)->GetMinLimAsPercentile(), 50.0);
  middle->GetDOF(1)->UnlockLimits();
  EXPECT_EQ(middle->GetDOF(1)->SetMaxLimFromPercentile(95).GetCode(), 10);
  EXPECT_EQ(middle->GetDOF(1)->SetMaxLim(0.3, static_cast<unsigned char>(1)), MKStatusSuccess);
  EXPECT_NEAR(middle->GetDOF(1)->GetMaxLim(false), 0.3, 1e-15);  // not clamped to 0
  EXPECT_EQ(manikin->ExtractPart(MKPartJointLimitsID, 0, nullptr), nullptr);
}

TEST_F(MKVisionManikinTest, LookAtStatuses) {
  const MK3DVertex ahead = Ahead(*vision, 60.0, 0, 0, 1);
  ASSERT_EQ(vision->LookAt(ahead), MKStatusSuccess);
  const double h = vision->GetHorizontalAngle();

  EXPECT_EQ(vision->LookAt(Ahead(*vision, 3.0, 0, 0, 1)).GetCode(), 901);  // proximum 5
  EXPECT_EQ(vision->LookAt(Ahead(*vision, 0.005, 0, 0, 1)).GetCode(), 900);
  EXPECT_EQ(vision->LookAt(Ahead(*vision, 5.0, 0, 0, 1)), MKStatusSuccess);  // at the limit
  EXPECT_EQ(vision->LookAt(MK3DVertex(0, INFINITY, 0)).GetCode(), 903);
  ASSERT_EQ(vision->LookAt(ahead), MKStatusSuccess);

  // Within 0.01 (summed) of the focus point nothing moves.
  const MK3DVertex before = middle->GetEndPoint(MKGlobalSpace);
  EXPECT_EQ(vision->LookAt(Plus(ahead, 0.004, 0.004, 0)), MKStatusSuccess);
  EXPECT_EQ(Distance(middle->GetEndPoint(MKGlobalSpace), before), 0.0);

  // 60 degrees aside is beyond the eye's 40: the eyes stay where they were.
  EXPECT_EQ(vision->LookAt(Ahead(*vision, 60.0, std::sqrt(3.0), 0, 1)).GetCode(), 904);
  EXPECT_NEAR(vision->GetHorizontalAngle(), h, 1e-12);
  EXPECT_LT(Distance(middle->GetEndPoint(MKGlobalSpace), ahead), 1e-6);

  EXPECT_EQ(vision->LookAt(0.0, 0.0, 0.0).GetCode(), 10);
  EXPECT_EQ(vision->LookAt(-1.0, 0.0, 0.0).GetCode(), 10);

  // At infinity along angles; 57 degrees aside is beyond the eye.
  ASSERT_EQ(vision->LookAt(INFINITY, -0.2, 0.1), MKStatusSuccess);
  EXPECT_EQ(vision->GetFocalPoint().x, -0.2);
  EXPECT_EQ(vision->GetFocalPoint().y, 0.1);
  EXPECT_TRUE(std::isinf(vision->GetFocalPoint().z) && std::isinf(vision->GetFocalDistance()));
  EXPECT_TRUE(std::isinf(vision->GetLeftLineOfSight()->GetLength()));
  EXPECT_EQ(vision->LookAt(INFINITY, 0.0, 1.0).GetCode(), 904);
  EXPECT_EQ(vision->GetHorizontalAngle(), 0.1);
}

TEST_F(MKVisionManikinTest, FocalDistanceAndAccommodation) {
  ASSERT_EQ(vision->LookAt(60.0, -0.1, 0.2), MKStatusSuccess);
  // Below the proximum: focused at the nearest focusable distance, along the same angles.
  EXPECT_EQ(vision->SetFocalDistance(2.0).GetCode(), 900);
  for (MKShortName name : {LLHeEye, MLHeEye, RLHeEye})
    EXPECT_NEAR(vision->GetLineOfSight(name)->GetLength(), 5.0, 1e-6) << name;
  EXPECT_NEAR(vision->GetFocalDistance(), 5.0, 1e-6);
  EXPECT_NEAR(vision->GetVerticalAngle(), -0.1, 1e-9);
  EXPECT_NEAR(vision->GetHorizontalAngle(), 0.2, 1e-9);
  EXPECT_EQ(vision->GetPonctumProximum(), 5.0);  // restored after the search

  EXPECT_EQ(vision->SetFocalDistance(40.0), MKStatusSuccess);
  EXPECT_NEAR(middle->GetLength(), 40.0, 1e-9);

  // A remotum nearer than the focus brings the eyes in.
  EXPECT_EQ(vision->SetPonctumRemotum(30.0), MKStatusSuccess);
  EXPECT_NEAR(middle->GetLength(), 30.0, 1e-6);
  EXPECT_EQ(vision->LookAt(Ahead(*vision, 31.0, 0, 0, 1)).GetCode(), 902);
  EXPECT_EQ(vision->SetFocalDistance(80.0).GetCode(), 902);
  EXPECT_NEAR(middle->GetLength(), 30.0, 1e-6);
  EXPECT_EQ(vision->SetPonctumRemotum(1.0).GetCode(), 906);  // below the proximum
  EXPECT_EQ(vision->GetPonctumRemotum(), 5.0);
  EXPECT_EQ(vision->SetPonctumRemotum(INFINITY), MKStatusSuccess);

  // Nearest possible focus: just beyond 0.01 from the eye.
  const double nearest = vision->GetMinPonctumProximum();
  EXPECT_GT(nearest, 0.01);
  EXPECT_LT(nearest, 0.011);
  EXPECT_NEAR(middle->GetLength(), 5.0, 1e-6);  // looked back where it was
  EXPECT_EQ(vision->SetPonctumProximum(0.001).GetCode(), 905);
  EXPECT_NEAR(vision->GetPonctumProximum(), nearest, 1e-6);
  EXPECT_EQ(vision->SetPonctumProximum(20.0), MKStatusSuccess);  // refocuses farther
  EXPECT_NEAR(middle->GetLength(), 20.0, 1e-6);
}

TEST_F(MKVisionManikinTest, VisionCones) {
  ASSERT_EQ(vision->LookAt(50.0, 0.0, 0.0), MKStatusSuccess);
  const unsigned int ring = manikin->GetBody()->GetMeshResolution() / 4 * 4;
  const MKBagOfMKMesh& plane = middle->GetPeripheralCone(MKProjectionOnPlane);
  ASSERT_EQ(plane.GetNumberOfMeshes(), 1u);
  const MKMesh* fan = plane.GetMesh(0);
  EXPECT_EQ(fan->GetType(), MKMesh::MKCap);
  ASSERT_EQ(fan->GetNumberOfPoints(), ring + 2);
  EXPECT_EQ((*fan)[0].z, 0.0);
  EXPECT_NEAR((*fan)[1].z, 50.0, 1e-9);
  // +X carries half the ambinocular angle, -X half the binocular one.
  EXPECT_NEAR((*fan)[1].x, 50.0 * std::tan(60.0 * kDegree), 1e-6);
  EXPECT_NEAR((*fan)[1 + ring / 2].x, -50.0 * std::tan(40.0 * kDegree), 1e-6);

  const MKBagOfMKMesh& sphere = middle->GetPeripheralCone(MKProjectionOnSphere);
  ASSERT_EQ(sphere.GetNumberOfMeshes(), manikin->GetBody()->GetMeshResolution() + 1);
  for (unsigned int i = 0; i < sphere.GetNumberOfMeshes(); ++i) {
    const MKMesh* mesh = sphere.GetMesh(i);
    for (unsigned int k = i == 0 ? 1 : 0; k < mesh->GetNumberOfPoints(); ++k)
      EXPECT_NEAR(Distance((*mesh)[k], MK3DVertex()), 50.0, 1e-9);
  }
  EXPECT_EQ(middle->GetCentralCone(MKProjectionOnPlane).GetNumberOfMeshes(), 1u);

  // The bags are the caller's: a later call leaves a held one as it was.
  const MKBagOfMKMesh held = middle->GetCentralCone(MKProjectionOnPlane);
  const MK3DVertex rim = (*held.GetMesh(0))[1];
  ASSERT_EQ(vision->LookAt(20.0, 0.0, 0.0), MKStatusSuccess);
  EXPECT_EQ(middle->GetCentralCone(MKProjectionOnPlane).GetNumberOfMeshes(), 1u);
  EXPECT_EQ((*held.GetMesh(0))[1].z, rim.z);
  ASSERT_EQ(vision->LookAt(INFINITY, 0.0, 0.0), MKStatusSuccess);
  EXPECT_EQ(middle->GetCentralCone(MKProjectionOnSphere).GetNumberOfMeshes(), 0u);
  EXPECT_EQ(
      vision->GetLeftLineOfSight()->GetPeripheralCone(MKProjectionOnPlane).GetNumberOfMeshes(), 0u);
}

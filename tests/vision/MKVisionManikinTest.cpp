// The vision of a created manikin: aiming, accommodation, the eyes' limits,
// and its place in the body and the manikin's parts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../manikin/MKManikinTestSupport.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

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

class MKVisionManikinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manikin = mktest::Make(1, 50.0);
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
  EXPECT_LT(middle->GetEndPoint(MKGlobalSpace).DistanceFrom(vision->GetFocalPoint()), 1e-9);

  // An all-zero row of the database means no data: the field angles bound
  // the middle eye, also when its limits are reset.
  EXPECT_NE(middle->GetDOF(0)->GetJointLimitDatabase(), nullptr);
  vision->SetBinocularAngle(50);
  middle->ResetAngularLimitations(-1, MKKEResetAll);
  EXPECT_NEAR(middle->GetDOF(1)->GetMaxLim(false), 25.0 * kDegree, 1e-12);
  EXPECT_NEAR(middle->GetDOF(0)->GetMaxLim(false), 35.0 * kDegree, 1e-12);
  vision->GetLeftLineOfSight()->ResetAngularLimitations(0, MKKEResetLimits);
  EXPECT_NEAR(vision->GetLeftLineOfSight()->GetDOF(0)->GetMaxLim(false), M_PI, 1e-12);
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
  EXPECT_EQ(middle->GetEndPoint(MKGlobalSpace).DistanceFrom(before), 0.0);

  // 60 degrees aside is beyond the eye's 40: the eyes stay where they were.
  EXPECT_EQ(vision->LookAt(Ahead(*vision, 60.0, std::sqrt(3.0), 0, 1)).GetCode(), 904);
  EXPECT_NEAR(vision->GetHorizontalAngle(), h, 1e-12);
  EXPECT_LT(middle->GetEndPoint(MKGlobalSpace).DistanceFrom(ahead), 1e-6);

  EXPECT_EQ(vision->LookAt(0.0, 0.0, 0.0).GetCode(), 10);

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

  // The nearest possible focus: a proximum below it is refused and clamped to it.
  const double nearest = vision->GetMinPonctumProximum();
  EXPECT_NEAR(middle->GetLength(), 5.0, 1e-6);  // looked back where it was
  EXPECT_EQ(vision->SetPonctumProximum(0.001).GetCode(), 905);
  EXPECT_NEAR(vision->GetPonctumProximum(), nearest, 1e-6);
  EXPECT_EQ(vision->SetPonctumProximum(20.0), MKStatusSuccess);  // refocuses farther
  EXPECT_NEAR(middle->GetLength(), 20.0, 1e-6);
}

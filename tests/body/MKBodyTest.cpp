// The 99-segment body: skeleton, bulk values, coupling and copies of segments.
#include <gtest/gtest.h>

#include <cmath>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "math/MKUnitConversions.h"

namespace {

double Rad(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}
double Deg(double radians) {
  return MKUnitConversions::RadiansToDegrees(radians);
}

MKDOF* DOF(MKBody& body, MKShortName segment, int axis) {
  return body.GetSegment(segment)->GetDOF(axis);
}

// Every visible DOF's mathematical value, in segment and axis order.
std::vector<double> Values(MKBody& body) {
  std::vector<double> values;
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = body.GetSegmentAtIndex(i)->GetDOF(axis))
        values.push_back(dof->GetMathematicalValue());
  return values;
}

}  // namespace

TEST(MKBodyTest, SkeletonFollowsTheTable) {
  MKBody body(nullptr, 1, 0);
  ASSERT_EQ(body.GetNumberOfSegments(), 99u);
  EXPECT_EQ(body.GetSegment(static_cast<MKShortName>(99)), nullptr);
  EXPECT_EQ(body.GetSegment(LSLeTh)->GetAncestor(), body.GetSegment(LSBoIlp));
  // 137 database rows less the six of the lines of sight: the visible DOFs.
  EXPECT_EQ(body.GetNumberOfDOFs(), 131u);

  // Left DOFs: Y and Z left-handed, pure slaves not inverted, X as on the right.
  EXPECT_TRUE(DOF(body, LSArAr, 1)->IsLeftHanded());
  EXPECT_FALSE(DOF(body, LSArAr, 0)->IsLeftHanded());
  EXPECT_TRUE(DOF(body, LSLeLe, 0)->IsInverted());
  EXPECT_TRUE(body.GetSegment(RSArSc)->GetDOF(-2)->IsInverted());
  EXPECT_FALSE(body.GetSegment(LSArSc)->GetDOF(-2)->IsInverted());

  // A pure slave takes its master's database row.
  EXPECT_EQ(body.GetSegment(RSBoIlp)->GetDOF(-2)->GetJointLimitDatabase(),
            DOF(body, RSLeTh, 0)->GetJointLimitDatabase());
}

TEST(MKBodyTest, BulkValuesRoundTripAndRespectLocks) {
  MKBody body(nullptr, 1, 0);
  DOF(body, RSArFAr, 0)->SetMathematicalValue(Rad(60));
  DOF(body, SBoL3, 1)->SetMathematicalValue(Rad(-2));
  KelRawColldouble values;
  body.GetDOFValues(values);
  ASSERT_EQ(values.Size(), 131);
  EXPECT_EQ(values[131], DOF(body, SBoL5, 0)->GetMathematicalValue());  // first DOF met goes last
  const std::vector<double> before = Values(body);
  EXPECT_EQ(body.SetDOFValues(values, false), MKStatusSuccess);
  EXPECT_EQ(Values(body), before);

  body.ResetPosture();
  DOF(body, RSArFAr, 0)->LockValue();
  EXPECT_EQ(body.SetDOFValues(values, false).GetCode(), 12);
  EXPECT_EQ(DOF(body, RSArFAr, 0)->GetMathematicalValue(), 0.0);
  EXPECT_NEAR(Deg(DOF(body, SBoL3, 1)->GetMathematicalValue()), -2, 1e-9);
  EXPECT_EQ(body.SetDOFValues(values, true), MKStatusSuccess);
  EXPECT_NEAR(Deg(DOF(body, RSArFAr, 0)->GetMathematicalValue()), 60, 1e-9);
  EXPECT_EQ(DOF(body, RSArFAr, 0)->GetDOFState(), MKDOF::ValueLocked);
}

TEST(MKBodyTest, CouplingScalesTheSlavesLimits) {
  MKBody body(nullptr, 1, 0);
  MKDOF* elbow = DOF(body, RSArFAr, 0);
  MKDOF* shoulder = DOF(body, RSArAr, 0);
  const double shoulderMax = shoulder->GetMaxLim(false);
  body.EnableCoupling(true);
  elbow->SetMathematicalValue(elbow->GetMaxLimNoCoupling(true) * 0.5);
  EXPECT_NEAR(shoulder->GetMaxLim(false) / shoulderMax, 0.8348625, 1e-12);
  EXPECT_NEAR(shoulder->GetMaxLimNoCoupling(true), shoulderMax, 1e-12);

  MKDOF* hip = DOF(body, RSLeTh, 0);
  MKDOF* knee = DOF(body, RSLeLe, 0);
  const double M = knee->GetMaxLimNoCoupling(true);
  const double ownMin = knee->GetMinLimNoCoupling(true);
  hip->SetMathematicalValue(hip->GetMaxLimNoCoupling(true));
  EXPECT_NEAR(knee->GetMinLim(false), -(M * 0.265), 1e-12);
  EXPECT_GE(knee->GetMathematicalValue(), M * 0.265 - 1e-12);  // the knee follows
  hip->SetMathematicalValue(hip->GetMaxLimNoCoupling(true) * 0.5);
  EXPECT_NEAR(knee->GetMinLim(false), -(M * (1 - 0.8460125)), 1e-12);
  hip->SetMathematicalValue(hip->GetMaxLimNoCoupling(true) * 0.4);
  EXPECT_NEAR(knee->GetMinLim(false), ownMin, 1e-12);

  // A master on its negative side scales by its own polynomials: the shoulder
  // extended sets the elbow's maximum and leaves its minimum.
  elbow->SetMathematicalValue(0.0);
  const double elbowMax = elbow->GetMaxLimNoCoupling(true);
  const double elbowMin = elbow->GetMinLimNoCoupling(true);
  shoulder->SetMathematicalValue(-shoulder->GetMinLimNoCoupling(true));
  EXPECT_NEAR(elbow->GetMaxLim(false) / elbowMax, 0.992, 1e-12);
  EXPECT_NEAR(elbow->GetMinLim(false), elbowMin, 1e-12);
  shoulder->SetMathematicalValue(-0.5 * shoulder->GetMinLimNoCoupling(true));
  EXPECT_NEAR(elbow->GetMaxLim(false) / elbowMax, 0.975, 1e-12);
  shoulder->SetMathematicalValue(0.5 * shoulder->GetMaxLimNoCoupling(true));
  EXPECT_NEAR(elbow->GetMaxLim(false) / elbowMax, 1.0245125, 1e-12);

  body.DisableCoupling(true);
  elbow->SetMathematicalValue(elbow->GetMaxLimNoCoupling(true));
  shoulder->SetMathematicalValue(shoulderMax);
  EXPECT_NEAR(shoulder->GetMathematicalValue(), shoulderMax, 1e-12);  // no coupling: own limit
}

// A mid-line segment's swap mirrors its posture in the sagittal plane; a
// side's mirror copy and swap exchange postures with the other side.
TEST(MKSegmentTest, MirrorsAndSwaps) {
  MKBody body(nullptr, 1, 0);
  EXPECT_EQ(body.GetSegment(LSLeLe)->GetMirrorSegment(), body.GetSegment(RSLeLe));
  EXPECT_EQ(body.GetSegment(SBoL3)->GetMirrorSegment(), nullptr);

  MKSegment* l3 = body.GetSegment(SBoL3);
  for (int axis = 0; axis < 3; ++axis) l3->GetDOF(axis)->SetMathematicalValue(Rad(2));
  l3->SwapPosture();
  EXPECT_NEAR(l3->GetDOF(0)->GetMathematicalValue(), Rad(2), 1e-12);
  EXPECT_NEAR(l3->GetDOF(1)->GetMathematicalValue(), Rad(-2), 1e-12);
  EXPECT_NEAR(l3->GetDOF(2)->GetMathematicalValue(), Rad(-2), 1e-12);

  MKSegment* right = body.GetSegment(RSArFAr);
  right->GetDOF(0)->SetMathematicalValue(Rad(40));
  right->MirrorCopyPosture();
  right->GetDOF(0)->SetMathematicalValue(Rad(10));
  right->SwapPosture();
  EXPECT_NEAR(right->GetDOF(0)->GetMathematicalValue(), Rad(40), 1e-12);
  EXPECT_NEAR(body.GetSegment(LSArFAr)->GetDOF(0)->GetMathematicalValue(), Rad(10), 1e-12);
}

TEST(MKSegmentTest, ACopyOwnsCopiesOfItsDOFsAndEllipses) {
  MKBody body(nullptr, 1, 0);
  MKSegment* arm = body.GetSegment(RSArAr);
  arm->GetEllipse(REArBi)->SetPosition(1, 2, 3);
  arm->GetDOF(1)->SetMathematicalValue(0.2);
  MKSegment copy(*arm);
  ASSERT_NE(copy.GetDOF(1), arm->GetDOF(1));
  EXPECT_EQ(copy.GetDOF(1)->GetOwner(), &copy);
  EXPECT_EQ(copy.GetDOF(1)->GetMathematicalValue(), 0.2);
  ASSERT_EQ(copy.GetNumberOfEllipses(), arm->GetNumberOfEllipses());
  EXPECT_EQ(copy.GetEllipse(REArBi)->GetSegment(), &copy);
  EXPECT_EQ(copy.GetEllipse(REArBi)->GetPositionZ(), 3.0);
  EXPECT_EQ(copy.GetSkinElement(), nullptr);
}

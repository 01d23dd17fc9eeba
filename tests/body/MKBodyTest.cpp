// The 99-segment body: skeleton, bulk values, postures, coupling, centre of
// gravity and spine.
#include <gtest/gtest.h>

#include <cmath>

#include "anthro/MKDBJointLimits.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKPrefAngle.h"
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

  // Ellipses with their flag words, the left shoulder tops excepted.
  EXPECT_EQ(body.GetEllipse(REArAca)->GetFlags(), 140);
  EXPECT_EQ(body.GetEllipse(LEArAca)->GetFlags(), 4);
  EXPECT_EQ(body.GetEllipse(EHeCh)->GetSegment(), body.GetSegment(SHeTo));
  EXPECT_EQ(body.GetElementByName(BoCg), body.GetCenterOfGravity());
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

TEST(MKBodyTest, PredefinedPosturesSetTheirValues) {
  MKBody body(nullptr, 1, 0);
  body.GetSegment(LSArAr)->SetRotation(0, -30, 0);
  const double a = 30, b = 60;
  struct Expected {
    int posture;
    MKShortName segment;
    int axis;
    double degrees;
  };
  const Expected postures[] = {
      {2, RSLeTh, 0, 90},  {2, LSLeTh, 0, 90},  {2, RSLeLe, 0, 90},  {2, LSLeLe, 0, 90},
      {2, RSArFAr, 0, 90}, {2, LSArFAr, 0, 90}, {2, LSArFAr, 2, a},  {2, RSArFAr, 2, a},
      {3, RSArAr, 0, 90},  {3, LSArAr, 0, 90},  {3, RSArAr, 1, -b},  {3, LSArAr, 1, -b},
      {3, LSArFAr, 2, 90}, {3, RSArFAr, 2, 90}, {4, RSArAr, 0, 90},  {4, LSArAr, 0, 90},
      {4, RSArAr, 1, -b},  {4, LSArFAr, 2, 90}, {4, RSArFAr, 2, 90}, {4, LSArCl, 0, 20},
      {4, LSArAr, 1, b},   {5, RSArAr, 1, 80},  {5, LSArAr, 1, 80},  {6, RSLeLe, 0, 107},
      {6, LSLeLe, 0, 107}, {6, RSArFAr, 0, 90}, {6, LSArFAr, 0, 90}, {6, LSArFAr, 2, 90},
      {6, RSArFAr, 2, 90}};
  body.ResetPosture();
  const std::vector<double> reset = Values(body);
  for (int p = 0; p <= 6; ++p) {
    ASSERT_EQ(body.SetPosture(static_cast<MKPostureSpec>(p)), MKStatusSuccess);
    std::vector<double> expected = reset;
    int index = 0;
    for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
      for (int axis = 0; axis < 3; ++axis) {
        MKDOF* dof = body.GetSegmentAtIndex(i)->GetDOF(axis);
        if (!dof) continue;
        for (const Expected& e : postures)
          if (e.posture == p && e.segment == static_cast<int>(i) && e.axis == axis) {
            // The database limits clamp what lies beyond them.
            expected[static_cast<std::size_t>(index)] =
                std::fmax(-dof->GetMinLim(false), std::fmin(dof->GetMaxLim(false), Rad(e.degrees)));
          }
        ++index;
      }
    const std::vector<double> actual = Values(body);
    for (std::size_t k = 0; k < actual.size(); ++k)
      EXPECT_NEAR(actual[k], expected[k], 1e-9) << "posture " << p << " DOF " << k;
  }
  DOF(body, RSArFAr, 0)->SetMathematicalValue(Rad(30));
  EXPECT_EQ(body.SetPosture(static_cast<MKPostureSpec>(7)).GetCode(), 9);
  EXPECT_EQ(Values(body), reset);
  EXPECT_FALSE(body.IsCouplingEnabled());
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

TEST(MKBodyTest, SpineAnglesSpreadOverTheVertebraeAndReadBack) {
  MKBody body(nullptr, 1, 0);
  body.GetRoot()->SetRotation(-90, 0, 180);  // the pelvis frame of a built body: +Z up
  body.BuildSpineShape(8.0, 12.0, 150.0, 90.0);
  EXPECT_NEAR(
      body.GetSegment(SBoT1)->GetEndPosition()(1) - body.GetSegment(SBoL5)->GetOriginPosition()(1),
      150.0 - 90.0 - 8.0 - 12.0, 1e-9);
  MKDOF* rotation = DOF(body, SBoL5, 2);
  rotation->SetEndSpineElement(SBoT1);
  ASSERT_EQ(rotation->SetValueOfSpineDof(Rad(30), 1), MKStatusSuccess);
  EXPECT_NEAR(Deg(rotation->GetValueOfSpineDof()), 30, 1e-9);
  double meanSum = 0;
  for (int n = SBoL5; n <= SBoT1; ++n)
    meanSum += DOF(body, static_cast<MKShortName>(n), 2)->GetMaxMean();
  for (int n = SBoL5; n <= SBoT1; ++n) {
    MKDOF* member = DOF(body, static_cast<MKShortName>(n), 2);
    EXPECT_NEAR(Deg(member->GetMathematicalValue()), 30 * member->GetMaxMean() / meanSum, 1e-9);
  }

  MKDOF* flexion = DOF(body, SBoL5, 0);
  flexion->SetEndSpineElement(SBoT1);
  ASSERT_EQ(flexion->SetValueOfSpineDof(Rad(20), 1), MKStatusSuccess);
  EXPECT_NEAR(Deg(flexion->GetValueOfSpineDof()), 20, 0.01);
  const std::vector<double> before = Values(body);
  const double measured = flexion->CalculateSpineDofValue();
  EXPECT_EQ(Values(body), before);  // measuring moves nothing
  EXPECT_NEAR(Deg(measured), 20, 0.01);

  flexion->LockValue();
  EXPECT_EQ(flexion->SetValueOfSpineDof(Rad(10), 1).GetCode(), 400);
  EXPECT_EQ(Values(body), before);
}

TEST(MKBodyTest, JointLimitsDatabaseSwitch) {
  MKBody body(nullptr, 1, 0);
  EXPECT_EQ(body.UseJointLimitsDB(nullptr).GetCode(), 800);
  EXPECT_EQ(body.UseJointLimitsDB(body.GetJointLimitsDB()).GetCode(), 800);
  MKDBJointLimits small;
  small.AddVariable(new MKDBJointLimitsVariable(RSArFAr, 0, 1, 1, 2, 1));
  EXPECT_EQ(body.UseJointLimitsDB(&small).GetCode(), 601);
}

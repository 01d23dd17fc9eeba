// The angles of the spine and neck runs, measured without moving the body,
// against the spine view of the DOFs, which measures by moving it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "MKRULATestSupport.h"
#include "analysis/detail/MKRunAngle.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

using mkrulatest::DOF;

double Current(const MKDOF& dof) {
  return dof.GetMathematicalValue();
}

// The spine view's value of the run, its end element set only for the measure.
double SpineView(MKBody& body, MKShortName first, MKShortName last, int axis) {
  MKDOF* dof = DOF(body, first, axis);
  dof->SetEndSpineElement(last);
  const double value = dof->GetValueOfSpineDof();
  dof->SetEndSpineElement(static_cast<MKShortName>(-1));
  return value;
}

}  // namespace

TEST(MKRunAngleTest, MagnitudesAreTheSpineViewsAndTheBodyStaysPut) {
  const unsigned int seed = 7;
  std::mt19937 rng(seed);
  mktest::Manikin manikin = mktest::Make(0, 5);
  MKBody& body = *manikin->GetBody();
  for (int trial = 0; trial < 40; ++trial) {
    mkrulatest::RandomPosture(body, rng);
    const MK3x1Matrix head = body.GetSegment(SHeTo)->GetEndPosition();
    for (const auto& [first, last] : {std::pair{SBoL5, SBoT1}, std::pair{SHeNe, SHeCg}}) {
      for (int axis = 0; axis < 3; ++axis) {
        const double fast = MKRunAngle(body, first, last, axis, Current);
        EXPECT_NEAR(std::fabs(fast), SpineView(body, first, last, axis), 1e-9)
            << "seed " << seed << " trial " << trial << " run " << first << " axis " << axis;
      }
    }
    // Nothing moved: the head is where it was, its matrices still valid.
    EXPECT_FALSE(body.GetSegment(SBoT1)->HasChanged());
    EXPECT_EQ(body.GetSegment(SHeTo)->GetEndPosition().DistanceFrom(head), 0.0);
  }
}

TEST(MKRunAngleTest, SignFollowsTheDOFsAndABrokenRunIsNaN) {
  mktest::Manikin manikin = mktest::Make(1, 50);
  MKBody& body = *manikin->GetBody();
  for (double sign : {1.0, -1.0}) {
    for (int n = SBoL5; n <= SBoT1; ++n) {
      DOF(body, static_cast<MKShortName>(n), 0)->SetMathematicalValue(sign * 0.02);
      DOF(body, static_cast<MKShortName>(n), 1)->SetMathematicalValue(sign * 0.02);
    }
    // Only the first vertebra turns the other way: the run still follows the others.
    DOF(body, SBoL5, 0)->SetMathematicalValue(-sign * 0.01);
    EXPECT_GT(sign * MKRunAngle(body, SBoL5, SBoT1, 0, Current), 0.0) << sign;
    EXPECT_GT(sign * MKRunAngle(body, SBoL5, SBoT1, 1, Current), 0.0) << sign;
  }
  body.ResetPosture();
  EXPECT_EQ(MKRunAngle(body, SBoL5, SBoT1, 0, Current), 0.0);
  // Flexion forward: the top of the spine moves towards the face (+Z).
  mkrulatest::SetDegrees(body, SBoL1, 0, 10.0);
  EXPECT_GT(MKRunAngle(body, SBoL5, SBoT1, 0, Current), 0.0);

  EXPECT_TRUE(std::isnan(MKRunAngle(body, SBoT1, SBoL5, 0, Current)));  // not a descendant
  EXPECT_TRUE(std::isnan(MKRunAngle(body, SBoTh, SHeNe, 0, Current)));  // no DOF
  EXPECT_TRUE(std::isnan(MKRunAngle(body, SBoL5, SBoT1, 3, Current)));
}

// Copying a manikin and pasting parts onto it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"
#include "math/MKUnitConversions.h"
#include "parts/MKMemo.h"
#include "parts/MKPartHolder.h"
#include "parts/MKStreamTestSupport.h"
#include "vision/MKVision.h"

namespace {

using mktest::Degrees;
using mktest::DOF;
using mktest::Make;
using mktest::Manikin;
using mktest::Memo;
using Part = MKPartHolder<>;

// A DOF record of `kind`: a stranger to containers of other kinds.
MKPartHolder<> DOFRecord(MKPartID kind) {
  const MKDOF dof(nullptr, 0, 0, nullptr, 0.0);
  return MKPartHolder<>(dof.ExtractPart(kind, 0, nullptr));
}

struct Value {
  MKShortName owner;
  int number;
  double degrees;
};

// A posture record of `version` holding the given values for `manikin`'s
// segments (or its middle line of sight).
Part PostureOf(MKManikin& manikin, double version, std::initializer_list<Value> values) {
  Part posture(new MKManikinPart(MKPartPostureID, version));
  for (const Value& v : values) {
    MKBodyElement* owner = manikin.GetBody()->GetElementByName(v.owner);
    const MKDOF value(owner, v.number, 0, nullptr, v.degrees);
    posture->AddPart(&value);
  }
  return posture;
}

// A posture of `version` holding `first`, a child no posture holds, then `last`.
Part BrokenPostureOf(MKManikin& manikin, double version, const Value& first, const Value& last) {
  Part posture = PostureOf(manikin, version, {first});
  posture->AddPart(DOFRecord(MKPartJointLimitsVariableID).get());
  const Part tail = PostureOf(manikin, version, {last});
  posture->AddPart(tail->GetChild(1));
  return posture;
}

}  // namespace

TEST(MKManikinPasteTest, RefusesWhatAManikinCannotTake) {
  Manikin manikin = Make(1, 50);
  EXPECT_EQ(manikin->PasteFrom(nullptr, 1), MKStatusNothingToPaste);

  // A joint-limits database reference names its database by its memo.
  MKManikinPart reference(MKPartJointLimitsDBReferenceID, 2.01);
  EXPECT_EQ(manikin->PasteFrom(&reference, 1), MKStatus(4));
  const MKMemo unknown = Memo("00000000-0000-0000-0000-000000000000", MKPartDefaultID);
  reference.AddPart(&unknown);
  EXPECT_EQ(manikin->PasteFrom(&reference, 1), MKStatusJointLimitsDB);
  const Part own(manikin->ExtractPart(MKPartJointLimitsDBReferenceID, 0, nullptr));
  EXPECT_EQ(manikin->PasteFrom(own.get(), 1), MKStatusSuccess);

  // Containers stop at a child they cannot hold.
  MKManikinPart limits(MKPartJointLimitsID, 2.01);
  limits.AddPart(DOFRecord(MKPartPostureVariableID).get());
  EXPECT_EQ(manikin->PasteFrom(&limits, 1), MKStatusFailure);
  MKManikinPart constraints(MKPartIKConstraintsID, 2.01);
  constraints.AddPart(DOFRecord(MKPartJointLimitsVariableID).get());
  EXPECT_EQ(manikin->PasteFrom(&constraints, 1), MKStatusFailure);
}

TEST(MKManikinPasteTest, APostureCarriesTheGazeAndTheHeadTurn) {
  Manikin manikin = Make(1, 50);
  Part gaze = PostureOf(*manikin, 2.03, {{MLHeEye, 2, 45.0}});
  ASSERT_EQ(manikin->PasteFrom(gaze.get(), 1), MKStatusSuccess);
  EXPECT_NEAR(manikin->GetVision()->GetFocalDistance(), 45.0, 1e-9);

  // A head turned beyond this body's limits comes back within them, and
  // the eyes keep looking at the point the posture looked at.
  MKDOF* head = DOF(manikin, SHeCg, 2);
  const double beyond = MKUnitConversions::RadiansToDegrees(head->GetMaxLim(false)) + 20.0;
  Part turned = PostureOf(*manikin, 2.03, {{SHeCg, 2, beyond}, {MLHeEye, 2, 45.0}});
  ASSERT_EQ(manikin->PasteFrom(turned.get(), 1), MKStatusSuccess);
  EXPECT_NEAR(head->GetMathematicalValue(), head->GetMaxLim(false), 1e-12);
  EXPECT_EQ(head->GetDOFState(), MKDOF::Free);
  const double distance = manikin->GetVision()->GetFocalDistance();
  EXPECT_GT(std::fabs(distance - 45.0), 1e-3);
  EXPECT_NEAR(distance, 45.0, 2.0);

  // A posture stops at a child it cannot hold; the values after it (pasted
  // first, from the last) stay.
  const Part broken = BrokenPostureOf(*manikin, 2.03, {LSArAr, 0, 25.0}, {RSArAr, 0, 35.0});
  EXPECT_EQ(manikin->PasteFrom(broken.get(), 1), MKStatusPasteKindRefused);
  EXPECT_NEAR(DOF(manikin, RSArAr, 0)->GetValue(), Degrees(35), 1e-12);
  EXPECT_NEAR(DOF(manikin, LSArAr, 0)->GetValue(), 0.0, 1e-12);
}

TEST(MKManikinPasteTest, EarlierPosturesAreCarriedOverToTheCurrentSkeleton) {
  Manikin manikin = Make(1, 50);

  // A straight lower spine: the angles are set directly.
  Part straight = PostureOf(*manikin, 2.02, {{RSArAr, 0, 30.0}, {SBoT1, 0, 5.0}});
  ASSERT_EQ(manikin->PasteFrom(straight.get(), 1), MKStatusSuccess);
  EXPECT_NEAR(DOF(manikin, RSArAr, 0)->GetValue(), Degrees(30), 1e-12);

  // A bent one goes through the earlier skeleton and back: the result is
  // the current skeleton under the recorded angles, joint limits kept.
  MKDOF* knee = DOF(manikin, RSLeLe, 0);
  knee->UnlockLimits();
  ASSERT_EQ(knee->SetMaxLimFromPercentile(90), MKStatusSuccess);
  const double kneeMax = knee->GetMaxLim(false);
  Part bent = PostureOf(*manikin, 2.02, {{SBoL5, 0, 10.0}, {LSArAr, 0, 20.0}});
  ASSERT_EQ(manikin->PasteFrom(bent.get(), 1), MKStatusSuccess);
  // The hands go back onto the frames they had on the earlier skeleton:
  // the arms turn a little from the recorded angles.
  EXPECT_NEAR(DOF(manikin, LSArAr, 0)->GetValue(), Degrees(20), Degrees(1));
  EXPECT_GT(std::fabs(DOF(manikin, LSArAr, 0)->GetValue() - Degrees(20)), 1e-9);
  EXPECT_NEAR(knee->GetMaxLim(false), kneeMax, 1e-12);
  ASSERT_EQ(DOF(manikin, SBoL5, 0)->SetValue(0.0, 1), MKStatusSuccess);
  manikin->GetBody()->ResetPosture();
  Manikin fresh = Make(1, 50);
  fresh->GetBody()->ResetPosture();
  for (MKShortName segment : {SHeCg, RSHaMi3, LSFoTo})
    EXPECT_NEAR(
        manikin->GetBody()
            ->GetSegment(segment)
            ->GetEndPoint(MKGlobalSpace)
            .DistanceFrom(fresh->GetBody()->GetSegment(segment)->GetEndPoint(MKGlobalSpace)),
        0.0, 1e-9);

  // A child a posture cannot hold returns 3; the children before it stay.
  const Part broken = BrokenPostureOf(*manikin, 2.02, {RSArAr, 0, 45.0}, {LSArAr, 0, 50.0});
  EXPECT_EQ(manikin->PasteFrom(broken.get(), 1), MKStatusFailure);
  EXPECT_NEAR(DOF(manikin, RSArAr, 0)->GetValue(), Degrees(45), 1e-12);
  EXPECT_NEAR(DOF(manikin, LSArAr, 0)->GetValue(), 0.0, 1e-12);

  // The earlier generation's own mode reads it as an ordinary posture.
  ASSERT_EQ(setenv("MKKR12ManikinInR14", "1", 1), 0);
  EXPECT_EQ(manikin->PasteFrom(broken.get(), 1), MKStatusPasteKindRefused);
  ASSERT_EQ(unsetenv("MKKR12ManikinInR14"), 0);
}

// Pasted onto a manikin's own anthropometry, another one leaves the body built
// from the pasted values, also when every value is fixed and the last of the
// paste's predictions has nothing left to predict.
TEST(MKManikinPasteTest, APastedAnthropometryRebuildsTheBody) {
  Manikin source = Make(1, 5);
  MKAnthro* fixed = source->GetAnthro();
  for (unsigned int i = 0; i < fixed->GetNumberOfVariables(); ++i) {
    MKAnthroVariable* variable = fixed->GetVariableAtIndex(i);
    ASSERT_EQ(variable->SetUserValue(variable->GetValue()), MKStatusSuccess);
  }
  ASSERT_EQ(fixed->Update(), MKStatusSuccess);
  auto expectSourceBody = [&source](const MKManikin& target) {
    EXPECT_NEAR(mktest::BuiltStature(target), mktest::BuiltStature(*source), 1e-9);
    for (unsigned int i = 0; i < source->GetBody()->GetNumberOfSegments(); ++i) {
      const MK4x4Matrix& a = source->GetBody()->GetSegmentAtIndex(i)->GetLocalMatrix();
      const MK4x4Matrix& b = target.GetBody()->GetSegmentAtIndex(i)->GetLocalMatrix();
      for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a(r, c), b(r, c), 1e-9) << i;
    }
  };
  Manikin target = Make(1, 95);
  ASSERT_EQ(target->GetAnthro()->PasteFrom(fixed, 1), MKStatusSuccess);
  expectSourceBody(*target);
  // So is the body of a copy of the whole manikin.
  const Manikin copy(static_cast<MKManikin*>(source->Clone()));
  expectSourceBody(*copy);
}

TEST(MKManikinPasteTest, ACopyKeepsTheCouplingAndAPostureWithinWidenedLimits) {
  for (const bool coupled : {true, false}) {
    Manikin source = Make(1, 50);
    if (coupled) source->GetBody()->EnableCoupling(false);
    // An elbow bent past a new manikin's limit, which the user widened.
    MKDOF* elbow = DOF(source, RSArFAr, 0);
    elbow->UnlockLimits();
    ASSERT_EQ(elbow->SetMaxLim(elbow->GetMaxLim(false) + 0.5), MKStatusSuccess);
    ASSERT_EQ(elbow->SetValue(elbow->GetMaxLim(false), 1), MKStatusSuccess);
    const Manikin copy(static_cast<MKManikin*>(source->Clone()));
    EXPECT_EQ(copy->GetBody()->IsCouplingEnabled(), coupled);
    EXPECT_EQ(DOF(copy, RSArFAr, 0)->GetMathematicalValue(), elbow->GetMathematicalValue());
    Manikin target = Make(1, 50);
    ASSERT_EQ(target->PasteFrom(source.get(), 1), MKStatusSuccess);
    EXPECT_EQ(DOF(target, RSArFAr, 0)->GetMathematicalValue(), elbow->GetMathematicalValue());
  }
}

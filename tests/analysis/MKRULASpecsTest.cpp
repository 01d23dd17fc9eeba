// RULA scoring settings: attributes, angle ranges and their scores, the
// scoring copies, and specs without a body.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

#include "MKRULATestSupport.h"
#include "analysis/MKRULASpecs.h"
#include "body/MKPrefAngle.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

using mkrulatest::DOF;
using mkrulatest::Rad;
using mkrulatest::SetDegrees;

using mkrulatest::Specs;

unsigned int Score(MKRULASpecs& specs, MKKEBodyPart part) {
  double angle = 0.0;
  unsigned int score = 0;
  EXPECT_EQ(specs.GetScore(part, angle, score), MKStatusSuccess) << part;
  return score;
}

// The score of a part with its DOF on the chosen side at `degrees`.
unsigned int ScoreAt(MKRULASpecs& specs, MKBody& body, MKKEBodyPart part, MKShortName segment,
                     double degrees) {
  SetDegrees(body, segment, 0, degrees);
  return Score(specs, part);
}

class MKRULASpecsTest : public ::testing::Test {
 protected:
  mktest::Manikin manikin = mktest::Make(1, 50);
  MKBody& body = *manikin->GetBody();
  Specs specs{MKRULASpecs::Create(&body)};
};

}  // namespace

// The scores of the default ranges are checked against the published
// method by the random postures of the analysis test; here, the ends the
// method leaves to this body: the play about 0 and the angles of the runs.
TEST_F(MKRULASpecsTest, NeutralPlayAndRunsScoreFromEachBoundUp) {
  // The wrist's neutral width is 5 % of its 80-degree flexion limit.
  ASSERT_NEAR(DOF(body, RSHaCPr, 0)->GetMaxLimNoCoupling(true), Rad(80), 1e-12);
  for (const auto& [degrees, score] : {std::pair{4.0, 2u}, {3.9, 1u}, {-4.0, 1u}, {-4.1, 2u}})
    EXPECT_EQ(ScoreAt(*specs, body, MKKWrist, RSHaCPr, degrees), score) << degrees;
  // Neck and trunk: runs of 2 and 17 joints, every joint of the run at the same angle.
  const auto runScore = [&](MKKEBodyPart part, MKShortName first, MKShortName last, double each) {
    for (int n = first; n <= last; ++n) SetDegrees(body, static_cast<MKShortName>(n), 0, each);
    return Score(*specs, part);
  };
  EXPECT_EQ(runScore(MKKNeck, SHeNe, SHeCg, -2), 4u);
  // A hair's breadth into extension reads upright, as the spine view reports it.
  EXPECT_EQ(runScore(MKKNeck, SHeNe, SHeCg, -2e-5), 1u);
  EXPECT_EQ(runScore(MKKTrunk, SBoL5, SBoT1, -0.5), 1u);
  EXPECT_EQ(runScore(MKKTrunk, SBoL5, SBoT1, 0.1), 1u);  // within the lumbar play
  EXPECT_EQ(runScore(MKKTrunk, SBoL5, SBoT1, 0.6), 2u);
}

TEST_F(MKRULASpecsTest, RangesAndAttributesTakeOnlyValidValues) {
  ASSERT_EQ(specs->SetSpecInDegrees(MKKUpperArm, 30, 50, 5), MKStatusSuccess);
  EXPECT_EQ(ScoreAt(*specs, body, MKKUpperArm, RSArAr, 40), 5u);
  EXPECT_EQ(ScoreAt(*specs, body, MKKUpperArm, RSArAr, 25), 2u);
  EXPECT_EQ(ScoreAt(*specs, body, MKKUpperArm, RSArAr, 55), 3u);
  for (const auto& [part, min, max, score] : {std::tuple{MKKUpperArm, 50, 30, 2},
                                              {MKKUpperArm, 0, 10, 7},
                                              {MKKUpperArm, 0, 10, 0},
                                              {MKKForearm, 0, 10, 4},
                                              {MKKTrunk, 0, 10, 7},
                                              {MKKUpperArm, 200, 300, 2}})
    EXPECT_EQ(specs->SetSpecInDegrees(part, min, max, score), MKStatusValueRefused) << part;
  EXPECT_EQ(specs->SetSpec(MKKUpperArm, std::nan(""), 1.0, 2), MKStatusValueRefused);
  EXPECT_EQ(specs->SetSpecInDegrees(MKKHand, 0, 10, 1), MKStatusNoRULAResult);
  EXPECT_EQ(specs->GetNumberOfAngleRanges(MKKUpperArm), 6u);
  // Clamped to the forearm's limits [0, 140]: the bottom range starts at 0.
  ASSERT_EQ(specs->SetSpecInDegrees(MKKForearm, -50, 10, 3), MKStatusSuccess);
  double min = 0.0, max = 0.0;
  unsigned int score = 0;
  const unsigned int last = specs->GetNumberOfAngleRanges(MKKForearm) - 1;
  ASSERT_EQ(specs->GetAngleRangeAtIndex(MKKForearm, last, min, max, score), MKStatusSuccess);
  EXPECT_EQ(min, 0.0);
  EXPECT_NEAR(max, Rad(10), 1e-12);
  EXPECT_EQ(specs->GetAngleRangeAtIndex(MKKForearm, last + 1, min, max, score),
            MKStatusNoRULAResult);

  // The default threshold of a forearm out to the side: half its outward limit.
  double number = 0.0;
  specs->GetSpec(MKKRULAArmOutToSide, number);
  EXPECT_NEAR(number, 0.5 * DOF(body, RSArAr, 2)->GetMinLimNoCoupling(true), 1e-15);
  // Forms an attribute lacks, values it cannot take, negative numbers: nothing changes.
  EXPECT_EQ(specs->SetSpec(MKKRULALoad, MKKRULAYes), MKStatusNoRULAResult);
  EXPECT_EQ(specs->GetSpec(MKKRULAMuscleUse, number), MKStatusNoRULAResult);
  EXPECT_TRUE(std::isnan(number));
  EXPECT_EQ(specs->SetSpec(MKKRULALoadMode, MKKRULALeft), MKStatusValueRefused);
  EXPECT_EQ(specs->SetSpec(static_cast<MKKERULAAttr>(16), MKKRULAYes), MKStatusNoRULAResult);
  EXPECT_EQ(specs->SetSpec(MKKRULAWristBent, -0.01), MKStatusValueRefused);
  EXPECT_EQ(specs->SetSpec(MKKRULALoad, std::nan("")), MKStatusValueRefused);
  // Reset brings back thresholds and values, not ranges.
  ASSERT_EQ(specs->SetSpec(MKKRULAArmOutToSide, 0.3), MKStatusSuccess);
  ASSERT_EQ(specs->SetSpec(MKKRULAArmOutToSide, MKKRULANo), MKStatusSuccess);
  specs->Reset();
  MKKERULAValue value = MKKRULANo;
  specs->GetSpec(MKKRULAArmOutToSide, value);
  EXPECT_EQ(value, MKKRULAAutomatic);
  specs->GetSpec(MKKRULAArmOutToSide, number);
  EXPECT_NEAR(number, 0.5 * DOF(body, RSArAr, 2)->GetMinLimNoCoupling(true), 1e-15);
  EXPECT_EQ(specs->GetNumberOfAngleRanges(MKKUpperArm), 6u);
}

// The answers to every question, side and value are checked by the random
// postures of the analysis test; here, the ends they cannot hit: a posture
// exactly at its threshold, and the arm's adduction (negative abduction),
// which does not count, while its rotation either way does.
TEST_F(MKRULASpecsTest, QuestionsAnswerYesFromTheirThresholdOn) {
  double threshold = 0.0;
  specs->GetSpec(MKKRULAShoulderRaised, threshold);
  MKDOF* clavicle = DOF(body, RSArCl, 1);
  clavicle->SetMathematicalValue(threshold * 0.99);
  EXPECT_FALSE(specs->IsShoulderRaised());
  clavicle->SetMathematicalValue(threshold);
  EXPECT_TRUE(specs->IsShoulderRaised());
  SetDegrees(body, RSArAr, 1, -15);
  EXPECT_FALSE(specs->IsArmAbducted());
  SetDegrees(body, RSArAr, 2, -15);
  EXPECT_TRUE(specs->IsArmOutToSide());
}

TEST_F(MKRULASpecsTest, ScoringCopiesMoveNothingOfTheBody) {
  // The arm and the elbow limit each other; the arm drives the scapula.
  body.EnableCoupling(false);
  SetDegrees(body, RSArFAr, 0, 120);
  SetDegrees(body, RSArAr, 0, 100);
  MKDOF* arm = DOF(body, RSArAr, 0);
  MKDOF* elbow = DOF(body, RSArFAr, 0);
  arm->LockValue();
  const Specs fresh(MKRULASpecs::Create(&body));
  const double armValue = arm->GetMathematicalValue(), elbowMax = elbow->GetMaxLim(false);
  const double scapula = body.GetSegment(RSArSc)->GetDOF(-2)->GetMathematicalValue();
  body.GetSegment(RSHaCPr)->GetEndPosition();  // the hand's matrices up to date
  for (MKKEBodyPart part : {MKKUpperArm, MKKForearm, MKKWrist, MKKNeck, MKKTrunk})
    Score(*fresh, part);
  // A copy keeps the joint's own limits, is free and drives nobody.
  MKDOF* copy = fresh->GetDOF(MKKUpperArm);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetShortNameOfOwner(), RSArAr);
  EXPECT_EQ(copy->GetOwner(), nullptr);
  EXPECT_EQ(copy->GetMaxLim(false), arm->GetMaxLimNoCoupling(true));
  EXPECT_EQ(copy->SetMathematicalValue(Rad(10)), MKStatusSuccess);
  EXPECT_EQ(elbow->GetMaxLim(false), elbowMax);
  EXPECT_EQ(body.GetSegment(RSArSc)->GetDOF(-2)->GetMathematicalValue(), scapula);
  EXPECT_FALSE(body.GetSegment(RSHaCPr)->HasChanged());
  EXPECT_EQ(arm->GetMathematicalValue(), armValue);
  EXPECT_EQ(arm->GetDOFState(), MKDOF::ValueLocked);
}

TEST(MKRULASpecsWithoutBody, ScoresNothingAndNeverCrashes) {
  Specs specs{MKRULASpecs::Create(nullptr)};
  double angle = 0.0;
  unsigned int score = 0;
  for (MKKEBodyPart part : {MKKUpperArm, MKKForearm, MKKWrist, MKKNeck, MKKTrunk, MKKHand}) {
    EXPECT_EQ(specs->GetScore(part, angle, score), MKStatusNoRULAResult) << part;
    EXPECT_TRUE(std::isnan(angle));
    EXPECT_EQ(specs->GetDOF(part), nullptr);
    EXPECT_EQ(specs->SetSpecInDegrees(part, 0, 10, 1), MKStatusNoRULAResult);
  }
  EXPECT_FALSE(specs->IsNeckTwisted());
}

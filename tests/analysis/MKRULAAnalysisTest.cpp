// The RULA analysis: the method's edge cases, random postures against a
// scorer written here from the published method and the data files, the
// interpretation texts and the colours.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "MKRULATestSupport.h"
#include "analysis/MKAnalysis.h"
#include "analysis/MKRULASpecs.h"
#include "analysis/detail/MKRunAngle.h"
#include "body/MKPrefAngle.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

using mkrulatest::Deg;
using mkrulatest::DOF;
using mkrulatest::Rad;
using mkrulatest::SetDegrees;

using mkrulatest::Specs;

// ---- The reference scorer ----

// The posture questions, and the largest threshold (degrees) a random case gives each.
const MKKERULAAttr kQuestions[] = {
    MKKRULAShoulderRaised,  MKKRULAArmAbducted,  MKKRULAWristBent,
    MKKRULAWristTwisted,    MKKRULAArmOutToSide, MKKRULANeckTwisted,
    MKKRULANeckSideBending, MKKRULATrunkTwisted, MKKRULATrunkSideBending};
const double kLargestThreshold[] = {30, 40, 15, 160, 50, 60, 20, 60, 30};
constexpr int Shoulder = 0, Abducted = 1, WristBent = 2, Twisted = 3, OutToSide = 4, NeckTwist = 5,
              NeckBend = 6, TrunkTwist = 7, TrunkBend = 8;

// The attributes a random case sets (angles in degrees, load in kg).
struct Attributes {
  bool left = false;
  // Per question: 0 no, 1 yes, 2 decided by the posture against the threshold.
  int answer[9] = {};
  double threshold[9] = {};
  bool armSupported = false, acrossMidline = false, muscleUse = true, legsUnsupported = false;
  double load = 0;
  int loadMode = 2;  // 2 static, 3 intermittent, 4 repeated or shock
  // The answer to question q for a posture measuring `measure`.
  bool Yes(int q, double measure) const {
    return answer[q] == 1 || (answer[q] == 2 && measure >= threshold[q]);
  }
};

void Apply(const Attributes& a, MKRULASpecs& specs) {
  const MKKERULAValue values[] = {MKKRULANo, MKKRULAYes, MKKRULAAutomatic};
  for (int q = 0; q < 9; ++q) {
    ASSERT_EQ(specs.SetSpec(kQuestions[q], values[a.answer[q]]), MKStatusSuccess);
    ASSERT_EQ(specs.SetSpec(kQuestions[q], Rad(a.threshold[q])), MKStatusSuccess);
  }
  const auto yesNo = [](bool b) { return b ? MKKRULAYes : MKKRULANo; };
  specs.SetSpec(MKKRULASide, a.left ? MKKRULALeft : MKKRULARight);
  specs.SetSpec(MKKRULAArmSupported, yesNo(a.armSupported));
  specs.SetSpec(MKKRULAArmsAcrossMidline, yesNo(a.acrossMidline));
  specs.SetSpec(MKKRULAMuscleUse, yesNo(a.muscleUse));
  specs.SetSpec(MKKRULALegs, yesNo(a.legsUnsupported));
  specs.SetSpec(MKKRULALoad, a.load);
  specs.SetSpec(MKKRULALoadMode, static_cast<MKKERULAValue>(a.loadMode));
}

double Degrees(MKBody& body, MKShortName segment, int axis) {
  return Deg(DOF(body, segment, axis)->GetMathematicalValue());
}

// The angle of a run of segments (degrees), as its own test checks it against
// the spine view: flexion forward positive; about axis 2, the summed twist.
double RunDegrees(MKBody& body, MKShortName first, MKShortName last, int axis) {
  return Deg(MKRunAngle(body, first, last, axis,
                        [](const MKDOF& dof) { return dof.GetMathematicalValue(); }));
}

// The reference's scores, in the order of the results record.
struct Scores {
  int upperArm = -1, lowerArm = -1, wrist = -1, twist = -1, a = -1, muscle = -1, force = -1,
      wristAndArm = -1, neck = -1, trunk = -1, legs = -1, b = -1, neckTrunkLeg = -1, final = -1;
};

// The scores of a results record, in the order of the fields of Scores.
std::vector<int> Listed(const MKAnalysisResults& r) {
  return {r.upperArmScore,     r.lowerArmScore,  r.wristScore,     r.wristTwistScore,
          r.postureAScore,     r.muscleUseScore, r.forceLoadScore, r.wristAndArmScore,
          r.neckScore,         r.trunkScore,     r.legScore,       r.postureBScore,
          r.neckTrunkLegScore, r.finalScore};
}

std::vector<int> Listed(const Scores& s) {
  return {s.upperArm,    s.lowerArm, s.wrist, s.twist, s.a, s.muscle,       s.force,
          s.wristAndArm, s.neck,     s.trunk, s.legs,  s.b, s.neckTrunkLeg, s.final};
}

// RULA as published (McAtamney and Corlett 1993), on this body's joints.
Scores Reference(MKBody& body, const Attributes& at, const mkrulatest::Tables& tables) {
  const int side = at.left ? 32 : 0;
  const auto limb = [&](MKShortName right) { return static_cast<MKShortName>(right + side); };
  Scores s;
  // Upper arm: flexion; 20 degrees either way is neutral, extension beyond is 2.
  const double flexion = Degrees(body, limb(RSArAr), 0);
  s.upperArm = flexion >= 90 ? 4 : flexion >= 45 ? 3 : flexion >= 20 ? 2 : flexion >= -20 ? 1 : 2;
  s.upperArm += at.Yes(Shoulder, Degrees(body, limb(RSArCl), 1));
  s.upperArm += at.Yes(Abducted, Degrees(body, limb(RSArAr), 1));
  if (at.armSupported) s.upperArm = std::max(1, s.upperArm - 1);
  // Lower arm: 60 to 100 degrees of elbow flexion is neutral.
  const double elbow = Degrees(body, limb(RSArFAr), 0);
  s.lowerArm = elbow >= 60 && elbow < 100 ? 1 : 2;
  const double rotation = std::fabs(Degrees(body, limb(RSArAr), 2));
  s.lowerArm += at.acrossMidline || at.Yes(OutToSide, rotation);
  // Wrist: neutral within w (5 % of the flexion limit, at most 15), 15 degrees either way.
  const double w =
      std::min(0.05 * Deg(DOF(body, limb(RSHaCPr), 0)->GetMaxLimNoCoupling(true)), 15.0);
  const double wrist = Degrees(body, limb(RSHaCPr), 0);
  s.wrist = wrist >= 15 || wrist < -15 ? 3 : wrist >= w || wrist < -w ? 2 : 1;
  s.wrist += at.Yes(WristBent, std::fabs(Degrees(body, limb(RSHaCPr), 1)));
  s.twist = 1 + at.Yes(Twisted, std::fabs(Degrees(body, limb(RSArFAr), 2)));
  s.a = tables.a.at({s.upperArm, s.lowerArm, s.wrist, s.twist});
  // Muscle use and force.
  s.muscle = at.muscleUse ? 1 : 0;
  const bool moderate = at.load >= 2 && at.load <= 10;
  if (moderate)
    s.force = at.loadMode == 3 ? 1 : 2;
  else if (at.load > 10)
    s.force = at.loadMode == 3 ? 2 : 3;
  else
    s.force = 0;
  s.wristAndArm = s.a + s.muscle + s.force;
  // Neck: 0-10 degrees 1, 10-20 2, above 3, in extension 4.
  const double neck = RunDegrees(body, SHeNe, SHeCg, 0);
  s.neck = neck >= 20 ? 3 : neck >= 10 ? 2 : neck >= 0 ? 1 : 4;
  s.neck += at.Yes(NeckTwist, RunDegrees(body, SHeNe, SHeCg, 2));
  s.neck += at.Yes(NeckBend, std::fabs(RunDegrees(body, SHeNe, SHeCg, 1)));
  // Trunk: upright within t (5 % of the lumbar flexion limits, at most 20), then
  // up to 20 degrees 2, up to 60 3, beyond 4; extension counts as upright.
  double lumbar = 0.0;
  for (MKShortName n : {SBoL5, SBoL4, SBoL3, SBoL2, SBoL1})
    lumbar += Deg(DOF(body, n, 0)->GetMaxLimNoCoupling(true));
  const double t = std::min(0.05 * lumbar, 20.0);
  const double trunk = RunDegrees(body, SBoL5, SBoT1, 0);
  s.trunk = trunk >= 60 ? 4 : trunk >= 20 ? 3 : trunk >= t ? 2 : 1;
  s.trunk += at.Yes(TrunkTwist, RunDegrees(body, SBoL5, SBoT1, 2));
  s.trunk += at.Yes(TrunkBend, std::fabs(RunDegrees(body, SBoL5, SBoT1, 1)));
  s.legs = at.legsUnsupported && !body.IsBalanced() ? 2 : 1;
  s.b = tables.b.at({s.neck, s.trunk, s.legs});
  s.neckTrunkLeg = s.b + s.muscle + s.force;
  s.final = tables.c.at({std::min(s.wristAndArm, 8), std::min(s.neckTrunkLeg, 7)});
  return s;
}

Attributes RandomAttributes(std::mt19937& rng) {
  std::uniform_int_distribution<int> answer(0, 2), coin(0, 1), mode(2, 4);
  const auto upTo = [&](double degrees) {
    return std::uniform_real_distribution<double>(0.0, degrees)(rng);
  };
  Attributes a;
  a.left = coin(rng);
  for (int& q : a.answer) q = answer(rng);
  for (int q = 0; q < 9; ++q) a.threshold[q] = upTo(kLargestThreshold[q]);
  a.armSupported = coin(rng);
  a.acrossMidline = coin(rng);
  a.muscleUse = coin(rng);
  a.legsUnsupported = coin(rng);
  a.load = std::uniform_int_distribution<int>(0, 3)(rng) == 0 ? 2.0 * coin(rng) + 8.0 * coin(rng)
                                                              : upTo(15);
  a.loadMode = mode(rng);
  return a;
}

class MKRULAAnalysisTest : public ::testing::Test {
 protected:
  MKAnalysisResults Analyse() {
    MKAnalysisResults results;
    EXPECT_EQ(MKAnalysis::PerformRULAAnalysis(specs.get(), results), MKStatusSuccess);
    EXPECT_EQ(results.status, MKStatusSuccess);
    return results;
  }

  mktest::Manikin manikin = mktest::Make(1, 50);
  MKBody& body = *manikin->GetBody();
  Specs specs{MKRULASpecs::Create(&body)};
};

}  // namespace

TEST(MKRULAReferenceTest, RandomPosturesScoreAsThePublishedMethod) {
  const unsigned int seed = 20260613;
  std::mt19937 rng(seed);
  const mkrulatest::Tables tables;
  std::set<int> finals;
  std::set<std::vector<int>> cellsA, cellsB, cellsC;
  int count = 0;
  for (int sex : {0, 1}) {
    mktest::Manikin manikin = mktest::Make(sex, sex == 0 ? 5 : 95);
    MKBody& body = *manikin->GetBody();
    body.EnableCoupling(false);
    Specs specs(MKRULASpecs::Create(&body));
    // Postures over the whole range of every joint, then gentle ones near
    // the rest posture, which reach the low scores.
    for (int trial = 0; trial < 700; ++trial, ++count) {
      const bool gentle = trial >= 550;
      Attributes attributes = RandomAttributes(rng);
      mkrulatest::RandomPosture(body, rng, gentle ? 0.1 : 1.0);
      if (gentle) {
        SetDegrees(body, attributes.left ? LSArFAr : RSArFAr, 0, 80);
        for (int& q : attributes.answer) q = q == 1 ? 2 : q;
        attributes.acrossMidline = false;
        attributes.load = 0.0;
      }
      Apply(attributes, *specs);
      MKAnalysisResults results;
      ASSERT_EQ(MKAnalysis::PerformRULAAnalysis(specs.get(), results), MKStatusSuccess)
          << "seed " << seed << " case " << count;
      const Scores expected = Reference(body, attributes, tables);
      ASSERT_EQ(Listed(results), Listed(expected))
          << "seed " << seed << " case " << count << ", neck " << RunDegrees(body, SHeNe, SHeCg, 0)
          << " trunk " << RunDegrees(body, SBoL5, SBoT1, 0);
      finals.insert(expected.final);
      cellsA.insert({expected.upperArm, expected.lowerArm, expected.wrist, expected.twist});
      cellsB.insert({expected.neck, expected.trunk, expected.legs});
      cellsC.insert({std::min(expected.wristAndArm, 8), std::min(expected.neckTrunkLeg, 7)});
    }
  }
  // The cases reach every action level and most cells of each table.
  EXPECT_GE(finals.size(), 6u);
  EXPECT_LE(*finals.begin(), 2);
  EXPECT_EQ(*finals.rbegin(), 7);
  // Most cells of each table are looked up (115 of 144, 57 of 72, 46 of 56).
  EXPECT_GE(cellsA.size(), 100u);
  EXPECT_GE(cellsB.size(), 50u);
  EXPECT_GE(cellsC.size(), 40u);
}

TEST_F(MKRULAAnalysisTest, InterpretationTexts) {
  const char* const acceptable =
      "Acceptable posture if it is not maintained or repeated for long periods.";
  const char* const investigate = "Investigate further; changes may be needed.";
  const struct {
    unsigned int score;
    unsigned char shorter;
    const char* text;
  } cases[] = {
      {0, 0, acceptable},
      {2, 1, acceptable},
      {3, 1, investigate},
      {4, 0, investigate},
      {5, 0, "Investigate further and change soon."},
      {6, 1, "Change soon."},
      {7, 0, "Investigate and change immediately."},
      {9, 1, "Change immediately."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MKAnalysis::InterpretRULAScore(c.score, c.shorter).ConvertToChar(), KelString(c.text))
        << c.score << " " << int(c.shorter);
  MKAnalysisResults results;
  EXPECT_EQ(results.InterpretRULAScore(0).GetLengthInChar(), 0);
}

TEST_F(MKRULAAnalysisTest, MissingSpecsBodyOrZoneScoreLeaveTheScoresMissing) {
  MKAnalysisResults results;
  EXPECT_EQ(results.status, MKStatusNotCompleted);
  EXPECT_EQ(MKAnalysis::PerformRULAAnalysis(nullptr, results), MKStatusNoRULAResult);
  EXPECT_EQ(results.status, MKStatusNoRULAResult);
  const Specs bodiless(MKRULASpecs::Create(nullptr));
  results = Analyse();
  EXPECT_EQ(MKAnalysis::PerformRULAAnalysis(bodiless.get(), results), MKStatusNoRULAResult);
  for (int score :
       {results.upperArmScore, results.lowerArmScore, results.wristScore, results.wristTwistScore,
        results.postureAScore, results.muscleUseScore, results.forceLoadScore,
        results.wristAndArmScore, results.neckScore, results.trunkScore, results.legScore,
        results.postureBScore, results.neckTrunkLegScore, results.finalScore})
    EXPECT_EQ(score, -1);
  // A zone scored outside the tables leaves what depends on it missing.
  for (unsigned int i = 0; i < specs->GetDOF(MKKNeck)->GetNumberOfPrefAngles(); ++i)
    specs->GetDOF(MKKNeck)->GetPrefAngle(i)->SetScore(-2.0);
  EXPECT_EQ(MKAnalysis::PerformRULAAnalysis(specs.get(), results), MKStatusNoRULAResult);
  EXPECT_EQ(results.postureBScore, -1);
  EXPECT_EQ(results.finalScore, -1);
  EXPECT_GT(results.postureAScore, 0);
}

TEST_F(MKRULAAnalysisTest, SegmentsTakeTheColourOfTheirPartsScore) {
  MKAnalysisResults results;
  results.upperArmScore = 2;
  results.lowerArmScore = 3;
  results.wristScore = 3;
  results.neckScore = 1;
  results.trunkScore = 5;
  results.legScore = 2;
  specs->SetSpec(MKKRULASide, MKKRULALeft);
  specs->SetColor(results);
  const struct {
    MKShortName segment;
    MKKERULAColoring coloring;
    int color;  // -1: not coloured
  } cases[] = {
      {LSArAr, MKKRULAColorAll, MKRULASpecs::sYellow},
      {LSArFAr, MKKRULAColorWristAndArm, MKRULASpecs::sRed},
      {LSHaCPr, MKKRULAColorAll, MKRULASpecs::sOrange},
      {RSArAr, MKKRULAColorAll, -1},  // the side not analysed
      {RSHaCPr, MKKRULAColorAll, -1},
      {SHeNe, MKKRULAColorNeckTrunkAndLeg, MKRULASpecs::sGreen},
      {SHeNe, MKKRULAColorWristAndArm, -1},
      {SBoT1, MKKRULAColorAll, MKRULASpecs::sRed},
      {SBoTh, MKKRULAColorAll, -1},
      {LSLeTh, MKKRULAColorNeckTrunkAndLeg, MKRULASpecs::sRed},
      {static_cast<MKShortName>(99), MKKRULAColorAll, -1},
  };
  for (const auto& c : cases) {
    int color = 0;
    EXPECT_EQ(specs->GetColor(c.segment, c.coloring, color),
              c.color < 0 ? MKStatusNoRULAResult : MKStatusSuccess)
        << c.segment;
    EXPECT_EQ(color, c.color) << c.segment;
  }
  EXPECT_TRUE(specs->HasMaxScore(LSArFAr));
  EXPECT_FALSE(specs->HasMaxScore(LSArAr));
  // Along the upper arm's scores 1 to 6: green, yellow, orange, orange, red, red.
  const int arm[] = {MKRULASpecs::sGreen,  MKRULASpecs::sYellow, MKRULASpecs::sOrange,
                     MKRULASpecs::sOrange, MKRULASpecs::sRed,    MKRULASpecs::sRed};
  for (int score = 1; score <= 6; ++score) {
    results.upperArmScore = score;
    specs->SetColor(results);
    int color = 0;
    specs->GetColor(LSArAr, MKKRULAColorAll, color);
    EXPECT_EQ(color, arm[score - 1]) << score;
  }
  EXPECT_EQ(MKRULASpecs::GetColorOfFinalScore(2), MKRULASpecs::sGreen);
  EXPECT_EQ(MKRULASpecs::GetColorOfFinalScore(7), MKRULASpecs::sRed);
}

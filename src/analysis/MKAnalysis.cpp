#include "analysis/MKAnalysis.h"

#include <algorithm>

#include "analysis/MKRULASpecs.h"
#include "body/MKBody.h"
#include "parts/MKMessage.h"

namespace {

// Part scores above this are taken as missing: no table reaches them, and
// the sums below stay far from overflow.
constexpr unsigned int kLargestPartScore = 1000;

// The force/load score of a load (kg) handled in a mode.
int ForceLoadScore(double load, int mode) {
  const bool moderate = load >= 2.0 && load <= 10.0;
  if (moderate && mode == MKKRULAIntermittent) return 1;
  if (moderate && (mode == MKKRULAStatic || mode == MKKRULARepeatedOrShock)) return 2;
  if (load > 10.0) return mode == MKKRULAIntermittent ? 2 : 3;
  return 0;
}

}  // namespace

int MKAnalysis::GetRULAPostureAScore(unsigned int upperArm, unsigned int lowerArm,
                                     unsigned int wrist, unsigned int wristTwist) {
  if (upperArm < 1 || upperArm > 6 || lowerArm < 1 || lowerArm > 3 || wrist < 1 || wrist > 4 ||
      wristTwist < 1 || wristTwist > 2)
    return -1;
  return __RULATableA[upperArm - 1][lowerArm - 1][wrist - 1][wristTwist - 1];
}

int MKAnalysis::GetRULAPostureBScore(unsigned int neck, unsigned int trunk, unsigned int legs) {
  if (neck < 1 || neck > 6 || trunk < 1 || trunk > 6 || legs < 1 || legs > 2) return -1;
  return __RULATableB[neck - 1][trunk - 1][legs - 1];
}

int MKAnalysis::GetRULAOverallScore(unsigned int wristAndArm, unsigned int neckTrunkLeg) {
  if (wristAndArm < 1 || neckTrunkLeg < 1) return -1;
  return __RULATableC[std::min(wristAndArm, 8u) - 1][std::min(neckTrunkLeg, 7u) - 1];
}

int MKAnalysis::GetRULAActionLevel(unsigned int score) {
  if (score < 3) return 1;
  if (score < 5) return 2;
  return score < 7 ? 3 : 4;
}

KelUnicodeString MKAnalysis::InterpretRULAScore(unsigned int score, unsigned char shorter) {
  const char* keys[] = {"RulaInterpretationAcceptable", "RulaInterpretationInvestigate",
                        "RulaInterpretationChangeSoon", "RulaInterpretationChangeImmediatly"};
  KelUnicodeString key = keys[GetRULAActionLevel(score) - 1];
  if (shorter && GetRULAActionLevel(score) >= 3) key += "Shorter";
  return MKGetMessage(key);
}

MKStatus MKAnalysis::PerformRULAAnalysis(MKRULASpecs* specs, MKAnalysisResults& results) {
  results.ClearRULAScores();
  results.status = MKStatusNotCompleted;
  MKBody* body = specs ? specs->GetBody() : nullptr;
  if (!body) return results.status = MKStatusNoRULAResult;
  // The score of a part's range; -1 when missing, which leaves every score
  // that needs it missing too.
  const auto base = [specs](MKKEBodyPart part) {
    double angle;
    unsigned int score;
    if (specs->GetScore(part, angle, score) != MKStatusSuccess || score < 1 ||
        score > kLargestPartScore)
      return -1;
    return static_cast<int>(score);
  };
  const auto value = [specs](MKKERULAAttr attr) {
    MKKERULAValue v = MKKRULANo;
    specs->GetSpec(attr, v);
    return v;
  };

  // Group A: arm and wrist.
  int upperArm = base(MKKUpperArm);
  if (upperArm > 0) {
    upperArm += specs->IsShoulderRaised() + specs->IsArmAbducted();
    upperArm = std::max(1, upperArm - (value(MKKRULAArmSupported) == MKKRULAYes));
  }
  int lowerArm = base(MKKForearm);
  if (lowerArm > 0)
    lowerArm += value(MKKRULAArmsAcrossMidline) == MKKRULAYes || specs->IsArmOutToSide();
  int wrist = base(MKKWrist);
  if (wrist > 0) wrist += specs->IsWristBent();
  results.upperArmScore = upperArm;
  results.lowerArmScore = lowerArm;
  results.wristScore = wrist;
  results.wristTwistScore = specs->IsWristTwisted() ? 2 : 1;
  if (upperArm > 0 && lowerArm > 0 && wrist > 0)
    results.postureAScore =
        GetRULAPostureAScore(upperArm, lowerArm, wrist, results.wristTwistScore);

  double load = 0.0;
  specs->GetSpec(MKKRULALoad, load);
  results.muscleUseScore = value(MKKRULAMuscleUse) == MKKRULAYes ? 1 : 0;
  results.forceLoadScore = ForceLoadScore(load, value(MKKRULALoadMode));
  const int extra = results.muscleUseScore + results.forceLoadScore;
  if (results.postureAScore > 0) results.wristAndArmScore = results.postureAScore + extra;

  // Group B: neck, trunk and legs.
  int neck = base(MKKNeck);
  if (neck > 0) neck += specs->IsNeckTwisted() + specs->IsNeckSideBending();
  int trunk = base(MKKTrunk);
  if (trunk > 0) trunk += specs->IsTrunkTwisted() + specs->IsTrunkSideBending();
  results.neckScore = neck;
  results.trunkScore = trunk;
  results.legScore = value(MKKRULALegs) == MKKRULAYes && !body->IsBalanced() ? 2 : 1;
  if (neck > 0 && trunk > 0)
    results.postureBScore = GetRULAPostureBScore(neck, trunk, results.legScore);
  if (results.postureBScore > 0) results.neckTrunkLegScore = results.postureBScore + extra;

  if (results.wristAndArmScore > 0 && results.neckTrunkLegScore > 0)
    results.finalScore = GetRULAOverallScore(results.wristAndArmScore, results.neckTrunkLegScore);
  specs->SetColor(results);
  return results.status = results.finalScore > 0 ? MKStatusSuccess : MKStatusNoRULAResult;
}

// The Liberty Mutual 2021 equations measured on the manikin: lifting and
// lowering, pushing and pulling, carrying.
#include <algorithm>
#include <cmath>

#include "analysis/MKAnalysis.h"
#include "analysis/detail/MKHandling.h"
#include "analysis/detail/MKLibertyMutual2021.h"
#include "manikin/MKManikin.h"
#include "math/MKFrame.h"

namespace {

using LM = MKLibertyMutual2021;

// The load (N) acceptable to `percentage` % for a task; `clamped` collects
// whether an input had to be moved into the equations' range.
double Acceptable(LM::Task task, int sex, LM::Inputs inputs, double percentage, bool& clamped) {
  clamped |= LM::Clamp(task, sex, inputs);
  double factors[4];
  const double mal = LM::Compute(task, sex, inputs, factors);
  return LM::AtPercentage(mal, LM::sEquations[task * 2 + sex].cv, percentage) * LM::sGravity;
}

bool SexAccepted(int sex) {
  return sex == 0 || sex == 1;
}

bool PercentageAccepted(double percentage) {
  return mkhandling::PercentageAccepted(MKAnalysis::MKLibertyMutual2021, percentage, false);
}

}  // namespace

MKStatus MKAnalysis::PerformLibertyMutual2021LiftLowerAnalysis(
    MKManikin* manikin, const MKManikinPart* origin, const MKManikinPart* destination,
    double frequency, double percentage, const MKFrame& originFrame,
    const MKFrame& destinationFrame, MKAnalysisResults& results) {
  if (!PercentageAccepted(percentage)) return results.status = MKStatusPercentageRefused;
  MKStatus warning = MKStatusSuccess;
  const int sex = mkhandling::Sex(manikin);
  if (!SexAccepted(sex) || !mkhandling::PasteAndCheckStance(manikin, origin, destination,
                                                            originFrame, destinationFrame, warning))
    return results.status = MKStatusMissingInput;
  const MKBody* body = manikin->GetBody();
  const double hD = ComputeH(body, destinationFrame), vD = ComputeV(body, destinationFrame);
  mkhandling::Paste(manikin, origin);
  const double hO = ComputeH(body, originFrame), vO = ComputeV(body, originFrame);
  if (std::isnan(hO + vO + hD + vD)) return results.status = MKStatusFailure;

  LM::Inputs in{};
  in.h = std::max(hO, hD) / 100.0;
  in.dv = std::fabs(vD - vO) / 100.0;
  in.vrm = (vO + vD) / 200.0;
  in.f = frequency * 60.0;
  bool clamped = false;
  const double weight = Acceptable(vD > vO ? LM::sLift : LM::sLower, sex, in, percentage, clamped);
  if (std::isnan(weight)) return results.status = MKStatusFailure;
  results.liftLowerWeight = weight;
  results.hOrigin = hO / 100.0;
  results.hDestination = hD / 100.0;
  results.vOrigin = vO / 100.0;
  results.vDestination = vD / 100.0;
  results.d = in.dv;
  return results.status = clamped ? MKStatus(MKStatusInputClamped) : warning;
}

MKStatus MKAnalysis::PerformLibertyMutual2021PushPullAnalysis(
    const MKBody* body, int sex, double frequency, double pushDistance, double pullDistance,
    double percentage, const MKFrame& frame, MKAnalysisResults& results) {
  if (!SexAccepted(sex)) return results.status = MKStatusSexRefused;
  if (!PercentageAccepted(percentage)) return results.status = MKStatusPercentageRefused;
  if (!(pushDistance >= 0.0)) return results.status = MKStatusPushDistanceRefused;
  if (!(pullDistance >= 0.0)) return results.status = MKStatusPullDistanceRefused;
  const double v = ComputeV(body, frame);
  if (std::isnan(v)) return results.status = MKStatusMissingInput;
  LM::Inputs in{};
  in.v = v / 100.0;
  in.f = frequency * 60.0;
  bool clamped = false;
  if (pushDistance > 0.0) {
    in.dh = pushDistance / 100.0;
    results.pushInitialForce = Acceptable(LM::sPushInitial, sex, in, percentage, clamped);
    results.pushSustainedForce = Acceptable(LM::sPushSustained, sex, in, percentage, clamped);
  }
  if (pullDistance > 0.0) {
    in.dh = pullDistance / 100.0;
    results.pullInitialForce = Acceptable(LM::sPullInitial, sex, in, percentage, clamped);
    results.pullSustainedForce = Acceptable(LM::sPullSustained, sex, in, percentage, clamped);
  }
  return results.status = clamped ? MKStatusInputClamped : MKStatusSuccess;
}

MKStatus MKAnalysis::PerformLibertyMutual2021CarryAnalysis(const MKBody* body, int sex,
                                                           double frequency, double distance,
                                                           double percentage, const MKFrame& frame,
                                                           MKAnalysisResults& results) {
  if (!SexAccepted(sex)) return results.status = MKStatusSexRefused;
  if (!PercentageAccepted(percentage)) return results.status = MKStatusPercentageRefused;
  if (!(distance >= 0.0)) return results.status = MKStatusCarryDistanceRefused;
  const double v = ComputeV(body, frame);
  if (std::isnan(v)) return results.status = MKStatusMissingInput;
  LM::Inputs in{};
  in.v = v / 100.0;
  in.dh = distance / 100.0;
  in.f = frequency * 60.0;
  bool clamped = false;
  results.carryWeight = Acceptable(LM::sCarry, sex, in, percentage, clamped);
  return results.status = clamped ? MKStatusInputClamped : MKStatusSuccess;
}

// The NIOSH 1981 and 1991 lifting equations: measurements on the posed body,
// the 1991 multipliers, the posture checks and the analyses.
#include <algorithm>
#include <cmath>

#include "analysis/MKAnalysis.h"
#include "analysis/detail/MKHandling.h"
#include "body/MKBody.h"
#include "body/MKCenterOfGravity.h"
#include "manikin/MKManikin.h"
#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"
#include "math/MKFrame.h"
#include "math/MKIEEE.h"
#include "math/MKMathRoutines.h"
#include "math/MKMesh.h"
#include "math/MKUnitConversions.h"

using mkhandling::End;
using mkhandling::InFrame;
using mkhandling::MidEnd;

namespace {

constexpr double kEpsilon = 1.1920929e-07;
// Feet and ankles within this height of each other count as level (cm).
constexpr double kFloorTolerance = 1.0;
// Hands within this height of each other count as level (cm).
constexpr double kHandTolerance = 5.0;
// Feet within this angle of the hips count as square to them (degrees).
constexpr double kSymmetricalStance = 5.0;

// Exactly: the thresholds at whole inches (30 in = 76.2 cm) must hold.
double Inches(double cm) {
  return cm / 2.54;
}

// The angle between two world vectors (radians); NaN when either is shorter
// than epsilon.
double AngleBetween(const MK3DVertex& a, const MK3DVertex& b) {
  const double la = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  const double lb = std::sqrt(b.x * b.x + b.y * b.y + b.z * b.z);
  if (!(la >= kEpsilon) || !(lb >= kEpsilon)) return MKIEEE::NaN();
  double cosine = (a.x * b.x + a.y * b.y + a.z * b.z) / (la * lb);
  if (std::fabs(cosine - 1.0) < kEpsilon) cosine = 1.0;
  return std::acos(std::max(-1.0, std::min(1.0, cosine)));
}

MK3DVertex Between(const MK3DVertex& from, const MK3DVertex& to) {
  return MK3DVertex(to.x - from.x, to.y - from.y, to.z - from.z);
}

double HeightOf(const MKBody* body, MKShortName segment, const MKFrame& frame) {
  return InFrame(End(body, segment), frame).y;
}

bool FootFlat(const MKBody* body, const MKFrame& frame, MKShortName sole, MKShortName heel,
              MKShortName tarsal, MKShortName toe) {
  const double soleToHeel = std::fabs(HeightOf(body, sole, frame) - HeightOf(body, heel, frame));
  if (soleToHeel <= kFloorTolerance) return true;
  return std::fabs(HeightOf(body, tarsal, frame) - HeightOf(body, toe, frame)) <= kFloorTolerance;
}

// Every multiplier of a side must be a number >= 0.
bool AllUsable(std::initializer_list<double> values) {
  for (double v : values)
    if (!(v >= 0.0)) return false;
  return true;
}

double LiftingIndex(double load, double rwl) {
  if (rwl > 0.0) return load / rwl;
  return load > 0.0 ? MKIEEE::Infinite() : 0.0;
}

}  // namespace

double MKAnalysis::ComputeH(const MKBody* body, const MKFrame& frame) {
  if (!body) return MKIEEE::NaN();
  const MK3DVertex hands = InFrame(MidEnd(body, RSHaCPr, LSHaCPr), frame);
  const MK3DVertex ankles = InFrame(MidEnd(body, RSFoAn, LSFoAn), frame);
  return std::hypot(hands.x - ankles.x, hands.z - ankles.z);
}

double MKAnalysis::ComputeV(const MKBody* body, const MKFrame& frame) {
  if (!body) return MKIEEE::NaN();
  const MK3DVertex hands = InFrame(MidEnd(body, RSHaCPr, LSHaCPr), frame);
  const MK3DVertex soles = InFrame(MidEnd(body, RSFoSo, LSFoSo), frame);
  return std::fabs(hands.y - soles.y);
}

double MKAnalysis::ComputeD(MKManikin* manikin, const MKManikinPart* origin,
                            const MKManikinPart* destination, const MKFrame& originFrame,
                            const MKFrame& destinationFrame) {
  if (!mkhandling::Paste(manikin, origin)) return MKIEEE::NaN();
  const double start = ComputeV(manikin->GetBody(), originFrame);
  if (!mkhandling::Paste(manikin, destination)) return MKIEEE::NaN();
  return ComputeV(manikin->GetBody(), destinationFrame) - start;
}

double MKAnalysis::ComputeA(const MKBody* body) {
  if (!body) return MKIEEE::NaN();
  return AngleBetween(Between(End(body, RSHaCPr), End(body, LSHaCPr)),
                      Between(End(body, RSBoIlp), End(body, LSBoIlp)));
}

double MKAnalysis::ComputeLC() {
  return MKUnitConversions::LbToKg(51.0);
}

double MKAnalysis::ComputeHM(double h) {
  const double inches = Inches(h);
  if (std::isnan(inches)) return MKIEEE::NaN();
  return inches > 25.0 ? 0.0 : 10.0 / std::max(inches, 10.0);
}

double MKAnalysis::ComputeVM(double v) {
  const double inches = Inches(v);
  if (std::isnan(inches)) return MKIEEE::NaN();
  return inches > 70.0 ? 0.0 : 1.0 - 0.0075 * std::fabs(inches - 30.0);
}

double MKAnalysis::ComputeDM(double d) {
  const double inches = Inches(d);
  if (std::isnan(inches)) return MKIEEE::NaN();
  return inches > 70.0 ? 0.0 : 0.82 + 1.8 / std::max(inches, 10.0);
}

double MKAnalysis::ComputeAM(double a) {
  const double degrees = MKUnitConversions::RadiansToDegrees(a);
  if (std::isnan(degrees)) return MKIEEE::NaN();
  return degrees > 135.0 ? 0.0 : 1.0 - 0.0032 * degrees;
}

double MKAnalysis::ComputeFM(double frequency, double duration, double v) {
  const double f = frequency * 60.0;
  if (std::isnan(f) || std::isnan(duration) || std::isnan(v)) return MKIEEE::NaN();
  if (f > 15.0 || duration > 8.0) return 0.0;
  if (f < 0.1) duration = 1.0;
  int row = f <= 0.2 ? 0 : f <= 0.5 ? 1 : static_cast<int>(f + 1.5);
  int column = duration <= 1.0 ? 0 : duration <= 2.0 ? 2 : 4;
  if (Inches(v) >= 30.0) ++column;
  return __FrequencyMultiplierTable[column * 17 + row];
}

double MKAnalysis::ComputeCM(MKCouplingCondition coupling, double v) {
  if (coupling < MKCouplingGood || coupling > MKCouplingPoor || std::isnan(v)) return MKIEEE::NaN();
  return __CouplingMultiplierTable[coupling][Inches(v) < 30.0 ? 0 : 1];
}

bool MKAnalysis::CheckFloorStand(const MKBody* body, const MKFrame& frame) {
  if (!body) return false;
  return FootFlat(body, frame, RSFoSo, RSFoHe, RSFoTa, RSFoTo) &&
         FootFlat(body, frame, LSFoSo, LSFoHe, LSFoTa, LSFoTo) &&
         std::fabs(HeightOf(body, RSFoAn, frame) - HeightOf(body, LSFoAn, frame)) <=
             kFloorTolerance;
}

bool MKAnalysis::CheckHandParallelism(const MKBody* body) {
  if (!body) return false;
  return std::fabs(End(body, RSHaCPr).y - End(body, LSHaCPr).y) <= kHandTolerance;
}

bool MKAnalysis::CheckWeightBalance(const MKBody* constBody, double weight, double load) {
  if (!constBody || !(weight >= 0.0) || !(load >= 0.0) || weight + load <= 0.0) return false;
  // The centre of gravity and the basis of support are cached on the body.
  MKBody* body = const_cast<MKBody*>(constBody);
  const MK3x1Matrix g = body->GetCenterOfGravity()->GetGlobalMatrix().GetTranslation();
  const MK3DVertex hands = MidEnd(body, RSHaCPr, LSHaCPr);
  const double share = 1.0 / (weight + load);
  const MK3DVertex both((weight * g(0) + load * hands.x) * share, 0.0,
                        (weight * g(2) + load * hands.z) * share);
  const MKMesh hull = body->GetBasisOfSupport();
  MKMesh floor(MKMesh::MKPointSet);
  for (unsigned int i = 0; i < hull.GetNumberOfPoints(); ++i)
    floor.Append(hull[i].x, 0.0, hull[i].z);
  return MKMathRoutines::ContainsVertex(floor, both);
}

bool MKAnalysis::SymmetricalStand(const MKBody* body) {
  if (!body) return false;
  const double angle = AngleBetween(Between(End(body, RSFoAn), End(body, LSFoAn)),
                                    Between(End(body, RSBoIlp), End(body, LSBoIlp)));
  return MKUnitConversions::RadiansToDegrees(angle) < kSymmetricalStance;
}

MKStatus MKAnalysis::PerformNIOSH1991LiftLowerAnalysis(
    MKManikin* manikin, const MKManikinPart* origin, const MKManikinPart* destination,
    MKCouplingCondition coupling, double frequency, double duration, double load,
    const MKFrame& originFrame, const MKFrame& destinationFrame, MKAnalysisResults& results) {
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!body || !mkhandling::Paste(manikin, origin) || !mkhandling::IsPosture(destination))
    return results.status = MKStatusMissingInput;
  // Each posture is pasted once and measured whole; the destination stays.
  MKStatus warning = MKStatusSuccess;
  const double weight = mkhandling::Weight(manikin);
  if (!CheckFloorStand(body, originFrame)) warning = MKStatusOriginNotOnFloor;
  if (!CheckWeightBalance(body, weight, load)) warning = MKStatusOriginNotBalanced;
  const double hO = ComputeH(body, originFrame);
  const double vO = ComputeV(body, originFrame);
  const double aO = ComputeA(body);
  if (!mkhandling::Paste(manikin, destination)) return results.status = MKStatusMissingInput;
  if (!CheckFloorStand(body, destinationFrame)) warning = MKStatusDestinationNotOnFloor;
  if (!CheckWeightBalance(body, weight, load)) warning = MKStatusDestinationNotBalanced;
  const double hD = ComputeH(body, destinationFrame);
  const double vD = ComputeV(body, destinationFrame);
  const double aD = ComputeA(body);

  const double lc = ComputeLC();
  const double hmO = ComputeHM(hO), vmO = ComputeVM(vO), amO = ComputeAM(aO);
  const double fm = ComputeFM(frequency, duration, vO);
  const double cmO = ComputeCM(coupling, vO);
  // Lowering travels as far as lifting: the distance multiplier takes |D|.
  const double d = std::fabs(vD - vO);
  const double dm = ComputeDM(d);
  if (!AllUsable({lc, hmO, vmO, amO, fm, cmO, dm})) return results.status = MKStatusFailure;
  const double rwlO = lc * hmO * vmO * dm * amO * fm * cmO;

  const double hmD = ComputeHM(hD), vmD = ComputeVM(vD), amD = ComputeAM(aD);
  const double cmD = ComputeCM(coupling, vD);
  if (!AllUsable({hmD, vmD, amD, cmD})) return results.status = MKStatusFailure;
  const double rwlD = lc * hmD * vmD * dm * amD * fm * cmD;
  if (!AllUsable({rwlO, rwlD})) return results.status = MKStatusFailure;

  results.rwlOrigin = rwlO;
  results.rwlDestination = rwlD;
  results.liOrigin = LiftingIndex(load, rwlO);
  results.liDestination = LiftingIndex(load, rwlD);
  results.hOrigin = hO / 100.0;
  results.hDestination = hD / 100.0;
  results.vOrigin = vO / 100.0;
  results.vDestination = vD / 100.0;
  results.d = d / 100.0;
  results.aOrigin = aO;
  results.aDestination = aD;
  results.lc = lc;
  results.hmOrigin = hmO;
  results.hmDestination = hmD;
  results.vmOrigin = vmO;
  results.vmDestination = vmD;
  results.dm = dm;
  results.amOrigin = amO;
  results.amDestination = amD;
  results.fm = fm;
  results.cmOrigin = cmO;
  results.cmDestination = cmD;
  return results.status = warning;
}

MKStatus MKAnalysis::PerformNIOSH1981LiftLowerAnalysis(
    MKManikin* manikin, const MKManikinPart* origin, const MKManikinPart* destination,
    double frequency, double duration, const MKFrame& originFrame, const MKFrame& destinationFrame,
    MKAnalysisResults& results) {
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!body || !mkhandling::Paste(manikin, origin) || !mkhandling::IsPosture(destination))
    return results.status = MKStatusMissingInput;
  // Each posture is pasted once; the destination stays.
  MKStatus warning = MKStatusSuccess;
  if (!CheckFloorStand(body, originFrame)) warning = MKStatusOriginNotOnFloor;
  if (!CheckHandParallelism(body)) warning = MKStatusOriginHandsNotLevel;
  const double hO = ComputeH(body, originFrame);
  const double vO = ComputeV(body, originFrame);
  if (!mkhandling::Paste(manikin, destination)) return results.status = MKStatusMissingInput;
  if (!CheckFloorStand(body, destinationFrame)) warning = MKStatusDestinationNotOnFloor;
  if (!CheckHandParallelism(body)) warning = MKStatusDestinationHandsNotLevel;
  const double d = std::fabs(ComputeV(body, destinationFrame) - vO);
  const double h = std::max(Inches(hO), 6.0);
  const double v = Inches(vO);
  const double dInches = std::max(Inches(d), 10.0);
  double f = frequency * 60.0;
  if (f < 0.2) f = 0.0;
  const bool oneHour = duration == 1.0;
  const double fMax = v <= 30.0 ? (oneHour ? 15.0 : 12.0) : (oneHour ? 18.0 : 15.0);
  const double vf = 1.0 - 0.01 * std::fabs(v - 30.0);
  double al = 90.0 * (6.0 / h) * vf * (0.7 + 3.0 / dInches) * (1.0 - f / fMax);
  if (std::isnan(al)) return results.status = MKStatusFailure;
  if (al < 0.0) al = 0.0;
  results.actionLimit = MKUnitConversions::LbToKg(al);
  results.maximumPermissibleLimit = MKUnitConversions::LbToKg(3.0 * al);
  results.hOrigin = hO / 100.0;
  results.vOrigin = vO / 100.0;
  results.d = d / 100.0;
  return results.status = warning;
}

MKStatus MKAnalysis::PerformLiftLowerAnalysis(MKManikin* manikin, const MKManikinPart* origin,
                                              const MKManikinPart* destination,
                                              MKGuideLine guideLine, MKCouplingCondition coupling,
                                              double frequency, double duration, double load,
                                              double percentage, const MKFrame& originFrame,
                                              const MKFrame& destinationFrame,
                                              MKAnalysisResults& results) {
  if (!manikin || !mkhandling::IsPosture(origin) || !mkhandling::IsPosture(destination))
    return results.status = MKStatusMissingInput;
  if (guideLine == MKNIOSH1991 && (coupling < MKCouplingGood || coupling > MKCouplingPoor))
    return results.status = MKStatusCouplingRefused;
  if (!(duration >= 0.0 && duration <= 8.0))
    return results.status = MKStatusDurationOrFrequencyOutOfRange;
  if (!(frequency >= 0.0)) return results.status = MKStatusFrequencyRefused;
  if (!(load >= 0.0)) return results.status = MKStatusLoadRefused;
  if (!mkhandling::PercentageAccepted(guideLine, percentage, true))
    return results.status = MKStatusPercentageRefused;
  switch (guideLine) {
    case MKNIOSH1981:
      return PerformNIOSH1981LiftLowerAnalysis(manikin, origin, destination, frequency, duration,
                                               originFrame, destinationFrame, results);
    case MKNIOSH1991:
      return PerformNIOSH1991LiftLowerAnalysis(manikin, origin, destination, coupling, frequency,
                                               duration, load, originFrame, destinationFrame,
                                               results);
    case MKSnookCiriello1991:
      return PerformSnookCiriello1991LiftLowerAnalysis(manikin, origin, destination, frequency,
                                                       percentage, originFrame, destinationFrame,
                                                       results);
    case MKLibertyMutual2021:
      return PerformLibertyMutual2021LiftLowerAnalysis(manikin, origin, destination, frequency,
                                                       percentage, originFrame, destinationFrame,
                                                       results);
    default:
      return results.status = MKStatusGuideLineRefused;
  }
}

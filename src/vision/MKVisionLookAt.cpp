// Where the vision looks: aiming at points and along angles, convergence,
// accommodation limits and the focal-distance searches.
#include <algorithm>
#include <cmath>

#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

constexpr double kTolerance = 1.1920929e-07;
// Nearest a target may be to the middle eye, and how close to the current
// focus point a new target must come to change nothing (summed coordinates).
constexpr double kNearest = 0.01;
// First step of the accommodation searches.
constexpr double kSearchStep = 0.01;
// Where the search for the nearest focusable distance starts when the eyes
// look at infinity, and the farthest start it takes: 1 km, beyond which no
// eye focuses differently. Bisecting from there to the tolerance takes 40
// looks.
constexpr double kInfiniteFocusStart = 8.0;
constexpr double kFarthestSearchStart = 1.0e5;
// Most looks any accommodation search takes, whatever the distances.
constexpr int kMaxSearchLooks = 64;

bool IsFinite(const MK3DVertex& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

void ZeroTiny(MK3DVertex& p) {
  for (double* c : {&p.x, &p.y, &p.z})
    if (std::fabs(*c) < kTolerance) *c = 0.0;
}

// Whether a deviation angle lies within a DOF's limits (magnitudes on each side).
bool WithinDOF(const MKDOF* dof, double angle) {
  if (!dof || !std::isfinite(angle)) return false;
  const double limit = angle >= 0.0 ? dof->GetMaxLim(true) : dof->GetMinLim(true);
  return std::fabs(angle) - limit <= kTolerance;
}

void TurnDOF(MKDOF* dof, double angle) {
  if (dof) dof->SetValue(std::fabs(angle), angle < 0.0 ? -1 : 1);
}

// Ponctum limits lifted for a search and put back at the end of the scope.
class LiftedLimits {
 public:
  LiftedLimits(double& proximum, double& remotum)
      : proximum(proximum), remotum(remotum), savedProximum(proximum), savedRemotum(remotum) {
    proximum = 0.0;
    remotum = MKIEEE::Infinite();
  }
  ~LiftedLimits() {
    proximum = savedProximum;
    remotum = savedRemotum;
  }
  LiftedLimits(const LiftedLimits&) = delete;
  LiftedLimits& operator=(const LiftedLimits&) = delete;

 private:
  double& proximum;
  double& remotum;
  double savedProximum;
  double savedRemotum;
};

}  // namespace

void MKVision::TurnLine(MKLineOfSight* line, double horizontal, double vertical) {
  if (!line) return;
  // Moves made by the vision itself neither report back nor change the active side.
  const unsigned char wasBuilding = building;
  building = 1;
  TurnDOF(line->GetDOF(1), horizontal);
  TurnDOF(line->GetDOF(0), vertical);
  building = wasBuilding;
}

bool MKVision::WithinLimits(const MKLineOfSight* line, double horizontal, double vertical) const {
  return line && WithinDOF(line->GetDOF(1), horizontal) && WithinDOF(line->GetDOF(0), vertical);
}

MK3DVertex MKVision::TargetAlong(int side, double distance, double vertical,
                                 double horizontal) const {
  const int eye = side == MKVisionMiddleSide ? MKMiddleEye : side;
  MKSegment* segment = GetEyeSegment(eye);
  if (!segment) return MK3DVertex(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());
  const double h = horizontalOffset[activeSide] - horizontal;
  const double v = verticalOffset[activeSide] - vertical;
  const double th = std::tan(h), tv = std::tan(v);
  const double z = distance / std::sqrt(1.0 + th * th + tv * tv);
  const MK3x1Matrix local(z * th, z * tv, segment->GetLength() + z);
  const MK3x1Matrix world = segment->GetGlobalMatrix() * local;
  return MK3DVertex(world(0), world(1), world(2));
}

MKStatus MKVision::LookAt(const MK3DVertex& target) {
  if (!manikin) return MKStatusSuccess;
  if (!IsFinite(target)) return MKStatus(MKVisionInfiniteTarget);
  const MK3DVertex eye = GetEyePosition(MKMiddleEye);
  const double distance = eye.DistanceFrom(target);
  if (distance < kNearest) return MKStatus(MKVisionTooClose);
  if (std::fabs(target.x - focusPoint.x) + std::fabs(target.y - focusPoint.y) +
          std::fabs(target.z - focusPoint.z) <=
      kNearest)
    return MKStatusSuccess;
  if (distance - ponctumProximum < -kTolerance) return MKStatus(MKVisionBelowProximum);
  if (ponctumRemotum - distance < -kTolerance) return MKStatus(MKVisionBeyondRemotum);

  double horizontal, vertical;
  CalculateDeviationAngles(MKMiddleEye, target, horizontal, vertical);
  if (!convergenceMode) return LookAtWithNoConvergence(distance, vertical, horizontal);

  MKLineOfSight* middle = lineOfSight[MKMiddleEye];
  if (WithinLimits(middle, horizontal, vertical)) {
    TurnLine(middle, horizontal, vertical);
    focusPoint = target;
    middle->SetLength(distance);
    ZeroTiny(focusPoint);
    return MKStatusSuccess;
  }
  // Out of reach: the eyes stay on the previous focus point.
  if (IsFinite(focusPoint)) {
    double previousH, previousV;
    CalculateDeviationAngles(MKMiddleEye, focusPoint, previousH, previousV);
    if (std::isfinite(previousH) && std::isfinite(previousV))
      TurnLine(middle, previousH, previousV);
  }
  return MKStatus(MKVisionOutOfLimits);
}

MKStatus MKVision::LookAt(double distance, double vertical, double horizontal) {
  if (!manikin) {
    focusPoint = MK3DVertex(vertical, horizontal, distance);
    return MKStatusSuccess;
  }
  if (!(distance > 0.0)) return MKStatus(10);
  if (std::isfinite(ponctumRemotum) && distance > ponctumRemotum)
    return MKStatus(MKVisionBeyondRemotum);
  if (std::isfinite(distance))
    return LookAt(TargetAlong(MKVisionMiddleSide, distance, vertical, horizontal));

  MKLineOfSight* middle = lineOfSight[MKMiddleEye];
  if (!WithinLimits(middle, horizontal, vertical)) return MKStatus(MKVisionOutOfLimits);
  TurnLine(middle, horizontal, vertical);
  middle->SetLength(MKIEEE::Infinite());
  focusPoint = MK3DVertex(vertical, horizontal, MKIEEE::Infinite());
  ZeroTiny(focusPoint);
  return MKStatusSuccess;
}

MKStatus MKVision::LookAtWithNoConvergence(double distance, double vertical, double horizontal) {
  if (!manikin) {
    focusPoint = MK3DVertex(vertical, horizontal, distance);
    return MKStatusSuccess;
  }
  if (!(distance > 0.0)) return MKStatus(10);
  if (std::isfinite(ponctumRemotum) && distance > ponctumRemotum)
    return MKStatus(MKVisionBeyondRemotum);
  MKLineOfSight* line = lineOfSight[activeSide];
  if (!WithinLimits(line, horizontal, vertical)) return MKStatus(MKVisionOutOfLimits);
  if (std::isfinite(distance)) {
    const MK3DVertex target = TargetAlong(activeSide, distance, vertical, horizontal);
    TurnLine(line, horizontal, vertical);
    line->SetLength(distance);
    focusPoint = target;
    return MKStatusSuccess;
  }
  for (MKLineOfSight* each : lineOfSight) {
    TurnLine(each, horizontal, vertical);
    each->SetLength(MKIEEE::Infinite());
  }
  focusPoint = MK3DVertex(vertical, horizontal, MKIEEE::Infinite());
  ZeroTiny(focusPoint);
  return MKStatusSuccess;
}

MKStatus MKVision::SetFocalDistance(double distance) {
  if (!GetCurrentLineOfSight()) return MKStatus(MKStatusGeneral);
  double vertical, horizontal;
  GetSideAngles(activeSide, vertical, horizontal);
  const double proximum = ponctumProximum;
  const double remotum = ponctumRemotum;
  if (distance <= proximum) {
    SearchFocusableDistance(proximum, false, vertical, horizontal);
    return MKStatus(MKVisionTooClose);
  }
  if (std::isfinite(remotum) && distance >= remotum) {
    SearchFocusableDistance(remotum, true, vertical, horizontal);
    return MKStatus(MKVisionBeyondRemotum);
  }
  return LookAt(distance, vertical, horizontal);
}

void MKVision::SearchFocusableDistance(double limit, bool farSide, double vertical,
                                       double horizontal) {
  LiftedLimits lifted(ponctumProximum, ponctumRemotum);
  LookAt(limit, vertical, horizontal);
  // A line is on the wrong side of the limit: short below the proximum,
  // long beyond the remotum. Lines without length are not counted.
  auto outside = [this, limit, farSide]() {
    for (const MKLineOfSight* line : lineOfSight) {
      if (!line) continue;
      const double length = line->GetLength();
      if (farSide ? length - limit > kTolerance : length - limit < -kTolerance) return true;
    }
    return false;
  };
  double step = outside() ? kSearchStep : 0.0;
  double x = limit;
  const double direction = farSide ? -1.0 : 1.0;
  // Each look halves the step (17 times from 0.01 to the tolerance) or moves
  // past the limit; where distances are too large for the step to move them,
  // the cap on looks ends the search.
  for (int look = 0; look < kMaxSearchLooks && (outside() || step > kTolerance); ++look) {
    if (LookAt(x + direction * step, vertical, horizontal) != MKStatusSuccess) break;
    if (!outside())
      step *= 0.5;
    else
      x += direction * step;
  }
}

void MKVision::Reset() {
  activeSide = MKVisionMiddleSide;
  type = MKVisionBinocular;
  ponctumProximum = sDefaultPonctumProximum;
  ponctumRemotum = MKIEEE::Infinite();
  ResetAngles();
  convergenceMode = 1;
  LookAt(30.0, MKUnitConversions::DegreesToRadians(sInitialDeviationAngle), 0.0);
}

double MKVision::GetMinPonctumProximum() {
  if (!manikin) return 0.0;
  LiftedLimits lifted(ponctumProximum, ponctumRemotum);
  double vertical, horizontal;
  GetSideAngles(activeSide, vertical, horizontal);
  const double before = GetFocalDistance();
  const double start = std::isfinite(before) ? before : kInfiniteFocusStart;
  // The nearest focusable distance lies between 0, where no look succeeds,
  // and the start (or the cap, for a farther start): bisect that bracket.
  // A look that succeeds nowhere in it leaves the start as the answer.
  double nearest = start;
  double failing = 0.0;
  double succeeding = std::min(start, kFarthestSearchStart);
  for (int look = 0; look < kMaxSearchLooks && succeeding - failing > kTolerance; ++look) {
    const double middle = 0.5 * (failing + succeeding);
    if (LookAt(middle, vertical, horizontal) == MKStatusSuccess)
      nearest = succeeding = middle;
    else
      failing = middle;
  }
  LookAt(before, vertical, horizontal);
  return nearest;
}

MKStatus MKVision::SetPonctumProximum(double proximum) {
  if (std::isnan(proximum)) return MKStatus(MKVisionProximumBounded);
  if (!manikin) {
    ponctumProximum = proximum;
    return MKStatusSuccess;
  }
  double value = proximum;
  const double minimum = GetMinPonctumProximum();
  if (value < minimum - kTolerance) value = minimum;
  if (value > ponctumRemotum + kTolerance) value = ponctumRemotum;
  ponctumProximum = value;
  MKStatus status = value == proximum ? MKStatusSuccess : MKStatus(MKVisionProximumBounded);
  const MKLineOfSight* middle = lineOfSight[MKMiddleEye];
  if (middle->GetLength() - value < -kTolerance &&
      LookAt(value, GetVerticalAngle(), GetHorizontalAngle()) != MKStatusSuccess)
    status = MKStatus(MKVisionOutOfLimits);
  return status;
}

MKStatus MKVision::SetPonctumRemotum(double remotum) {
  if (std::isnan(remotum)) return MKStatus(MKVisionRemotumBounded);
  if (!manikin) {
    ponctumRemotum = remotum;
    return MKStatusSuccess;
  }
  double value = remotum;
  if (value < ponctumProximum - kTolerance) value = ponctumProximum;
  ponctumRemotum = value;
  MKStatus status = value == remotum ? MKStatusSuccess : MKStatus(MKVisionRemotumBounded);
  const MKLineOfSight* middle = lineOfSight[MKMiddleEye];
  if (middle->GetLength() - value > kTolerance &&
      LookAt(value, GetVerticalAngle(), GetHorizontalAngle()) != MKStatusSuccess)
    status = MKStatus(MKVisionOutOfLimits);
  return status;
}

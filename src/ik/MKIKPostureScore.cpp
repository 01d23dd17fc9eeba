// Posture-score optimisation: among the postures that meet the constraints,
// one whose DOFs lie in their best-scored preferred-angle zones; in the RULA
// mode the zones come from the RULA angle ranges.
#include <cmath>
#include <initializer_list>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/detail/MKIKOptimizer.h"
#include "manikin/MKManikin.h"
#include "math/MKUnitConversions.h"
#include "parts/MKPartHolder.h"

namespace {

// Zone boundaries from the highest angle down (degrees) and the scores of
// the zones they delimit, top zone first (one more score than boundaries).
struct RulaZones {
  MKShortName segment;
  int dof;
  std::initializer_list<double> boundaries;
  std::initializer_list<double> scores;
};

// The upper arm above 90 degrees and the elbow above 90 degrees have no
// RULA score of their own: each zone takes the lowest score of its DOF
// (6 for the upper arm, 10 for the elbow, whose only other zone scores 10).
// Below the last neck boundaries the zones score 0.
const RulaZones kRulaZones[] = {
    {SHeNe, 0, {20.0, 10.0, 0.0}, {8, 10, 0, 0}},
    {SHeNe, 1, {5.25, -5.25}, {10, 0, 0}},
    {SHeNe, 2, {38.325, -38.325}, {10, 0, 0}},
    {RSArCl, 1, {9.253}, {0, 10}},
    {LSArCl, 1, {9.253}, {0, 10}},
    {RSArAr, 0, {90.0, 45.0, 20.0, -20.0}, {6, 6, 8, 10, 8}},
    {LSArAr, 0, {90.0, 45.0, 20.0, -20.0}, {6, 6, 8, 10, 8}},
    {RSArAr, 1, {17.959}, {0, 10}},
    {LSArAr, 1, {17.959}, {0, 10}},
    {RSArAr, 2, {20.602}, {0, 10}},
    {LSArAr, 2, {20.602}, {0, 10}},
    {RSArFAr, 0, {90.0}, {10, 10}},
    {LSArFAr, 0, {90.0}, {10, 10}},
    {RSHaCPr, 0, {15.0, 0.05, -0.05, -15.0}, {0, 8, 10, 8, 0}},
    {LSHaCPr, 0, {15.0, 0.05, -0.05, -15.0}, {0, 8, 10, 8, 0}},
    {RSHaCPr, 1, {8.602, -8.602}, {0, 10, 0}},
    {LSHaCPr, 1, {8.602, -8.602}, {0, 10, 0}},
};

// Widening reaches a neighbouring zone whose edge lies this close.
constexpr double kAdjacent = 0.1 * M_PI / 180.0;

}  // namespace

KelRawCollPV MKIKManager::CreatePostureScoreForRULAOptimization() const {
  KelRawCollPV changed;
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!body) return changed;
  for (const RulaZones& zones : kRulaZones) {
    MKSegment* segment = body->GetSegment(zones.segment);
    MKDOF* dof = segment ? segment->GetDOF(zones.dof) : nullptr;
    if (!dof) continue;
    dof->RemoveAllPrefAngles();
    dof->InitializePrefAngles();
    // Each boundary splits the lowest zone; the new zone lies below it.
    for (double boundary : zones.boundaries)
      dof->InsertPrefAngleAfter(dof->GetNumberOfPrefAngles() - 1,
                                MKUnitConversions::DegreesToRadians(boundary));
    unsigned int k = 0;
    for (double score : zones.scores)
      if (MKPrefAngle* zone = dof->GetPrefAngle(k++)) zone->SetScore(score);
    changed.Append(dof);
  }
  return changed;
}

void MKIKManager::RemovePostureScoreForRULAOptimization(KelRawCollPV& dofs) const {
  for (int i = 1; i <= dofs.Size(); ++i) static_cast<MKDOF*>(dofs[i])->RemoveAllPrefAngles();
  dofs.RemoveAll();
}

MKStatus MKIKManager::OptimizedWithScore(bool widen) {
  MKIKOptimizer optimizer(*this);
  optimizer.SetInitValues();
  double* x = variables.data();
  double* l = lowerBounds.data();
  double* u = upperBounds.data();
  // Each DOF starts in the middle of its best zone, bounded by it.
  std::vector<std::pair<int, MKDOF*>> zoned;
  int i = 0;
  for (int e = 1; e <= drivenElements.Size(); ++e)
    for (unsigned int axis = 0; axis < 3; ++axis) {
      MKDOF* dof = GetIKChainElemDOF(static_cast<MKBodyElement*>(drivenElements[e]), axis);
      if (!dof) continue;
      const int at = i++;
      if (at >= variableCount || dof->GetDOFState() == 1) continue;
      // The best zone: the highest score, the first on ties.
      const MKPrefAngle* best = nullptr;
      for (unsigned int k = 0; k < dof->GetNumberOfPrefAngles(); ++k) {
        const MKPrefAngle* zone = dof->GetPrefAngle(k);
        if (!best || zone->GetScore() > best->GetScore()) best = zone;
      }
      if (!best) continue;
      l[at] = best->GetMin();
      u[at] = best->GetMax();
      x[at] = 0.5 * (l[at] + u[at]);
      zoned.emplace_back(at, dof);
    }
  MKStatus status = optimizer.QuasiNewton2Resolve();
  while (widen && status != MKStatusSuccess) {
    bool widened = false;
    for (const auto& [i, dof] : zoned) {
      bool moved = false;
      for (unsigned int k = 0; k < dof->GetNumberOfPrefAngles() && !moved; ++k) {
        const MKPrefAngle* zone = dof->GetPrefAngle(k);
        if (!(zone->GetScore() > 0.0)) continue;
        if (std::fabs(zone->GetMax() - l[i]) < kAdjacent && zone->GetMin() < l[i]) {
          l[i] = zone->GetMin();
          moved = true;
        }
      }
      for (unsigned int k = 0; k < dof->GetNumberOfPrefAngles() && !moved; ++k) {
        const MKPrefAngle* zone = dof->GetPrefAngle(k);
        if (!(zone->GetScore() > 0.0)) continue;
        if (std::fabs(zone->GetMin() - u[i]) < kAdjacent && zone->GetMax() > u[i]) {
          u[i] = zone->GetMax();
          moved = true;
        }
      }
      if (!moved) continue;
      x[i] = 0.5 * (l[i] + u[i]);
      widened = true;
    }
    if (!widened) break;
    status = optimizer.QuasiNewton2Resolve();
  }
  return status;
}

MKStatus MKIKManager::OptimizedWithPosturalScore() {
  return OptimizedWithScore(true);
}

MKStatus MKIKManager::OptimizedWithBestScore() {
  return OptimizedWithScore(false);
}

MKStatus MKIKManager::OptimizedWithRula() {
  return MKStatusSuccess;
}

MKStatus MKIKManager::OptimizedConstraintWithPosturalScore() {
  KelRawCollint states;
  DeactivateAllConstraints(states);
  MKStatus status = MKStatusSuccess;
  for (int i = 1; i <= constraints.Size() && i <= states.Size(); ++i) {
    auto* c = static_cast<MKIKConstraint*>(constraints[i]);
    // Constraints starting above the mid-thorax only.
    if (states[i] != 1 || c->GetShortNameOfStartSegment() <= SBoT3) continue;
    c->Activate();
    const MKStatus one = OptimizedWithPosturalScore();
    if (one != MKStatusSuccess) status = one;
    c->Deactivate();
  }
  ReactivateAllConstraints(states);
  return status;
}

MKStatus MKIKManager::UpperBodyOptimization() {
  // The constraints that start in the upper body, solved locally alone.
  KelRawCollint states;
  DeactivateAllConstraints(states);
  for (int i = 1; i <= constraints.Size() && i <= states.Size(); ++i) {
    auto* c = static_cast<MKIKConstraint*>(constraints[i]);
    MKSegment* start = c->GetStartSegment();
    MKSegment* trunk = Segment(SBoTIp);
    if (states[i] == 1 && start && trunk && (start == trunk || trunk->IsAncestor(start)))
      c->Activate();
  }
  const MKStatus status =
      variableCount > 0 ? LocalResolveWithPositionWeight(0.75) : MKStatus(MKStatusSuccess);
  for (int i = 1; i <= constraints.Size(); ++i)
    static_cast<MKIKConstraint*>(constraints[i])->Deactivate();
  ReactivateAllConstraints(states);
  return status;
}

MKStatus MKIKManager::OptimizePosture(int behavior) {
  MKPartHolder<> preferred;
  KelRawCollPV rula;
  const bool withRula = (behavior & kRulaScore) != 0;
  if (withRula) {
    preferred.reset(manikin->ExtractPart(MKPartPrefAnglesID, 0, nullptr));
    rula = CreatePostureScoreForRULAOptimization();
  }
  MKStatus status(1300);
  if (behavior == kPosturalScore || behavior == kRulaScore) {
    status = OptimizedConstraintWithPosturalScore();
  } else {
    ApplyTransf(MK4x4Matrix(pelvicFrame));
    pelvicStart = pelvicFrame;
    pelvicFrame = MKFrame();
    if (UpperBodyOptimization() != MKStatusSuccess) pelvicFrame = pelvicStart;
    status = OptimizedConstraintWithPosturalScore();
  }
  if (withRula) {
    std::vector<MKDOF*> changed;
    for (int i = 1; i <= rula.Size(); ++i) changed.push_back(static_cast<MKDOF*>(rula[i]));
    RemovePostureScoreForRULAOptimization(rula);
    if (preferred) manikin->PasteFrom(preferred.get(), 1);
    // A DOF with its single default zone is not in the copy.
    for (MKDOF* dof : changed)
      if (dof->GetNumberOfPrefAngles() == 0) dof->InitializePrefAngles();
  }
  return status;
}

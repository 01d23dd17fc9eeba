// The resolution driver: Resolve and its local strategy, and the direct
// operations that solve one constraint or a temporary one (Reach).
#include <algorithm>
#include <cmath>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "ik/detail/MKIKResolveSupport.h"
#include "manikin/MKManikin.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

using namespace mkik;

namespace {

// Tolerance floor of the one-by-one fallback of the local solve.
constexpr double kFallbackTolerance = 0.0025;
constexpr double kReachTolerance = 0.1;

// A clavicle's raising DOF held for the first attempt of a local solve.
struct ShoulderLocks {
  std::vector<MKDOF*> locked;
  void Release() {
    for (MKDOF* dof : locked) dof->UnlockValue();
    locked.clear();
  }
};

}  // namespace

MKSegment* MKIKManager::Segment(MKShortName name) const {
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  return body ? body->GetSegment(name) : nullptr;
}

MKStatus MKIKManager::LocalResolveWithPositionWeight(double w) {
  const double tolerance = GetIKTolerance();
  // A hand reached from the clavicle: a shoulder raised towards a target in
  // front of the chest is halved, one not raised while the target lies
  // behind is held for the first attempt.
  ShoulderLocks shoulders;
  for (MKIKConstraint* c : ActiveConstraints(*this)) {
    MKSegment* start = c->GetStartSegment();
    if (!start || !(start->GetShortName() == RSArCl || start->GetShortName() == LSArCl)) continue;
    if (c->GetShortNameOfEndEffector() < 46 || !(c->ComputePotential() > tolerance)) continue;
    MKDOF* raising = start->GetDOF(1);
    MKSegment* above = start->GetAncestor();
    if (!raising || !above || raising->GetDOFState() == 1) continue;
    const MK4x4Matrix local = c->GetTargetMatrix() * !above->GetGlobalMatrix();
    const double signedValue = raising->GetMathematicalValue();
    if (signedValue > 0.0 && local(3, 0) < 0.0) {
      raising->SetMathematicalValue(0.5 * signedValue);
    } else if (signedValue <= 0.0 && local(3, 0) >= 0.0) {
      raising->LockValue();
      shoulders.locked.push_back(raising);
    }
  }
  SetInitValues();
  MKStatus status = QuasiNewton2Resolve();
  if (status == MKStatusSuccess) {
    shoulders.Release();
    return status;
  }
  shoulders.Release();
  SetInitValues();
  status = QuasiNewton2Resolve();
  if (status == MKStatusSuccess) return status;

  // Each constraint alone, then the ones that could not be met alone
  // together, each keeping its own best posture when together is worse.
  if (tolerance < kFallbackTolerance) SetIKTolerance(kFallbackTolerance);
  const double stepTolerance = GetIKTolerance();
  KelRawCollint states;
  DeactivateAllConstraints(states);
  std::vector<MKIKConstraint*> unmet;
  std::vector<double> alone;
  for (int i = 1; i <= constraints.Size() && i <= states.Size(); ++i) {
    if (states[i] != 1) continue;
    auto* c = static_cast<MKIKConstraint*>(constraints[i]);
    c->Activate();
    c->SaveLocalPosture();
    double best = c->ComputePotential();
    const double oldPositionWeight = c->GetPositionWeight();
    if (best > stepTolerance && (c->GetTargetType() & MKIKConstraint::sPositionBit))
      c->SetPositionWeight(w);
    best = c->ComputePotential();
    const auto keepBetter = [c, &best] {
      if (!KeepIfBetter(*c, best)) c->ResetLocalPosture();
    };
    // From here, then from the middle of the ranges (a far target often
    // lies beyond a local minimum of the start), then half-way between the
    // best posture and that middle.
    const auto attempt = [this, c, &keepBetter](void (MKIKConstraint::*restart)()) {
      if (restart) (c->*restart)();
      SetInitValues();
      const MKStatus result = QuasiNewton2Resolve();
      if (result != MKStatusSuccess) keepBetter();
      return result;
    };
    status = attempt(nullptr);
    if (status != MKStatusSuccess)
      status = attempt(&MKIKConstraint::ResetIKChainWithMiddleDOFValues);
    if (status != MKStatusSuccess)
      status = attempt(&MKIKConstraint::ResetIKChainWithBetterStartValues);
    c->SetPositionWeight(oldPositionWeight);
    const double left = c->ComputePotential();
    if (left > stepTolerance) {
      unmet.push_back(c);
      alone.push_back(c->GetPositionPotential());
    }
    c->Deactivate();
  }
  SetIKTolerance(tolerance);
  if (!unmet.empty()) {
    for (MKIKConstraint* c : unmet) c->Activate();
    SetInitValues();
    status = QuasiNewton2Resolve();
    if (status != MKStatusSuccess)
      for (std::size_t k = 0; k < unmet.size(); ++k) {
        unmet[k]->ComputePotential();
        if (unmet[k]->GetPositionPotential() > alone[k]) unmet[k]->ResetLocalPosture();
      }
    for (MKIKConstraint* c : unmet) c->Deactivate();
  }
  ReactivateAllConstraints(states);
  // Direction constraints still unmet are aligned directly.
  for (MKIKConstraint* c : ActiveConstraints(*this)) {
    if (c->GetTargetType() != MKIKConstraint::sZDirection || c->IsResolved()) continue;
    MKFrame target, offset;
    c->GetTargetMatrix(target);
    OffsetFromTip(*c).GetMKFrame(offset);
    status = ResolveDIR(c, offset, target);
  }
  return AllResolved(*this) ? MKStatusSuccess : MKStatus(1300);
}

MKStatus MKIKManager::ResolveOneConstraint(MKIKConstraint* constraint) {
  if (!constraint) return MKStatus(10);
  KelRawCollint states;
  DeactivateAllConstraints(states);
  constraint->Activate();
  const MKStatus status = Resolve();
  constraint->Deactivate();
  ReactivateAllConstraints(states);
  return status;
}

MKStatus MKIKManager::Reach(MKBodyElement* endEffector, MKSegment* startSegment,
                            const MKFrame& target, unsigned char /*flag*/) {
  if (!endEffector || !startSegment || !manikin) return MKStatus(10);
  int type = MKIKConstraint::sFrame;
  MKSegment* start = startSegment;
  const bool lineOfSight = endEffector->GetMKClassName() == MKLineOfSightClass;
  const bool chest = endEffector->GetShortName() == SBoT1;
  if (lineOfSight) {
    if (!Segment(SHeFr)) return MKStatus(3);
    type = MKIKConstraint::sPointing;
  } else if (endEffector->GetMKClassName() != MKSegmentClass) {
    type = MKIKConstraint::sPointing;
  }
  if (chest) {
    start = Segment(SBoTIp);
    if (!start) return MKStatus(3);
    type = MKIKConstraint::sPointing;
  }
  KelRawCollint states;
  DeactivateAllConstraints(states);
  const double tolerance = GetIKTolerance();
  SetIKTolerance(kReachTolerance);
  MKIKConstraint* temporary = nullptr;
  MKStatus status = AddConstraint(endEffector, start, type, temporary, nullptr);
  if (status == MKStatusSuccess) {
    temporary->Activate();
    temporary->SetTargetMatrix(target);
    status = Resolve();
    if (chest && (GetBehavior() & 32)) {
      temporary->SetTargetType(MKIKConstraint::sPosition);
      ResolveFullBody();
      temporary->SetTargetType(MKIKConstraint::sPointing);
      SetInitValues();
      status = QuasiNewton2Resolve();
    }
    if (lineOfSight && manikin->GetVision()) {
      MKVision* vision = manikin->GetVision();
      const MK3DVertex aim = target.GetVector();
      vision->LookAt(aim);
      const MK3x1Matrix eye = endEffector->GetGlobalMatrix().GetTranslation();
      const MK3x1Matrix toTarget = MK3x1Matrix(aim) - eye;
      vision->SetFocalDistance(toTarget.Norm());
    }
    RemoveConstraint(temporary);
  }
  SetIKTolerance(tolerance);
  ReactivateAllConstraints(states);
  return status;
}

MKStatus MKIKManager::Reach(MKBodyElement* endEffector, MKSegment* startSegment,
                            const MK3DVertex& position, const MK3DVertex& rotations) {
  MK4x4Matrix m;
  m.Unit();
  m(3, 0) = position.x;
  m(3, 1) = position.y;
  m(3, 2) = position.z;
  m.RotXYZ(rotations.x, rotations.y, rotations.z);
  MKFrame frame;
  m.GetMKFrame(frame);
  return Reach(endEffector, startSegment, frame, 1);
}

MKStatus MKIKManager::QuikLocalResolve() {
  if (drivenElements.Size() == 0) {
    pelvicFrame = MKFrame();
    return MKStatusSuccess;
  }
  if (!manikin) return MKStatus(1300);
  HeadTurn head(*this);
  head.ConvertEyes(false);
  const int behavior = GetBehavior();
  SetBehavior(1);
  pelvicFrame = MKFrame();
  SetInitValues();
  const MKStatus status = QuasiNewton2Resolve();
  head.Restore();
  SetBehavior(behavior);
  return status;
}

MKStatus MKIKManager::Resolve() {
  if (!manikin) {
    pelvicFrame = MKFrame();
    return MKStatus(1300);
  }
  const int behavior = GetBehavior();
  pelvicStart = MKFrame();
  const bool postural = (behavior & (kPosturalScore | kRulaScore)) != 0;
  if (!postural && AllResolved(*this)) {
    pelvicFrame = MKFrame();
    return LookAtHand(MKStatusSuccess);
  }
  MKStatus status(1300);
  HeadTurn head(*this);
  head.ConvertEyes(true);
  std::vector<MKIKConstraint*> switchedOff;
  if (behavior == 1) {
    pelvicFrame = MKFrame();
    status = LocalResolveWithPositionWeight(0.75);
  } else {
    if (behavior & kNoLineOfSight)
      for (MKIKConstraint* c : head.Converted()) {
        c->Deactivate();
        switchedOff.push_back(c);
      }
    status = ResolveFullBody();
    if (postural) status = OptimizePosture(behavior);
    if (behavior & kRebalance) status = Rebalance(status);
  }
  if (status != MKStatusSuccess && !postural) {
    const std::vector<MKIKConstraint*> active = ActiveConstraints(*this);
    for (std::size_t i = 0; i < active.size() && status != MKStatusSuccess; ++i) {
      KelRawCollPV group;
      group.Append(active[i]);
      MKSegment* start = active[i]->GetStartSegment();
      double sum = active[i]->ComputePotential();
      for (std::size_t j = i + 1; j < active.size(); ++j) {
        MKSegment* other = active[j]->GetStartSegment();
        if (!start || !other ||
            !(start == other || start->IsAncestor(other) || other->IsAncestor(start)))
          continue;
        group.Append(active[j]);
        sum += active[j]->ComputePotential();
      }
      if (sum > GetIKTolerance() && group.Size() >= 2) status = ResolveIKOnSameChain(group);
    }
    if (status != MKStatusSuccess) OptimizedConstraintWithPriority();
  }
  head.Restore();
  for (MKIKConstraint* c : switchedOff) c->Activate();
  if (status != MKStatusSuccess) LookAtUnmetTargets(switchedOff);
  return LookAtHand(status);
}

void MKIKManager::LookAtUnmetTargets(const std::vector<MKIKConstraint*>& switchedOff) {
  MKVision* vision = manikin ? manikin->GetVision() : nullptr;
  if (!vision) return;
  for (MKIKConstraint* c : ActiveConstraints(*this)) {
    if (c->GetTargetType() != MKIKConstraint::sPointing) continue;
    const bool off = std::find(switchedOff.begin(), switchedOff.end(), c) != switchedOff.end();
    c->ComputePotential();
    if (!off && c->IsResolved()) continue;
    MKFrame target;
    c->GetTargetMatrix(target);
    if (vision->LookAt(target.GetVector()) == MKStatusSuccess || off || reaching) continue;
    // The eyes alone cannot reach it: the head and trunk turn as well.
    reaching = true;
    Reach(c->GetEndEffector(), c->GetStartSegment(), target, 1);
    reaching = false;
  }
}

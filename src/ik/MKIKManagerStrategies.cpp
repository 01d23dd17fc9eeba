// The strategies of Resolve beyond the local solve: the full body with the
// pelvis, constraints sharing a chain, priority by weight, and direct
// alignment of direction constraints.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/detail/MKIKResolveSupport.h"
#include "manikin/MKManikin.h"

using namespace mkik;

namespace {

constexpr double kFullBodyTolerance = 0.1;
constexpr double kDirectionTolerance = 0.25;
constexpr double kDirectionReachTolerance = 0.025;
// Steps of a pelvis move that the feet follow.
constexpr int kPelvisSteps = 4;

double Dot(const MK3x1Matrix& a, const MK3x1Matrix& b) {
  return a(0) * b(0) + a(1) * b(1) + a(2) * b(2);
}

MK4x4Matrix Translation(const MK3x1Matrix& v) {
  MK4x4Matrix t;
  t.BuildFromTrans(v(0), v(1), v(2));
  return t;
}

bool OnLeg(const MKIKConstraint* c) {
  for (const MKSegment* s =
           c->GetEndEffector() && c->GetEndEffector()->GetMKClassName() == MKSegmentClass
               ? static_cast<const MKSegment*>(c->GetEndEffector())
               : nullptr;
       s; s = s->GetAncestor())
    if (s->GetShortName() == RSLeTh || s->GetShortName() == LSLeTh) return true;
  return false;
}

bool StartsInUpperBody(const MKIKConstraint* c) {
  for (const MKSegment* s = c->GetStartSegment(); s; s = s->GetAncestor())
    if (s->GetShortName() == SBoTIp) return true;
  return false;
}

// How much further the leg of a foot constraint could stretch: its length
// from the start segment down to the end effector less the distance it
// spans now.
double LegSlack(MKIKConstraint* c) {
  auto* effector = static_cast<MKSegment*>(c->GetEndEffector());
  MKSegment* start = c->GetStartSegment();
  if (!start) return std::numeric_limits<double>::infinity();
  double length = 0.0;
  for (MKSegment* s = effector; s && s != start; s = s->GetAncestor()) length += s->GetLength();
  const MK3x1Matrix span = effector->GetEndPosition() - start->GetEndPosition();
  return std::max(0.0, length - span.Norm());
}

}  // namespace

MK3x1Matrix MKIKManager::PositionDiff(bool upperBodyOnly) const {
  MK3x1Matrix sum(0.0, 0.0, 0.0);
  for (MKIKConstraint* c : ActiveConstraints(*this)) {
    const int type = c->GetTargetType();
    if (!(type & MKIKConstraint::sPositionBit)) continue;
    if (upperBodyOnly && !StartsInUpperBody(c)) continue;
    const MK4x4Matrix d = c->GetDifferenceMatrix();
    const MK3x1Matrix dt(d(3, 0), d(3, 1), d(3, 2));
    const MK3x1Matrix zT = c->GetTargetMatrix().GetZAxis();
    switch (type) {
      case MKIKConstraint::sPosition:
      case MKIKConstraint::sYDirection:
      case MKIKConstraint::sFrame:
      case MKIKConstraint::sZDirection:
        sum += dt;
        break;
      case MKIKConstraint::sPlane:
        sum += zT * Dot(zT, dt);
        break;
      case MKIKConstraint::sLine:
      case MKIKConstraint::sInfiniteLine:
        sum += dt - zT * Dot(zT, dt);
        break;
      default:
        break;
    }
  }
  return sum;
}

MK3x1Matrix MKIKManager::GetSystemPositionDiff() const {
  return PositionDiff(false);
}

MK3x1Matrix MKIKManager::GetUpperBodyPositionDiff() const {
  return PositionDiff(true);
}

bool MKIKManager::MovePelvic(MK3x1Matrix& move, const MK3x1Matrix& vertical) {
  const int behavior = GetBehavior();
  const MK3x1Matrix requested = move;
  if (!(behavior & kPelvisVertical)) move -= vertical * Dot(move, vertical);
  if (!(behavior & kPelvisFree)) move = vertical * Dot(move, vertical);
  const double tolerance = GetIKTolerance();
  if (tolerance < 0.025) SetIKTolerance(kFullBodyTolerance);
  std::vector<MKIKConstraint*> feet;
  for (MKIKConstraint* c : ActiveConstraints(*this))
    if (OnLeg(c)) feet.push_back(c);
  KelRawCollint states;
  DeactivateAllConstraints(states);
  const double down = Dot(move, vertical);
  for (MKIKConstraint* c : feet) {
    c->Activate();
    const int name = c->GetShortNameOfEndEffector();
    auto* effector = static_cast<MKSegment*>(c->GetEndEffector());
    if ((name == RSFoTo || name == LSFoTo) && effector->GetDOF(0)) effector->GetDOF(0)->Reset();
    // A straight knee cannot start bending by itself when the hip goes down.
    MKSegment* shank = Segment(name >= LSLeTh ? LSLeLe : RSLeLe);
    MKDOF* knee = shank ? shank->GetDOF(0) : nullptr;
    if (knee && down < 0.0 && std::fabs(knee->GetMathematicalValue()) < M_PI / 180.0 &&
        shank->IsAncestor(effector))
      knee->SetMathematicalValue(3.0 * M_PI / 180.0);
  }
  KelRawColldouble chain;
  SaveCurrentIKChainValue(chain);
  MK3x1Matrix applied(0.0, 0.0, 0.0);
  const int steps = feet.empty() ? 1 : kPelvisSteps;
  MKStatus status = MKStatusSuccess;
  for (int k = 0; k < steps && status == MKStatusSuccess; ++k) {
    const MK3x1Matrix step = move * (1.0 / steps);
    ApplyTransf(Translation(-step));
    applied += step;
    if (feet.empty()) break;
    SetInitValues();
    status = QuasiNewton2Resolve();
  }
  if (status != MKStatusSuccess && down < 0.0) {
    ApplyTransf(Translation(applied));
    PasteOldIKChainValue(chain);
    applied = MK3x1Matrix(0.0, 0.0, 0.0);
  }
  move = applied;
  ReactivateAllConstraints(states);
  SetIKTolerance(tolerance);
  const double along = requested.Norm() > 0.0 ? Dot(applied, requested) / requested.Norm() : 0.0;
  return along > 0.1;
}

MKStatus MKIKManager::ResolveFullBody() {
  if (!manikin) return MKStatus(1300);
  if (variableCount == 0) return MKStatus(1300);
  MKStatus status(1300);
  const double tolerance = GetIKTolerance();
  const int behavior = GetBehavior();
  SetIKTolerance(kFullBodyTolerance);
  MK4x4Matrix rotation(pelvicFrame);
  const MK3x1Matrix start = rotation.GetTranslation();
  rotation(3, 0) = rotation(3, 1) = rotation(3, 2) = 0.0;
  // The body stands along its Y axis (the floor is Y = 0).
  MK3x1Matrix vertical = (!rotation) * MK3x1Matrix(0.0, 1.0, 0.0);
  MK3x1Matrix moved(0.0, 0.0, 0.0);
  double slack = std::numeric_limits<double>::infinity();
  if (behavior & (kPelvisFree | kPelvisVertical))
    for (MKIKConstraint* c : ActiveConstraints(*this))
      if (OnLeg(c) && c->GetStartSegment()) slack = std::min(slack, LegSlack(c));
  if (behavior & kPelvisVertical) {
    const double up = Dot(GetUpperBodyPositionDiff(), vertical);
    if (up > 0.05) {
      MK3x1Matrix move = vertical * std::min(up, slack);
      MovePelvic(move, vertical);
      moved += move;
      SetBehavior(GetBehavior() & ~kPelvisVertical);
    }
  }
  if (!(GetBehavior() & (kPelvisFree | kPelvisVertical))) {
    status = LocalResolveWithPositionWeight(0.75);
  } else {
    SetInitValues();
    status = QuasiNewton2Resolve();
    if (status != MKStatusSuccess) {
      MK3x1Matrix move = GetSystemPositionDiff();
      MovePelvic(move, vertical);
      moved += move;
      SetInitValues();
      status = QuasiNewton2Resolve();
      if (status != MKStatusSuccess && GetSystemPositionDiff().Norm() < 0.1)
        status = MKStatusSuccess;
    }
  }
  SetIKTolerance(tolerance);
  SetBehavior(behavior);
  MK4x4Matrix frame = rotation;
  frame(3, 0) = start(0) + moved(0);
  frame(3, 1) = start(1) + moved(1);
  frame(3, 2) = start(2) + moved(2);
  frame.GetMKFrame(pelvicFrame);
  return status;
}

MKStatus MKIKManager::ResolveIKOnSameChain(KelRawCollPV& group) {
  const int count = group.Size();
  if (count < 2) return MKStatusSuccess;
  std::vector<MKIKConstraint*> members;
  std::vector<double> weights;
  std::vector<bool> wasActive;
  for (int i = 1; i <= count; ++i) {
    auto* c = static_cast<MKIKConstraint*>(group[i]);
    members.push_back(c);
    weights.push_back(c->GetWeight());
    wasActive.push_back(c->IsActive());
    c->Deactivate();
  }
  bool weightsDiffer = false;
  for (double w : weights) weightsDiffer = weightsDiffer || std::fabs(w - weights[0]) > 0.1;
  MKStatus status = MKStatusSuccess;
  for (MKIKConstraint* c : members) {
    c->Activate();
    SetInitValues();
    status = QuasiNewton2Resolve();
    c->Deactivate();
    if (status != MKStatusSuccess) break;
  }
  if (status == MKStatusSuccess && !weightsDiffer) {
    for (MKIKConstraint* c : members) c->Activate();
    SetInitValues();
    status = QuasiNewton2Resolve();
    // Each constraint weighs by its share of what is left, then all equally.
    for (int round = 0; round < 300 && status != MKStatusSuccess; ++round) {
      double sum = 0.0;
      for (MKIKConstraint* c : members) sum += c->ComputePotential();
      if (!(sum > 0.0)) break;
      for (MKIKConstraint* c : members) c->SetWeight(c->ComputePotential() / sum);
      SetInitValues();
      status = QuasiNewton2Resolve();
      if (status != MKStatusSuccess) continue;
      for (MKIKConstraint* c : members) c->SetWeight(1.0);
      SetInitValues();
      status = QuasiNewton2Resolve();
    }
  }
  for (std::size_t k = 0; k < members.size(); ++k) {
    members[k]->SetWeight(weights[k]);
    if (wasActive[k])
      members[k]->Activate();
    else
      members[k]->Deactivate();
  }
  return status;
}

MKStatus MKIKManager::OptimizedConstraintWithPriority() {
  KelRawCollint states;
  DeactivateAllConstraints(states);
  std::vector<MKIKConstraint*> order;
  for (int i = 1; i <= constraints.Size() && i <= states.Size(); ++i) {
    if (states[i] != 1) continue;
    auto* c = static_cast<MKIKConstraint*>(constraints[i]);
    auto at = std::find_if(order.begin(), order.end(), [c](const MKIKConstraint* listed) {
      return !(listed->GetWeight() > c->GetWeight());
    });
    order.insert(at, c);
  }
  MKStatus status(1300);
  std::vector<MKDOF*> locked;
  for (MKIKConstraint* c : order) {
    c->Activate();
    status = LocalResolveWithPositionWeight(0.75);
    if (status != MKStatusSuccess) {
      c->Deactivate();
      break;
    }
    // A heavier constraint met keeps its chain for the lighter ones.
    for (int k = 0; k < c->GetNumberOfIKChainElements(); ++k)
      for (unsigned int axis = 0; axis < 3; ++axis) {
        MKDOF* dof = GetIKChainElemDOF(c->GetIKChainElement(k), axis);
        if (dof && dof->GetDOFState() != 1) {
          dof->LockValue();
          locked.push_back(dof);
        }
      }
    c->Deactivate();
  }
  ReactivateAllConstraints(states);
  for (MKDOF* dof : locked) dof->UnlockValue();
  return status;
}

MKStatus MKIKManager::DirectionReach(MKBodyElement* e, MKSegment* s, const MKFrame& target) {
  if (!e || !s) return MKStatus(10);
  MKIKConstraint* c = nullptr;
  MKStatus status = AddConstraint(e, s, MKIKConstraint::sZDirection, c, nullptr);
  if (status != MKStatusSuccess) return status;
  c->Activate();
  const double tolerance = GetIKTolerance();
  SetIKTolerance(kDirectionReachTolerance);
  c->SetTargetMatrix(target);
  status = Resolve();
  if (status != MKStatusSuccess) status = LocalResolveWithPositionWeight(0.975);
  if (status != MKStatusSuccess) {
    if (e->GetShortName() == RSFoTa || e->GetShortName() == LSFoTa)
      c->ResetIKChainWithMiddleDOFValues();
    SetInitValues();
    status = QuasiNewton2Resolve();
  }
  RemoveConstraint(c);
  SetIKTolerance(tolerance);
  return status;
}

MKStatus MKIKManager::DirectionReachWithOffset(MKBodyElement* e, MKSegment* s,
                                               const MKFrame& offset, const MKFrame& target) {
  if (!e || !s) return MKStatus(10);
  MKIKConstraint* c = nullptr;
  MKStatus status = AddConstraint(e, s, MKIKConstraint::sZDirection, c, nullptr);
  if (status != MKStatusSuccess) return status;
  KelRawCollint states;
  DeactivateAllConstraints(states);
  c->Activate();
  c->SetTargetMatrix(target);
  c->SetOffsetMatrix(offset);
  status = Resolve();
  if (status != MKStatusSuccess) status = ResolveDIR(c, offset, target);
  c->Deactivate();
  ReactivateAllConstraints(states);
  RemoveConstraint(c);
  return status;
}

MKStatus MKIKManager::ResolveDIR(MKIKConstraint* c, const MKFrame& offset, const MKFrame& target) {
  if (!c) return MKStatus(10);
  const double tolerance = GetIKTolerance();
  SetIKTolerance(kDirectionTolerance);
  const int type = c->GetTargetType();
  const double positionWeight = c->GetPositionWeight();
  const MK4x4Matrix savedTarget = c->GetTargetMatrix();
  c->SaveLocalPosture();
  double best = c->ComputePotential();
  const auto keepBetter = [c, &best] { KeepIfBetter(*c, best); };
  const auto solveAs = [this, c](int kind, const MK4x4Matrix& aim) {
    c->SetTargetType(kind);
    c->SetTargetMatrix(aim);
    return QuasiNewton2Resolve();
  };
  // F1: the end-effector frame turned so that its Z axis lies along the
  // target's, moved to the target's origin; F2 the same without the offset.
  const MK4x4Matrix aim(target);
  MK4x4Matrix f1 = c->GetEndEffectorMatrix();
  MK3x1Matrix zE = f1.GetZAxis(), zT = aim.GetZAxis();
  zE.Normalize();
  zT.Normalize();
  const double cosine = std::max(-1.0, std::min(1.0, Dot(zE, zT)));
  MK3x1Matrix axis(zE(1) * zT(2) - zE(2) * zT(1), zE(2) * zT(0) - zE(0) * zT(2),
                   zE(0) * zT(1) - zE(1) * zT(0));
  if (axis.Norm() > 1e-12) {
    axis.Normalize();
    const MK3x1Matrix origin = f1.GetTranslation();
    f1(3, 0) = f1(3, 1) = f1(3, 2) = 0.0;
    f1.RotAxis(axis, std::acos(cosine));
    f1(3, 0) = origin(0);
    f1(3, 1) = origin(1);
    f1(3, 2) = origin(2);
  }
  f1(3, 0) = aim(3, 0);
  f1(3, 1) = aim(3, 1);
  f1(3, 2) = aim(3, 2);
  const MK4x4Matrix f2 = (!MK4x4Matrix(offset)) * f1;
  c->ResetIKChainWithBetterStartValues();
  SetInitValues();
  MKStatus status = solveAs(MKIKConstraint::sFrame, f2);
  if (status != MKStatusSuccess) {
    status = solveAs(MKIKConstraint::sZDirection, f1);
    if (status != MKStatusSuccess) {
      keepBetter();
      c->ResetIKChainWithMiddleDOFValues();
      SetInitValues();
      status = solveAs(MKIKConstraint::sFrame, f2);
    }
    if (status != MKStatusSuccess) {
      c->ResetIKChainWithBetterStartValues();
      SetInitValues();
      status = solveAs(MKIKConstraint::sZDirection, f1);
      if (status != MKStatusSuccess) keepBetter();
    }
  }
  if (status != MKStatusSuccess) {
    c->ResetIKChainWithDefaultDOFValues();
    SetInitValues();
    status = QuasiNewton2Resolve();
    if (status != MKStatusSuccess) keepBetter();
  }
  if (status != MKStatusSuccess) {
    // A sweep about the target's own axis.
    c->ResetLocalPosture();
    SetInitValues();
    MK4x4Matrix m = aim;
    for (int k = 0; k < 36 && status != MKStatusSuccess; ++k) {
      m.RotAxis(aim.GetZAxis(), M_PI / 18.0);
      status = solveAs(MKIKConstraint::sFrame, m);
      if (status == MKStatusSuccess) break;
      c->ResetIKChainWithBetterStartValues();
      status = solveAs(MKIKConstraint::sZDirection, m);
      if (status == MKStatusSuccess) break;
      if (!KeepIfBetter(*c, best)) {
        c->ResetLocalPosture();
        c->ResetIKChainWithBetterStartValues();
        SetInitValues();
      }
    }
    if (status != MKStatusSuccess) c->ResetLocalPosture();
  }
  c->SetTargetType(type);
  c->SetPositionWeight(positionWeight);
  c->SetTargetMatrix(savedTarget);
  SetIKTolerance(tolerance);
  return status;
}

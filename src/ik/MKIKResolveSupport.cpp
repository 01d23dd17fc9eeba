#include "ik/detail/MKIKResolveSupport.h"

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace mkik {

std::vector<MKIKConstraint*> ActiveConstraints(const MKIKManager& manager) {
  std::vector<MKIKConstraint*> active;
  for (unsigned int i = 0; i < manager.GetNumberOfConstraints(); ++i) {
    MKIKConstraint* c = manager.GetIKConstraint(i);
    if (c->IsActive() && !c->IsInvalid()) active.push_back(c);
  }
  return active;
}

bool AllResolved(const MKIKManager& manager) {
  for (MKIKConstraint* c : ActiveConstraints(manager)) {
    c->ComputePotential();
    if (!c->IsResolved()) return false;
  }
  return true;
}

MK4x4Matrix OffsetFromTip(const MKIKConstraint& constraint) {
  double length = 0.0;
  if (MKBodyElement* e = constraint.GetEndEffector()) {
    if (e->GetMKClassName() == MKSegmentClass) length = static_cast<MKSegment*>(e)->GetLength();
    if (e->GetMKClassName() == MKLineOfSightClass)
      length = static_cast<MKLineOfSight*>(e)->GetLength();
  }
  MK4x4Matrix back;
  back.BuildFromTrans(0.0, 0.0, -length);
  return constraint.GetOffsetMatrix() * back;
}

bool IsEye(int shortName) {
  return shortName == LLHeEye || shortName == MLHeEye || shortName == RLHeEye;
}

bool KeepIfBetter(MKIKConstraint& constraint, double& best) {
  const double now = constraint.ComputePotential();
  if (!(now < best)) return false;
  best = now;
  constraint.SaveLocalPosture();
  return true;
}

void HeadTurn::ConvertEyes(bool fromNeck) {
  MKManikin* manikin = manager.GetManikin();
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  MKSegment* head = body ? body->GetSegment(SHeFr) : nullptr;
  bool holdNeck = false;
  for (MKIKConstraint* c : ActiveConstraints(manager)) {
    if (head && IsEye(c->GetShortNameOfEndEffector())) {
      saved.push_back(
          {c, c->GetTargetType(), c->GetShortNameOfEndEffector(), c->GetPositionWeight()});
      MKSegment* start = c->GetStartSegment();
      c->SetTargetType(MKIKConstraint::sPointing);
      c->ResetEndEffector(head);
      if (start && start != c->GetStartSegment()) c->SetStartSegment(start);
      converted.push_back(c);
    }
    if (c->GetTargetType() != MKIKConstraint::sPointing) continue;
    if (fromNeck ? c->GetShortNameOfStartSegment() == SHeNe
                 : c->GetShortNameOfEndEffector() == SHeFr)
      holdNeck = true;
  }
  if (!holdNeck) return;
  Lock(SHeNe, fromNeck);
  Lock(SHeCg, fromNeck);
}

void HeadTurn::Lock(MKShortName name, bool toDefault) {
  MKManikin* manikin = manager.GetManikin();
  MKSegment* segment =
      manikin && manikin->GetBody() ? manikin->GetBody()->GetSegment(name) : nullptr;
  MKDOF* dof = segment ? segment->GetDOF(1) : nullptr;
  if (!dof || dof->GetDOFState() == 1) return;
  if (toDefault) dof->Reset();
  dof->LockValue();
  locks.push_back(dof);
}

void HeadTurn::ReleaseLocks() {
  for (MKDOF* dof : locks) dof->UnlockValue();
  locks.clear();
}

void HeadTurn::Restore() {
  ReleaseLocks();
  MKManikin* manikin = manager.GetManikin();
  MKVision* vision = manikin ? manikin->GetVision() : nullptr;
  for (const Saved& s : saved) {
    MKLineOfSight* eye = vision ? vision->GetLineOfSight(static_cast<MKShortName>(s.eye)) : nullptr;
    MKSegment* start = s.constraint->GetStartSegment();
    s.constraint->SetTargetType(s.type);
    s.constraint->SetPositionWeight(s.positionWeight);
    if (!eye) continue;
    s.constraint->ResetEndEffector(eye);
    if (start && start != s.constraint->GetStartSegment()) s.constraint->SetStartSegment(start);
  }
  saved.clear();
  converted.clear();
}

}  // namespace mkik

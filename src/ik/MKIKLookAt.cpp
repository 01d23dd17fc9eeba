// The look-at step of Resolve: the head, then the eyes, turn towards the
// hand that carries a constraint.
#include <cmath>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKKHmiUIActiveObjectListener.h"
#include "ik/detail/MKIKResolveSupport.h"
#include "manikin/MKManikin.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

using namespace mkik;

namespace {

constexpr int kLookAtHand = 0x8000;
constexpr int kLookAtRight = 0x10000;
constexpr int kLookAtLeft = 0x20000;

// The hand the host's active command looks at: left, right, or neither.
MKShortName HandOfActiveCommand(MKBody* body) {
  MKKHmiUIActiveObjectListener* listener =
      MKKHmiUIActiveObjectListener::GetUIActiveObjectListener();
  MKKHmiActiveCommand* command = nullptr;
  if (listener) {
    command = listener->GetActiveCommand("MKKHmiManikinIKModeCmd");
    if (!command) command = listener->GetActiveCommand("MKKHmiManikinReachModeCmd");
  }
  if (!command) return RSHaCPr;
  MKSegment* element = body->GetSegment(static_cast<MKShortName>(command->GetLookAtElement()));
  for (MKSegment* s = element; s; s = s->GetAncestor()) {
    if (s->GetShortName() == LSHaCPr) return LSHaCPr;
    if (s->GetShortName() == RSHaCPr) return RSHaCPr;
  }
  return SBoPh;
}

}  // namespace

bool MKIKManager::IsLookAtActive() const {
  if (!(GetBehavior() & (kLookAtHand | kLookAtRight | kLookAtLeft))) return false;
  for (MKIKConstraint* c : ActiveConstraints(*this))
    if (IsEye(c->GetShortNameOfEndEffector())) return false;
  return true;
}

MKIKConstraint* MKIKManager::CreateLookAtConstraint() {
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!body) return nullptr;
  const int behavior = GetBehavior();
  const bool right = IsActiveConstraintOnSegment(RSHaCPr);
  const bool left = IsActiveConstraintOnSegment(LSHaCPr);
  MKShortName hand = SBoPh;
  if ((behavior & kLookAtRight) && right) {
    hand = RSHaCPr;
  } else if ((behavior & kLookAtLeft) && left) {
    hand = LSHaCPr;
  } else if (behavior & kLookAtHand) {
    if (right && left)
      hand = HandOfActiveCommand(body);
    else if (right || left)
      hand = right ? RSHaCPr : LSHaCPr;
  }
  MKSegment* segment = hand == SBoPh ? nullptr : body->GetSegment(hand);
  MKSegment* head = body->GetSegment(SHeFr);
  MKSegment* neck = body->GetSegment(SHeNe);
  if (!segment || !head || !neck) return nullptr;
  MKIKConstraint* c = nullptr;
  if (AddConstraint(head, neck, MKIKConstraint::sPointing, c, nullptr) != MKStatusSuccess)
    return nullptr;
  // The palm's middle: the hand's end point moved across the palm.
  MK4x4Matrix target = segment->GetGlobalMatrix();
  const MK3x1Matrix end = segment->GetEndPosition();
  const MKEllipse* palm = body->GetEllipse(hand == RSHaCPr ? REHaPa1 : LEHaPa1);
  const double across = palm ? 0.7 * palm->GetMinorAxis() : 0.0;
  for (int k = 0; k < 3; ++k) target(3, k) = end(k) + across * target(1, k);
  c->SetTargetMatrix(target);
  c->Activate();
  return c;
}

MKStatus MKIKManager::LookAtHand(MKStatus status) {
  if (!IsLookAtActive()) return status;
  MKIKConstraint* look = CreateLookAtConstraint();
  if (!look) return status;
  const int behavior = GetBehavior();
  SetBehavior(1);
  if (!(behavior & kNoLineOfSight)) {
    KelRawCollint states;
    DeactivateAllConstraints(states);
    look->Activate();
    HeadTurn head(*this);
    head.ConvertEyes(true);
    SetInitValues();
    QuasiNewton2Resolve();
    head.Restore();
    look->Deactivate();
    ReactivateAllConstraints(states);
  }
  MKVision* vision = manikin->GetVision();
  MKSegment* headSegment = Segment(SHeFr);
  if (vision) {
    const double focal = vision->GetFocalDistance();
    MKFrame target;
    look->GetTargetMatrix(target);
    if (vision->LookAt(target.GetVector()) != MKStatusSuccess && headSegment) {
      // The eyes alone: the target seen from the head's tip.
      MK4x4Matrix tip = headSegment->GetGlobalMatrix();
      const MK3x1Matrix end = headSegment->GetEndPosition();
      for (int k = 0; k < 3; ++k) tip(3, k) = end(k);
      const MK3x1Matrix v = (!tip) * MK3x1Matrix(target.GetVector());
      MKLineOfSight* central = vision->GetLineOfSight(MLHeEye);
      const double yaw = std::atan2(-v(0), v(2)), pitch = std::atan2(-v(1), v(2));
      if (central && central->GetDOF(1))
        central->GetDOF(1)->SetValue(std::fabs(yaw), yaw > 0 ? 1 : -1);
      if (central && central->GetDOF(0))
        central->GetDOF(0)->SetValue(std::fabs(pitch), pitch > 0 ? 1 : -1);
    }
    vision->SetFocalDistance(focal);
  }
  RemoveConstraint(look);
  SetBehavior(behavior);
  return status;
}

// Postures recorded on the earlier generation's skeleton (version below
// 2.03), carried over to the current one.
#include <vector>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "parts/MKPartHolder.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

// Below this summed magnitude (radians) the lower spine counts as straight,
// and the two skeletons agree on where everything is.
constexpr double kStraightSpine = 0.00175;

// Posture values of the pelvis, the iliac points and the vertebrae L5 to T4
// (short names below 18): the segments where the two generations differ.
bool IsLowerSpine(const MKManikinPart& child) {
  return child.GetPartID() == MKPartPostureVariableID && child.GetOwnerShortNameAsChild() >= 0 &&
         child.GetOwnerShortNameAsChild() < 18;
}

// A segment's global frame moved to its end point.
MK4x4Matrix TipFrame(MKBody* body, MKShortName name) {
  MKSegment* segment = body->GetSegment(name);
  MK4x4Matrix frame;
  frame.Unit();
  if (!segment) return frame;
  frame = segment->GetGlobalMatrix();
  const MK3x1Matrix end = segment->GetEndPosition();
  for (int k = 0; k < 3; ++k) frame(3, k) = end(k);
  return frame;
}

// The hands back onto their recorded frames: both together, then those not
// met, then after turning the chest as it was, at last by position only.
void PlaceHands(MKIKManager& manager, MKBody& body, const MK4x4Matrix& left,
                const MK4x4Matrix& right, const MK4x4Matrix& chest) {
  const int behavior = manager.GetBehavior();
  const double tolerance = manager.GetIKTolerance();
  manager.SetBehavior(1);
  manager.SetIKTolerance(0.0025);
  MKIKConstraint* hands[2] = {nullptr, nullptr};
  manager.AddConstraint(body.GetSegment(LSHaCPr), body.GetSegment(LSArCl), MKIKConstraint::sFrame,
                        hands[0], nullptr);
  manager.AddConstraint(body.GetSegment(RSHaCPr), body.GetSegment(RSArCl), MKIKConstraint::sFrame,
                        hands[1], nullptr);
  if (hands[0] && hands[1]) {
    hands[0]->SetTargetMatrix(left);
    hands[1]->SetTargetMatrix(right);
    for (MKIKConstraint* c : hands) c->Activate();
    bool solved = manager.Resolve() == MKStatusSuccess;
    if (!solved) {
      for (MKIKConstraint* c : hands)
        if (c->IsResolved()) c->Deactivate();
      solved = manager.Resolve() == MKStatusSuccess;
    }
    if (!solved) {
      for (MKIKConstraint* c : hands) c->Deactivate();
      MKIKConstraint* trunk = nullptr;
      if (manager.AddConstraint(body.GetSegment(LSBoTst), body.GetSegment(SBoL5),
                                MKIKConstraint::sZDirection, trunk, nullptr) == MKStatusSuccess) {
        trunk->SetTargetMatrix(chest);
        trunk->Activate();
        manager.Resolve();
        manager.RemoveConstraint(trunk);
      }
      for (MKIKConstraint* c : hands) c->Activate();
      if (manager.Resolve() != MKStatusSuccess) {
        for (MKIKConstraint* c : hands) c->SetTargetType(MKIKConstraint::sPosition);
        manager.Resolve();
      }
    }
  }
  for (MKIKConstraint* c : hands)
    if (c) manager.RemoveConstraint(c);
  manager.SetBehavior(behavior);
  manager.SetIKTolerance(tolerance);
}

}  // namespace

MKStatus MKManikin::PasteOldPosture(const MKManikinPart* source) {
  if (!source || !body) return MKStatusFailure;

  // The children up to the first of a kind a posture cannot hold.
  MKStatus status = MKStatusSuccess;
  std::vector<MKPartHolder<>> children;
  for (unsigned int i = 0; i < source->GetNumberOfChildrenParts(); ++i) {
    MKPartHolder<> child(source->ExtractPartAtIndex(i));
    const MKPartID kind = child ? child->GetPartID() : MKPartDefaultID;
    if (kind != MKPartPostureVariableID && kind != MKPartMemoID && kind != MKPartFrameID) {
      status = MKStatusFailure;
      break;
    }
    children.push_back(std::move(child));
  }

  const MKVisionSide side = vision ? vision->GetActiveSide() : MKVisionMiddleSide;
  const bool coupled = body->IsCouplingEnabled();
  body->DisableCoupling(false);
  const MKPartHolder<> limits(ExtractPart(MKPartJointLimitsID, 0, nullptr));

  // Values onto their DOFs; memos and frames onto the manikin.
  auto paste = [this, &children](bool resetLimits) {
    for (const MKPartHolder<>& child : children) {
      if (child->GetPartID() != MKPartPostureVariableID) {
        PasteFrom(child.get(), 1);
        continue;
      }
      MKDOF* dof = PastePostureValue(child.get());
      if (resetLimits && dof &&
          body->GetSegment(static_cast<MKShortName>(dof->GetShortNameOfOwner())))
        ResetLimitsThroughLock(dof);
    }
  };

  double spine = 0.0;
  for (const MKPartHolder<>& child : children)
    if (IsLowerSpine(*child)) spine += static_cast<const MKDOF*>(child.get())->GetValue();

  if (spine < kStraightSpine || !anthro) {
    paste(true);
  } else {
    // Posed on the skeleton it was recorded on, the posture shows where the
    // eyes looked and where the hands and the chest were; the current
    // skeleton then takes the same angles, the hands go back onto their
    // frames and the eyes look there again.
    const int sex = anthro->GetSex();
    anthro->Update();
    BuildOldManikin(sex);
    paste(false);
    if (vision) {
      const MKPartHolder<> aimed(ExtractPart(MKPartVisionID, 0, nullptr));
      PasteFrom(aimed.get(), 1);
    }
    MKLineOfSight* middle = vision ? vision->GetCentralLineOfSight() : nullptr;
    const MK3DVertex eyePoint = middle ? middle->GetEndPoint(MKGlobalSpace) : MK3DVertex();
    const MK4x4Matrix left = TipFrame(body, LSHaCPr), right = TipFrame(body, RSHaCPr);
    const MK4x4Matrix chest = TipFrame(body, LSBoTst);
    BuildManikin(sex);
    if (ikManager) PlaceHands(*ikManager, *body, left, right, chest);
    if (middle) {
      const unsigned char convergence = vision->GetConvergenceMode();
      vision->SetConvergenceMode(0);
      if (vision->LookAt(eyePoint) != MKStatusSuccess)
        for (unsigned int number : {0u, 1u})
          if (MKDOF* dof = middle->GetDOF(number)) dof->Reset();
      vision->SetConvergenceMode(convergence);
    }
  }

  if (limits) PasteFrom(limits.get(), 1);
  if (coupled) body->EnableCoupling(false);
  if (vision) vision->SetActiveSide(side);
  return status;
}

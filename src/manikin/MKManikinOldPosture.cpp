// Postures recorded on the earlier generation's skeleton (version below
// 2.03), carried over to the current one.
#include <vector>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
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
    // eyes looked; the current skeleton then takes the same angles and the
    // eyes look there again. Moving the hands back onto their recorded
    // frames needs the IK solver's Resolve, which the manager does not
    // offer yet.
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
    BuildManikin(sex);
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

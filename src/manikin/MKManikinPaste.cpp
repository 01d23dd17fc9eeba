// Pasting parts onto a manikin: each kind goes to the component that owns
// its aspect (anthropometry, body, vision, IK manager) or to the memos.
#include <initializer_list>
#include <vector>

#include "anthro/MKAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "host/KelGetEnv.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "manikin/MKManikin.h"
#include "math/MKUnitConversions.h"
#include "parts/MKMemo.h"
#include "parts/MKPartHolder.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

using Extracted = MKPartHolder<>;

Extracted ChildCopy(const MKManikinPart* container, unsigned int index) {
  return Extracted(container->ExtractPartAtIndex(index));
}

}  // namespace

MKStatus MKManikin::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  const MKPartID kind = source->GetPartID();
  if (IsPrefAnglesKind(kind)) return PastePrefAngles(source);
  if (IsJointLimitsKind(kind)) return PasteJointLimits(source);
  switch (kind) {
    case MKPartMemoID:
      return PasteMemo(source);
    case MKPartIKSpecsID:
      return ikManager && ikManager->GetIKSpecs() ? ikManager->GetIKSpecs()->PasteFrom(source, 1)
                                                  : MKStatusFailure;
    case MKPartAnthropometryID:
      return PasteAnthropometry(source);
    case MKPartPostureID:
      return PastePosture(source);
    case MKPartVisionID:
    case MKPartVisualLimitsID:
      return vision ? vision->PasteFrom(source, 1) : MKStatusSuccess;
    case MKPartClothingID:
      return MKStatusSuccess;
    case MKPartIKConstraintsID:
      return PasteIKConstraints(source);
    case MKPartJointLimitsDBReferenceID:
      return PasteJointLimitsDBRef(source);
    case MKPartManikinID:
      return PasteManikin(*static_cast<const MKManikin*>(source));
    default:
      return MKStatusPasteKindRefused;
  }
}

MKStatus MKManikin::PasteMemo(const MKManikinPart* source) {
  MKMemo copy(*static_cast<const MKMemo*>(source));
  if (copy.GetPartIDOfOwner() == MKPartDefaultID) copy.SetPartIDOfOwner(MKPartManikinID);
  const MKPartID owner = copy.GetPartIDOfOwner();
  if (MKManikinPart* existing = FindMemo(owner)) return existing->PasteFrom(&copy, 1);
  switch (owner) {
    case MKPartManikinID:
    case MKPartPrefAnglesID:
    case MKPartJointLimitsID:
      AddPart(&copy);
      return MKStatusSuccess;
    case MKPartPostureID:
      body->SetMemo(&copy);
      return MKStatusSuccess;
    case MKPartAnthropometryID:
      return anthro ? anthro->PasteFrom(&copy, 1) : MKStatusSuccess;
    case MKPartIKConstraintsID:
      if (ikManager) ikManager->SetMemo(&copy);
      return MKStatusSuccess;
    case MKPartIKSpecsID:
      return ikManager && ikManager->GetIKSpecs() ? ikManager->GetIKSpecs()->PasteFrom(&copy, 1)
                                                  : MKStatusSuccess;
    default:
      // A memo of an aspect the manikin does not keep.
      return MKStatusSuccess;
  }
}

MKStatus MKManikin::PasteAnthropometry(const MKManikinPart* source) {
  if (!anthro) return MKStatusFailure;
  // The paste and the prediction that follows it refit the body once.
  anthro->HoldRefits();
  const MKStatus pasted = anthro->PasteFrom(source, 1);
  const MKStatus status = pasted == MKStatusSuccess ? anthro->Update() : pasted;
  anthro->ReleaseRefits();
  if (pasted == MKStatusSuccess) body->GetCenterOfGravity()->SetBody(body);
  return status;
}

MKDOF* MKManikin::PastePostureValue(const MKManikinPart* value) {
  const int owner = value->GetOwnerShortNameAsChild();
  const auto number = static_cast<unsigned int>(value->GetDOFNumberAsChild());
  MKDOF* dof = nullptr;
  if (MKSegment* segment = body->GetSegment(static_cast<MKShortName>(owner)))
    dof = segment->GetDOF(static_cast<int>(number));
  else if (owner == MLHeEye && vision && vision->GetCentralLineOfSight())
    dof = vision->GetCentralLineOfSight()->GetDOF(number);
  if (dof) dof->PasteFrom(value, 1);
  return dof;
}

MKStatus MKManikin::PastePosture(const MKManikinPart* source) {
  const bool earlier = IsEarlierGeneration();
  if (!earlier && source->GetVersion() < 2.03) return PasteOldPosture(source);

  const bool coupled = body->IsCouplingEnabled();
  body->DisableCoupling(false);
  MKStatus status = MKStatusSuccess;
  MKDOF* headTurn = body->GetSegment(SHeCg) ? body->GetSegment(SHeCg)->GetDOF(2) : nullptr;
  bool headLimitsRemoved = false;
  // A posture part is a plain container of copies: its children are read in
  // place, since copying each of them would cost more than the paste itself.
  for (unsigned int i = source->GetNumberOfChildrenParts(); i-- > 0 && status == MKStatusSuccess;) {
    const MKManikinPart* child = source->GetChild(static_cast<int>(i) + 1);
    const MKPartID kind = child ? child->GetPartID() : MKPartDefaultID;
    if (kind == MKPartMemoID) {
      body->SetMemo(static_cast<const MKMemo*>(child));
      continue;
    }
    if (kind == MKPartFrameID) continue;
    if (kind != MKPartPostureVariableID) {
      status = MKStatusPasteKindRefused;
      continue;
    }
    const auto* value = static_cast<const MKDOF*>(child);
    if (!earlier) {
      // The middle line of sight has no DOF 2: that value carries its length.
      if (value->GetShortNameOfOwner() == MLHeEye && value->GetNumber() == 2) {
        if (vision && vision->GetCentralLineOfSight())
          vision->GetCentralLineOfSight()->SetLength(
              MKUnitConversions::RadiansToDegrees(value->GetValue()));
        continue;
      }
      // A head turn beyond the limits of this body is taken as recorded.
      if (headTurn && value->GetShortNameOfOwner() == SHeCg && value->GetNumber() == 2) {
        const double turn = value->GetMathematicalValue();
        if (turn > headTurn->GetMaxLim(false) || turn < -headTurn->GetMinLim(false)) {
          headTurn->RemoveLimits();
          headLimitsRemoved = true;
        }
      }
    }
    PastePostureValue(value);
  }
  if (!earlier) {
    if (headLimitsRemoved) ResetLimitsThroughLock(headTurn);
    MKLineOfSight* middle = vision ? vision->GetCentralLineOfSight() : nullptr;
    if (middle && !pastingWhole)
      ResetFocusPointAfterPastePosture(middle->GetEndPoint(MKGlobalSpace));
  }
  if (coupled) body->EnableCoupling(false);
  return status;
}

void MKManikin::ResetLimitsThroughLock(MKDOF* dof) {
  const bool locked = dof->AreLimitsLocked();
  if (locked) dof->UnlockLimits();
  dof->ResetLimits();
  if (locked) dof->LockLimits();
}

MKDOF* MKManikin::FindDOF(int shortName, int number) const {
  if (MKSegment* segment = body->GetSegment(static_cast<MKShortName>(shortName)))
    return segment->GetDOF(number);
  MKLineOfSight* line =
      vision ? vision->GetLineOfSight(static_cast<MKShortName>(shortName)) : nullptr;
  return line ? line->GetDOF(static_cast<unsigned int>(number)) : nullptr;
}

MKStatus MKManikin::PasteJointLimits(const MKManikinPart* source) {
  MKStatus status = MKStatusSuccess;
  for (unsigned int i = source->GetNumberOfChildrenParts(); i-- > 0 && status == MKStatusSuccess;) {
    const Extracted child = ChildCopy(source, i);
    const MKPartID kind = child ? child->GetPartID() : MKPartDefaultID;
    if (kind == MKPartJointLimitsDBReferenceID || kind == MKPartMemoID) {
      status = PasteFrom(child.get(), 1);
    } else if (kind == MKPartJointLimitsVariableID) {
      const int owner = child->GetOwnerShortNameAsChild();
      if (!body->GetSegment(static_cast<MKShortName>(owner)) && !vision) {
        status = MKStatusFailure;
      } else if (MKDOF* dof = FindDOF(owner, child->GetDOFNumberAsChild())) {
        status = dof->PasteFrom(child.get(), 1);
      }
    } else {
      status = MKStatusFailure;
    }
  }
  return status;
}

MKStatus MKManikin::PasteIKConstraints(const MKManikinPart* source) {
  if (!ikManager) return MKStatusFailure;
  MKStatus status = MKStatusSuccess;
  for (unsigned int i = 0; i < source->GetNumberOfChildrenParts() && status == MKStatusSuccess;
       ++i) {
    const Extracted child = ChildCopy(source, i);
    const MKPartID kind = child ? child->GetPartID() : MKPartDefaultID;
    if (kind == MKPartMemoID) {
      ikManager->SetMemo(static_cast<const MKMemo*>(child.get()));
    } else if (kind == MKPartIKConstraintID) {
      // Matched to this manikin by the short names of its chain's ends.
      const auto* pasted = static_cast<const MKIKConstraint*>(child.get());
      MKBodyElement* endEffector =
          body->GetElementByName(static_cast<MKShortName>(pasted->GetShortNameOfEndEffector()));
      MKSegment* start =
          body->GetSegment(static_cast<MKShortName>(pasted->GetShortNameOfStartSegment()));
      MKIKConstraint* created = nullptr;
      status = ikManager->AddConstraint(endEffector, start, 8, created, nullptr);
      if (created) {
        const MKStatus copied = created->PasteFrom(pasted, 1);
        if (status == MKStatusSuccess) status = copied;
      }
    } else {
      status = MKStatusFailure;
    }
  }
  ikManager->BuildGlobalConstraint();
  return status;
}

MKStatus MKManikin::PastePrefAngles(const MKManikinPart* source) {
  const unsigned int count = source->GetNumberOfChildrenParts();
  // 1. The owners of the zones, per DOF number.
  std::vector<int> owners[3];
  for (unsigned int i = 0; i < count; ++i) {
    const Extracted child = ChildCopy(source, i);
    if (!child || child->GetPartID() != MKPartPrefAngleID) continue;
    const auto* zone = static_cast<const MKPrefAngle*>(child.get());
    const int number = zone->GetDOFNumber();
    if (number >= 0 && number < 3) owners[number].push_back(zone->GetShortNameOfOwner());
  }
  // 2. Those DOFs give up their zones; the others keep theirs.
  for (int number = 0; number < 3; ++number)
    for (int owner : owners[number])
      if (MKDOF* dof = FindDOF(owner, number)) dof->RemoveAllPrefAngles();
  // 3. The zones and the memo, in order.
  MKStatus status = MKStatusSuccess;
  for (unsigned int i = 0; i < count && status == MKStatusSuccess; ++i) {
    const Extracted child = ChildCopy(source, i);
    const MKPartID kind = child ? child->GetPartID() : MKPartDefaultID;
    if (kind == MKPartPrefAngleID) {
      const auto* zone = static_cast<const MKPrefAngle*>(child.get());
      if (MKDOF* dof = FindDOF(zone->GetShortNameOfOwner(), zone->GetDOFNumber()))
        status = dof->PasteFrom(zone, 1);
    } else if (kind == MKPartMemoID) {
      status = PasteMemo(child.get());
    } else {
      status = MKStatusFailure;
    }
  }
  // The heads of the spine runs spread their new zones over the run.
  for (int number = 0; number < 3; ++number)
    for (MKShortName head : {SBoL5, SBoT12, SHeNe})
      for (int owner : owners[number])
        if (owner == head) {
          if (MKDOF* dof = body->GetSegment(head)->GetDOF(number)) dof->InitializeSpinePrefAngles();
          break;
        }
  return status;
}

MKStatus MKManikin::PasteJointLimitsDBRef(const MKManikinPart* source) {
  const MKManikinPart* memo = source->GetChild(1);
  // The reference names its database by the text of its memo.
  if (!memo || memo->GetPartID() != MKPartMemoID) return MKStatus(4);
  const KelString uuid = static_cast<const MKMemo*>(memo)->GetText().ConvertToChar();
  MKDBJointLimits* database = MKDatabaseManager::GetInstance()->GetJointLimitsDB(uuid);
  if (!database) return MKStatusJointLimitsDB;
  if (database == body->GetJointLimitsDB()) return MKStatusSuccess;
  return body->UseJointLimitsDB(database);
}

MKStatus MKManikin::PasteManikin(const MKManikin& source) {
  const WholePaste whole(*this);
  auto extract = [&source](MKPartID kind) {
    return Extracted(source.ExtractPart(kind, 0, nullptr));
  };
  auto pasteEach = [&](std::initializer_list<MKPartID> kinds) -> MKStatus {
    for (MKPartID kind : kinds)
      // A part the source does not have is nothing to paste.
      if (const Extracted part = extract(kind))
        if (const MKStatus status = PasteFrom(part.get(), 1); status != MKStatusSuccess)
          return status;
    return MKStatusSuccess;
  };
  // The body is refitted once to the new database and anthropometry, before
  // the posture is set on it.
  if (anthro) anthro->HoldRefits();
  // The databases first: their statuses do not stop the paste.
  if (const Extracted reference = extract(MKPartJointLimitsDBReferenceID))
    PasteFrom(reference.get(), 1);
  if (const Extracted reference = extract(MKPartAnthroDBReferenceID); reference && anthro)
    if (anthro->PasteFrom(reference.get(), 1) == MKStatusSuccess) anthro->Update();
  MKStatus status = pasteEach({MKPartMemoID, MKPartPrefAnglesID, MKPartIKSpecsID,
                               MKPartIKConstraintsID, MKPartAnthropometryID});
  if (anthro) anthro->ReleaseRefits();
  // The joint limits are pasted before the posture as well: pasted only
  // after it, limits the source widened came too late, and its posture was
  // clamped to this manikin's. The paste in its place still decides the
  // status.
  if (status == MKStatusSuccess)
    if (const Extracted limits = extract(MKPartJointLimitsID)) PasteFrom(limits.get(), 1);
  if (status == MKStatusSuccess)
    status = pasteEach({MKPartPostureID, MKPartVisionID, MKPartJointLimitsID, MKPartClothingID});
  return status;
}

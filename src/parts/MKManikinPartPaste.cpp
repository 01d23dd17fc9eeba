// Paste rules of the container kinds of the part tree.
#include "parts/MKManikinPart.h"

MKStatus MKManikinPart::PasteFrom(const MKManikinPart* source, unsigned char flag) {
  if (!source) return MKStatusNothingToPaste;
  if (IsPrefAnglesKind(partID)) return PasteOnPrefAngle(source, flag);
  if (IsJointLimitsKind(partID)) return PasteOnJointLimits(source, flag);
  switch (partID) {
    case MKPartIKConstraintsID:
      return PasteOnIKConstraints(source);
    case MKPartPostureID:
      return PasteOnPosture(source, flag);
    case MKPartVisualLimitsID:
      return PasteOnVisualLimits(source);
    case MKPartJointLimitsDBReferenceID:
    case MKPartAnthroDBReferenceID:
      return PasteOnDBReference(source);
    case MKPartSetID:
      return PasteOnSet(source);
    default:
      return MKStatusFailure;
  }
}

MKStatus MKManikinPart::PasteMemoOnPart(const MKManikinPart* source) {
  if (source->GetPartID() != MKPartMemoID) return MKStatusPasteKindRefused;
  MKManikinPart* memo = nullptr;
  if (FindPart(MKPartMemoID, memo, 1) != 0) return memo->PasteFrom(source, 1);
  AddPart(source);
  return MKStatusSuccess;
}

MKStatus MKManikinPart::PasteOnIKConstraints(const MKManikinPart* source) {
  if (source->GetPartID() == MKPartIKConstraintID) {
    AddPart(source);
    return MKStatusSuccess;
  }
  return PasteMemoOnPart(source);
}

MKStatus MKManikinPart::PasteOnVisualLimits(const MKManikinPart* source) {
  if (source->GetPartID() == MKPartVisualLimitsVariableID) {
    AddPart(source);
    return MKStatusSuccess;
  }
  return PasteMemoOnPart(source);
}

MKStatus MKManikinPart::PasteOnDBReference(const MKManikinPart* source) {
  return PasteMemoOnPart(source);
}

MKStatus MKManikinPart::PasteOnSet(const MKManikinPart* source) {
  if (source->GetPartID() == MKPartSetID) {
    for (int i = 1; i <= source->children.Size(); ++i) AddPart(source->GetChild(i));
    return MKStatusSuccess;
  }
  return PasteMemoOnPart(source);
}

MKStatus MKManikinPart::PasteOnPosture(const MKManikinPart* source, unsigned char flag) {
  switch (source->GetPartID()) {
    case MKPartPostureVariableID:
    case MKPartFrameID:
      AddPart(source);
      return MKStatusSuccess;
    case MKPartMemoID:
      return PasteMemoOnPart(source);
    case MKPartPostureID:
      break;
    default:
      return MKStatusPasteKindRefused;
  }
  if (flag != 0) {
    RemoveAllParts();
    for (int i = 1; i <= source->children.Size(); ++i) AddPart(source->GetChild(i));
    return MKStatusSuccess;
  }
  // Merge: only the posture values of DOFs that this posture lacks; frames
  // and memos of the source are not taken.
  KelRawCollint owners;
  GetOwnerShortNameOfChildrenParts(owners);
  source->AddChildrenOwnedBy(*this, MKPartPostureVariableID, owners, false, -1);
  return MKStatusSuccess;
}

MKStatus MKManikinPart::PasteOnPrefAngle(const MKManikinPart* source, unsigned char flag) {
  const MKPartID kind = source->GetPartID();
  if (kind == MKPartPrefAngleID) {
    AddPart(source);
    return MKStatusSuccess;
  }
  if (kind == MKPartMemoID) return PasteMemoOnPart(source);
  if (!IsPrefAnglesKind(kind)) return MKStatusPasteKindRefused;

  MKStatus status = MKStatusPasteKindRefused;
  if (kind == partID) {
    status = MKStatusSuccess;
    if (flag == 0) {
      // Only zones of DOFs without zones here; other children are skipped.
      KelRawCollint owners;
      GetOwnerShortNameOfChildrenParts(owners);
      source->AddChildrenOwnedBy(*this, MKPartPrefAngleID, owners, false, -1);
      return status;
    }
    for (int i = 1; i <= source->children.Size() && status == MKStatusSuccess; ++i)
      if (const MKManikinPart* child = source->GetChild(i)) status = PasteOnPrefAngle(child, flag);
  } else if (kind == MKPartPrefAnglesID) {
    // Onto the container of one DOF number: every non-zone child, and the
    // zones of that DOF number.
    const int wanted = partID - MKPartPrefAnglesDof1ID;
    status = MKStatusSuccess;
    for (int i = 1; i <= source->children.Size() && status == MKStatusSuccess; ++i) {
      const MKManikinPart* child = source->GetChild(i);
      if (child &&
          (child->GetPartID() != MKPartPrefAngleID || child->GetDOFNumberAsChild() == wanted))
        status = PasteOnPrefAngle(child, flag);
    }
  }
  return status;
}

MKStatus MKManikinPart::PasteOnJointLimits(const MKManikinPart* source, unsigned char flag) {
  const MKPartID kind = source->GetPartID();
  if (kind == MKPartJointLimitsVariableID) {
    AddPart(source);
    return MKStatusSuccess;
  }
  if (kind == MKPartMemoID) return PasteMemoOnPart(source);
  if (kind == MKPartJointLimitsDBReferenceID) {
    MKManikinPart* first = GetChild(1);
    if (children.Size() == 0) {
      AddPart(source);
      return MKStatusSuccess;
    }
    if (first && first->GetPartID() == MKPartJointLimitsDBReferenceID)
      return first->PasteFrom(source, 1);
    if (MKManikinPart* copy = source->Clone()) children.InsertAt(1, copy);
    return MKStatusSuccess;
  }
  if (!IsJointLimitsKind(kind)) return MKStatusPasteKindRefused;

  MKStatus status = MKStatusPasteKindRefused;
  if (kind == partID) {
    status = MKStatusSuccess;
    for (int i = 1; i <= source->children.Size() && status == MKStatusSuccess; ++i)
      if (const MKManikinPart* child = source->GetChild(i))
        status = PasteOnJointLimits(child, flag);
  } else if (kind == MKPartJointLimitsID) {
    // Onto the container of one DOF number: every non-record child, and the
    // records of that DOF number.
    const int wanted = partID - MKPartJointLimitsDof1ID;
    status = MKStatusSuccess;
    for (int i = 1; i <= source->children.Size() && status == MKStatusSuccess; ++i) {
      const MKManikinPart* child = source->GetChild(i);
      if (child && (child->GetPartID() != MKPartJointLimitsVariableID ||
                    child->GetDOFNumberAsChild() == wanted))
        status = PasteOnJointLimits(child, flag);
    }
  }
  return status;
}

#include "parts/MKManikinPart.h"

#include <ctime>

#include "host/KelGetEnv.h"

const KelString MKManikinPart::sMKPartDefaultID("0000");
const KelString MKManikinPart::sMKPartManikinID("0001");
const KelString MKManikinPart::sMKPartLibraryID("0002");
const KelString MKManikinPart::sMKPartAnthropometryID("0003");
const KelString MKManikinPart::sMKPartAnthroVariableID("0004");
const KelString MKManikinPart::sMKPartPostureID("0005");
const KelString MKManikinPart::sMKPartPrefAnglesID("0006");
const KelString MKManikinPart::sMKPartPrefAngleID("0007");
const KelString MKManikinPart::sMKPartJointLimitsID("0008");
const KelString MKManikinPart::sMKPartJointLimitsVariableID("0009");
const KelString MKManikinPart::sMKPartIKConstraintsID("0010");
const KelString MKManikinPart::sMKPartJointLimitsDBReferenceID("0011");
const KelString MKManikinPart::sMKPartAnthroDBReferenceID("0012");
const KelString MKManikinPart::sMKPartMemoID("0013");
const KelString MKManikinPart::sMKPartIKSpecsID("0014");
const KelString MKManikinPart::sMKPartVisionID("0015");
const KelString MKManikinPart::sMKPartClothingID("0016");
const KelString MKManikinPart::sMKPartPostureVariableID("0017");
const KelString MKManikinPart::sMKPartIKConstraintID("0018");
const KelString MKManikinPart::sMKPartVisualLimitsID("0019");
const KelString MKManikinPart::sMKPartVisualLimitsVariableID("0020");
const KelString MKManikinPart::sMKPartUserDBAnthroID("0021");
const KelString MKManikinPart::sMKPartUserDBAnthroVariableID("0022");
const KelString MKManikinPart::sMKPartUserDBJointLimitsID("0023");
const KelString MKManikinPart::sMKPartUserDBJointLimitsVariableID("0024");
const KelString MKManikinPart::sMKPartFrameID("0025");
const KelString MKManikinPart::sMKPartSetID("0026");
const KelString MKManikinPart::sMKPartJointLimitsDof1ID("0027");
const KelString MKManikinPart::sMKPartJointLimitsDof2ID("0028");
const KelString MKManikinPart::sMKPartJointLimitsDof3ID("0029");
const KelString MKManikinPart::sMKPartPrefAnglesDof1ID("0030");
const KelString MKManikinPart::sMKPartPrefAnglesDof2ID("0031");
const KelString MKManikinPart::sMKPartPrefAnglesDof3ID("0032");

namespace {

// The string objects in kind order, 0 to 32.
const KelString* const kPartStrings[] = {
    &MKManikinPart::sMKPartDefaultID,
    &MKManikinPart::sMKPartManikinID,
    &MKManikinPart::sMKPartLibraryID,
    &MKManikinPart::sMKPartAnthropometryID,
    &MKManikinPart::sMKPartAnthroVariableID,
    &MKManikinPart::sMKPartPostureID,
    &MKManikinPart::sMKPartPrefAnglesID,
    &MKManikinPart::sMKPartPrefAngleID,
    &MKManikinPart::sMKPartJointLimitsID,
    &MKManikinPart::sMKPartJointLimitsVariableID,
    &MKManikinPart::sMKPartIKConstraintsID,
    &MKManikinPart::sMKPartJointLimitsDBReferenceID,
    &MKManikinPart::sMKPartAnthroDBReferenceID,
    &MKManikinPart::sMKPartMemoID,
    &MKManikinPart::sMKPartIKSpecsID,
    &MKManikinPart::sMKPartVisionID,
    &MKManikinPart::sMKPartClothingID,
    &MKManikinPart::sMKPartPostureVariableID,
    &MKManikinPart::sMKPartIKConstraintID,
    &MKManikinPart::sMKPartVisualLimitsID,
    &MKManikinPart::sMKPartVisualLimitsVariableID,
    &MKManikinPart::sMKPartUserDBAnthroID,
    &MKManikinPart::sMKPartUserDBAnthroVariableID,
    &MKManikinPart::sMKPartUserDBJointLimitsID,
    &MKManikinPart::sMKPartUserDBJointLimitsVariableID,
    &MKManikinPart::sMKPartFrameID,
    &MKManikinPart::sMKPartSetID,
    &MKManikinPart::sMKPartJointLimitsDof1ID,
    &MKManikinPart::sMKPartJointLimitsDof2ID,
    &MKManikinPart::sMKPartJointLimitsDof3ID,
    &MKManikinPart::sMKPartPrefAnglesDof1ID,
    &MKManikinPart::sMKPartPrefAnglesDof2ID,
    &MKManikinPart::sMKPartPrefAnglesDof3ID,
};
constexpr int kLastPartID = MKPartPrefAnglesDof3ID;

bool IsPlainContainerKind(MKPartID kind) {
  switch (kind) {
    case MKPartPrefAnglesID:
    case MKPartJointLimitsID:
    case MKPartIKConstraintsID:
    case MKPartVisualLimitsID:
    case MKPartSetID:
      return true;
    default:
      return kind >= MKPartJointLimitsDof1ID && kind <= MKPartPrefAnglesDof3ID;
  }
}

bool IsClonableContainerKind(MKPartID kind) {
  switch (kind) {
    case MKPartPostureID:
    case MKPartPrefAnglesID:
    case MKPartJointLimitsID:
    case MKPartIKConstraintsID:
    case MKPartJointLimitsDBReferenceID:
    case MKPartAnthroDBReferenceID:
    case MKPartSetID:
      return true;
    default:
      return kind >= MKPartJointLimitsDof1ID && kind <= MKPartPrefAnglesDof3ID;
  }
}

double ContainerVersion(MKPartID kind, double version) {
  return kind == MKPartAnthroDBReferenceID && version == 2.01 ? 2.02 : version;
}

}  // namespace

MKManikinPart::MKManikinPart(MKPartID kind, double version)
    : partID(kind), version(ContainerVersion(kind, version)) {}

MKManikinPart::MKManikinPart(const MKManikinPart& source)
    : partID(MKPartDefaultID), version(2.0), loadedFromLibrary(source.loadedFromLibrary) {
  timeStamp = source.loadedFromLibrary ? source.timeStamp : static_cast<long>(std::time(nullptr));
  *this = source;
}

MKManikinPart& MKManikinPart::operator=(const MKManikinPart& source) {
  if (this == &source) return *this;
  if (partID != MKPartDefaultID && partID != source.partID) return *this;
  partID = source.partID;
  version = source.version;
  RemoveAllParts();
  for (int i = 1; i <= source.children.Size(); ++i) AddPart(source.GetChild(i));
  timeStamp = source.timeStamp;
  return *this;
}

MKManikinPart::~MKManikinPart() {
  RemoveAllParts();
}

void MKManikinPart::Destroy() {
  delete this;
}

MKManikinPart* MKManikinPart::Create(MKPartID kind) {
  if (IsPlainContainerKind(kind)) return new MKManikinPart(kind, 2.01);
  if (kind == MKPartPostureID) {
    const char* earlier = KelGetEnv("MKKR12ManikinInR14");
    const bool earlierGeneration = earlier && KelString(earlier) == "1";
    return new MKManikinPart(kind, earlierGeneration ? 2.01 : 2.03);
  }
  // The anthropometry and the vision are parts of their own classes.
  if (kind == MKPartAnthropometryID || kind == MKPartVisionID) return CreateReader(kind);
  return nullptr;
}

const KelString& MKManikinPart::ConvertPartIDToString(MKPartID kind) {
  // Visual-limit parts are written under the default kind's tags.
  if (kind < 1 || kind > kLastPartID || kind == MKPartVisualLimitsID ||
      kind == MKPartVisualLimitsVariableID)
    return sMKPartDefaultID;
  return *kPartStrings[kind];
}

MKPartID MKManikinPart::ConvertStringToPartID(const KelString& text) {
  for (int kind = 1; kind <= kLastPartID; ++kind)
    if (*kPartStrings[kind] == text) return static_cast<MKPartID>(kind);
  return MKPartDefaultID;
}

void MKManikinPart::AddPart(const MKManikinPart* part) {
  if (!part) return;
  MKManikinPart* copy = part->Clone();
  if (copy) children.Append(copy);
}

const MKManikinPart* MKManikinPart::GetChild(int i) const {
  if (i < 1 || i > children.Size()) return nullptr;
  return static_cast<const MKManikinPart*>(children[i]);
}

MKManikinPart* MKManikinPart::GetChild(int i) {
  if (i < 1 || i > children.Size()) return nullptr;
  return static_cast<MKManikinPart*>(children[i]);
}

int MKManikinPart::FindPart(const MKPartID& kind, MKManikinPart*& found, int start) const {
  found = nullptr;
  if (start < 1 || start > children.Size()) return 0;
  for (int i = start; i <= children.Size(); ++i) {
    auto* child = static_cast<MKManikinPart*>(children[i]);
    if (child && child->GetPartID() == kind) {
      found = child;
      return i;
    }
  }
  return 0;
}

void MKManikinPart::RemoveAllParts() {
  for (int i = 1; i <= children.Size(); ++i)
    if (MKManikinPart* child = GetChild(i)) child->Destroy();
  children.RemoveAll(KelCollec::DontFreeMemory);
}

unsigned int MKManikinPart::GetNumberOfChildrenParts() const {
  return static_cast<unsigned int>(children.Size());
}

MKManikinPart* MKManikinPart::ExtractPartAtIndex(unsigned int index) const {
  if (index >= GetNumberOfChildrenParts()) return nullptr;
  const MKManikinPart* child = GetChild(static_cast<int>(index) + 1);
  return child ? child->Clone() : nullptr;
}

MKManikinPart* MKManikinPart::ExtractPart(MKPartID kind, unsigned int index,
                                          KelRawCollint* shortNames) const {
  const bool oneDOFOfPrefAngles = partID == MKPartPrefAnglesID && kind >= MKPartPrefAnglesDof1ID &&
                                  kind <= MKPartPrefAnglesDof3ID;
  const bool oneDOFOfJointLimits = partID == MKPartJointLimitsID &&
                                   kind >= MKPartJointLimitsDof1ID &&
                                   kind <= MKPartJointLimitsDof3ID;
  if (oneDOFOfPrefAngles || oneDOFOfJointLimits) {
    auto* extracted = new MKManikinPart(kind, 2.01);
    if (extracted->PasteFrom(this, 1) == MKStatusSuccess) return extracted;
    extracted->Destroy();
    return nullptr;
  }
  if (shortNames) {
    int dofNumber = -1;
    MKPartID childKind = MKPartDefaultID;
    if (kind == MKPartPostureID && partID == MKPartPostureID) {
      childKind = MKPartPostureVariableID;
    } else if (kind == partID && IsPrefAnglesKind(kind)) {
      childKind = MKPartPrefAngleID;
      if (kind != MKPartPrefAnglesID) dofNumber = kind - MKPartPrefAnglesDof1ID;
    } else if (kind == partID && IsJointLimitsKind(kind)) {
      childKind = MKPartJointLimitsVariableID;
      if (kind != MKPartJointLimitsID) dofNumber = kind - MKPartJointLimitsDof1ID;
    } else {
      return nullptr;
    }
    MKManikinPart* extracted = Create(kind);
    AddChildrenOwnedBy(*extracted, childKind, *shortNames, true, dofNumber);
    return extracted;
  }
  if (kind == partID) return Clone();
  unsigned int count = 0;
  for (int i = 1; i <= children.Size(); ++i) {
    const MKManikinPart* child = GetChild(i);
    if (!child || child->GetPartID() != kind) continue;
    if (count++ == index) return child->Clone();
  }
  return nullptr;
}

void MKManikinPart::GetOwnerShortNameOfChildrenParts(KelRawCollint& shortNames) const {
  shortNames.RemoveAll();
  MKPartID childKind = MKPartDefaultID;
  if (partID == MKPartPostureID)
    childKind = MKPartPostureVariableID;
  else if (IsPrefAnglesKind(partID))
    childKind = MKPartPrefAngleID;
  else if (IsJointLimitsKind(partID))
    childKind = MKPartJointLimitsVariableID;
  else
    return;
  for (int i = 1; i <= children.Size(); ++i) {
    const MKManikinPart* child = GetChild(i);
    if (!child || child->GetPartID() != childKind) continue;
    const int owner = child->GetOwnerShortNameAsChild();
    if (shortNames.Locate(owner) == 0) shortNames.Append(owner);
  }
}

void MKManikinPart::AddChildrenOwnedBy(MKManikinPart& target, MKPartID childKind,
                                       const KelRawCollint& owners, bool listed,
                                       int dofNumber) const {
  for (int i = 1; i <= children.Size(); ++i) {
    const MKManikinPart* child = GetChild(i);
    if (!child || child->GetPartID() != childKind) continue;
    if (dofNumber != -1 && child->GetDOFNumberAsChild() != dofNumber) continue;
    if ((owners.Locate(child->GetOwnerShortNameAsChild()) != 0) == listed) target.AddPart(child);
  }
}

bool MKManikinPart::CarriesTimeStamp(MKPartID kind) {
  switch (kind) {
    case MKPartLibraryID:
    case MKPartPostureID:
    case MKPartPrefAnglesID:
    case MKPartJointLimitsID:
    case MKPartIKConstraintsID:
    case MKPartAnthroDBReferenceID:
    case MKPartVisualLimitsID:
    case MKPartSetID:
      return true;
    default:
      return kind >= MKPartJointLimitsDof1ID && kind <= MKPartPrefAnglesDof3ID;
  }
}

unsigned int MKManikinPart::GetSize() const {
  unsigned int size = 0;
  for (int i = 1; i <= children.Size(); ++i)
    if (const MKManikinPart* child = GetChild(i))
      size += child->GetSize() + 2 * GetMaxTagLength() + 12;
  if (CarriesTimeStamp(partID) && IsStampedAt(partID, version)) size += GetSizeOfTimeStamp();
  return size;
}

MKManikinPart* MKManikinPart::Clone() const {
  return IsClonableContainerKind(partID) ? new MKManikinPart(*this) : nullptr;
}

// A DOF as a part: its posture-value (kind 17) and joint-limits (kind 9)
// records, extraction and paste.
#include <cmath>

#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "math/MKUnitConversions.h"
#include "parts/MKMemo.h"
#include "parts/MKPersistenceRoutines.h"

namespace {

// Neck and head limits that earlier versions stored as defaults, replaced on
// reading: owner, axis, old min -> new min, old max -> new max (degrees).
struct OldDefaultLimits {
  int owner;
  int axis;
  double oldMin, newMin, oldMax, newMax;
};
constexpr OldDefaultLimits kOldDefaults[] = {
    {SHeNe, 0, 25, 5, 20, 15},  {SHeNe, 1, 25, 10, 25, 10}, {SHeNe, 2, 35, 2, 35, 2},
    {SHeCg, 0, 25, 45, 20, 25}, {SHeCg, 1, 10, 25, 10, 25}, {SHeCg, 2, 35, 73, 35, 73},
};

double ReplaceOldDefault(double radians, double oldDegrees, double newDegrees) {
  const double degrees = MKUnitConversions::RadiansToDegrees(radians);
  return std::fabs(degrees - oldDegrees) <= 0.01 ? MKUnitConversions::DegreesToRadians(newDegrees)
                                                 : radians;
}

bool IsDOFOwner(int shortName) {
  return (shortName >= 0 && shortName < 99) || (shortName >= LLHeEye && shortName <= RLHeEye);
}

unsigned int FramedSize(const MKManikinPart* part) {
  return part ? part->GetSize() + 2 * MKManikinPart::GetMaxTagLength() + 12 : 0;
}

}  // namespace

MKManikinPart* MKDOF::FindMemo() const {
  MKManikinPart* memo = nullptr;
  FindPart(MKPartMemoID, memo, 1);
  return memo;
}

unsigned int MKDOF::GetSizeAsPostureVariable() const {
  // stamp, has-memo, [memo], value, range, state, owner, axis, speed, acceleration
  return GetSizeOfTimeStamp() + 4 + FramedSize(FindMemo()) + 8 + 4 + 4 + 4 + 4 + 8 + 8;
}

unsigned int MKDOF::GetSizeAsJointLimitsVariable() const {
  // stamp, has-memo, [memo], min, max, owner, axis, removed-limits min
  return GetSizeOfTimeStamp() + 4 + FramedSize(FindMemo()) + 8 + 8 + 4 + 4 + 8;
}

unsigned int MKDOF::GetSize() const {
  return GetPartID() == MKPartJointLimitsVariableID ? GetSizeAsJointLimitsVariable()
                                                    : GetSizeAsPostureVariable();
}

MKStatus MKDOF::Write(KelStreamDefinition& stream) {
  if (GetPartID() == MKPartPostureVariableID) return WritePostureVariable(stream);
  if (GetPartID() == MKPartJointLimitsVariableID) return WriteJointLimitsVariable(stream);
  return MKStatusFailure;
}

MKStatus MKDOF::Read(KelStreamDefinition& stream) {
  if (GetPartID() == MKPartPostureVariableID) return ReadPostureVariable(stream);
  if (GetPartID() == MKPartJointLimitsVariableID) return ReadJointLimitsVariable(stream);
  return MKStatusFailure;
}

MKStatus MKDOF::WritePostureVariable(KelStreamDefinition& stream) {
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  if (status == MKStatusSuccess) status = WriteOptionalPart(stream, FindMemo());
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, value);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, range);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, state);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, ownerShortName);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, axis);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, speed);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, acceleration);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKDOF::WriteJointLimitsVariable(KelStreamDefinition& stream) {
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  if (status == MKStatusSuccess) status = WriteOptionalPart(stream, FindMemo());
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteDouble(stream, minLimNoCoupling);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteDouble(stream, maxLimNoCoupling);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, ownerShortName);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, axis);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteDouble(stream, removedLimitsMin);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKDOF::ReadPostureVariable(KelStreamDefinition& stream) {
  double version = 0;
  long stamp = GetTimeStamp();
  MKManikinPart* memo = nullptr;
  double readValue = 0, readSpeed = speed, readAcceleration = acceleration;
  int readRange = 1, readState = state, readOwner = 0, readAxis = 0;
  MKStatus status = ReadRecordHeader(stream, version, stamp, GetPartID());
  if (status == MKStatusSuccess) status = ReadMemo(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readValue);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readRange);
  if (status == MKStatusSuccess && version >= 2.02)
    status = MKPersistenceRoutines::ReadInt(stream, readState);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readOwner);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readAxis);
  if (status == MKStatusSuccess && version >= 2.01) {
    status = MKPersistenceRoutines::ReadDouble(stream, readSpeed);
    if (status == MKStatusSuccess)
      status = MKPersistenceRoutines::ReadDouble(stream, readAcceleration);
  }
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  // A value that is not a number would spread through every matrix below
  // the DOF once the posture is pasted. (An infinite one is the length of a
  // line of sight looking at infinity.)
  if (status == MKStatusSuccess && std::isnan(readValue)) status = MKStatusStreamContent;
  if (status == MKStatusSuccess) {
    SetTimeStamp(stamp);
    if (memo) PasteFrom(memo, 1);
    axis = readAxis;
    ownerShortName = readOwner;
    speed = readSpeed;
    acceleration = readAcceleration;
    SetValue(readValue, readRange);
    if (readState == ValueLocked)
      LockValue();
    else if (readState == LimitsRemoved)
      RemoveLimits();
  }
  if (memo) memo->Destroy();
  return status;
}

MKStatus MKDOF::ReadJointLimitsVariable(KelStreamDefinition& stream) {
  double version = 0;
  long stamp = GetTimeStamp();
  MKManikinPart* memo = nullptr;
  double readMin = 0, readMax = 0, readRemoved = 0;
  int readOwner = 0, readAxis = 0;
  MKStatus status = ReadRecordHeader(stream, version, stamp, GetPartID());
  if (status == MKStatusSuccess) status = ReadMemo(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readMin);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readMax);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readOwner);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readAxis);
  if (status == MKStatusSuccess && version >= 2.04)
    status = MKPersistenceRoutines::ReadDouble(stream, readRemoved);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  // A limit that is not a number bounds nothing: a DOF would pass it.
  if (status == MKStatusSuccess &&
      (std::isnan(readMin) || std::isnan(readMax) || std::isnan(readRemoved)))
    status = MKStatusStreamContent;
  // Records of unknown owners or axes are read past and ignored.
  if (status == MKStatusSuccess && IsDOFOwner(readOwner) && readAxis >= 0 && readAxis < 3) {
    SetTimeStamp(stamp);
    if (memo) PasteFrom(memo, 1);
    for (const OldDefaultLimits& old : kOldDefaults) {
      if (old.owner != readOwner || old.axis != readAxis) continue;
      readMin = ReplaceOldDefault(readMin, old.oldMin, old.newMin);
      readMax = ReplaceOldDefault(readMax, old.oldMax, old.newMax);
    }
    ownerShortName = readOwner;
    axis = readAxis;
    minLim = minLimNoCoupling = readMin;
    maxLim = maxLimNoCoupling = readMax;
    removedLimitsMin = readRemoved != 0.0 ? readRemoved : ComputeRemovedLimitsMin();
  }
  if (memo) memo->Destroy();
  return status;
}

MKManikinPart* MKDOF::ExtractPart(MKPartID kind, unsigned int index, KelRawCollint*) const {
  if (kind == MKPartPostureVariableID) return new MKDOF(PostureRecord());
  if (kind == MKPartJointLimitsVariableID) {
    auto* copy = new MKDOF(kind);
    copy->CopyFields(*this);
    copy->RemoveAllParts();
    copy->AddPart(FindMemo());
    return copy;
  }
  if (kind == MKPartPrefAnglesID) {
    MKManikinPart* zones = MKManikinPart::Create(MKPartPrefAnglesID);
    for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i) zones->AddPart(GetPrefAngle(i));
    return zones;
  }
  if (kind == MKPartPrefAngleID) {
    const MKPrefAngle* zone = GetPrefAngle(index);
    return zone ? zone->Clone() : nullptr;
  }
  return nullptr;
}

MKStatus MKDOF::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  switch (source->GetPartID()) {
    case MKPartPostureVariableID: {
      const auto* dof = static_cast<const MKDOF*>(source);
      speed = dof->speed;
      acceleration = dof->acceleration;
      if (keepLockStateForPaste) {
        SetValue(dof->value, dof->range);
        return MKStatusSuccess;
      }
      UnlockValue();
      if (dof->state == LimitsRemoved) RemoveLimits();
      SetValue(dof->value, dof->range);
      if (dof->state == ValueLocked) LockValue();
      if (IsSpineDOF()) UpdateValueOfSpineDof();
      return MKStatusSuccess;
    }
    case MKPartJointLimitsVariableID: {
      const auto* dof = static_cast<const MKDOF*>(source);
      const bool relock = AreLimitsLocked();
      if (relock) UnlockLimits();
      SetMinLim(dof->minLimNoCoupling, 1.0, false);
      SetMaxLim(dof->maxLimNoCoupling, 1.0, false);
      if (dof->state == LimitsRemoved) removedLimitsMin = dof->removedLimitsMin;
      if (relock) LockLimits();
      return MKStatusSuccess;
    }
    case MKPartMemoID: {
      const MKPartID annotated = static_cast<const MKMemo*>(source)->GetPartIDOfOwner();
      if (annotated != MKPartPostureVariableID && annotated != MKPartJointLimitsVariableID)
        return MKStatusMemoOfOtherOwner;
      RemoveAllParts();
      AddPart(source);
      return MKStatusSuccess;
    }
    case MKPartPrefAnglesID:
    case MKPartPrefAngleID:
      return PastePrefAngles(source);
    default:
      return MKStatusPasteKindRefused;
  }
}

MKStatus MKDOF::PastePrefAngles(const MKManikinPart* source) {
  auto ours = [this](const MKManikinPart* part) {
    const auto* zone = static_cast<const MKPrefAngle*>(part);
    return part->GetPartID() == MKPartPrefAngleID &&
           zone->GetShortNameOfOwner() == ownerShortName && zone->GetDOFNumber() == axis;
  };
  if (source->GetPartID() == MKPartPrefAngleID) {
    // One zone updates the zone at its index, or joins the list.
    if (!ours(source)) return MKStatusPasteKindRefused;
    const int index = static_cast<const MKPrefAngle*>(source)->GetIndex();
    MKPrefAngle* zone = index >= 0 ? GetPrefAngle(static_cast<unsigned int>(index)) : nullptr;
    if (zone) return zone->PasteFrom(source, 1);
    auto* copy = new MKPrefAngle(*static_cast<const MKPrefAngle*>(source));
    copy->SetOwner(this);
    prefAngles.Append(copy);
  } else {
    // A set replaces this DOF's zones by its own zones for this DOF.
    bool any = false;
    for (unsigned int i = 1; i <= source->GetNumberOfChildrenParts(); ++i)
      any = any ||
            (source->GetChild(static_cast<int>(i)) && ours(source->GetChild(static_cast<int>(i))));
    if (!any) return MKStatusSuccess;
    RemoveAllPrefAngles();
    for (unsigned int i = 1; i <= source->GetNumberOfChildrenParts(); ++i) {
      const MKManikinPart* child = source->GetChild(static_cast<int>(i));
      if (!child || !ours(child)) continue;
      auto* copy = new MKPrefAngle(*static_cast<const MKPrefAngle*>(child));
      copy->SetOwner(this);
      prefAngles.Append(copy);
    }
  }
  UpdatePrefAngleIndices();
  CheckAngleContinuity(UpdateAll, 0);
  UpdateVisionPrefAngles();
  return MKStatusSuccess;
}

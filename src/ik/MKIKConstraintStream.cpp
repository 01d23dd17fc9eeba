// The constraint as a part: its stream record and its paste.
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "parts/MKPersistenceRoutines.h"

namespace {

// Records from this version on carry the target matrix.
constexpr double kTargetMatrixVersion = 2.01;

}  // namespace

MKManikinPart* MKIKConstraint::FindMemo() const {
  MKManikinPart* memo = nullptr;
  FindPart(MKPartMemoID, memo, 1);
  return memo;
}

unsigned int MKIKConstraint::GetSize() const {
  unsigned int size = GetSizeOfTimeStamp() + 4;
  if (const MKManikinPart* memo = FindMemo()) size += memo->GetSize() + 2 * GetMaxTagLength() + 12;
  KelString text;
  GetID(text);
  // type, activity, ID, end effector, weight, start segment, parameter,
  // position weight, target matrix
  return size + 4 + 4 + 4 + 2 * static_cast<unsigned int>(text.Length()) + 4 + 8 + 4 + 8 + 8 +
         16 * 8;
}

MKStatus MKIKConstraint::Write(KelStreamDefinition& stream) {
  KelString text;
  GetID(text);
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  if (status == MKStatusSuccess) status = WriteOptionalPart(stream, FindMemo());
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, targetType);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, IsActive() ? 1 : 0);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteString(stream, text);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, endEffectorShortName);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, weight);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, startSegmentShortName);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, parameter);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteDouble(stream, positionWeight);
  for (int r = 0; r < 4 && status == MKStatusSuccess; ++r)
    for (int c = 0; c < 4 && status == MKStatusSuccess; ++c)
      status = MKPersistenceRoutines::WriteDouble(stream, targetMatrix(r, c));
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKIKConstraint::Read(KelStreamDefinition& stream) {
  double version = 0.0;
  long stamp = GetTimeStamp();
  MKManikinPart* memo = nullptr;
  int readType = targetType, readActive = 0, readEnd = -1, readStart = -1;
  double readWeight = 0.0, readParameter = 0.0, readPositionWeight = 0.0;
  KelString readID;
  MK4x4Matrix readTarget = targetMatrix;
  MKStatus status = ReadRecordHeader(stream, version, stamp, GetPartID());
  if (status == MKStatusSuccess) status = ReadMemo(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readType);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readActive);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadString(stream, readID);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readEnd);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readWeight);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readStart);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readParameter);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::ReadDouble(stream, readPositionWeight);
  if (version >= kTargetMatrixVersion)
    for (int r = 0; r < 4 && status == MKStatusSuccess; ++r)
      for (int c = 0; c < 4 && status == MKStatusSuccess; ++c)
        status = MKPersistenceRoutines::ReadDouble(stream, readTarget(r, c));
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  status = MKPersistenceRoutines::StoppedEarly(status);
  if (status == MKStatusSuccess) {
    SetTimeStamp(stamp);
    RemoveAllParts();
    AddPart(memo);
    targetType = readType;
    activity = readActive == 1 ? sActive : sInactive;
    id = MKUUID(readID.CastToCharPtr());
    endEffectorShortName = readEnd;
    weight = readWeight;
    startSegmentShortName = readStart;
    parameter = readParameter;
    positionWeight = readPositionWeight;
    targetMatrix = readTarget;
  }
  if (memo) memo->Destroy();
  return status;
}

MKStatus MKIKConstraint::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  if (source->GetPartID() == MKPartMemoID) return PasteMemoOnPart(source);
  if (source->GetPartID() != MKPartIKConstraintID) return MKStatusPasteKindRefused;
  if (source == this) return MKStatusSuccess;
  const auto& from = *static_cast<const MKIKConstraint*>(source);
  const MKManikinPart* memo = from.FindMemo();
  RemoveAllParts();
  AddPart(memo);
  const bool activityChanged = activity != from.activity || invalidFlag != from.invalidFlag;
  targetMatrix = from.targetMatrix;
  if (from.endEffector) offsetMatrix = from.offsetMatrix;
  targetType = from.targetType;
  parameter = from.parameter;
  range = from.range;
  activity = from.activity;
  id = from.id;
  failFlag = from.failFlag;
  externalConstraint = from.externalConstraint;
  weight = from.weight;
  positionWeight = from.positionWeight;
  positionPotential = from.positionPotential;
  rotationPotential = from.rotationPotential;
  properties = from.properties;
  invalidFlag = from.invalidFlag;
  if (activityChanged) {
    ResetIKChain();
    RebuildManager();
  }
  return MKStatusSuccess;
}

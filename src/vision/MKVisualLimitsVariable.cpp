#include "vision/MKVisualLimitsVariable.h"

#include "parts/MKPersistenceRoutines.h"
#include "vision/MKVision.h"

namespace {

constexpr int kBoundCount = 8;

}  // namespace

MKVisualLimitsVariable::MKVisualLimitsVariable(const KelUnicodeString& recordName)
    : MKManikinPart(MKPartVisualLimitsVariableID, 2.0),
      name(recordName),
      maxBinocular(MKVision::GetMaxBiomechanicalBinocularAngle()),
      maxAmbinocular(MKVision::GetMaxBiomechanicalAmbinocularAngle()),
      maxVerticalTop(MKVision::GetMaxBiomechanicalVerticalTopAngle()),
      maxVerticalBottom(MKVision::GetMaxBiomechanicalVerticalBottomAngle()) {}

MKVisualLimitsVariable::MKVisualLimitsVariable(const MKVisualLimitsVariable& source)
    : MKManikinPart(source) {
  CopyFields(source);
}

MKVisualLimitsVariable& MKVisualLimitsVariable::operator=(const MKVisualLimitsVariable& source) {
  if (this == &source) return *this;
  MKManikinPart::operator=(source);
  CopyFields(source);
  return *this;
}

void MKVisualLimitsVariable::CopyFields(const MKVisualLimitsVariable& source) {
  name = source.name;
  minBinocular = source.minBinocular;
  maxBinocular = source.maxBinocular;
  minAmbinocular = source.minAmbinocular;
  maxAmbinocular = source.maxAmbinocular;
  minVerticalTop = source.minVerticalTop;
  maxVerticalTop = source.maxVerticalTop;
  minVerticalBottom = source.minVerticalBottom;
  maxVerticalBottom = source.maxVerticalBottom;
}

void MKVisualLimitsVariable::SetMinBinocularAngle(double v) {
  if (v >= 0.0 && v <= maxBinocular) minBinocular = v;
}
void MKVisualLimitsVariable::SetMaxBinocularAngle(double v) {
  if (v >= minBinocular && v <= MKVision::GetMaxBiomechanicalBinocularAngle()) maxBinocular = v;
}
void MKVisualLimitsVariable::SetMinAmbinocularAngle(double v) {
  if (v >= 0.0 && v <= maxAmbinocular) minAmbinocular = v;
}
void MKVisualLimitsVariable::SetMaxAmbinocularAngle(double v) {
  if (v >= minAmbinocular && v <= MKVision::GetMaxBiomechanicalAmbinocularAngle())
    maxAmbinocular = v;
}
void MKVisualLimitsVariable::SetMinVerticalTopAngle(double v) {
  if (v >= 0.0 && v <= maxVerticalTop) minVerticalTop = v;
}
void MKVisualLimitsVariable::SetMaxVerticalTopAngle(double v) {
  if (v >= minVerticalTop && v <= MKVision::GetMaxBiomechanicalVerticalTopAngle())
    maxVerticalTop = v;
}
void MKVisualLimitsVariable::SetMinVerticalBottomAngle(double v) {
  if (v >= 0.0 && v <= maxVerticalBottom) minVerticalBottom = v;
}
void MKVisualLimitsVariable::SetMaxVerticalBottomAngle(double v) {
  if (v >= minVerticalBottom && v <= MKVision::GetMaxBiomechanicalVerticalBottomAngle())
    maxVerticalBottom = v;
}

void MKVisualLimitsVariable::ApplyBounds(const double bounds[kBoundCount]) {
  // Maxima first: a source whose minimum lies above our current maximum
  // still comes through.
  SetMaxBinocularAngle(bounds[1]);
  SetMinBinocularAngle(bounds[0]);
  SetMaxAmbinocularAngle(bounds[3]);
  SetMinAmbinocularAngle(bounds[2]);
  SetMaxVerticalTopAngle(bounds[5]);
  SetMinVerticalTopAngle(bounds[4]);
  SetMaxVerticalBottomAngle(bounds[7]);
  SetMinVerticalBottomAngle(bounds[6]);
}

MKStatus MKVisualLimitsVariable::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  if (source->GetPartID() == MKPartMemoID) return PasteMemoOnPart(source);
  if (source->GetPartID() != MKPartVisualLimitsVariableID) return MKStatusPasteKindRefused;
  const auto* record = static_cast<const MKVisualLimitsVariable*>(source);
  MKManikinPart* memo = nullptr;
  if (record->FindPart(MKPartMemoID, memo, 1) != 0) PasteMemoOnPart(memo);
  const double bounds[kBoundCount] = {record->minBinocular,      record->maxBinocular,
                                      record->minAmbinocular,    record->maxAmbinocular,
                                      record->minVerticalTop,    record->maxVerticalTop,
                                      record->minVerticalBottom, record->maxVerticalBottom};
  ApplyBounds(bounds);
  name = record->name;
  return MKStatusSuccess;
}

unsigned int MKVisualLimitsVariable::GetSize() const {
  // children count, name, eight bounds, time stamp
  return MKManikinPart::GetSize() + 4 + 4 + 2 * static_cast<unsigned int>(name.GetLengthInChar()) +
         8 * kBoundCount + GetSizeOfTimeStamp();
}

MKStatus MKVisualLimitsVariable::Write(KelStreamDefinition& stream) {
  MKManikinPart* memo = nullptr;
  FindPart(MKPartMemoID, memo, 1);
  const double bounds[kBoundCount] = {minBinocular,      maxBinocular,     minAmbinocular,
                                      maxAmbinocular,    minVerticalTop,   maxVerticalTop,
                                      minVerticalBottom, maxVerticalBottom};
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  if (status == MKStatusSuccess) status = WriteOptionalPart(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteString(stream, name);
  for (int i = 0; i < kBoundCount && status == MKStatusSuccess; ++i)
    status = MKPersistenceRoutines::WriteDouble(stream, bounds[i]);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKVisualLimitsVariable::Read(KelStreamDefinition& stream) {
  long stamp = GetTimeStamp();
  MKManikinPart* memo = nullptr;
  KelUnicodeString readName;
  double bounds[kBoundCount] = {};
  MKStatus status = ReadTimeStamp(stream, stamp, GetPartID());
  if (status == MKStatusSuccess) status = ReadMemo(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadString(stream, readName);
  for (int i = 0; i < kBoundCount && status == MKStatusSuccess; ++i)
    status = MKPersistenceRoutines::ReadDouble(stream, bounds[i]);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  if (status == MKStatusSuccess) {
    SetTimeStamp(stamp);
    RemoveAllParts();
    AddPart(memo);
    name = readName;
    ApplyBounds(bounds);
  }
  if (memo) memo->Destroy();
  return status;
}

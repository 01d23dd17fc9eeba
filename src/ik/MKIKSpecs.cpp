#include "ik/MKIKSpecs.h"

#include "parts/MKPersistenceRoutines.h"

MKIKSpecs::MKIKSpecs() : MKManikinPart(MKPartIKSpecsID, 2.02) {}

MKIKSpecs::MKIKSpecs(const MKIKSpecs& source)
    : MKManikinPart(source), tolerance(source.tolerance), behavior(source.behavior) {}

MKIKSpecs& MKIKSpecs::operator=(const MKIKSpecs& source) {
  if (this == &source) return *this;
  MKManikinPart::operator=(source);
  tolerance = source.tolerance;
  behavior = source.behavior;
  return *this;
}

void MKIKSpecs::SetTolerance(double value) {
  if (value < 0.0 || value > 1.0) return;
  tolerance = value;
}

MKStatus MKIKSpecs::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  if (source->GetPartID() == MKPartMemoID) {
    PasteMemoOnPart(source);
    return MKStatusSuccess;
  }
  if (source->GetPartID() != MKPartIKSpecsID) return MKStatusPasteKindRefused;
  if (source == this) return MKStatusSuccess;
  const auto* specs = static_cast<const MKIKSpecs*>(source);
  MKManikinPart* memo = nullptr;
  source->FindPart(MKPartMemoID, memo, 1);
  RemoveAllParts();
  AddPart(memo);
  tolerance = specs->tolerance;
  behavior = specs->behavior;
  return MKStatusSuccess;
}

unsigned int MKIKSpecs::GetSize() const {
  unsigned int size = GetSizeOfTimeStamp() + 4;
  MKManikinPart* memo = nullptr;
  if (FindPart(MKPartMemoID, memo, 1) != 0) size += memo->GetSize() + 2 * GetMaxTagLength() + 12;
  return size + 8 + 4;  // tolerance, behaviour
}

MKStatus MKIKSpecs::Write(KelStreamDefinition& stream) {
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  MKManikinPart* memo = nullptr;
  FindPart(MKPartMemoID, memo, 1);
  if (status == MKStatusSuccess) status = WriteOptionalPart(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, tolerance);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, behavior);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKIKSpecs::Read(KelStreamDefinition& stream) {
  double version = 0.0;
  long stamp = GetTimeStamp();
  MKManikinPart* memo = nullptr;
  double readTolerance = tolerance;
  int readBehavior = behavior;
  MKStatus status = ReadRecordHeader(stream, version, stamp, GetPartID());
  if (status == MKStatusSuccess) status = ReadMemo(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readTolerance);
  // Records before 2.02 have no behaviour: the current one is kept.
  if (status == MKStatusSuccess && version >= 2.02)
    status = MKPersistenceRoutines::ReadInt(stream, readBehavior);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  status = MKPersistenceRoutines::StoppedEarly(status);
  if (status == MKStatusSuccess) {
    SetTimeStamp(stamp);
    RemoveAllParts();
    AddPart(memo);
    // Coarse tolerances of older records would end solves too early; a
    // negative or undefined one could never be met.
    const bool usable = readTolerance >= 0.0 && readTolerance <= sMaximumReadTolerance;
    tolerance = usable ? readTolerance : sDefaultTolerance;
    behavior = readBehavior;
  }
  if (memo) memo->Destroy();
  return status;
}

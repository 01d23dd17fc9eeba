#include "body/MKPrefAngle.h"

#include "body/MKDOF.h"
#include "parts/MKPersistenceRoutines.h"
#include "parts/MKUUID.h"

MKPrefAngle::MKPrefAngle(MKDOF* dof)
    : MKManikinPart(MKPartPrefAngleID, 2.0), identifier(new MKUUID()) {
  SetOwner(dof);
}

MKPrefAngle::MKPrefAngle(const MKPrefAngle& source)
    : MKManikinPart(source), identifier(new MKUUID(*source.identifier)) {
  CopyFields(source);
}

MKPrefAngle& MKPrefAngle::operator=(const MKPrefAngle& source) {
  if (this == &source) return *this;
  MKManikinPart::operator=(source);
  *identifier = *source.identifier;
  CopyFields(source);
  return *this;
}

MKPrefAngle::~MKPrefAngle() {
  delete identifier;
}

void MKPrefAngle::CopyFields(const MKPrefAngle& source) {
  index = source.index;
  min = source.min;
  max = source.max;
  score = source.score;
  color = source.color;
  name = source.name;
  owner = source.owner;
  ownerShortName = source.ownerShortName;
  dofNumber = source.dofNumber;
}

void MKPrefAngle::SetOwner(MKDOF* dof) {
  owner = dof;
  ownerShortName = dof ? dof->GetShortNameOfOwner() : -1;
  dofNumber = dof ? dof->GetNumber() : 0;
}

void MKPrefAngle::SetScore(double newScore) {
  score = newScore;
  if (owner) owner->UpdateVisionPrefAngles();
}

void MKPrefAngle::SetColor(int newColor) {
  color = newColor;
  if (owner) owner->UpdateVisionPrefAngles();
}

void MKPrefAngle::SetName(const KelUnicodeString& newName) {
  name = newName;
  if (ownerShortName != -1) return;
  KelString id;
  GetID(id);
  if (name.ReplaceAll(KelUnicodeString(id), KelUnicodeString()) == 0) ownerShortName = 0;
}

void MKPrefAngle::GetID(KelString& id) const {
  id = "";
  if (identifier) identifier->ConvertToString(id);
}

MKStatus MKPrefAngle::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  if (source->GetPartID() != MKPartPrefAngleID) return MKStatusPasteKindRefused;
  const auto* zone = static_cast<const MKPrefAngle*>(source);
  min = zone->min;
  max = zone->max;
  score = zone->score;
  color = zone->color;
  name = zone->name;
  if (owner) owner->UpdateVisionPrefAngles();
  return MKStatusSuccess;
}

unsigned int MKPrefAngle::GetSize() const {
  unsigned int size = GetSizeOfTimeStamp() + 4;
  MKManikinPart* memo = nullptr;
  if (FindPart(MKPartMemoID, memo, 1) != 0) size += memo->GetSize() + 2 * GetMaxTagLength() + 12;
  // owner, axis, index, min, max, score, colour, name
  return size + 4 + 4 + 4 + 8 + 8 + 8 + 4 + 4 +
         2 * static_cast<unsigned int>(name.GetLengthInChar());
}

MKStatus MKPrefAngle::Write(KelStreamDefinition& stream) {
  MKStatus status = MKStatusSuccess;
  // A zone without an owner short name is written without its begin tag.
  if (ownerShortName != -1) status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  MKManikinPart* memo = nullptr;
  FindPart(MKPartMemoID, memo, 1);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, memo ? 1 : 0);
  if (status == MKStatusSuccess && memo) status = memo->Write(stream);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, ownerShortName);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, dofNumber);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, index);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, min);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, max);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, score);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, color);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteString(stream, name);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKPrefAngle::Read(KelStreamDefinition& stream) {
  long stamp = GetTimeStamp();
  MKManikinPart* memo = nullptr;
  int readOwner = 0, readAxis = 0, readIndex = 0, readColor = 0;
  double readMin = 0, readMax = 0, readScore = 0;
  KelUnicodeString readName;
  MKStatus status = ReadTimeStamp(stream, stamp, GetPartID());
  // The child count (0 or 1) and the memo are read as an optional memo.
  if (status == MKStatusSuccess) status = ReadMemo(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readOwner);
  // A zone of no owner is written without its begin tag, so a tagged record
  // of one was not written by this library; read, it could not be written
  // back readable.
  if (status == MKStatusSuccess && readOwner == -1) status = MKStatusStreamContent;
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readAxis);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readIndex);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readMin);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readMax);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readScore);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readColor);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadString(stream, readName);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  if (status == MKStatusSuccess) {
    SetTimeStamp(stamp);
    RemoveAllParts();
    AddPart(memo);
    ownerShortName = readOwner;
    dofNumber = readAxis;
    index = readIndex;
    min = readMin;
    max = readMax;
    score = readScore;
    color = readColor;
    name = readName;
  }
  if (memo) memo->Destroy();
  return status;
}

double MKPrefAngle::GetMinOfSpinePref() const {
  return owner && index >= 0 ? owner->GetMinOfSpinePref(static_cast<unsigned int>(index)) : min;
}

double MKPrefAngle::GetMaxOfSpinePref() const {
  return owner && index >= 0 ? owner->GetMaxOfSpinePref(static_cast<unsigned int>(index)) : max;
}

void MKPrefAngle::SetScoreOfSpinePref(double newScore) {
  SetScore(newScore);
  if (!owner || index < 0) return;
  const KelRawCollPV members = owner->GetSpineDofList();
  for (int k = 1; k <= members.Size(); ++k)
    if (MKPrefAngle* zone =
            static_cast<MKDOF*>(members[k])->GetPrefAngle(static_cast<unsigned int>(index)))
      if (zone != this) zone->SetScore(newScore);
}

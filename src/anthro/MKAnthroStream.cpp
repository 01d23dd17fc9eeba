// Records, paste and extraction of an anthropometry.
#include <memory>
#include <vector>

#include "anthro/MKAnthro.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "math/MKMathRoutines.h"
#include "parts/MKMemo.h"
#include "parts/MKPartHolder.h"
#include "parts/MKPersistenceRoutines.h"

namespace {

// The size of a framed child record beyond its own body.
constexpr unsigned int kFraming = 2 * 5 + 12;

// The optional database reference of an anthropometry record: int 0, or int
// 1 and a reference record. `reference` stays empty when the record is
// absent, or newer than this reader and skipped.
MKStatus ReadReference(KelStreamDefinition& stream, MKPartHolder<>& reference) {
  MKManikinPart* part = nullptr;
  const MKStatus status = MKManikinPart::ReadOptionalPart(stream, MKPartAnthroDBReferenceID, part);
  reference.reset(part);
  return status;
}

// The database UUID that a reference part names; "" without a memo.
KelString UUIDOf(const MKManikinPart& reference) {
  MKManikinPart* memo = nullptr;
  if (reference.FindPart(MKPartMemoID, memo, 1) == 0) return KelString();
  return static_cast<const MKMemo*>(memo)->GetText().ConvertToChar();
}

}  // namespace

unsigned int MKAnthro::GetSize() const {
  unsigned int size = GetSizeOfTimeStamp() + 4 + 4;
  if (const MKManikinPart* memo = Memo()) size += memo->GetSize() + kFraming;
  if (databaseReference) size += databaseReference->GetSize() + kFraming;
  size += 4 + 4 + 4 + 4 + 8 + 4;
  for (int i = 1; i <= variables.Size(); ++i) {
    const auto* variable = static_cast<const MKAnthroVariable*>(variables[i]);
    if (variable && variable->GetManagementType() == 1) size += variable->GetSize() + kFraming;
  }
  return size;
}

MKStatus MKAnthro::Write(KelStreamDefinition& stream) {
  int fixed = 0;
  for (int i = 1; i <= variables.Size(); ++i) {
    const auto* variable = static_cast<const MKAnthroVariable*>(variables[i]);
    if (variable && variable->GetManagementType() == 1) ++fixed;
  }
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  if (status == MKStatusSuccess) status = WriteOptionalPart(stream, Memo());
  if (status == MKStatusSuccess) status = WriteOptionalPart(stream, databaseReference);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, sex);
  // Values are always written as values, whatever the value type.
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, 0);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, constructionType);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, interpolationMethod);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, limitBound);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, fixed);
  for (int i = 1; i <= variables.Size() && status == MKStatusSuccess; ++i) {
    auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
    if (variable && variable->GetManagementType() == 1) status = variable->Write(stream);
  }
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKAnthro::Read(KelStreamDefinition& stream) {
  // Everything is read and checked first, so that a bad record changes nothing.
  double version = 0.0;
  long stamp = GetTimeStamp();
  MKStatus status = ReadRecordHeader(stream, version, stamp, GetPartID());
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);

  MKManikinPart* readMemo = nullptr;
  status = ReadMemo(stream, readMemo);
  const MKPartHolder<> memo(readMemo);
  if (status != MKStatusSuccess) return status;
  MKPartHolder<> reference;
  if ((status = ReadReference(stream, reference)) != MKStatusSuccess) return status;
  const MKDBAnthro* target = database;
  if (reference) {
    target = MKDatabaseManager::GetInstance()->GetAnthroDB(UUIDOf(*reference));
    if (!target) return MKStatusAnthroDB;
  }

  int readSex = 0, readValueType = 0, readConstruction = constructionType;
  int readInterpolation = 0, count = 0;
  double readBound = limitBound;
  status = MKPersistenceRoutines::ReadInt(stream, readSex);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readValueType);
  if (status == MKStatusSuccess && version >= 1.01)
    status = MKPersistenceRoutines::ReadInt(stream, readConstruction);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readInterpolation);
  if (status == MKStatusSuccess && version >= 2.01)
    status = MKPersistenceRoutines::ReadDouble(stream, readBound);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, count);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  if ((readSex != 0 && readSex != 1) || (readValueType != 0 && readValueType != 1) ||
      (readConstruction != MKPostureStanding && readConstruction != MKPostureSitting) ||
      (readInterpolation != 0 && readInterpolation != 1) ||
      !(readBound >= 0.0 && readBound <= 4.0) || count < 0)
    return MKStatusStreamContent;

  struct ReadVariable {
    MKPartHolder<MKAnthroVariable> variable;
    double stored;
  };
  std::vector<ReadVariable> fixed;
  for (int i = 0; i < count; ++i) {
    KelString tag;
    double recordVersion = 0.0;
    unsigned int length = 0;
    if ((status = ReadTagBegin(stream, tag)) != MKStatusSuccess) return status;
    if (tag != sMKPartAnthroVariableID) return MKStatusStreamContent;
    if ((status = ReadVersionAndLength(stream, recordVersion, length)) != MKStatusSuccess)
      return MKPersistenceRoutines::StoppedEarly(status);
    ReadVariable read{MKPartHolder<MKAnthroVariable>(new MKAnthroVariable(target)), 0.0};
    if (recordVersion > read.variable->GetVersion()) {
      if (!stream.Advance(static_cast<long>(length) + GetMaxTagLength()))
        return MKStatusStreamContent;
      continue;
    }
    status = read.variable->ReadRecord(stream, readValueType, readSex, read.stored);
    if (status != MKStatusSuccess) return status;
    const int number = read.variable->GetReferenceNumber();
    if (number < 0 ||
        static_cast<unsigned int>(number) >= MKDatabaseManager::GetMaxAnthroDBVariables())
      return MKStatusStreamContent;
    fixed.push_back(std::move(read));
  }
  if ((status = ReadEndTag(stream, GetPartID())) != MKStatusSuccess)
    return MKPersistenceRoutines::StoppedEarly(status);

  if (memo) PasteMemoOnPart(memo.get());
  if (reference) {
    if ((status = UseAnthroDB(target)) != MKStatusSuccess) return status;
    SetDatabaseReference(reference.release());
  }
  SetSex(readSex);
  valueType = readValueType;
  constructionType = static_cast<MKPostureSpec>(readConstruction);
  interpolationMethod = readInterpolation;
  if (version >= 2.01) SetLimitBound(readBound);
  for (const ReadVariable& read : fixed) {
    MKAnthroVariable* own =
        GetVariableFromRefNumber(static_cast<unsigned int>(read.variable->GetReferenceNumber()));
    if (!own) continue;
    own->PasteFrom(read.variable.get(), 1);
    if (valueType == 1)
      own->SetUserValueFromPercentile(read.stored);
    else
      own->SetUserValue(read.variable->GetValue());
  }
  SetTimeStamp(stamp);
  // A record is well formed whatever its values predict.
  Update();
  return MKStatusSuccess;
}

MKStatus MKAnthro::GetDatabaseUUID(KelStreamDefinition& stream, KelString& uuid) {
  uuid = "";
  double version = 0.0;
  long stamp = 0;
  MKStatus status = ReadRecordHeader(stream, version, stamp, MKPartAnthropometryID);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  MKManikinPart* readMemo = nullptr;
  status = ReadMemo(stream, readMemo);
  const MKPartHolder<> memo(readMemo);
  if (status != MKStatusSuccess) return status;
  MKPartHolder<> reference;
  if ((status = ReadReference(stream, reference)) != MKStatusSuccess) return status;
  if (!reference) return MKStatusAnthroDB;
  uuid = UUIDOf(*reference);
  return uuid.Length() > 0 ? MKStatusSuccess : MKStatus(MKStatusAnthroDB);
}

MKStatus MKAnthro::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  if (source->GetPartID() == MKPartMemoID) return PasteMemoOnPart(source);
  if (source->GetPartID() == MKPartAnthroDBReferenceID) {
    const MKDBAnthro* found = MKDatabaseManager::GetInstance()->GetAnthroDB(UUIDOf(*source));
    return found ? UseAnthroDB(found) : MKStatus(MKStatusAnthroDB);
  }
  if (source->GetPartID() != MKPartAnthropometryID) return MKStatusPasteKindRefused;
  if (source == this) return MKStatusSuccess;
  // Each step predicts again, as if the steps were the caller's; the body is
  // rebuilt once, at the end, since a rebuild reskins the whole manikin and a
  // record may fix a hundred variables.
  HoldRefits();
  const MKStatus status = PasteSteps(*static_cast<const MKAnthro*>(source));
  ReleaseRefits();
  return status;
}

MKStatus MKAnthro::PasteSteps(const MKAnthro& source) {
  const MKAnthro* anthro = &source;
  Reset();
  sex = anthro->sex;
  constructionType = anthro->constructionType;
  valueType = anthro->valueType;
  interpolationMethod = anthro->interpolationMethod;
  limitBound = anthro->limitBound;
  SetAccommodationFromBound();
  if (const MKManikinPart* memo = anthro->Memo()) PasteMemoOnPart(memo);
  Update();

  // A part of another manikin leaves the database to that manikin's paste.
  if (!anthro->manikin || anthro->IsLoadedFromLibrary()) {
    if (anthro->databaseReference) {
      const MKStatus status = PasteFrom(anthro->databaseReference, 1);
      if (status != MKStatusSuccess) return status;
    }
    Update();
  }

  for (int i = 1; i <= anthro->variables.Size(); ++i) {
    const auto* from = static_cast<const MKAnthroVariable*>(anthro->variables[i]);
    if (!from || from->GetReferenceNumber() < 0) continue;
    MKAnthroVariable* own =
        GetVariableFromRefNumber(static_cast<unsigned int>(from->GetReferenceNumber()));
    if (!own) continue;
    own->PasteFrom(from, 1);
    const int pastedType = own->GetManagementType();
    // Taken as given: the source's values were within the source's bounds.
    const int method = interpolationMethod;
    interpolationMethod = 0;
    if (valueType == 1)
      own->SetUserValueFromPercentile(from->GetValueAsPercentile());
    else
      own->SetUserValue(from->GetValue());
    interpolationMethod = method;
    own->SetManagementType(pastedType);
    Update();
  }
  return MKStatusSuccess;
}

unsigned int MKAnthro::GetNumberOfChildrenParts() const {
  return GetNumberOfVariables() + MKManikinPart::GetNumberOfChildrenParts();
}

MKManikinPart* MKAnthro::ExtractPartAtIndex(unsigned int index) const {
  if (index < GetNumberOfVariables()) {
    const MKAnthroVariable* variable = GetVariableAtIndex(index);
    return variable ? variable->Clone() : nullptr;
  }
  return MKManikinPart::ExtractPartAtIndex(index - GetNumberOfVariables());
}

MKManikinPart* MKAnthro::ExtractPart(MKPartID kind, unsigned int index,
                                     KelRawCollint* shortNames) const {
  switch (kind) {
    case MKPartAnthropometryID:
      return Clone();
    case MKPartAnthroVariableID: {
      const MKAnthroVariable* variable = GetVariableAtIndex(index);
      return variable ? variable->Clone() : nullptr;
    }
    case MKPartAnthroDBReferenceID:
      return index == 0 && databaseReference ? databaseReference->Clone() : nullptr;
    case MKPartMemoID:
      return MKManikinPart::ExtractPart(kind, index, shortNames);
    default:
      return nullptr;
  }
}

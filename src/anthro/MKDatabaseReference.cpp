// The parts that refer to a database by its UUID, and the anthropometry as
// a part of its own.
#include "anthro/MKAnthro.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKDBJointLimits.h"
#include "parts/MKManikinPart.h"
#include "parts/MKMemo.h"
#include "parts/detail/MKPartReaders.h"

namespace {

MKManikinPart* ReferenceTo(const MKDatabase& database, MKPartID kind) {
  auto* reference = new MKManikinPart(kind, 2.01);
  KelString uuid;
  database.GetUUID(uuid);
  MKMemo memo;
  memo.SetText(KelUnicodeString(uuid));
  reference->PasteFrom(&memo, 1);
  return reference;
}

}  // namespace

MKManikinPart* MKManikinPart::Create(const MKDBJointLimits* database) {
  return database ? ReferenceTo(*database, MKPartJointLimitsDBReferenceID) : nullptr;
}

MKManikinPart* MKManikinPart::Create(const MKDBAnthro* database) {
  return database ? ReferenceTo(*database, MKPartAnthroDBReferenceID) : nullptr;
}

MKStatus MKManikinPart::GetDatabaseUUID(KelStreamDefinition& stream, KelString& uuid) {
  KelString tag;
  double version = 0;
  unsigned int length = 0;
  MKStatus status = ReadTagBegin(stream, tag);
  if (status == MKStatusSuccess) status = ReadVersionAndLength(stream, version, length);
  if (status != MKStatusSuccess)
    return status == MKStatusFailure ? MKStatus(MKStatusStreamContent) : status;
  if (tag != sMKPartAnthropometryID) return MKStatusStreamContent;
  return MKAnthro::GetDatabaseUUID(stream, uuid);
}

namespace {

// An anthropometry on its own has no manikin, no database and sex 1.
MKManikinPart* NewAnthro(MKPartID) {
  return new MKAnthro(nullptr, nullptr, 1);
}

const bool registered = [] {
  MKRegisterPartReader(MKPartAnthropometryID, NewAnthro);
  return true;
}();

}  // namespace

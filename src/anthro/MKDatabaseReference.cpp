// The parts that refer to a database by its UUID.
#include "anthro/MKDBJointLimits.h"
#include "parts/MKManikinPart.h"
#include "parts/MKMemo.h"

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

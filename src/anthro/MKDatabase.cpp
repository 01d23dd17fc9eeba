#include "anthro/MKDatabase.h"

#include "parts/MKUUID.h"

MKDatabase::MKDatabase(const KelUnicodeString& name) : name(name) {
  MKUUID().ConvertToString(uuid);
}

MKDatabase::MKDatabase(const MKDatabase& source)
    : classCode(source.classCode),
      uuid(source.uuid),
      revisionNumber(source.revisionNumber),
      name(source.name),
      revisionFloor(source.revisionFloor),
      memo(source.memo),
      modified(source.modified),
      revisionSet(source.revisionSet) {}

MKDatabase& MKDatabase::operator=(const MKDatabase& source) {
  if (this == &source) return *this;
  name = source.name;
  uuid = source.uuid;
  revisionNumber = source.revisionNumber;
  modified = source.modified;
  revisionFloor = source.revisionFloor;
  revisionSet = source.revisionSet;
  memo = source.memo;
  return *this;
}

MKDatabase::~MKDatabase() = default;

void MKDatabase::SetRevisionNumber(double revision) {
  if (revision < revisionFloor) return;
  revisionNumber = revision;
  revisionSet = 1;
}

void MKDatabase::IncrementRevisionNumber() {
  if (revisionSet == 0 && modified != 0) revisionNumber += sVersionIncrement;
}

void MKDatabase::SetLoaded(const KelUnicodeString& newName, const MKMemo& newMemo,
                           const KelString& newUUID, double revision) {
  name = newName;
  memo = newMemo;
  uuid = newUUID;
  revisionNumber = revision;
  revisionFloor = revision;
  modified = 0;
}

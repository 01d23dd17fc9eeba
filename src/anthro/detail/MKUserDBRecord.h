#pragma once

#include <functional>

#include "anthro/MKDatabase.h"
#include "host/KelStreamDefinition.h"
#include "host/KelString.h"
#include "host/KelUnicodeString.h"
#include "parts/MKMemo.h"
#include "parts/MKPartID.h"
#include "parts/MKStatus.h"

// The record layout that user anthropometric and joint-limits databases
// share: begin tag, double 1.0, int length, the name, the memo's record, the
// UUID, double revision, the variables' records, end tag. The length counts
// the bytes from after its own field to the end tag.
namespace MKUserDBRecord {

constexpr double sVersion = 1.0;

// The bytes of a framed record (tags, version, length) around a body.
unsigned int Framed(unsigned int bodySize);
// The bytes of a string written with its length.
unsigned int StringSize(const KelUnicodeString& text);
// Name, memo record, UUID and revision.
unsigned int HeaderSize(const MKDatabase& database);
// Begin tag of `kind`, version, `size` and the header fields.
MKStatus WriteHeader(KelStreamDefinition& stream, MKDatabase& database, MKPartID kind,
                     unsigned int size);

struct Header {
  unsigned int length = 0;
  long bodyStart = 0;
  KelUnicodeString name;
  MKMemo memo;
  KelString uuid;
  double revision = 1.0;
};
// Reads the header of a record of `kind`: 100 for another tag or malformed
// fields (a revision that is not finite included), 102 for a newer record.
MKStatus ReadHeader(KelStreamDefinition& stream, MKPartID kind, Header& header);
// Reads the variable records of `variableKind` up to the end tag of `kind`:
// records newer than `readerVersion` are skipped, every other one is handed
// to `readOne` positioned after its version and length. 100 when a record
// is malformed, a record's length disagrees with the bytes it took, or the
// whole record's length disagrees with `header`.
MKStatus ReadVariables(KelStreamDefinition& stream, MKPartID kind, MKPartID variableKind,
                       double readerVersion, const Header& header,
                       const std::function<MKStatus(KelStreamDefinition&)>& readOne);

}  // namespace MKUserDBRecord

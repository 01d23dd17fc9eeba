#include "anthro/detail/MKUserDBRecord.h"

#include <cmath>

#include "parts/MKManikinPart.h"
#include "parts/MKPersistenceRoutines.h"

namespace MKUserDBRecord {
namespace {

KelString TagOf(MKPartID kind, const char* end) {
  return MKManikinPart::ConvertPartIDToString(kind) + end;
}

// The memo's record: skipped when newer than the memo reader.
MKStatus ReadMemo(KelStreamDefinition& stream, MKMemo& memo) {
  KelString tag;
  double version = 0;
  unsigned int length = 0;
  MKStatus status = MKManikinPart::ReadTagBegin(stream, tag);
  if (status == MKStatusSuccess)
    status = MKManikinPart::ReadVersionAndLength(stream, version, length);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  if (tag != MKManikinPart::ConvertPartIDToString(MKPartMemoID)) return MKStatusStreamContent;
  if (version > memo.GetVersion())
    return stream.Advance(static_cast<long>(length) + MKManikinPart::GetMaxTagLength())
               ? MKStatusSuccess
               : MKStatusStreamContent;
  return MKPersistenceRoutines::StoppedEarly(memo.Read(stream));
}

}  // namespace

unsigned int Framed(unsigned int bodySize) {
  return static_cast<unsigned int>(2 * MKManikinPart::GetMaxTagLength()) + 8 + 4 + bodySize;
}

unsigned int StringSize(const KelUnicodeString& text) {
  return 4 + 2 * static_cast<unsigned int>(text.GetLengthInChar());
}

unsigned int HeaderSize(const MKDatabase& database) {
  KelString uuid;
  database.GetUUID(uuid);
  return StringSize(database.GetName()) + Framed(database.GetMemo()->GetSize()) +
         StringSize(KelUnicodeString(uuid)) + 8;
}

MKStatus WriteHeader(KelStreamDefinition& stream, MKDatabase& database, MKPartID kind,
                     unsigned int size) {
  KelString uuid;
  database.GetUUID(uuid);
  MKStatus status = MKManikinPart::WriteBeginTag(kind, stream);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, sVersion);
  if (status == MKStatusSuccess)
    status = size >= 0x80000000U ? MKStatus(MKStatusPartTooLarge)
                                 : MKPersistenceRoutines::WriteInt(stream, static_cast<int>(size));
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteString(stream, database.GetName());
  if (status == MKStatusSuccess) status = database.GetMemo()->Write(stream);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteString(stream, uuid);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteDouble(stream, database.GetRevisionNumber());
  return status;
}

MKStatus ReadHeader(KelStreamDefinition& stream, MKPartID kind, Header& header) {
  KelString tag;
  double version = 0;
  MKStatus status = MKManikinPart::ReadTagBegin(stream, tag);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  if (tag != MKManikinPart::ConvertPartIDToString(kind)) return MKStatusStreamContent;
  status = MKManikinPart::ReadVersionAndLength(stream, version, header.length);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  if (!(version <= sVersion))
    return version > sVersion ? MKStatusUserDBContent : MKStatusStreamContent;
  header.bodyStart = stream.GetCurrentPosition();
  status = MKPersistenceRoutines::ReadString(stream, header.name);
  if (status == MKStatusSuccess) status = ReadMemo(stream, header.memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadString(stream, header.uuid);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::ReadDouble(stream, header.revision);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  return std::isfinite(header.revision) ? MKStatusSuccess : MKStatusStreamContent;
}

MKStatus ReadVariables(KelStreamDefinition& stream, MKPartID kind, MKPartID variableKind,
                       double readerVersion, const Header& header,
                       const std::function<MKStatus(KelStreamDefinition&)>& readOne) {
  const KelString end = TagOf(kind, "E");
  const KelString begin = TagOf(variableKind, "B");
  for (;;) {
    const long tagStart = stream.GetCurrentPosition();
    KelString tag;
    MKStatus status = MKManikinPart::ReadTag(stream, tag);
    if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
    if (tag == end)
      return tagStart - header.bodyStart == static_cast<long>(header.length)
                 ? MKStatusSuccess
                 : MKStatusStreamContent;
    if (tag != begin) return MKStatusStreamContent;
    double version = 0;
    unsigned int length = 0;
    status = MKManikinPart::ReadVersionAndLength(stream, version, length);
    if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
    const long start = stream.GetCurrentPosition();
    if (!(version <= readerVersion)) {
      // Newer (or not a number at all): skipped by its length.
      if (!stream.Advance(static_cast<long>(length) + MKManikinPart::GetMaxTagLength()))
        return MKStatusStreamContent;
    } else if ((status = readOne(stream)) != MKStatusSuccess) {
      return MKPersistenceRoutines::StoppedEarly(status);
    }
    if (stream.GetCurrentPosition() !=
        start + static_cast<long>(length) + MKManikinPart::GetMaxTagLength())
      return MKStatusStreamContent;
  }
}

}  // namespace MKUserDBRecord

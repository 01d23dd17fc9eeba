// Stream records of the part tree: framing, container records, and the
// entry points that read parts from streams and library files.
#include <ctime>
#include <new>
#include <string>
#include <utility>

#include "host/KelFile.h"
#include "parts/MKManikinPart.h"
#include "parts/MKManikinPartFrame.h"
#include "parts/MKMemo.h"
#include "parts/MKPersistenceRoutines.h"
#include "parts/detail/MKPartReaders.h"

namespace {

// The kinds a container reads as children, besides memos.
bool AcceptsChild(MKPartID container, MKPartID child) {
  switch (container) {
    case MKPartPostureID:
      return child == MKPartPostureVariableID || child == MKPartFrameID;
    case MKPartJointLimitsID:
    case MKPartJointLimitsDof1ID:
    case MKPartJointLimitsDof2ID:
    case MKPartJointLimitsDof3ID:
      return child == MKPartJointLimitsVariableID;
    case MKPartPrefAnglesID:
    case MKPartPrefAnglesDof1ID:
    case MKPartPrefAnglesDof2ID:
    case MKPartPrefAnglesDof3ID:
      return child == MKPartPrefAngleID;
    case MKPartIKConstraintsID:
      return child == MKPartIKConstraintID;
    default:
      return false;
  }
}

bool ReadsChildren(MKPartID container) {
  return AcceptsChild(container, MKPartPostureVariableID) ||
         AcceptsChild(container, MKPartJointLimitsVariableID) ||
         AcceptsChild(container, MKPartPrefAngleID) ||
         AcceptsChild(container, MKPartIKConstraintID) ||
         container == MKPartJointLimitsDBReferenceID || container == MKPartAnthroDBReferenceID ||
         container == MKPartSetID;
}

KelString TagOf(MKPartID kind, const char* end) {
  return MKManikinPart::ConvertPartIDToString(kind) + end;
}

bool MoveTo(KelStreamDefinition& stream, long position) {
  stream.Reset();
  return stream.Advance(position);
}

// Skips the body and end tag of a record whose version and length were just read.
MKStatus SkipRecord(KelStreamDefinition& stream, unsigned int length) {
  return stream.Advance(static_cast<long>(length) + MKManikinPart::GetMaxTagLength())
             ? MKStatusSuccess
             : MKStatusStreamContent;
}

bool IsContainerRecord(MKPartID kind) {
  switch (kind) {
    case MKPartPostureID:
    case MKPartIKConstraintsID:
    case MKPartSetID:
      return true;
    default:
      return AcceptsChild(kind, MKPartJointLimitsVariableID) ||
             AcceptsChild(kind, MKPartPrefAngleID);
  }
}

// An empty container that reads a record of `kind` written at `streamVersion`.
// A posture reads its values in the record's format, so it takes that version.
MKManikinPart* CreateContainerReader(MKPartID kind, double streamVersion) {
  return new MKManikinPart(kind, kind == MKPartPostureID ? streamVersion : 2.01);
}

// What a reader gives out once its record is read. A typed reader is the part
// itself (copying a manikin would rebuild its whole body); a container reader
// gives a copy, or nothing for a kind that is not copied.
MKManikinPart* TakeReadPart(MKManikinPart*& reader, bool container) {
  reader->SetAsReadFromLibrary();
  if (container) return reader->Clone();
  return std::exchange(reader, nullptr);
}

// The newest container record version this library reads.
double ContainerReaderVersion(MKPartID kind) {
  MKManikinPart* fresh = kind == MKPartPostureID ? MKManikinPart::Create(kind) : nullptr;
  const double version = fresh ? fresh->GetVersion() : 2.01;
  if (fresh) fresh->Destroy();
  return version;
}

// Reads the record whose begin tag, version and length were just read. A
// manikin reads its whole record from the begin tag, so the stream is moved
// back over them first.
MKStatus ReadRecordInto(MKManikinPart& reader, KelStreamDefinition& stream) {
  if (reader.GetPartID() == MKPartManikinID &&
      !stream.Advance(-(12 + MKManikinPart::GetMaxTagLength())))
    return MKStatusStreamContent;
  return reader.Read(stream);
}

// A begin tag ends with its only "B"; strips it. False for anything else.
bool StripBeginMark(KelString& tag) {
  const std::string text(tag.CastToCharPtr());
  if (text.empty() || text.back() != 'B' || text.find('B') != text.size() - 1) return false;
  tag = text.substr(0, text.size() - 1).c_str();
  return true;
}

}  // namespace

namespace {
// Filled by the subsystems' static initialisers while the library loads,
// before any host thread can call in; only read afterwards. Null for a kind
// out of range.
MKPartReaderFactory* ReaderOf(MKPartID kind) {
  static MKPartReaderFactory factories[MKPartPrefAnglesDof3ID + 1] = {};
  return kind < 0 || kind > MKPartPrefAnglesDof3ID ? nullptr : &factories[kind];
}
}  // namespace

void MKRegisterPartReader(MKPartID kind, MKPartReaderFactory factory) {
  if (MKPartReaderFactory* slot = ReaderOf(kind)) *slot = factory;
}

MKManikinPart* MKManikinPart::CreateReader(MKPartID kind) {
  switch (kind) {
    case MKPartMemoID:
      return MKMemo::Create();
    case MKPartFrameID:
      return MKManikinPartFrame::Create();
    default: {
      const MKPartReaderFactory* slot = ReaderOf(kind);
      return slot && *slot ? (*slot)(kind) : nullptr;
    }
  }
}

MKStatus MKManikinPart::WriteBeginTag(const MKPartID& kind, KelStreamDefinition& stream) {
  const KelString tag = TagOf(kind, "B");
  if (tag.Length() != GetMaxTagLength()) return MKStatusFailure;
  return MKPersistenceRoutines::WriteStringWithoutLength(stream, tag);
}

MKStatus MKManikinPart::WriteEndTag(const MKPartID& kind, KelStreamDefinition& stream) {
  const KelString tag = TagOf(kind, "E");
  if (tag.Length() != GetMaxTagLength()) return MKStatusFailure;
  return MKPersistenceRoutines::WriteStringWithoutLength(stream, tag);
}

MKStatus MKManikinPart::WriteVersion(KelStreamDefinition& stream) const {
  return MKPersistenceRoutines::WriteDouble(stream, GetVersion());
}

MKStatus MKManikinPart::WriteLength(KelStreamDefinition& stream) const {
  const unsigned int size = GetSize();
  if (size >= 0x80000000U) return MKStatusPartTooLarge;
  return MKPersistenceRoutines::WriteInt(stream, static_cast<int>(size));
}

namespace {

// The stamp of the record being written, 0 outside one.
thread_local long enclosingStamp = 0;

}  // namespace

MKManikinPart::EnclosingStamp::EnclosingStamp(long stamp) : previous(enclosingStamp) {
  enclosingStamp = stamp;
}

MKManikinPart::EnclosingStamp::~EnclosingStamp() {
  enclosingStamp = previous;
}

MKStatus MKManikinPart::WriteTimeStamp(KelStreamDefinition& stream) {
  // A library record is stamped at each write; other parts keep their first stamp.
  if (partID == MKPartLibraryID)
    timeStamp = static_cast<long>(std::time(nullptr));
  else if (timeStamp == 0)
    timeStamp = enclosingStamp != 0 ? enclosingStamp : static_cast<long>(std::time(nullptr));
  MKStatus status = MKPersistenceRoutines::WriteInt(stream, 0);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, static_cast<int>(timeStamp));
  return status;
}

MKStatus MKManikinPart::ReadTag(KelStreamDefinition& stream, KelString& tag) {
  std::string bytes;
  for (int i = 0; i < GetMaxTagLength(); ++i) {
    char c;
    if (!stream.ReadChar(&c)) return MKStatusStreamContent;
    if (c != ' ') bytes.push_back(c);
  }
  tag = bytes.c_str();
  return MKStatusSuccess;
}

MKStatus MKManikinPart::ReadTagBegin(KelStreamDefinition& stream, KelString& tag) {
  MKStatus status = ReadTag(stream, tag);
  if (status != MKStatusSuccess) return status;
  return StripBeginMark(tag) ? MKStatusSuccess : MKStatusStreamContent;
}

MKStatus MKManikinPart::ReadVersion(KelStreamDefinition& stream, double& version) {
  return MKPersistenceRoutines::ReadDouble(stream, version);
}

MKStatus MKManikinPart::ReadLength(KelStreamDefinition& stream, unsigned int& length) {
  int value = 0;
  const MKStatus status = MKPersistenceRoutines::ReadInt(stream, value);
  if (status != MKStatusSuccess) return status;
  if (value < 0) return MKStatusStreamContent;
  length = static_cast<unsigned int>(value);
  return MKStatusSuccess;
}

MKStatus MKManikinPart::ReadVersionAndLength(KelStreamDefinition& stream, double& version,
                                             unsigned int& length) {
  const MKStatus status = ReadVersion(stream, version);
  return status == MKStatusSuccess ? ReadLength(stream, length) : status;
}

MKStatus MKManikinPart::ReadRecordBegin(KelStreamDefinition& stream, KelString& tag,
                                        double& version, unsigned int& length) {
  MKStatus status = ReadTagBegin(stream, tag);
  if (status == MKStatusSuccess) status = ReadVersionAndLength(stream, version, length);
  return MKPersistenceRoutines::StoppedEarly(status);
}

MKStatus MKManikinPart::ReadTimeStamp(KelStreamDefinition& stream, long& timeStamp,
                                      const MKPartID& kind) {
  double version = 0;
  return ReadRecordHeader(stream, version, timeStamp, kind);
}

MKStatus MKManikinPart::ReadRecordHeader(KelStreamDefinition& stream, double& version,
                                         long& timeStamp, const MKPartID& kind) {
  // Entered just after the version and length: read them again to decide.
  if (!MoveTo(stream, stream.GetCurrentPosition() - 12)) return MKStatusStreamContent;
  unsigned int length = 0;
  MKStatus status = ReadVersionAndLength(stream, version, length);
  if (status != MKStatusSuccess) return status;
  if (!IsStampedAt(kind, version)) return status;
  int ignored = 0, stamp = 0;
  status = MKPersistenceRoutines::ReadInt(stream, ignored);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, stamp);
  if (status == MKStatusSuccess) timeStamp = stamp;
  return status;
}

MKStatus MKManikinPart::ReadEndTag(KelStreamDefinition& stream, const MKPartID& kind) {
  KelString tag;
  const MKStatus status = ReadTag(stream, tag);
  if (status != MKStatusSuccess) return status;
  return tag == TagOf(kind, "E") ? MKStatusSuccess : MKStatusStreamContent;
}

MKStatus MKManikinPart::WriteOptionalPart(KelStreamDefinition& stream, MKManikinPart* part) {
  MKStatus status = MKPersistenceRoutines::WriteInt(stream, part ? 1 : 0);
  if (part && status == MKStatusSuccess) status = part->Write(stream);
  return status;
}

MKStatus MKManikinPart::ReadMemo(KelStreamDefinition& stream, MKManikinPart*& memo) {
  return ReadOptionalPart(stream, MKPartMemoID, memo);
}

MKStatus MKManikinPart::ReadOptionalPart(KelStreamDefinition& stream, MKPartID kind,
                                         MKManikinPart*& part) {
  if (part) part->Destroy();
  part = nullptr;
  int present = 0;
  MKStatus status = MKPersistenceRoutines::ReadInt(stream, present);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  if (present == 0) return MKStatusSuccess;
  if (present != 1) return MKStatusStreamContent;
  KelString tag;
  double version = 0;
  unsigned int length = 0;
  if ((status = ReadRecordBegin(stream, tag, version, length)) != MKStatusSuccess) return status;
  if (tag != ConvertPartIDToString(kind) || ConvertStringToPartID(tag) != kind)
    return MKStatusStreamContent;
  const bool container = kind == MKPartJointLimitsDBReferenceID ||
                         kind == MKPartAnthroDBReferenceID || IsContainerRecord(kind);
  MKManikinPart* reader = container ? new MKManikinPart(kind, 2.01) : CreateReader(kind);
  if (!reader) return MKStatusStreamContent;
  if (version > reader->GetVersion()) {
    status = SkipRecord(stream, length);
  } else if ((status = MKPersistenceRoutines::StoppedEarly(reader->Read(stream))) ==
             MKStatusSuccess) {
    reader->SetAsReadFromLibrary();
    part = reader;
    return MKStatusSuccess;
  }
  reader->Destroy();
  return status;
}

MKStatus MKManikinPart::ReadCountedContainer(KelStreamDefinition& stream, MKPartID kind, int count,
                                             MKManikinPart*& part) {
  if (part) part->Destroy();
  part = nullptr;
  KelString tag;
  double version = 0;
  unsigned int length = 0;
  MKStatus status = ReadRecordBegin(stream, tag, version, length);
  if (status != MKStatusSuccess) return status;
  if (tag != ConvertPartIDToString(kind)) return MKStatusStreamContent;
  MKManikinPart container(kind, version > 2.01 ? version : 2.01);
  // The container's own time stamp is not kept: the receiver stamps its parts.
  if (CarriesTimeStamp(kind) && IsStampedAt(kind, version) && !stream.Advance(GetSizeOfTimeStamp()))
    return MKStatusStreamContent;
  for (int i = 0; i < count && status == MKStatusSuccess; ++i) {
    status = ReadTag(stream, tag);
    if (status == MKStatusSuccess && !StripBeginMark(tag)) status = MKStatusStreamContent;
    if (status == MKStatusSuccess) status = container.ReadChild(stream, tag);
  }
  if (status == MKStatusSuccess) status = ReadEndTag(stream, kind);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  container.SetAsReadFromLibrary();
  part = new MKManikinPart(container);
  return MKStatusSuccess;
}

MKStatus MKManikinPart::Write(KelStreamDefinition& stream) {
  MKStatus status = WriteBeginTag(partID, stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess && CarriesTimeStamp(partID) && IsStampedAt(partID, version))
    status = WriteTimeStamp(stream);
  for (int i = 1; i <= children.Size() && status == MKStatusSuccess; ++i)
    if (MKManikinPart* child = GetChild(i)) status = child->Write(stream);
  if (status == MKStatusSuccess) status = WriteEndTag(partID, stream);
  return status;
}

MKStatus MKManikinPart::ReadChild(KelStreamDefinition& stream, const KelString& tag) {
  double version = 0;
  unsigned int length = 0;
  MKStatus status = ReadVersionAndLength(stream, version, length);
  if (status != MKStatusSuccess) return status;
  const MKPartID kind = ConvertStringToPartID(tag);
  if (kind != MKPartMemoID && !AcceptsChild(partID, kind)) return MKStatusStreamContent;
  MKManikinPart* child = CreateReader(kind);
  if (!child) return MKStatusStreamContent;
  if (version > child->GetVersion()) {
    status = SkipRecord(stream, length);
  } else if ((status = child->Read(stream)) == MKStatusSuccess) {
    child->SetAsReadFromLibrary();
    status = PasteFrom(child, 1);
  }
  child->Destroy();
  return status;
}

MKStatus MKManikinPart::Read(KelStreamDefinition& stream) {
  // Read into a copy so that a bad record leaves this part as it was.
  MKManikinPart staged(*this);
  long stamp = timeStamp;
  MKStatus status = ReadTimeStamp(stream, stamp, partID);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  staged.timeStamp = stamp;
  if (ReadsChildren(partID)) {
    status = MKStatusReadingInProgress;
    const KelString endTag = TagOf(partID, "E");
    while (status == MKStatusReadingInProgress) {
      KelString tag;
      status = ReadTag(stream, tag);
      if (status != MKStatusSuccess) break;
      if (tag == endTag) break;
      if (!StripBeginMark(tag)) {
        status = MKStatusStreamContent;
        break;
      }
      status = staged.ReadChild(stream, tag);
      if (status == MKStatusSuccess) status = MKStatusReadingInProgress;
    }
  }
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  *this = staged;
  return MKStatusSuccess;
}

MKStatus MKManikinPart::ReadFromStream(KelStreamDefinition& stream, MKManikinPart*& part) {
  if (part) part->Destroy();
  part = nullptr;
  KelString tag;
  double version = 0;
  unsigned int length = 0;
  MKStatus status = ReadRecordBegin(stream, tag, version, length);
  if (status != MKStatusSuccess) return status;

  // Parts a host stores on their own; the parts of a DOF come in containers.
  const MKPartID kind = ConvertStringToPartID(tag);
  const bool standalone = kind == MKPartMemoID || kind == MKPartIKSpecsID ||
                          kind == MKPartVisionID || kind == MKPartFrameID ||
                          kind == MKPartAnthropometryID || kind == MKPartManikinID;
  MKManikinPart* reader = IsContainerRecord(kind) ? CreateContainerReader(kind, version)
                          : standalone            ? CreateReader(kind)
                                                  : nullptr;
  if (!reader) return MKStatusStreamContent;
  status = MKPersistenceRoutines::StoppedEarly(ReadRecordInto(*reader, stream));
  if (status == MKStatusSuccess) part = TakeReadPart(reader, !standalone);
  if (reader) reader->Destroy();
  return status;
}

void MKManikinPart::GetStreamFromFile(const KelUnicodeString& path, KelStreamDefinition*& stream) {
  delete stream;
  stream = nullptr;
  if (path.GetLengthInChar() == 0) return;
  unsigned int handle = 0, size = 0, read = 0;
  if (KelFOpen(&path, "rb", &handle) < 0) return;
  if (KelFSize(handle, &size) >= 0) {
    char* buffer = new (std::nothrow) char[static_cast<std::size_t>(size) + 1];
    if (buffer && KelFRead(handle, buffer, size, &read) >= 0 && read == size)
      stream = new KelStreamDefinition(buffer, size);
    delete[] buffer;
  }
  KelFClose(handle);
}

MKStatus MKManikinPart::GetListOfManikinPartFromLibraryStream(const KelUnicodeString& path,
                                                              KelRawCollPV& list) {
  for (int i = 1; i <= list.Size(); ++i)
    if (auto* part = static_cast<MKManikinPart*>(list[i])) part->Destroy();
  list.RemoveAll();
  KelStreamDefinition* stream = nullptr;
  GetStreamFromFile(path, stream);
  if (!stream) return MKStatusGeneral;

  KelString tag;
  double version = 0;
  unsigned int length = 0;
  long stamp = 0;
  MKStatus status = ReadTagBegin(*stream, tag);
  if (status == MKStatusSuccess && tag != sMKPartLibraryID) status = MKStatusStreamContent;
  if (status == MKStatusSuccess) status = ReadVersionAndLength(*stream, version, length);
  if (status == MKStatusSuccess) status = ReadTimeStamp(*stream, stamp, MKPartLibraryID);
  const KelString endTag = TagOf(MKPartLibraryID, "E");
  while (status == MKStatusSuccess) {
    if ((status = ReadTag(*stream, tag)) != MKStatusSuccess || tag == endTag) break;
    if (!StripBeginMark(tag)) {
      status = MKStatusStreamContent;
      break;
    }
    if ((status = ReadVersionAndLength(*stream, version, length)) != MKStatusSuccess) break;
    const long start = stream->GetCurrentPosition();
    const MKPartID kind = ConvertStringToPartID(tag);
    // Manikins, postures, preferred angles, joint limits, anthropometries
    // and visions are listed; a record newer than its reader, or one that
    // does not read, is skipped and the rest still listed.
    const bool container =
        kind == MKPartPostureID || kind == MKPartPrefAnglesID || kind == MKPartJointLimitsID;
    const bool listedClass =
        kind == MKPartAnthropometryID || kind == MKPartVisionID || kind == MKPartManikinID;
    MKManikinPart* reader = container     ? CreateContainerReader(kind, version)
                            : listedClass ? CreateReader(kind)
                                          : nullptr;
    const double readerVersion = !reader     ? 0.0
                                 : container ? ContainerReaderVersion(kind)
                                             : reader->GetVersion();
    if (reader && version <= readerVersion && ReadRecordInto(*reader, *stream) == MKStatusSuccess) {
      if (MKManikinPart* read = TakeReadPart(reader, container)) list.Append(read);
    } else {
      MoveTo(*stream, start);
      SkipRecord(*stream, length);
    }
    if (reader) reader->Destroy();
    if (stream->GetCurrentPosition() != start + static_cast<long>(length) + GetMaxTagLength())
      status = MKStatusGeneral;
  }
  delete stream;
  return MKPersistenceRoutines::StoppedEarly(status);
}

// The record of a whole manikin: its DOF coupling, then one section per
// aspect, each the record of a part extracted from the manikin, then the
// (always empty) clothing. docs/manikin-record.md gives the layout.
#include <cmath>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "manikin/MKManikin.h"
#include "parts/MKPartHolder.h"
#include "parts/MKPersistenceRoutines.h"
#include "parts/detail/MKPartReaders.h"
#include "vision/MKVision.h"

namespace {

// How a section is introduced: an optional part by 1 or 0, a container by
// the number of its child records (0: no record follows).
enum class Lead { Presence, ChildCount };

struct Section {
  MKPartID kind;
  Lead lead;
};

// The sections of a manikin record, in their order.
constexpr Section kSections[] = {
    {MKPartMemoID, Lead::Presence},
    {MKPartAnthroDBReferenceID, Lead::ChildCount},
    {MKPartJointLimitsDBReferenceID, Lead::ChildCount},
    {MKPartAnthropometryID, Lead::Presence},
    {MKPartJointLimitsID, Lead::ChildCount},
    {MKPartVisionID, Lead::Presence},
    {MKPartPostureID, Lead::ChildCount},
    {MKPartPrefAnglesID, Lead::ChildCount},
    {MKPartIKConstraintsID, Lead::ChildCount},
    {MKPartIKSpecsID, Lead::Presence},
};
constexpr int kSectionCount = static_cast<int>(sizeof kSections / sizeof kSections[0]);

// The sections by the order of their paste: the posture before the vision,
// whose recorded look then holds whatever the posture moved.
constexpr int kPasteOrder[kSectionCount] = {0, 1, 2, 3, 4, 6, 5, 7, 8, 9};

// The leading int of a section holding `part` (null: none).
int LeadOf(const Section& section, const MKManikinPart* part) {
  if (!part) return 0;
  return section.lead == Lead::Presence ? 1 : static_cast<int>(part->GetNumberOfChildrenParts());
}

// What a framed record adds to its part's body: two tags, version and length.
constexpr unsigned int kFraming = 2 * 5 + 12;

// A DOF value worth writing: one that differs from what a fresh manikin
// has, or that a fresh manikin would not restore by itself (the forearms
// are turned at construction, the eyes aimed by the build).
bool IsKept(const MKDOF& dof, bool gazeAtInfinity) {
  const int owner = dof.GetShortNameOfOwner();
  return dof.GetDOFState() == 1 || dof.GetDOFState() == 2 ||
         !(std::fabs(dof.GetValue() - dof.GetDefaultValue()) < 1.1920929e-07) ||
         dof.GetRange() != dof.GetDefaultRange() || dof.GetNumberOfChildrenParts() > 0 ||
         owner == LSArFAr || owner == RSArFAr ||
         (gazeAtInfinity && (owner == LLHeEye || owner == MLHeEye || owner == RLHeEye));
}

// Whether the record that began at `start` ends where the stream now is:
// its body and end tag fill exactly the length its header gives.
bool EndsAtItsLength(KelStreamDefinition& stream, long start) {
  const long end = stream.GetCurrentPosition();
  int length = 0;
  stream.Reset();
  bool framed = stream.Advance(start + 13) &&
                MKPersistenceRoutines::ReadInt(stream, length) == MKStatusSuccess;
  stream.Reset();
  framed = stream.Advance(end) && framed;
  return framed && end == start + 2 * 5 + 12 + static_cast<long>(length);
}

MKManikinPart* NewManikin(MKPartID) {
  return new MKManikin(nullptr, 1, 1, 1);
}

const bool registered = [] {
  MKRegisterPartReader(MKPartManikinID, NewManikin);
  return true;
}();

}  // namespace

// The parts of a record read and checked, waiting to be pasted.
struct MKManikin::ReadRecord {
  long timeStamp = 0;
  bool hasCoupling = false;
  int coupling = 0;
  MKPartHolder<> parts[kSectionCount];
};

MKManikinPart* MKManikin::ExtractWrittenPosture() const {
  const MKPartHolder<> posture(ExtractPart(MKPartPostureID, 0, nullptr));
  if (!posture) return nullptr;
  auto* kept = new MKManikinPart(MKPartPostureID, IsEarlierGeneration() ? GetVersion() : 2.03);
  const bool gazeAtInfinity = vision && std::isinf(vision->GetFocalDistance());
  for (unsigned int i = 0; i < posture->GetNumberOfChildrenParts(); ++i) {
    const MKManikinPart* child = posture->GetChild(static_cast<int>(i) + 1);
    if (!child) continue;
    if (child->GetPartID() != MKPartPostureVariableID ||
        IsKept(*static_cast<const MKDOF*>(child), gazeAtInfinity))
      kept->PasteFrom(child, 1);
  }
  return kept;
}

MKManikinPart* MKManikin::ExtractSection(MKPartID kind) const {
  return kind == MKPartPostureID ? ExtractWrittenPosture() : ExtractPart(kind, 0, nullptr);
}

unsigned int MKManikin::GetSize() const {
  // Time stamp, coupling and clothing count around the sections.
  unsigned int size = GetSizeOfTimeStamp() + 4 + 4;
  for (const Section& section : kSections) {
    const MKPartHolder<> part(ExtractSection(section.kind));
    size += 4;
    if (LeadOf(section, part.get()) != 0) size += part->GetSize() + kFraming;
  }
  return size;
}

MKStatus MKManikin::Write(KelStreamDefinition& stream) {
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  const EnclosingStamp stamp(GetTimeStamp());
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, body->IsCouplingEnabled() ? 1 : 0);
  for (int i = 0; i < kSectionCount && status == MKStatusSuccess; ++i) {
    const MKPartHolder<> part(ExtractSection(kSections[i].kind));
    const int lead = LeadOf(kSections[i], part.get());
    status = MKPersistenceRoutines::WriteInt(stream, lead);
    if (status == MKStatusSuccess && lead != 0) status = part->Write(stream);
  }
  // A manikin wears no clothing part.
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, 0);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKManikin::ReadManikin(KelStreamDefinition& stream, ReadRecord& record) {
  for (int i = 0; i < kSectionCount; ++i) {
    const Section& section = kSections[i];
    MKManikinPart* part = nullptr;
    const long start = stream.GetCurrentPosition() + 4;
    int lead = 0;
    MKStatus status = MKStatusSuccess;
    if (section.lead == Lead::Presence) {
      status = ReadOptionalPart(stream, section.kind, part);
      lead = stream.GetCurrentPosition() > start ? 1 : 0;
    } else {
      status = MKPersistenceRoutines::ReadInt(stream, lead);
      if (status == MKStatusSuccess && lead < 0) status = MKStatusStreamContent;
      if (status == MKStatusSuccess && lead > 0)
        status = ReadCountedContainer(stream, section.kind, lead, part);
    }
    record.parts[i].reset(part);
    if (status == MKStatusSuccess && lead != 0 && !EndsAtItsLength(stream, start))
      status = MKStatusStreamContent;
    if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  }
  return MKStatusSuccess;
}

MKStatus MKManikin::ReadClothing(KelStreamDefinition& stream) {
  int count = 0;
  MKStatus status = MKPersistenceRoutines::ReadInt(stream, count);
  if (status != MKStatusSuccess || count == 0) return MKPersistenceRoutines::StoppedEarly(status);
  if (count != 1) return MKStatusStreamContent;
  KelString tag;
  double version = 0.0;
  unsigned int length = 0;
  status = ReadRecordBegin(stream, tag, version, length);
  if (status == MKStatusSuccess && tag != sMKPartClothingID) status = MKStatusStreamContent;
  if (status == MKStatusSuccess && !stream.Advance(static_cast<long>(length)))
    status = MKStatusStreamContent;
  if (status == MKStatusSuccess) status = ReadEndTag(stream, MKPartClothingID);
  return MKPersistenceRoutines::StoppedEarly(status);
}

MKStatus MKManikin::Read(KelStreamDefinition& stream) {
  // Everything is read and checked before anything is pasted, so that a
  // malformed record leaves the manikin as it was.
  KelString tag;
  double version = 0.0;
  unsigned int length = 0;
  const long start = stream.GetCurrentPosition();
  MKStatus status = ReadRecordBegin(stream, tag, version, length);
  if (status != MKStatusSuccess) return status;
  // Another record, or a format newer than this reader knows.
  if (tag != sMKPartManikinID || !(version <= GetVersion())) return MKStatusStreamContent;

  ReadRecord record;
  record.timeStamp = GetTimeStamp();
  status = ReadRecordHeader(stream, version, record.timeStamp, GetPartID());
  record.hasCoupling = version >= 2.01;
  if (status == MKStatusSuccess && record.hasCoupling)
    status = MKPersistenceRoutines::ReadInt(stream, record.coupling);
  if (status == MKStatusSuccess) status = ReadManikin(stream, record);
  if (status == MKStatusSuccess) status = ReadClothing(stream);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  if (status == MKStatusSuccess && !EndsAtItsLength(stream, start)) status = MKStatusStreamContent;
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  return PasteRecord(record);
}

MKStatus MKManikin::PasteRecord(ReadRecord& record) {
  // The build of the anthropometry needs the skin data of its sex.
  for (int i = 0; i < kSectionCount; ++i)
    if (kSections[i].kind == MKPartAnthropometryID && record.parts[i] &&
        MKBody::ReadMeshData(static_cast<const MKAnthro*>(record.parts[i].get())->GetSex()) < 0)
      return MKStatusStreamContent;

  SetTimeStamp(record.timeStamp);
  if (record.hasCoupling) {
    if (record.coupling != 0)
      body->EnableCoupling(false);
    else
      body->DisableCoupling(false);
  }
  const WholePaste whole(*this);
  for (int i = 0; i < kSectionCount; ++i) {
    MKManikinPart* part = record.parts[kPasteOrder[i]].get();
    if (!part) continue;
    const MKStatus status = kSections[kPasteOrder[i]].kind == MKPartAnthroDBReferenceID
                                ? PasteAnthroDBRef(part)
                                : PasteFrom(part, 1);
    if (status != MKStatusSuccess) return status;
  }
  return MKStatusSuccess;
}

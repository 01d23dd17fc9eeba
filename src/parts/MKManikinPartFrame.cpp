#include "parts/MKManikinPartFrame.h"

#include "math/MKIEEE.h"
#include "parts/MKPersistenceRoutines.h"

namespace {
MK3DVertex Unset() {
  return MK3DVertex(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());
}
}  // namespace

MKManikinPartFrame::MKManikinPartFrame() : MKManikinPart(MKPartFrameID, 2.3) {
  frame.Null();
  for (unsigned int i = 0; i < sNumberOfReferentials; ++i) {
    referentialPosition[i] = Unset();
    referential[i] = -1;
  }
}

MKManikinPartFrame::MKManikinPartFrame(const MKManikinPartFrame& source) : MKManikinPart(source) {
  CopyFields(source);
}

MKManikinPartFrame& MKManikinPartFrame::operator=(const MKManikinPartFrame& source) {
  MKManikinPart::operator=(source);
  CopyFields(source);
  return *this;
}

void MKManikinPartFrame::CopyFields(const MKManikinPartFrame& source) {
  frame = source.frame;
  for (unsigned int i = 0; i < sNumberOfReferentials; ++i) {
    referentialPosition[i] = source.referentialPosition[i];
    referential[i] = source.referential[i];
  }
  positionContext = source.positionContext;
}

int MKManikinPartFrame::GetReferential(unsigned int i) const {
  return i < sNumberOfReferentials ? referential[i] : -1;
}

void MKManikinPartFrame::SetReferential(unsigned int i, int referentialValue) {
  if (i < sNumberOfReferentials) referential[i] = referentialValue;
}

MK3DVertex MKManikinPartFrame::GetReferentialPosition(unsigned int i) const {
  return i < sNumberOfReferentials ? referentialPosition[i] : Unset();
}

void MKManikinPartFrame::SetReferentialPosition(unsigned int i, const MK3DVertex& position) {
  if (i < sNumberOfReferentials) referentialPosition[i] = position;
}

MKStatus MKManikinPartFrame::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  if (source->GetPartID() != MKPartFrameID) return MKStatusPasteKindRefused;
  CopyFields(*static_cast<const MKManikinPartFrame*>(source));
  return MKStatusSuccess;
}

MKStatus MKManikinPartFrame::Write(KelStreamDefinition& stream) {
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4 && status == MKStatusSuccess; ++c)
      status = MKPersistenceRoutines::WriteDouble(stream, frame(r, c));
  for (unsigned int i = 0; i < sNumberOfReferentials && status == MKStatusSuccess; ++i)
    status = MKPersistenceRoutines::WriteInt(stream, referential[i]);
  for (unsigned int i = 0; i < sNumberOfReferentials && status == MKStatusSuccess; ++i) {
    const MK3DVertex& p = referentialPosition[i];
    status = MKPersistenceRoutines::WriteDouble(stream, p.x);
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, p.y);
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, p.z);
  }
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, positionContext);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKManikinPartFrame::Read(KelStreamDefinition& stream) {
  // The record's own version says which fields it holds; nothing changes
  // unless the whole record reads.
  double version = 0;
  long stamp = GetTimeStamp();
  MKStatus status = ReadRecordHeader(stream, version, stamp, GetPartID());
  if (status != MKStatusSuccess) return status;

  const unsigned int count = version >= 2.2 ? sNumberOfReferentials : version >= 2.1 ? 1 : 0;
  MKManikinPartFrame staged;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4 && status == MKStatusSuccess; ++c)
      status = MKPersistenceRoutines::ReadDouble(stream, staged.frame(r, c));
  for (unsigned int i = 0; i < count && status == MKStatusSuccess; ++i)
    status = MKPersistenceRoutines::ReadInt(stream, staged.referential[i]);
  for (unsigned int i = 0; i < count && status == MKStatusSuccess; ++i) {
    MK3DVertex& p = staged.referentialPosition[i];
    status = MKPersistenceRoutines::ReadDouble(stream, p.x);
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, p.y);
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, p.z);
  }
  staged.positionContext = positionContext;
  if (status == MKStatusSuccess && version >= 2.3)
    status = MKPersistenceRoutines::ReadInt(stream, staged.positionContext);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  if (status != MKStatusSuccess) return status;
  SetTimeStamp(stamp);
  CopyFields(staged);
  return MKStatusSuccess;
}

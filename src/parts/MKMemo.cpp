#include "parts/MKMemo.h"

#include "parts/MKPersistenceRoutines.h"

MKMemo::MKMemo() : MKManikinPart(MKPartMemoID, 2.0) {}

MKMemo::MKMemo(const MKMemo& source)
    : MKManikinPart(source), text(source.text), ownerPartID(source.ownerPartID) {}

MKMemo& MKMemo::operator=(const MKMemo& source) {
  MKManikinPart::operator=(source);
  text = source.text;
  ownerPartID = source.ownerPartID;
  return *this;
}

MKStatus MKMemo::SetText(const KelUnicodeString& newText) {
  if (newText.GetLengthInChar() > GetMaximumLength()) return MKStatusNoMemory;
  text = newText;
  return MKStatusSuccess;
}

MKStatus MKMemo::AddText(const KelUnicodeString& moreText) {
  if (moreText.GetLengthInChar() > GetMaximumLength() - Length()) return MKStatusNoMemory;
  text += moreText;
  return MKStatusSuccess;
}

MKStatus MKMemo::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  if (source->GetPartID() != MKPartMemoID) return MKStatusPasteKindRefused;
  const auto* memo = static_cast<const MKMemo*>(source);
  const bool otherOwner = ownerPartID != MKPartDefaultID && memo->ownerPartID != MKPartDefaultID &&
                          ownerPartID != memo->ownerPartID;
  if (!otherOwner) *this = *memo;
  return MKStatusSuccess;
}

unsigned int MKMemo::GetSize() const {
  return static_cast<unsigned int>((4 + 2 * Length()) + (4 + 2 * 4) + GetSizeOfTimeStamp());
}

MKStatus MKMemo::Write(KelStreamDefinition& stream) {
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteString(stream, text);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteString(stream, ConvertPartIDToString(ownerPartID));
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKMemo::Read(KelStreamDefinition& stream) {
  long stamp = GetTimeStamp();
  KelUnicodeString readText;
  KelString owner;
  MKStatus status = ReadTimeStamp(stream, stamp, GetPartID());
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadString(stream, readText);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadString(stream, owner);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  if (status == MKStatusSuccess && readText.GetLengthInChar() > GetMaximumLength())
    status = MKStatusNoMemory;
  if (status != MKStatusSuccess) return status;
  SetTimeStamp(stamp);
  text = readText;
  ownerPartID = ConvertStringToPartID(owner);
  return MKStatusSuccess;
}

#pragma once

#include "host/KelUnicodeString.h"
#include "parts/MKManikinPart.h"

// A free text attached to a part. It records the kind of part it annotates,
// so that a manikin keeps one memo per aspect among its children.
class MKMemo : public MKManikinPart {
 public:
  static int GetMaximumLength() { return 65536; }

  static MKMemo* Create() { return new MKMemo(); }
  MKMemo();
  MKMemo(const MKMemo& source);
  MKMemo& operator=(const MKMemo& source);

  MKStatus Write(KelStreamDefinition& stream) override;
  MKStatus Read(KelStreamDefinition& stream) override;
  // Copies a memo unless both memos annotate different, known kinds of part.
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  ~MKMemo() override = default;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKMemo(*this); }

  KelUnicodeString GetText() const { return text; }
  int Length() const { return text.GetLengthInChar(); }
  // 4, and no change, for a text longer than GetMaximumLength().
  MKStatus SetText(const KelUnicodeString& newText);
  // 4, and no change, when the memo would grow beyond GetMaximumLength().
  MKStatus AddText(const KelUnicodeString& moreText);
  void SetPartIDOfOwner(MKPartID kind) { ownerPartID = kind; }
  MKPartID GetPartIDOfOwner() const { return ownerPartID; }

 private:
  KelUnicodeString text;
  MKPartID ownerPartID = MKPartDefaultID;
};

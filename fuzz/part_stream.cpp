// The part-stream reader: one record of any kind, then the part read is
// written back and read again, and cloned: a clone must write the same
// bytes, except a whole manikin's, which is made by pasting the source's
// parts onto a new manikin (the posture solved again, the coupling of a new
// body) and so may differ in what a paste settles.
#include <cstring>

#include "FuzzSupport.h"

namespace {

bool SameRecord(const KelStreamDefinition& a, const KelStreamDefinition& b) {
  return a.GetLength() == b.GetLength() &&
         (a.GetLength() == 0 || std::memcmp(a.GetBuffer(), b.GetBuffer(), a.GetLength()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  KelStreamDefinition stream(data, size);
  MKManikinPart* part = nullptr;
  if (MKManikinPart::ReadFromStream(stream, part) == MKStatusSuccess && part) {
    KelStreamDefinition written;
    const bool wrote = part->Write(written) == MKStatusSuccess;
    if (wrote) mkfuzz::ReadBack(written);
    MKManikinPart* clone = part->Clone();
    if (clone && wrote && part->GetPartID() != MKPartManikinID) {
      KelStreamDefinition cloneWritten;
      if (clone->Write(cloneWritten) != MKStatusSuccess || !SameRecord(written, cloneWritten))
        __builtin_trap();
    }
    mkfuzz::Destroy(clone);
  }
  mkfuzz::Destroy(part);
  return 0;
}

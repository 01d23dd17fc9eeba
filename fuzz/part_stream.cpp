// The part-stream reader: one record of any kind, then the part read is
// written back and read again, and cloned: a clone must write the same
// bytes, except a whole manikin's, which is made by pasting the source's
// parts onto a new manikin (the hands placed again, the eyes made to look
// again) and so may differ in what a paste settles.
#include "FuzzSupport.h"

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
      if (clone->Write(cloneWritten) != MKStatusSuccess ||
          !mkfuzz::SameBytes(written, cloneWritten))
        __builtin_trap();
    }
    mkfuzz::Destroy(clone);
  }
  mkfuzz::Destroy(part);
  return 0;
}

// The part-stream reader: one record of any kind, then the part read is
// written back, cloned and the clone written too.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  KelStreamDefinition stream(data, size);
  MKManikinPart* part = nullptr;
  if (MKManikinPart::ReadFromStream(stream, part) == MKStatusSuccess && part) {
    mkfuzz::WriteAndReadBack(*part);
    MKManikinPart* clone = part->Clone();
    if (clone) mkfuzz::WriteAndReadBack(*clone);
    mkfuzz::Destroy(clone);
  }
  mkfuzz::Destroy(part);
  return 0;
}

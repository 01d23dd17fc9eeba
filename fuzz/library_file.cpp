// The library-file lister; every part listed is written back.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const KelUnicodeString path = mkfuzz::WriteInput(".mkl", data, size);
  KelRawCollPV list;
  MKManikinPart::GetListOfManikinPartFromLibraryStream(path, list);
  for (int i = 1; i <= list.Size(); ++i) {
    auto* part = static_cast<MKManikinPart*>(list[i]);
    if (part) mkfuzz::WriteAndReadBack(*part);
    mkfuzz::Destroy(part);
  }
  return 0;
}

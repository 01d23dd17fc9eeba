// The skin-file reader, into the tables of the sex given by the parity of
// the input's size.
#include "FuzzSupport.h"
#include "body/MKBody.h"
#include "host/KelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const KelUnicodeString path = mkfuzz::WriteInput(".skn", data, size);
  unsigned int file = 0;
  if (KelFOpen(&path, "r", &file) != 0) return 0;
  MKBody::ReadSKNData(file, static_cast<int>(size % 2));
  KelFClose(file);
  return 0;
}

// Paste of any readable part onto a live manikin: a created 50th-percentile
// man that keeps every paste, as in a host that opens file after file.
#include "FuzzSupport.h"
#include "body/MKBody.h"
#include "manikin/MKManikin.h"

namespace {

// Every so many inputs the live manikin is written and read again: whatever
// was pasted, the host can still save it and open it. Reading a manikin
// record builds a body, too dear for every input.
constexpr unsigned int kSaveEvery = 128;

MKManikin* LiveManikin() {
  static MKManikin* manikin = [] {
    MKManikin* created = nullptr;
    if (MKManikin::Create(created, 1, 50.0, nullptr, 1, 1) != MKStatusSuccess) __builtin_trap();
    // The coarsest skin, so that a paste that rebuilds the body (an
    // anthropometry) costs less under the sanitizers. The skin is built by
    // the same code at every resolution.
    created->GetBody()->SetMeshResolution(MKBody::GetMinMeshResolution());
    return created;
  }();
  return manikin;
}

}  // namespace

// Created before the first input, so that no input is charged for it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  LiveManikin();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MKManikin* manikin = LiveManikin();
  KelStreamDefinition stream(data, size);
  MKManikinPart* part = nullptr;
  if (MKManikinPart::ReadFromStream(stream, part) == MKStatusSuccess && part)
    manikin->PasteFrom(part, 1);
  mkfuzz::Destroy(part);
  static unsigned int count = 0;
  if (++count % kSaveEvery == 0) mkfuzz::WriteAndReadBack(*manikin);
  return 0;
}

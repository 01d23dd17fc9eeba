// Paste of any readable part onto a live manikin: a created 50th-percentile
// man that keeps every paste, as in a host that opens file after file, and
// is created afresh every hundred inputs.
#include "FuzzSupport.h"
#include "body/MKBody.h"
#include "manikin/MKManikin.h"

namespace {

// Every so many inputs the live manikin is written and read again: whatever
// was pasted, the host can still save it and open it. Reading a manikin
// record builds a body, too dear for every input.
constexpr unsigned int kSaveEvery = 128;

// Hostile pastes leave the manikin in states (joint limits, zones, locks)
// where every later posture paste solves long to place the hands: replaying
// 400 inputs of a rich corpus took 111 s on one manikin, 30 s on a new one
// every hundred inputs.
constexpr unsigned int kInputsPerManikin = 100;

MKManikin* NewLiveManikin() {
  MKManikin* created = nullptr;
  if (MKManikin::Create(created, 1, 50.0, nullptr, 1, 1) != MKStatusSuccess) __builtin_trap();
  // The coarsest skin, so that a paste that rebuilds the body (an
  // anthropometry) costs less under the sanitizers. The skin is built by
  // the same code at every resolution.
  created->GetBody()->SetMeshResolution(MKBody::GetMinMeshResolution());
  return created;
}

MKManikin* LiveManikin() {
  static MKManikin* manikin = NewLiveManikin();
  static unsigned int inputs = 0;
  if (++inputs > kInputsPerManikin) {
    manikin->Destroy();
    manikin = NewLiveManikin();
    inputs = 1;
  }
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

#pragma once

// Helpers of the fuzz targets.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "host/KelUnicodeString.h"
#include "parts/MKManikinPart.h"

namespace mkfuzz {

// Readers that take a path get the input through a file of this process.
inline KelUnicodeString WriteInput(const char* suffix, const std::uint8_t* data, std::size_t size) {
  const std::string path = "/tmp/mkfuzz-" + std::to_string(getpid()) + suffix;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return KelUnicodeString(path.c_str());
}

inline bool SameBytes(const KelStreamDefinition& a, const KelStreamDefinition& b) {
  return a.GetLength() == b.GetLength() &&
         (a.GetLength() == 0 || std::memcmp(a.GetBuffer(), b.GetBuffer(), a.GetLength()) == 0);
}

inline void Destroy(MKManikinPart* part) {
  if (part) part->Destroy();
}

// Reads a written record again: what the library writes, it must read. A
// part read back writes the same bytes again, but for a whole manikin,
// whose reading pastes its parts onto a new one, and a paste settles what
// a hostile record left unsettled (a look, a solve).
inline void ReadBack(const KelStreamDefinition& written) {
  KelStreamDefinition again(written.GetBuffer(), written.GetLength());
  MKManikinPart* back = nullptr;
  if (MKManikinPart::ReadFromStream(again, back) != MKStatusSuccess || !back) __builtin_trap();
  KelStreamDefinition rewritten;
  if (back->Write(rewritten) != MKStatusSuccess) __builtin_trap();
  if (back->GetPartID() != MKPartManikinID && !SameBytes(written, rewritten)) __builtin_trap();
  Destroy(back);
}

inline void WriteAndReadBack(MKManikinPart& part) {
  KelStreamDefinition written;
  if (part.Write(written) == MKStatusSuccess) ReadBack(written);
}

}  // namespace mkfuzz

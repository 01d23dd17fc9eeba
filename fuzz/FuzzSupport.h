#pragma once

// Helpers of the fuzz targets.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
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

inline void Destroy(MKManikinPart* part) {
  if (part) part->Destroy();
}

// Reads a written record again: what the library writes, it must read.
inline void ReadBack(const KelStreamDefinition& written) {
  KelStreamDefinition again(written.GetBuffer(), written.GetLength());
  MKManikinPart* back = nullptr;
  MKManikinPart::ReadFromStream(again, back);
  Destroy(back);
}

inline void WriteAndReadBack(MKManikinPart& part) {
  KelStreamDefinition written;
  if (part.Write(written) == MKStatusSuccess) ReadBack(written);
}

}  // namespace mkfuzz

#pragma once

// Reads a record the way the part readers are called: its begin tag, version
// and length consumed first, then the reader's own Read.

#include <string>

#include "host/KelStreamDefinition.h"
#include "parts/MKManikinPart.h"

namespace mktest {

template <typename Reader>
MKStatus ReadFramed(Reader& reader, const std::string& bytes) {
  KelStreamDefinition stream(bytes.data(), bytes.size());
  KelString tag;
  double version = 0;
  unsigned int length = 0;
  MKStatus status = MKManikinPart::ReadTagBegin(stream, tag);
  if (status == MKStatusSuccess)
    status = MKManikinPart::ReadVersionAndLength(stream, version, length);
  return status == MKStatusSuccess ? reader.Read(stream) : status;
}

}  // namespace mktest

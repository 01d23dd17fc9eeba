#include "host/KelStreamDefinition.h"

#include <cstdint>
#include <cstring>

KelStreamDefinition::KelStreamDefinition(const void* buffer, unsigned long length) {
  if (buffer && length > 0) bytes.assign(static_cast<const char*>(buffer), length);
}

bool KelStreamDefinition::Advance(long n) {
  // Compared against the room on that side, so that no sum can overflow.
  if (n >= 0) {
    const auto forward = static_cast<unsigned long>(n);
    if (forward > bytes.size() - position) return false;
    position += forward;
  } else {
    const unsigned long backward = static_cast<unsigned long>(-(n + 1)) + 1;
    if (backward > position) return false;
    position -= backward;
  }
  return true;
}

bool KelStreamDefinition::WriteChar(char c) {
  bytes.push_back(c);
  return true;
}

bool KelStreamDefinition::Take(unsigned char* out, std::size_t count) {
  if (bytes.size() - position < count) return false;
  std::memcpy(out, bytes.data() + position, count);
  position += count;
  return true;
}

bool KelStreamDefinition::ReadChar(char* c) {
  unsigned char b;
  if (!c || !Take(&b, 1)) return false;
  *c = static_cast<char>(b);
  return true;
}

bool KelStreamDefinition::ReadUnsignedShort(unsigned short* value) {
  unsigned char b[2];
  if (!value || !Take(b, 2)) return false;
  *value = static_cast<unsigned short>((b[0] << 8) | b[1]);
  return true;
}

bool KelStreamDefinition::ReadDouble(double* value) {
  unsigned char b[8];
  if (!value || !Take(b, 8)) return false;
  std::uint64_t bits = 0;
  for (unsigned char byte : b) bits = (bits << 8) | byte;
  std::memcpy(value, &bits, sizeof bits);
  return true;
}
